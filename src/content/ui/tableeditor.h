// The table editor of a table material. It opens the material's table file
// (base path + ".tbl") or, when there is none, the new-table window first.
// However it closes, the table is saved and cut into pictures for the region
// (a horizontal or vertical strip for a table that moves without stopping,
// sheets otherwise), and the dialog ends with OK.
//
//   TableEditor dlg(material, folders, regionWidthOnCanvas, regionHeightOnCanvas, parent);
//   if (dlg.exec() == QDialog::Accepted) {   // Rejected: the new-table window was cancelled
//       applyTableEdit(material, dlg.editResult()); // image list, line settings, mode, stop time
//       markModified(...); show material.fileList.first() on the canvas
//   }
#pragma once

#include "content/tablemodel.h"
#include "content/tablepieces.h"
#include "model/tfodder.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QLineEdit;
class QSpinBox;
class QTableView;
class QToolButton;

namespace ledsign {

class DataFolder;
class TableGridModel;

class TableEditor : public QDialog {
    Q_OBJECT
public:
    TableEditor(const TFodder& material, const DataFolder& folders, int regionWidth, int regionHeight,
                QWidget* parent = nullptr);
    ~TableEditor() override;

    int exec() override;

    const TableEditResult& editResult() const { return result_; }
    // The table differs from the one the editor opened with.
    bool tableChanged() const { return !(table_ == opened_); }
    QString basePath() const { return base_; }
    TableModel& table() { return table_; }
    QTableView* view() const { return view_; }

    // Replaces the table (a new table, an opened file) and shows it.
    void setTable(const TableModel& table);
    // Opens a ".tbl" or ".csv" file; ".xls" is refused. False with a message.
    bool openTableFile(const QString& path, QString* message);
    // The selection as a cell range (the current cell when nothing is selected).
    CellRange selection() const;
    void selectRange(const CellRange& range);

    // Toolbar commands on the selection.
    void mergeCells();
    void splitCell();
    void insertRow();
    void insertColumn();
    void deleteRows();
    void deleteColumns();
    void pressStyleButton(bool bold, bool italic, bool underline);
    void setShowMode(int displayMode, const QString& stopTime);

    // Where messages go (a message box unless replaced, e.g. by a test).
    void setMessageSink(const MessageSink& sink) { messages_ = sink; }

    void done(int result) override;

private:
    void buildToolbar();
    void showTable();
    void growBy(const QSize& extra);
    void syncToolbar();
    void applyLook(const std::function<void(const CellRange&)>& change);
    void newTable();
    void openFile();
    void saveFile();

    TFodder material_;
    QString tableFolder_;
    int regionWidth_;
    int regionHeight_;
    QString base_;
    bool needsNewTable_ = false;
    TableModel table_;
    TableModel opened_;
    TableGridModel* grid_ = nullptr;
    QTableView* view_ = nullptr;
    QComboBox* fontBox_ = nullptr;
    QComboBox* sizeBox_ = nullptr;
    QComboBox* colorBox_ = nullptr;
    QComboBox* backgroundBox_ = nullptr;
    QComboBox* lineWidthBox_ = nullptr;
    QComboBox* lineColorBox_ = nullptr;
    QComboBox* showModeBox_ = nullptr;
    QLineEdit* stopTimeBox_ = nullptr;
    QSpinBox* columnWidthBox_ = nullptr;
    QSpinBox* rowHeightBox_ = nullptr;
    QToolButton* bold_ = nullptr;
    QToolButton* italic_ = nullptr;
    QToolButton* underline_ = nullptr;
    bool updating_ = false;
    TableEditResult result_;
    QString loadError_;
    MessageSink messages_;
};

} // namespace ledsign
