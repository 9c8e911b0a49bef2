// How a spreadsheet shows a number: the number format codes of ".xls"
// workbooks ("0.00", "#,##0", "0%", "0.00E+00", "# ?/?", "yyyy-mm-dd h:mm",
// sections split by ";" for positive, negative and zero values). Month and
// day names are English and the short date is "yyyy/m/d", whatever the
// machine's locale, so the same file always gives the same texts.
#pragma once

#include <QString>

namespace ledsign {

// The code of a built-in format (the indexes below 164 that a file uses
// without a FORMAT record of its own); "General" when the index is unknown.
QString builtInNumberFormat(int index);

// `value` shown in `code`. `date1904` says the workbook counts days from 1904.
QString formatSpreadsheetNumber(double value, const QString& code, bool date1904 = false);

// A number in the "General" format: at most eleven characters, as a sheet's
// cell of standard width shows it ("3", "2.5", "0.333333333", "1.23457E+11").
QString generalNumberText(double value);

} // namespace ledsign
