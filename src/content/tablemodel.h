// The table of a table material as the table editor edits it: a grid with one
// header row and one header column (edited, never drawn onto the card), column
// widths, row heights, merged rectangles and the cells with their look. The
// table file (tablefile.h) stores it; the pieces (tablepieces.h) draw it.
#pragma once

#include <QByteArray>
#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace ledsign {

// A colour as the table file holds it: 0x00BBGGRR, or kTableNoColor.
using TableColor = quint32;
inline constexpr TableColor kTableNoColor = 0x1FFFFFFFu;
inline constexpr TableColor kTableBlack = 0x000000u;

inline constexpr int kDefaultColumnWidth = 64;
inline constexpr int kDefaultRowHeight = 24;
inline constexpr int kDefaultCellPointSize = 10;
// Bounds a table (and a table file) is held to, header row and column included.
inline constexpr int kMaxTableColumns = 1000;
inline constexpr int kMaxTableRows = 2000;
inline constexpr int kMaxTableLineSize = 4000; // pixels of one row or column

enum class CellAlignment : int { Left = 0, Centre = 1, Right = 2 };

// Properties a cell gets the first time its look is set or it is merged.
// Fields the editor does not use are kept so that a file reads back the same.
struct TableCellProperties {
    bool isBaseCell = true;
    int cellSpanX = -1;
    int cellSpanY = -1;
    int ownerCol = 0;
    int ownerRow = 0;
    CellAlignment alignment = CellAlignment::Left;
    TableColor borderColor = kTableBlack;
    int borderWidth = 0;
    TableColor brushColor = kTableNoColor; // cell background
    QByteArray brushStyle = "bsSolid";
    TableColor fontColor = kTableNoColor;
    QString fontName;
    int fontSize = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    QByteArray editor = "edNormal";
    bool readOnly = false;
    QByteArray vAlignment = "vtaTop";
    bool wordWrap = false;
    int nodeLevel = 0;

    bool operator==(const TableCellProperties&) const = default;
};

struct TableCell {
    QString text;
    bool hasProperties = false;
    TableCellProperties properties;

    bool operator==(const TableCell&) const = default;
};

// A selection: columns left..right and rows top..bottom, inclusive.
struct CellRange {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool contains(int col, int row) const { return col >= left && col <= right && row >= top && row <= bottom; }
    bool operator==(const CellRange&) const = default;
};

// Named colours of the table file and the editor's colour lists.
struct TableColorName {
    const char* name;
    TableColor value;
};
// "clBlack", "clRed", ..., "clWhite", "clNone".
const QList<TableColorName>& tableColorNames();
// Value of a colour name; false when the name is unknown.
bool tableColorOfName(const QByteArray& name, TableColor* value);
// Name of a colour value; empty when it has none.
QByteArray tableColorName(TableColor value);
// Screen colour (0xAARRGGBB) of a table colour.
quint32 tableColorToRgb(TableColor value);

// Background list: 0 black, 1 red, 2 green, 3 yellow, 4 blue, 5 purple, 6 aqua, 7 white.
TableColor backgroundColorOfIndex(int index);
int backgroundIndexOfColor(TableColor color); // -1 when not in the list
// Line colour and font colour list: 0 red .. 6 white (the card colour codes 1..7).
TableColor cardColorOfIndex(int index);
int cardColorIndexOfColor(TableColor color); // -1 when not in the list

// A column width typed in the new-table window, rounded to a multiple of 8
// (remainder 0 to 4 down, 5 to 7 up); 64 when the text is not a number.
int roundedColumnWidth(const QString& typed);

class TableModel {
public:
    // A table of 2 x 2 content cells with default sizes and no cell properties.
    TableModel();

    // The new-table command: content rows and columns (at least 1 each) plus
    // the header row and column, every cell with properties in the given font
    // at point size 10.
    static TableModel create(int contentRows, int rowHeight, int contentColumns, int columnWidth,
                             const QString& fontName);

    int columnCount() const { return colCount_; }
    int rowCount() const { return rowCount_; }
    bool isValidCell(int col, int row) const;

    // Resizes the grid (within the bounds), keeping cells that remain; new
    // columns and rows get the default size.
    void resize(int columns, int rows);

    int columnWidth(int col) const { return colWidths_.value(col, 0); }
    int rowHeight(int row) const { return rowHeights_.value(row, 0); }
    void setColumnWidth(int col, int width);
    void setRowHeight(int row, int height);
    const QList<int>& columnWidths() const { return colWidths_; }
    const QList<int>& rowHeights() const { return rowHeights_; }

    const TableCell& cell(int col, int row) const;
    void setText(int col, int row, const QString& text);
    // Gives the cell its properties (with the creation defaults) when it has none.
    TableCellProperties& ensureProperties(int col, int row);
    // Replaces the cell wholesale (used by the file reader).
    void setCell(int col, int row, const TableCell& cell);

    // Merged rectangles (more than one cell each, never overlapping).
    const QList<CellRange>& merges() const { return merges_; }
    // The merge that holds the cell, or the cell alone.
    CellRange spanOf(int col, int row) const;
    // Merges the range; merges inside it are dissolved first. Refused (false)
    // for a single cell, a range outside the grid, or one that cuts through a
    // merge reaching outside it.
    bool merge(const CellRange& range);
    // Undoes the merge whose top-left cell is (col, row); false when none.
    bool split(int col, int row);
    // Rebuilds the merges from the cells' properties (after reading a file).
    void rebuildMergesFromProperties();

    // Inserts one row / column before `row` / `col`.
    bool insertRow(int row);
    bool insertColumn(int col);
    // Deletes rows first..last / columns first..last; refused when fewer than
    // one content row / column would be left.
    bool deleteRows(int first, int last);
    bool deleteColumns(int first, int last);

    // Look of every cell of the range.
    void setFontName(const CellRange& range, const QString& name);
    void setFontSize(const CellRange& range, int pointSize);
    void setFontColor(const CellRange& range, TableColor color);
    void setStyle(const CellRange& range, bool bold, bool italic, bool underline);
    void setAlignment(const CellRange& range, CellAlignment alignment);
    // Background of one cell (the editor gives it the selection's top-left cell).
    void setBackground(int col, int row, TableColor color);

    // Editor-wide settings, not stored in the table file.
    int backgroundIndex = 0; // list index of the table background
    int lineWidthIndex = 0;  // 0..4 = 1..5 pixels
    int lineColorIndex = 0;  // 0 red .. 6 white
    int lineWidth() const { return qBound(0, lineWidthIndex, 4) + 1; }

    // Sums over content columns / rows (the header ones left out).
    int contentWidth() const;
    int contentHeight() const;

    bool operator==(const TableModel&) const = default;

private:
    int index(int col, int row) const { return col * rowCount_ + row; }
    void syncMergeProperties();
    bool wouldCut(const CellRange& range) const;

    int colCount_ = 3;
    int rowCount_ = 3;
    QList<int> colWidths_;
    QList<int> rowHeights_;
    QList<TableCell> cells_; // column by column
    QList<CellRange> merges_;
};

} // namespace ledsign
