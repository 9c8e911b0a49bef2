#include "content/ui/tablecelldelegate.h"

#include "content/tablepieces.h"

#include <QPainter>
#include <QTableView>

namespace ledsign {

TableCellDelegate::TableCellDelegate(const TableModel* table, QObject* parent)
    : QStyledItemDelegate(parent)
    , table_(table)
{
}

void TableCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (!table_->isValidCell(index.column(), index.row())) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    // The view keeps a cell's last column and row of pixels for its grid
    // line; the card's cell takes them, and its text is placed in the whole.
    const auto* view = qobject_cast<const QTableView*>(option.widget);
    const int grid = view && view->showGrid() ? 1 : 0;
    painter->save();
    painter->setClipRect(option.rect);
    drawTableCellContent(*painter, *table_, index.column(), index.row(), option.rect.adjusted(0, 0, grid, grid));
    painter->restore();
    if (option.state & QStyle::State_Selected) {
        QColor over = option.palette.color(QPalette::Highlight);
        over.setAlpha(90);
        painter->fillRect(option.rect, over);
    }
}

} // namespace ledsign
