// The image-group file panel: a folder tree, the picture files of the chosen
// folder (kept up to date while it is shown), and the image list of the selected image-group material with its
// running numbers. Adding, inserting and deleting change the material at
// once; files to show on the canvas and changes are signalled. Picture
// files dropped on the image list are added like chosen ones.
//
//   auto* panel = new ImageGroupPanel(parent);
//   panel->setMaterial(&material);        // nullptr: nothing to edit
//   connect(panel, &ImageGroupPanel::showFile, canvas, ...);
//   connect(panel, &ImageGroupPanel::listChanged, mainWindow, ...markModified);
#pragma once

#include "model/tfodder.h"

#include <QWidget>

class QFileSystemModel;
class QFileSystemWatcher;
class QLabel;
class QListWidget;
class QTableWidget;
class QTreeView;

namespace ledsign {

class ImageGroupPanel : public QWidget {
    Q_OBJECT
public:
    explicit ImageGroupPanel(QWidget* parent = nullptr);

    // Titles, buttons and column headers from the current language.
    void retranslate();

    void setMaterial(TFodder* material);
    void setFolder(const QString& folder);
    QString folder() const { return folder_; }

    // Where missing files are reported (a message box unless replaced).
    void setMessageSink(const MessageSink& sink) { report_ = sink; }

    QListWidget* fileList() const { return files_; }
    QTableWidget* rows() const { return rows_; }

    void addSelected();
    void addAll();
    void insertSelected();
    void deleteSelected();
    void deleteAll();
    // Appends files given by their full paths (dropped ones).
    void addFiles(const QStringList& paths);

signals:
    void showFile(const QString& path);
    void listChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void relistFolder();
    QStringList selectedNames() const;
    void showDisk();
    void refreshRows(int selectRow = -1);
    void changed(const QStringList& shown, int selectRow = -1);

    TFodder* material_ = nullptr;
    QString folder_;
    QFileSystemModel* folders_ = nullptr;
    QFileSystemWatcher* watcher_ = nullptr;
    QTreeView* tree_ = nullptr;
    QLabel* disk_ = nullptr;
    QListWidget* files_ = nullptr;
    QTableWidget* rows_ = nullptr;
    MessageSink report_;
};

} // namespace ledsign
