#include "content/tablefilexls.h"

#include "content/compoundfile.h"
#include "content/xlssheetlayout.h"
#include "content/xlsworkbook.h"
#include "language/language.h"

#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QStringList>

#include <algorithm>

namespace ledsign {

namespace {

// A larger file is no table a card can show; it is refused before reading.
constexpr qint64 kMaxXlsFileSize = 64 * 1024 * 1024;

bool unreadable(QString* error, const QString& path, const QString& reason)
{
    if (error)
        *error = messageText(QStringLiteral("warn_xls_unreadable")).arg(QFileInfo(path).fileName(), reason);
    return false;
}

} // namespace

bool importXlsTable(const QString& path, const QString& fontName, TableModel& table, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return unreadable(error, path, file.errorString());
    if (file.size() > kMaxXlsFileSize)
        return unreadable(error, path, QStringLiteral("larger than 64 MiB"));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return unreadable(error, path, file.errorString());
    return importXlsTable(bytes, path, fontName, table, error);
}

bool importXlsTable(const QByteArray& bytes, const QString& path, const QString& fontName, TableModel& table,
                    QString* error)
{
    QByteArray workbook;
    QString reason;
    if (!readCompoundStream(bytes, {QStringLiteral("Workbook"), QStringLiteral("Book")}, &workbook, &reason))
        return unreadable(error, path, reason);
    XlsGlobals globals;
    if (!readXlsGlobals(workbook, &globals, &reason))
        return unreadable(error, path, reason);
    // The first visible worksheet that holds values: hidden sheets are not
    // shown, and an empty first sheet is often only a cover.
    XlsCellTexts cells;
    const XlsWorksheet* sheet = nullptr;
    for (const XlsWorksheet& s : globals.worksheets) {
        if (!s.visible)
            continue;
        if (!readXlsCellTexts(workbook, globals, s, kMaxTableRows, kMaxTableColumns, &cells, &reason))
            return unreadable(error, path, reason);
        if (!cells.cells.isEmpty() || cells.rows > 0) {
            sheet = &s;
            break;
        }
    }
    if (!sheet) {
        if (error)
            *error = messageText(QStringLiteral("warn_xls_empty")).arg(QFileInfo(path).fileName());
        return false;
    }
    // Blank texts at the end of the sheet are formatting only.
    auto blank = [](const QString& s) { return s.trimmed().isEmpty(); };
    int rows = 0, cols = 0;
    for (auto it = cells.cells.cbegin(); it != cells.cells.cend(); ++it)
        if (!blank(it.value())) {
            rows = qMax(rows, int(it.key() >> 8) + 1);
            cols = qMax(cols, int(it.key() & 0xFF) + 1);
        }
    if (rows == 0 || cols == 0) {
        if (error)
            *error = messageText(QStringLiteral("warn_xls_empty")).arg(QFileInfo(path).fileName());
        return false;
    }
    if (cols + 1 > kMaxTableColumns || rows + 1 > kMaxTableRows || cells.rows + 1 > kMaxTableRows
        || cells.columns + 1 > kMaxTableColumns) {
        if (error)
            *error = messageText(QStringLiteral("warn_xls_too_big"))
                         .arg(qMax(rows, cells.rows))
                         .arg(qMax(cols, cells.columns))
                         .arg(kMaxTableRows - 1)
                         .arg(kMaxTableColumns - 1)
                         .arg(QFileInfo(path).fileName());
        return false;
    }

    const XlsSheetLayout layout = readXlsSheetLayout(workbook, sheet->offset);
    TableModel t = TableModel::create(rows, kDefaultRowHeight, cols, kDefaultColumnWidth, fontName);
    t.backgroundIndex = table.backgroundIndex;
    t.lineWidthIndex = table.lineWidthIndex;
    t.lineColorIndex = table.lineColorIndex;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            t.setText(c + 1, r + 1, cells.text(r, c));
    for (auto it = layout.columnWidths.cbegin(); it != layout.columnWidths.cend(); ++it)
        if (it.key() < cols && it.value() > 0)
            t.setColumnWidth(it.key() + 1, it.value());
    for (auto it = layout.rowHeights.cbegin(); it != layout.rowHeights.cend(); ++it)
        if (it.key() < rows && it.value() > 0)
            t.setRowHeight(it.key() + 1, it.value());
    // Merges are clipped to the data; one reaching past it still joins the
    // cells that are there.
    for (const CellRange& m : layout.merges) {
        const CellRange clipped {m.left + 1, m.top + 1, qMin(m.right, cols - 1) + 1, qMin(m.bottom, rows - 1) + 1};
        if (clipped.left <= clipped.right && clipped.top <= clipped.bottom)
            t.merge(clipped); // a single cell or a merge cutting another is refused
    }
    table = t;
    return true;
}

} // namespace ledsign
