// Importing a table from the first worksheet of an ".xls" spreadsheet: the
// cell texts fill the content cells from the top left, the grid takes the
// size of the data and the sheet's column widths and row heights, merged
// cells stay merged, and every cell gets the editor's default font.
#pragma once

#include "content/tablemodel.h"

#include <QString>

namespace ledsign {

// Builds the table from the file at `path`, keeping the editor-wide settings
// of `table`; false with an error (from the language tables) when the file
// cannot be read, holds no values or is too big - `table` is then unchanged.
bool importXlsTable(const QString& path, const QString& fontName, TableModel& table, QString* error = nullptr);

} // namespace ledsign
