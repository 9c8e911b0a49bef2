// Number format codes of spreadsheets, each result worked out by hand from
// what a sheet shows for that value and code.
#include "content/xlsnumberformat.h"

#include <gtest/gtest.h>

using namespace ledsign;

TEST(XlsNumberFormat, NumbersInTheirCodes)
{
    const struct {
        double value;
        const char* code;
        const char* shown;
    } cases[] = {
        {553.5, "0.00", "553.50"},
        {2.675, "0.00", "2.68"}, // the sheet's rounding, not the binary's 2.67499...
        {-2.675, "0.00", "-2.68"},
        {1234567.891, "#,##0.00", "1,234,567.89"},
        {999.5, "#,##0", "1,000"},
        {0.5, "#.00", ".50"},
        {5, "#.##", "5."},
        {7, "000", "007"},
        {0.25, "0%", "25%"},
        {0.125, "0.00%", "12.50%"},
        {1234567, "#,##0,", "1,235"},
        {12345.678, "0.00E+00", "1.23E+04"},
        {0.000123, "0.0E+0", "1.2E-4"},
        {12345, "##0.0E+0", "12.3E+3"},
        {9.999, "0.00E+00", "1.00E+01"},
        {1.5, "# ?/?", "1 1/2"},
        {0.75, "?/?", "3/4"},
        {2, "# ?/?", "2"},
        {0.3, "# ?\?/100", "30/100"},
        {1234.5, "\"$\"#,##0.00", "$1,234.50"},
        {-1234.5, "#,##0.00;(#,##0.00)", "(1,234.50)"},
        {0, "0.00;-0.00;\"zero\"", "zero"},
        {0, "0;-0;", ""},
        {-4, "0;", ""},
        {-5, "$#,##0_);[Red]($#,##0)", "($5)"},
        {150, "[>100]\"big\";[<=100]0", "big"},
        {42, "[$€-407] #,##0.00", "€ 42.00"},
        {3.5, "0.0\" 元\"", "3.5 元"},
        {12, "General", "12"},
        {-3.25, "General", "-3.25"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatSpreadsheetNumber(c.value, QString::fromUtf8(c.code)), QString::fromUtf8(c.shown))
            << c.value << " in " << c.code;
}

TEST(XlsNumberFormat, DatesAndTimesInTheirCodes)
{
    // 46365 is 2026-12-09 (a Wednesday) counted from 1900; 0.6045138... is 14:30:30.
    const double day = 46365;
    const double time = (14 * 3600 + 30 * 60 + 30) / 86400.0;
    const struct {
        double value;
        const char* code;
        bool from1904;
        const char* shown;
    } cases[] = {
        {day, "yyyy-mm-dd", false, "2026-12-09"},
        {day, "YYYY-MM-DD", false, "2026-12-09"},
        {day, "d-mmm-yy", false, "9-Dec-26"},
        {day, "dddd, mmmm d", false, "Wednesday, December 9"},
        {day, "yyyy\"年\"m\"月\"d\"日\" aaaa", false, "2026年12月9日 星期三"},
        {day - 1462, "yyyy-mm-dd", true, "2026-12-09"},
        {60, "yyyy-mm-dd", false, "1900-02-29"}, // the day the sheet counts that never was
        {61, "yyyy-mm-dd", false, "1900-03-01"},
        {day + time, "yyyy/m/d h:mm", false, "2026/12/9 14:30"},
        {time, "h:mm:ss AM/PM", false, "2:30:30 PM"},
        {time, "hh:mm a/p", false, "02:30 p"},
        {1.5 + 1 / 86400.0, "[h]:mm:ss", false, "36:00:01"},
        {(59.96) / 86400.0, "mm:ss.0", false, "01:00.0"},
        {-1, "yyyy-mm-dd", false, "-1"}, // no date before the first day
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatSpreadsheetNumber(c.value, QString::fromUtf8(c.code), c.from1904), QString::fromUtf8(c.shown))
            << c.value << " in " << c.code;
}

TEST(XlsNumberFormat, GeneralKeepsElevenCharacters)
{
    const struct {
        double value;
        const char* shown;
    } cases[] = {
        {0, "0"},       {3, "3"},           {2.5, "2.5"},         {1.0 / 3, "0.333333333"},
        {-1.0 / 3, "-0.333333333"},         {12345678901, "12345678901"},
        {123456789012, "1.23457E+11"},      {0.1 + 0.2, "0.3"},   {1e-12, "1E-12"},
        {1234.56789012, "1234.56789"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(generalNumberText(c.value), QString::fromLatin1(c.shown)) << c.value;
    EXPECT_EQ(builtInNumberFormat(14), QStringLiteral("yyyy/m/d"));
    EXPECT_EQ(builtInNumberFormat(9), QStringLiteral("0%"));
    EXPECT_EQ(builtInNumberFormat(200), QStringLiteral("General"));
}
