#include "content/ui/tablegridmodel.h"

#include "content/fontresolver.h"
#include "content/fonttable.h"

#include <QBrush>
#include <QColor>
#include <QFont>

namespace ledsign {

TableGridModel::TableGridModel(TableModel* table, QObject* parent)
    : QAbstractTableModel(parent)
    , table_(table)
{
}

int TableGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : table_->rowCount();
}

int TableGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : table_->columnCount();
}

QVariant TableGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const TableCell& cell = table_->cell(index.column(), index.row());
    const TableCellProperties& p = cell.properties;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return cell.text;
    case Qt::FontRole: {
        QFont f;
        f.setFamilies(cardFontFamilies(cell.hasProperties && !p.fontName.isEmpty() ? p.fontName
                                                                                  : defaultCardFontName()));
        const int points = cell.hasProperties && p.fontSize > 0 ? p.fontSize : kDefaultCellPointSize;
        f.setPixelSize(qMax(1, (points * 96 + 36) / 72));
        f.setBold(cell.hasProperties && p.bold);
        f.setItalic(cell.hasProperties && p.italic);
        f.setUnderline(cell.hasProperties && p.underline);
        f.setStrikeOut(cell.hasProperties && p.strikeOut);
        f.setStyleStrategy(QFont::NoAntialias);
        return f;
    }
    case Qt::ForegroundRole:
        return QBrush(QColor::fromRgb(tableColorToRgb(
            cell.hasProperties && p.fontColor != kTableNoColor ? p.fontColor : cardColorOfIndex(0))));
    case Qt::BackgroundRole:
        return QBrush(QColor::fromRgb(tableColorToRgb(cell.hasProperties && p.brushColor != kTableNoColor
                                                          ? p.brushColor
                                                          : backgroundColorOfIndex(table_->backgroundIndex))));
    case Qt::TextAlignmentRole: {
        Qt::Alignment a = Qt::AlignVCenter;
        const CellAlignment h = cell.hasProperties ? p.alignment : CellAlignment::Left;
        a |= h == CellAlignment::Centre ? Qt::AlignHCenter : h == CellAlignment::Right ? Qt::AlignRight : Qt::AlignLeft;
        return int(a);
    }
    default:
        return {};
    }
}

bool TableGridModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    table_->setText(index.column(), index.row(), value.toString());
    emit dataChanged(index, index);
    return true;
}

Qt::ItemFlags TableGridModel::flags(const QModelIndex& index) const
{
    return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

void TableGridModel::refresh()
{
    beginResetModel();
    endResetModel();
}

} // namespace ledsign
