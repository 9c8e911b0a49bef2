// Importing a table from the first visible worksheet with values of an
// ".xls" spreadsheet, the texts as the sheet shows them: the
// cell texts fill the content cells from the top left, the grid takes the
// size of the data and the sheet's column widths and row heights, merged
// cells stay merged, and every cell gets the editor's default font.
#pragma once

#include "content/tablemodel.h"

#include <QString>

namespace ledsign {

// Builds the table from the file at `path`, keeping the editor-wide settings
// of `table`; false with an error (from the language tables, naming the file
// and why) when the file cannot be read, holds no values or is too big -
// `table` is then unchanged. The file is read by our own bounds-checked
// readers only, so a damaged file is refused and never read past its bytes.
bool importXlsTable(const QString& path, const QString& fontName, TableModel& table, QString* error = nullptr);
// The same from the file's bytes; `path` only names it in the error.
bool importXlsTable(const QByteArray& bytes, const QString& path, const QString& fontName, TableModel& table,
                    QString* error = nullptr);

} // namespace ledsign
