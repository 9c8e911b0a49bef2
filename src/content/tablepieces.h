// The pictures a table material sends: the table is drawn at one pixel per
// LED pixel and cut into pieces of the region's size according to how the
// material moves (a horizontal strip, a vertical strip, or sheets of whole
// rows), each saved as a 24-bit BMP beside the table file. Also the table's
// base path, from which the table file and the piece names are made.
#pragma once

#include "content/tablemodel.h"

#include <QDateTime>
#include <QImage>
#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>

class QPainter;

namespace ledsign {

struct TFodder;
class DataFolder;

inline constexpr int kMaxFullSheets = 31;
inline constexpr int kDisplayMoveLeft = 1; // "move right to left"
inline constexpr int kDisplayMoveUp = 3;   // "move bottom to top"

// Shown when a sheet boundary cuts through merged cells.
QString sheetMergeMessage(); // "行列合并后已超区域宽，需删除表格重新制作！"

enum class TableCutMode { HorizontalStrip, VerticalStrip, Sheets };

// A moving table without a stop time becomes a strip; anything else sheets.
TableCutMode tableCutMode(int displayMode, int remainTime);

// One picture to make. `area` is in content pixels: x = 0 is the left edge of
// the first content column, y = 0 the top edge of the first content row.
struct TablePiece {
    QString suffix; // "__0", "__i3", "__j4"
    QRect area;
    bool topEdge = false;
    bool leftEdge = false;
    bool rightEdge = false;
    bool bottomEdge = false;
};

struct TablePiecePlan {
    QList<TablePiece> pieces;
    QString message; // set when the sheets stopped at merged cells
    // Content rows (1-based) of the last sheet that lie below the region's
    // height: after the last full sheet every remaining row goes on one
    // picture, and the card shows only its top. 0 when every row is shown.
    int firstUnsentRow = 0;
    int lastUnsentRow = 0;
};

// Tells the operator which content rows a table cannot send.
QString tableRowsNotSentMessage(int firstRow, int lastRow);

// The same for a table material as it stands: its table file (beside its
// first piece) cut for the region by its display mode and stop time.
// Empty when every row is sent or there is no table file to read.
QString tableMaterialRowsNotSent(const TFodder& material, int regionWidth, int regionHeight);

// The pieces of the table for a region of regionWidth x regionHeight pixels.
// A content row taller than the region gets a sheet of its own, cut at the
// region's height. The last sheet holds every row left after the full
// sheets, however high they add up. In the vertical strip the bands of regionHeight down the
// table are the pieces. Nothing is planned for an empty region or table.
TablePiecePlan planTablePieces(const TableModel& table, TableCutMode mode, int regionWidth,
                               int regionHeight);

// Draws a cell's background and text into `rect` (the cell, or the span of
// merged cells it starts) as the pieces show them; no grid lines.
void drawTableCellContent(QPainter& p, const TableModel& table, int col, int row, const QRect& rect);

// Draws one piece: backgrounds, texts, the grid lines between cells and the
// piece's edges in the line colour and width.
QImage drawTablePiece(const TableModel& table, const TablePiece& piece);

struct TablePiecesResult {
    bool ok = false;
    QStringList files;   // in play order
    QString message;     // the merge message, when the sheets stopped early
    QString unsentRows;  // tableRowsNotSentMessage, when rows cannot be sent
    QString error;       // why saving failed
};

// Saves base + ".tbl" and every piece as base + suffix + ".bmp"; pieces of
// the same base left from an earlier cut are removed.
TablePiecesResult makeTablePieces(const TableModel& table, const QString& basePath, int displayMode,
                                  int remainTime, int regionWidth, int regionHeight);

// What the table editor hands back to its material.
struct TableEditResult {
    int lineColorIndex = 0; // tableParam1
    int lineWidthIndex = 0; // tableParam2
    int displayMode = 0;
    int remainTime = 0;
    QStringList pieces;     // empty when none were made
};
// Stores the line settings, display mode and stop time; the image list is
// replaced by the pieces, in order, only when there are any.
void applyTableEdit(TFodder& material, const TableEditResult& result);

// The stop time box: its number, 0 when it is not one.
int stopTimeFromText(const QString& text);

// The base path of a table material: its first image file without the piece
// suffix, or for a new table the table folder + "/t" + the time stamp.
QString tableBasePath(const TFodder& material, const DataFolder& folders, const QDateTime& now);
// The base of a piece file name ("…/t1205143059__i3.bmp" -> "…/t1205143059").
QString tableBaseOfPiece(const QString& piecePath);
// The base of an opened table file: the path without its extension.
QString tableBaseOfFile(const QString& tablePath);
// The 12-character time stamp of a new table: MMddHHmmss and two digits of ms.
QString tableTimeStamp(const QDateTime& now);

} // namespace ledsign
