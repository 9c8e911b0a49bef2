// Importing a table from a comma-separated file (".csv"): the values fill the
// content cells from the top left, the grid takes the size of the data, and
// every cell gets the editor's default font. ".xls" spreadsheets are read by
// tablefilexls.h; other spreadsheet files (".xlsx", ".ods") are refused with a
// message asking for an ".xls" or CSV export.
#pragma once

#include "content/tablemodel.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace ledsign {

// Rows of values. Quoted values may hold separators, doubled quotes and line
// breaks; the separator is "," unless the first line holds more ";" or TABs.
// Text is read as UTF-8 when valid, as GBK otherwise.
QList<QStringList> parseCsv(const QByteArray& bytes);

// What opening a file in the table editor does, by its extension.
enum class TableFileKind { Table, Csv, Xls, Spreadsheet, Unknown };
TableFileKind tableFileKind(const QString& path);

// The message for a spreadsheet file that cannot be read: only ".xls" and CSV.
QString spreadsheetRefusedMessage();

// Builds the table from CSV bytes, keeping the editor-wide settings of
// `table`; false with an error when the file holds no values or is too big.
bool importCsvTable(const QByteArray& bytes, const QString& fontName, TableModel& table,
                    QString* error = nullptr);

} // namespace ledsign
