// Draws the table editor's cells as the card's pictures show them: the same
// font at one pixel per LED pixel, no margin and no "…", a text too wide for
// its cell cut at the cell's edge. The selection is laid over the cell.
#pragma once

#include "content/tablemodel.h"

#include <QStyledItemDelegate>

namespace ledsign {

class TableCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    TableCellDelegate(const TableModel* table, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    const TableModel* table_;
};

} // namespace ledsign
