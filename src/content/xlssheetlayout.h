// The layout of the first worksheet of an ".xls" workbook stream (BIFF8
// records): merged rectangles, column widths and row heights in screen
// pixels. The cell values are read elsewhere; these are what a value reader
// leaves out. Damaged records end the walk with what was found so far.
#pragma once

#include "content/tablemodel.h"

#include <QByteArray>
#include <QList>
#include <QMap>

namespace ledsign {

struct XlsSheetLayout {
    QList<CellRange> merges;      // sheet columns and rows, from 0
    QMap<int, int> columnWidths;  // column -> pixels, for the columns the sheet sizes
    QMap<int, int> rowHeights;    // row -> pixels, for the rows the sheet sizes
};

// Of the first worksheet the workbook lists.
XlsSheetLayout readXlsSheetLayout(const QByteArray& workbook);
// Of the worksheet whose BOF record is at `sheetOffset`.
XlsSheetLayout readXlsSheetLayout(const QByteArray& workbook, qsizetype sheetOffset);

} // namespace ledsign
