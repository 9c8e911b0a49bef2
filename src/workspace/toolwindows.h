// The main window's tool windows and what they need around them: the preview
// of the selected card, the USB-disk window (export and new card) with the
// removable-drive list that enables the export commands, the text-program
// window for the selected card or a remote-text material, and the
// remote-text tip at start-up. The main window forwards its actions here.
#pragma once

#include "editing/treecommands.h"
#include "model/tfodder.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

class QDialog;

namespace ledsign {

class MainWindow;
class RemovableDrives;
class TextProgramSender;
class TextProgramWindow;
class UsbDiskWindow;
class WorkspaceSession;

class ToolWindowsController : public QObject {
    Q_OBJECT
public:
    // Runs a prepared window modally and returns its dialog code.
    using ModalRunner = std::function<int(QDialog& window)>;

    ToolWindowsController(MainWindow& window, WorkspaceSession& session);
    ~ToolWindowsController() override;

    // Tests and scripted runs drive the windows through their own runner.
    void setModalRunner(ModalRunner run) { run_ = std::move(run); }

    // Once the main window is shown: the drive list, then the remote-text
    // tip unless it was dismissed for good.
    void startUp();

    // The drive list again; the export action, its menu entries and the
    // window's OK button follow it.
    void refreshExportDrives();
    RemovableDrives& drives() { return *drives_; }

    // The action handlers.
    void preview();
    void exportToUsb();
    void sendTextProgram();
    // The new-card window; nothing when it was closed.
    std::optional<NewCardInput> askNewCard(const QString& proposal, const std::function<QString(const QString&)>& check);
    // The text-program window for a remote-text material: opened with its
    // first file; a file saved or opened there becomes its only file. True
    // when the material changed.
    bool openRemoteText(TFodder& material);
    // The tip window; true when the user ticked "do not show again".
    bool showTips();

    UsbDiskWindow& usbWindow();
    TextProgramWindow& textProgramWindow();

private:
    int run(QDialog& window);
    TextProgramSender* textSender();
    bool rs485Mode() const;
    QString textProgramFile(const QString& file, const QString& cardName);

    MainWindow& window_;
    WorkspaceSession& session_;
    ModalRunner run_;
    std::unique_ptr<RemovableDrives> drives_;
    QTimer drivePoll_;
    QPointer<UsbDiskWindow> usb_;
    QPointer<TextProgramWindow> textProgram_;
};

} // namespace ledsign
