// The USB-disk window in its two modes: asking the name, size and colour of
// a new card, and exporting a card's playbill (and, when ticked, its screen
// parameters) to a removable drive. The export itself and the drive list
// live outside the window.
#pragma once

#include "config/removabledrives.h"
#include "config/scanmodes.h"
#include "config/usbexportparams.h"
#include "model/tfixmodem.h"

#include <QByteArray>
#include <QDialog>
#include <QList>
#include <QPair>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QWidget;

namespace ledsign {

struct NewCardAnswer {
    bool ok = false;
    QString name;
    int width = 256;
    int height = 128;
    int colorIndex = 0;   // 0 single, 1 dual, 2 tri-colour
};

// The card the answer describes: colour '8', '9' or ':', sizes 256 and 128
// when the boxes do not hold numbers, and the defaults of a new card.
TFIXModem newCardFromAnswer(const NewCardAnswer& answer);

class UsbDiskWindow : public QDialog {
    Q_OBJECT
public:
    using DataBuilder = std::function<QByteArray()>;
    // Why a new card's name cannot be taken; empty when it can.
    using NameCheck = std::function<QString(const QString&)>;

    UsbDiskWindow(RemovableDrives& drives, QWidget* parent = nullptr);

    // Sets the window up for a mode; the Show calls also run it modally.
    // In new-card mode OK keeps the window open while `check` refuses the name.
    void prepareNewCard(const QString& proposal, NameCheck check = {});
    void prepareExport(const TFIXModem& card, const QString& workFolder, DataBuilder data);
    NewCardAnswer showNewCard(const QString& proposal);
    void showExport(const TFIXModem& card, const QString& workFolder, DataBuilder data);

    // The new-card answer as the boxes hold it now.
    NewCardAnswer answer() const;
    // The export of OK in export mode (also reachable from tests).
    bool exportNow();
    QString statusText() const;
    bool okEnabled() const;

private:
    void refreshDrives();
    void fillLists();
    // A label whose text is the table's text of `key`, again at every show.
    QLabel* textLabel(const char* key, QWidget* parent);
    void applyTexts();
    ExportParameters parameters() const;
    void accept() override;

    RemovableDrives& drives_;
    int mode_ = 0;   // 0 new card, 1 export
    NameCheck nameCheck_;
    QString internalCode_;
    QString workFolder_;
    DataBuilder data_;

    QLabel* cardLabel_ = nullptr;
    QLineEdit* editCardName = nullptr;
    QLineEdit* edtPWidth = nullptr;
    QLineEdit* edtPHeight = nullptr;
    QComboBox* cmbColor = nullptr;
    QWidget* exportPanel_ = nullptr;
    QComboBox* cmdUDiskList = nullptr;
    QCheckBox* cbParam = nullptr;
    QComboBox* cmdScan = nullptr;
    QComboBox* cmdDLamp = nullptr;
    QComboBox* cmdNLamp = nullptr;
    QComboBox* cmdOE = nullptr;
    QComboBox* cmdSContent = nullptr;
    QComboBox* cmdCF = nullptr;
    QComboBox* cmdTrans = nullptr;
    QComboBox* cmdRowOrder = nullptr;
    QComboBox* cmdEmptyDisplay = nullptr;
    QComboBox* cmb485Addr = nullptr;
    QComboBox* cmdDataBit = nullptr;
    QComboBox* cbBaud = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* closeButton_ = nullptr;
    QList<QPair<QLabel*, const char*>> labelKeys_;
    QStatusBar* status_ = nullptr;
    ScanModeTable scanModes_;
};

} // namespace ledsign
