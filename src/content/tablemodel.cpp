#include "content/tablemodel.h"

#include <algorithm>

namespace ledsign {

namespace {

const QList<TableColorName> kColorNames{
    {"clBlack", 0x000000u}, {"clRed", 0x0000FFu},    {"clGreen", 0x008000u},
    {"clYellow", 0x00FFFFu}, {"clBlue", 0xFF0000u},  {"clPurple", 0x800080u},
    {"clAqua", 0xFFFF00u},   {"clWhite", 0xFFFFFFu}, {"clNone", kTableNoColor},
};

// Background list order: black, red, green, yellow, blue, purple, aqua, white.
constexpr TableColor kBackgrounds[8] = {0x000000u, 0x0000FFu, 0x008000u, 0x00FFFFu,
                                        0xFF0000u, 0x800080u, 0xFFFF00u, 0xFFFFFFu};

TableCellProperties creationProperties(int col, int row)
{
    TableCellProperties p;
    p.ownerCol = col;
    p.ownerRow = row;
    return p;
}

bool overlaps(const CellRange& a, const CellRange& b)
{
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

bool inside(const CellRange& inner, const CellRange& outer)
{
    return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top
        && inner.bottom <= outer.bottom;
}

// Removes count lines at first from a span first..last; false when nothing remains.
bool shrinkSpan(int& lo, int& hi, int first, int last)
{
    const int n = last - first + 1;
    const int keepBefore = std::max(0, std::min(hi, first - 1) - lo + 1);
    const int keepAfter = std::max(0, hi - std::max(lo, last + 1) + 1);
    if (keepBefore + keepAfter == 0)
        return false;
    const int newLo = lo < first ? lo : (lo > last ? lo - n : first);
    lo = newLo;
    hi = newLo + keepBefore + keepAfter - 1;
    return true;
}

} // namespace

const QList<TableColorName>& tableColorNames()
{
    return kColorNames;
}

bool tableColorOfName(const QByteArray& name, TableColor* value)
{
    for (const TableColorName& c : kColorNames) {
        if (name.compare(c.name, Qt::CaseInsensitive) == 0) {
            *value = c.value;
            return true;
        }
    }
    return false;
}

QByteArray tableColorName(TableColor value)
{
    for (const TableColorName& c : kColorNames) {
        if (c.value == value)
            return c.name;
    }
    return {};
}

quint32 tableColorToRgb(TableColor value)
{
    const quint32 r = value & 0xFFu;
    const quint32 g = (value >> 8) & 0xFFu;
    const quint32 b = (value >> 16) & 0xFFu;
    return 0xFF000000u | (r << 16) | (g << 8) | b;
}

TableColor backgroundColorOfIndex(int index)
{
    return kBackgrounds[qBound(0, index, 7)];
}

int backgroundIndexOfColor(TableColor color)
{
    for (int i = 0; i < 8; ++i) {
        if (kBackgrounds[i] == color)
            return i;
    }
    return -1;
}

TableColor cardColorOfIndex(int index)
{
    return kBackgrounds[qBound(0, index, 6) + 1];
}

int cardColorIndexOfColor(TableColor color)
{
    const int i = backgroundIndexOfColor(color);
    return i >= 1 ? i - 1 : -1;
}

int roundedColumnWidth(const QString& typed)
{
    bool ok = false;
    const int w = typed.trimmed().toInt(&ok);
    if (!ok)
        return kDefaultColumnWidth;
    const int rest = ((w % 8) + 8) % 8;
    const int down = w - rest;
    return std::clamp(rest <= 4 ? down : down + 8, 0, kMaxTableLineSize);
}

TableModel::TableModel()
{
    colWidths_ = QList<int>(colCount_, kDefaultColumnWidth);
    rowHeights_ = QList<int>(rowCount_, kDefaultRowHeight);
    cells_ = QList<TableCell>(colCount_ * rowCount_);
}

TableModel TableModel::create(int contentRows, int rowHeight, int contentColumns, int columnWidth,
                              const QString& fontName)
{
    TableModel t;
    t.resize(std::max(1, contentColumns) + 1, std::max(1, contentRows) + 1);
    for (int c = 0; c < t.colCount_; ++c)
        t.setColumnWidth(c, columnWidth);
    for (int r = 0; r < t.rowCount_; ++r)
        t.setRowHeight(r, rowHeight);
    const CellRange all{0, 0, t.colCount_ - 1, t.rowCount_ - 1};
    t.setFontName(all, fontName);
    t.setFontSize(all, kDefaultCellPointSize);
    return t;
}

bool TableModel::isValidCell(int col, int row) const
{
    return col >= 0 && row >= 0 && col < colCount_ && row < rowCount_;
}

void TableModel::resize(int columns, int rows)
{
    columns = std::clamp(columns, 2, kMaxTableColumns);
    rows = std::clamp(rows, 2, kMaxTableRows);
    QList<TableCell> cells(columns * rows);
    for (int c = 0; c < std::min(columns, colCount_); ++c)
        for (int r = 0; r < std::min(rows, rowCount_); ++r)
            cells[c * rows + r] = cells_[index(c, r)];
    colWidths_.resize(columns, kDefaultColumnWidth);
    rowHeights_.resize(rows, kDefaultRowHeight);
    colCount_ = columns;
    rowCount_ = rows;
    cells_ = cells;
    const CellRange grid{0, 0, columns - 1, rows - 1};
    merges_.removeIf([&](const CellRange& m) { return !inside(m, grid); });
    syncMergeProperties();
}

void TableModel::setColumnWidth(int col, int width)
{
    if (col >= 0 && col < colCount_)
        colWidths_[col] = std::clamp(width, 0, kMaxTableLineSize);
}

void TableModel::setRowHeight(int row, int height)
{
    if (row >= 0 && row < rowCount_)
        rowHeights_[row] = std::clamp(height, 0, kMaxTableLineSize);
}

const TableCell& TableModel::cell(int col, int row) const
{
    static const TableCell none;
    return isValidCell(col, row) ? cells_[index(col, row)] : none;
}

void TableModel::setText(int col, int row, const QString& text)
{
    if (isValidCell(col, row))
        cells_[index(col, row)].text = text;
}

TableCellProperties& TableModel::ensureProperties(int col, int row)
{
    static TableCellProperties scratch;
    if (!isValidCell(col, row)) {
        scratch = TableCellProperties{};
        return scratch;
    }
    TableCell& c = cells_[index(col, row)];
    if (!c.hasProperties) {
        c.hasProperties = true;
        c.properties = creationProperties(col, row);
    }
    return c.properties;
}

void TableModel::setCell(int col, int row, const TableCell& cell)
{
    if (isValidCell(col, row))
        cells_[index(col, row)] = cell;
}

CellRange TableModel::spanOf(int col, int row) const
{
    for (const CellRange& m : merges_) {
        if (m.contains(col, row))
            return m;
    }
    return CellRange{col, row, col, row};
}

bool TableModel::wouldCut(const CellRange& range) const
{
    for (const CellRange& m : merges_) {
        if (overlaps(m, range) && !inside(m, range))
            return true;
    }
    return false;
}

bool TableModel::merge(const CellRange& range)
{
    if (!isValidCell(range.left, range.top) || !isValidCell(range.right, range.bottom)
        || range.left > range.right || range.top > range.bottom)
        return false;
    if (range.left == range.right && range.top == range.bottom)
        return false;
    if (wouldCut(range))
        return false;
    merges_.removeIf([&](const CellRange& m) { return inside(m, range); });
    merges_.append(range);
    syncMergeProperties();
    return true;
}

bool TableModel::split(int col, int row)
{
    const qsizetype before = merges_.size();
    merges_.removeIf([&](const CellRange& m) { return m.left == col && m.top == row; });
    if (merges_.size() == before)
        return false;
    syncMergeProperties();
    return true;
}

void TableModel::rebuildMergesFromProperties()
{
    merges_.clear();
    for (int c = 0; c < colCount_; ++c) {
        for (int r = 0; r < rowCount_; ++r) {
            const TableCell& cell = cells_[index(c, r)];
            if (!cell.hasProperties || !cell.properties.isBaseCell)
                continue;
            const int sx = cell.properties.cellSpanX;
            const int sy = cell.properties.cellSpanY;
            if (sx <= 0 && sy <= 0)
                continue;
            CellRange m{c, r, std::min(colCount_ - 1, c + std::max(sx, 0)),
                        std::min(rowCount_ - 1, r + std::max(sy, 0))};
            const bool clash = std::any_of(merges_.begin(), merges_.end(),
                                           [&](const CellRange& o) { return overlaps(o, m); });
            if (!clash && (m.right > m.left || m.bottom > m.top))
                merges_.append(m);
        }
    }
    syncMergeProperties();
}

void TableModel::syncMergeProperties()
{
    for (int c = 0; c < colCount_; ++c) {
        for (int r = 0; r < rowCount_; ++r) {
            TableCell& cell = cells_[index(c, r)];
            if (!cell.hasProperties)
                continue;
            cell.properties.isBaseCell = true;
            cell.properties.cellSpanX = -1;
            cell.properties.cellSpanY = -1;
            cell.properties.ownerCol = c;
            cell.properties.ownerRow = r;
        }
    }
    for (const CellRange& m : merges_) {
        for (int c = m.left; c <= m.right; ++c) {
            for (int r = m.top; r <= m.bottom; ++r) {
                TableCellProperties& p = ensureProperties(c, r);
                const bool base = c == m.left && r == m.top;
                p.isBaseCell = base;
                p.cellSpanX = base ? m.right - m.left : c - m.left;
                p.cellSpanY = base ? m.bottom - m.top : r - m.top;
            }
        }
    }
}

bool TableModel::insertRow(int row)
{
    if (row < 0 || row > rowCount_ || rowCount_ >= kMaxTableRows)
        return false;
    QList<TableCell> cells((rowCount_ + 1) * colCount_);
    for (int c = 0; c < colCount_; ++c)
        for (int r = 0; r < rowCount_; ++r)
            cells[c * (rowCount_ + 1) + (r < row ? r : r + 1)] = cells_[index(c, r)];
    const int height = rowHeights_.value(std::min(row, rowCount_ - 1), kDefaultRowHeight);
    rowHeights_.insert(row, height);
    ++rowCount_;
    cells_ = cells;
    for (CellRange& m : merges_) {
        if (m.top >= row) {
            ++m.top;
            ++m.bottom;
        } else if (m.bottom >= row) {
            ++m.bottom; // the new row lies inside the merge
        }
    }
    syncMergeProperties();
    return true;
}

bool TableModel::insertColumn(int col)
{
    if (col < 0 || col > colCount_ || colCount_ >= kMaxTableColumns)
        return false;
    const int width = colWidths_.value(std::min(col, colCount_ - 1), kDefaultColumnWidth);
    cells_.insert(qsizetype(col) * rowCount_, rowCount_, TableCell{});
    colWidths_.insert(col, width);
    ++colCount_;
    for (CellRange& m : merges_) {
        if (m.left >= col) {
            ++m.left;
            ++m.right;
        } else if (m.right >= col) {
            ++m.right;
        }
    }
    syncMergeProperties();
    return true;
}

bool TableModel::deleteRows(int first, int last)
{
    if (first > last)
        std::swap(first, last);
    if (first < 0 || last >= rowCount_)
        return false;
    const int n = last - first + 1;
    if (rowCount_ - n < 2)
        return false;
    QList<TableCell> cells;
    cells.reserve((rowCount_ - n) * colCount_);
    for (int c = 0; c < colCount_; ++c)
        for (int r = 0; r < rowCount_; ++r)
            if (r < first || r > last)
                cells.append(cells_[index(c, r)]);
    rowHeights_.remove(first, n);
    rowCount_ -= n;
    cells_ = cells;
    QList<CellRange> kept;
    for (CellRange m : merges_) {
        if (shrinkSpan(m.top, m.bottom, first, last) && (m.right > m.left || m.bottom > m.top))
            kept.append(m);
    }
    merges_ = kept;
    syncMergeProperties();
    return true;
}

bool TableModel::deleteColumns(int first, int last)
{
    if (first > last)
        std::swap(first, last);
    if (first < 0 || last >= colCount_)
        return false;
    const int n = last - first + 1;
    if (colCount_ - n < 2)
        return false;
    cells_.remove(qsizetype(first) * rowCount_, qsizetype(n) * rowCount_);
    colWidths_.remove(first, n);
    colCount_ -= n;
    QList<CellRange> kept;
    for (CellRange m : merges_) {
        if (shrinkSpan(m.left, m.right, first, last) && (m.right > m.left || m.bottom > m.top))
            kept.append(m);
    }
    merges_ = kept;
    syncMergeProperties();
    return true;
}

void TableModel::setFontName(const CellRange& range, const QString& name)
{
    for (int c = range.left; c <= range.right; ++c)
        for (int r = range.top; r <= range.bottom; ++r)
            if (isValidCell(c, r))
                ensureProperties(c, r).fontName = name;
}

void TableModel::setFontSize(const CellRange& range, int pointSize)
{
    for (int c = range.left; c <= range.right; ++c)
        for (int r = range.top; r <= range.bottom; ++r)
            if (isValidCell(c, r))
                ensureProperties(c, r).fontSize = pointSize;
}

void TableModel::setFontColor(const CellRange& range, TableColor color)
{
    for (int c = range.left; c <= range.right; ++c)
        for (int r = range.top; r <= range.bottom; ++r)
            if (isValidCell(c, r))
                ensureProperties(c, r).fontColor = color;
}

void TableModel::setStyle(const CellRange& range, bool bold, bool italic, bool underline)
{
    for (int c = range.left; c <= range.right; ++c) {
        for (int r = range.top; r <= range.bottom; ++r) {
            if (!isValidCell(c, r))
                continue;
            TableCellProperties& p = ensureProperties(c, r);
            p.bold = bold;
            p.italic = italic;
            p.underline = underline;
        }
    }
}

void TableModel::setAlignment(const CellRange& range, CellAlignment alignment)
{
    for (int c = range.left; c <= range.right; ++c)
        for (int r = range.top; r <= range.bottom; ++r)
            if (isValidCell(c, r))
                ensureProperties(c, r).alignment = alignment;
}

void TableModel::setBackground(int col, int row, TableColor color)
{
    if (isValidCell(col, row))
        ensureProperties(col, row).brushColor = color;
}

int TableModel::contentWidth() const
{
    int sum = 0;
    for (int c = 1; c < colCount_; ++c)
        sum += colWidths_[c];
    return sum;
}

int TableModel::contentHeight() const
{
    int sum = 0;
    for (int r = 1; r < rowCount_; ++r)
        sum += rowHeights_[r];
    return sum;
}

} // namespace ledsign
