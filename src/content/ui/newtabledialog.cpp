#include "content/ui/newtabledialog.h"

#include "content/ui/tablecolorlists.h"
#include "language/language.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace ledsign {

namespace {
constexpr int kTableCategory = 6;
QString lg(const char* key)
{
    return GetLgText(kTableCategory, QString::fromLatin1(key));
}
}

NewTableDialog::NewTableDialog(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(lg("table_new_caption"));
    auto* form = new QFormLayout(this);
    rows_ = new QSpinBox(this);
    rows_->setRange(1, kMaxTableRows - 1);
    rows_->setValue(2);
    rowHeight_ = new QSpinBox(this);
    rowHeight_->setRange(1, kMaxTableLineSize);
    rowHeight_->setValue(kDefaultRowHeight);
    columns_ = new QSpinBox(this);
    columns_->setRange(1, kMaxTableColumns - 1);
    columns_->setValue(2);
    columnWidth_ = new QLineEdit(QString::number(kDefaultColumnWidth), this);
    lineWidth_ = new QComboBox(this);
    fillLineWidthList(lineWidth_);
    lineColor_ = new QComboBox(this);
    fillCardColorList(lineColor_);
    background_ = new QComboBox(this);
    fillBackgroundColorList(background_);
    form->addRow(lg("lbRow"), rows_);
    form->addRow(lg("lbRowHeight"), rowHeight_);
    form->addRow(lg("lbCol"), columns_);
    form->addRow(lg("lbColWidth"), columnWidth_);
    form->addRow(lg("lbLineWidth"), lineWidth_);
    form->addRow(lg("lbLineColor"), lineColor_);
    form->addRow(lg("lbBkColor"), background_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(lg("btOK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(lg("btCancel"));
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void NewTableDialog::setValues(int rows, int rowHeight, int columns, const QString& columnWidth)
{
    rows_->setValue(rows);
    rowHeight_->setValue(rowHeight);
    columns_->setValue(columns);
    columnWidth_->setText(columnWidth);
}

TableModel NewTableDialog::table(const QString& fontName) const
{
    TableModel t = TableModel::create(rows_->value(), rowHeight_->value(), columns_->value(),
                                      roundedColumnWidth(columnWidth_->text()), fontName);
    t.lineWidthIndex = lineWidth_->currentIndex();
    t.lineColorIndex = lineColor_->currentIndex();
    t.backgroundIndex = background_->currentIndex();
    return t;
}

} // namespace ledsign
