// The new-table window: rows, row height, columns, column width (rounded to
// a multiple of 8), line width, line colour and background colour.
//
//   NewTableDialog dlg(parent);
//   if (dlg.exec() == QDialog::Accepted) {
//       TableModel table = dlg.table(fontName);   // every cell in that font, size 10
//   }
#pragma once

#include "content/tablemodel.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QSpinBox;

namespace ledsign {

class NewTableDialog : public QDialog {
    Q_OBJECT
public:
    explicit NewTableDialog(QWidget* parent = nullptr);

    void setValues(int rows, int rowHeight, int columns, const QString& columnWidth);
    TableModel table(const QString& fontName) const;

private:
    QSpinBox* rows_ = nullptr;
    QSpinBox* rowHeight_ = nullptr;
    QSpinBox* columns_ = nullptr;
    QLineEdit* columnWidth_ = nullptr;
    QComboBox* lineWidth_ = nullptr;
    QComboBox* lineColor_ = nullptr;
    QComboBox* background_ = nullptr;
};

} // namespace ledsign
