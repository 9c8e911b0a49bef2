// The cell values of an ".xls" workbook stream (BIFF8, and the byte strings
// of BIFF5/7), as the sheet shows them: numbers in their number formats,
// TRUE and FALSE, error codes, the cached results of formulas. Every length
// and offset is checked against the bytes; a damaged or cut stream gives a
// reason, never a read outside them.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace ledsign {

struct XlsWorksheet {
    QString name;
    bool visible = true;
    qsizetype offset = 0; // its BOF record in the workbook stream
};

// What the workbook's sheets share: their list, the shared strings, the
// number formats of the cell styles and the date system.
struct XlsGlobals {
    bool biff8 = true;
    bool date1904 = false;
    int codePage = 1252;
    QList<XlsWorksheet> worksheets; // charts and macro sheets left out
    QStringList sharedStrings;
    QList<int> styleFormats;      // number format of each cell style (XF)
    QHash<int, QString> formats;  // the file's own format codes by index
};

bool readXlsGlobals(const QByteArray& workbook, XlsGlobals* globals, QString* reason);

struct XlsCellTexts {
    // Texts by row and column from 0, only of cells inside the bounds asked.
    QHash<quint32, QString> cells;
    // One past the last row and column that hold a value, over the whole sheet.
    int rows = 0;
    int columns = 0;
    QString text(int row, int column) const { return cells.value(key(row, column)); }
    static quint32 key(int row, int column) { return quint32(row) << 8 | quint32(column); }
};

// The cells of one worksheet that hold something other than blanks;
// cells at or past `maxRows` x `maxColumns` are only counted.
bool readXlsCellTexts(const QByteArray& workbook, const XlsGlobals& globals, const XlsWorksheet& sheet,
                      int maxRows, int maxColumns, XlsCellTexts* texts, QString* reason);

} // namespace ledsign
