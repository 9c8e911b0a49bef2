#include "content/tablefilexls.h"

#include "content/compoundfile.h"
#include "content/xlssheetlayout.h"
#include "language/language.h"

#include <QFile>
#include <QList>
#include <QStringList>

#include <freexl.h>

#include <algorithm>

namespace ledsign {

namespace {

bool fail(QString* error, const char* key)
{
    if (error)
        *error = messageText(QString::fromLatin1(key));
    return false;
}

struct XlsHandle {
    const void* handle = nullptr;
    ~XlsHandle()
    {
        if (handle)
            freexl_close(handle);
    }
};

QString cellText(const FreeXL_CellValue& v)
{
    switch (v.type) {
    case FREEXL_CELL_INT:
        return QString::number(v.value.int_value);
    case FREEXL_CELL_DOUBLE:
        return QString::number(v.value.double_value, 'g', 15);
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME:
        return v.value.text_value ? QString::fromUtf8(v.value.text_value) : QString();
    default:
        return QString();
    }
}

struct SheetValues {
    QList<QStringList> rows; // at most one row and column more than a table holds
    unsigned int sheetRows = 0;
    unsigned int sheetColumns = 0;
};

// The values of the first worksheet, row by row; false when unreadable.
bool readValues(const QString& path, SheetValues& values)
{
    XlsHandle xls;
    if (freexl_open(QFile::encodeName(path).constData(), &xls.handle) != FREEXL_OK)
        return false;
    unsigned int info = 0;
    if (freexl_get_info(xls.handle, FREEXL_BIFF_PASSWORD, &info) != FREEXL_OK || info == FREEXL_BIFF_OBFUSCATED)
        return false;
    if (freexl_get_info(xls.handle, FREEXL_BIFF_SHEET_COUNT, &info) != FREEXL_OK || info == 0)
        return false;
    if (freexl_select_active_worksheet(xls.handle, 0) != FREEXL_OK)
        return false;
    unsigned int rowCount = 0;
    unsigned short columnCount = 0;
    if (freexl_worksheet_dimensions(xls.handle, &rowCount, &columnCount) != FREEXL_OK)
        return false;
    values.sheetRows = rowCount;
    values.sheetColumns = columnCount;
    // Past the table's bounds only the count matters; the caller refuses it.
    const unsigned int readRows = std::min<unsigned int>(rowCount, kMaxTableRows);
    for (unsigned int r = 0; r < readRows; ++r) {
        QStringList row;
        for (unsigned short c = 0; c < columnCount && c < kMaxTableColumns; ++c) {
            FreeXL_CellValue v;
            if (freexl_get_cell_value(xls.handle, r, c, &v) != FREEXL_OK)
                return false;
            row << cellText(v);
        }
        values.rows << row;
    }
    return true;
}

bool isBlank(const QString& s)
{
    return s.trimmed().isEmpty();
}

} // namespace

bool importXlsTable(const QString& path, const QString& fontName, TableModel& table, QString* error)
{
    SheetValues values;
    if (!readValues(path, values))
        return fail(error, "warn_xls_unreadable");
    QList<QStringList>& rows = values.rows;
    // Empty rows and columns at the end are formatting only.
    while (!rows.isEmpty() && std::all_of(rows.last().begin(), rows.last().end(), isBlank))
        rows.removeLast();
    int cols = 0;
    for (const QStringList& r : rows)
        for (int c = int(r.size()) - 1; c >= cols; --c)
            if (!isBlank(r[c])) {
                cols = c + 1;
                break;
            }
    if (rows.isEmpty() || cols == 0)
        return fail(error, "warn_xls_empty");
    if (cols + 1 > kMaxTableColumns || rows.size() + 1 > kMaxTableRows) {
        if (error)
            *error = messageText(QStringLiteral("warn_xls_too_big"))
                         .arg(qMax<qsizetype>(rows.size(), values.sheetRows))
                         .arg(qMax<int>(cols, values.sheetColumns))
                         .arg(kMaxTableRows - 1)
                         .arg(kMaxTableColumns - 1);
        return false;
    }

    // The layout is read from the same file; a file whose values could be
    // read but whose layout cannot is taken without it.
    XlsSheetLayout layout;
    QFile file(path);
    QByteArray workbook;
    if (file.open(QIODevice::ReadOnly)
        && readCompoundStream(file.readAll(), {QStringLiteral("Workbook"), QStringLiteral("Book")}, &workbook))
        layout = readXlsSheetLayout(workbook);

    TableModel t = TableModel::create(int(rows.size()), kDefaultRowHeight, cols, kDefaultColumnWidth, fontName);
    t.backgroundIndex = table.backgroundIndex;
    t.lineWidthIndex = table.lineWidthIndex;
    t.lineColorIndex = table.lineColorIndex;
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < cols && c < rows[r].size(); ++c)
            t.setText(c + 1, r + 1, rows[r][c]);
    for (auto it = layout.columnWidths.cbegin(); it != layout.columnWidths.cend(); ++it)
        if (it.key() < cols && it.value() > 0)
            t.setColumnWidth(it.key() + 1, it.value());
    for (auto it = layout.rowHeights.cbegin(); it != layout.rowHeights.cend(); ++it)
        if (it.key() < rows.size() && it.value() > 0)
            t.setRowHeight(it.key() + 1, it.value());
    // Merges are clipped to the data; one reaching past it still joins the
    // cells that are there.
    for (const CellRange& m : layout.merges) {
        const CellRange clipped {m.left + 1, m.top + 1, qMin(m.right, cols - 1) + 1,
                                 qMin(m.bottom, int(rows.size()) - 1) + 1};
        if (clipped.left <= clipped.right && clipped.top <= clipped.bottom)
            t.merge(clipped); // a single cell or a merge cutting another is refused
    }
    table = t;
    return true;
}

} // namespace ledsign
