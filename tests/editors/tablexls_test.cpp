// Importing a table from an ".xls" spreadsheet: the fixtures in xls/ were
// written by make_fixtures.py (python3-xlwt) and make_office_fixtures.py
// (LibreOffice) there, whose lines say what each cell holds.
#include "content/tablefilexls.h"

#include "language/language.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace ledsign;

namespace {

QString fixture(const char* name)
{
    return test::sourceDir() + QStringLiteral("/tests/editors/xls/") + QString::fromLatin1(name);
}

QString message(const char* key)
{
    return GetLgText(3, QString::fromLatin1(key));
}

} // namespace

TEST(TableXls, ImportsTheFirstSheetsTexts)
{
    TableModel t;
    t.lineColorIndex = 5;
    t.backgroundIndex = 2;
    QString error;
    ASSERT_TRUE(importXlsTable(fixture("plain.xls"), QStringLiteral("宋体"), t, &error)) << error.toStdString();
    // Four columns A..D and three rows of values; the formatted empty cell
    // in row 6 adds nothing.
    EXPECT_EQ(t.columnCount(), 5);
    EXPECT_EQ(t.rowCount(), 4);
    EXPECT_EQ(t.cell(1, 1).text, QStringLiteral("Name"));
    EXPECT_EQ(t.cell(2, 1).text, QStringLiteral("Price"));
    EXPECT_TRUE(t.cell(3, 1).text.isEmpty());
    EXPECT_EQ(t.cell(4, 1).text, QStringLiteral("Since"));
    EXPECT_EQ(t.cell(1, 2).text, QStringLiteral("苹果"));
    EXPECT_EQ(t.cell(2, 2).text, QStringLiteral("3"));
    EXPECT_EQ(t.cell(4, 2).text, QStringLiteral("2026-12-09"));
    EXPECT_EQ(t.cell(1, 3).text, QStringLiteral("pear, ripe"));
    EXPECT_EQ(t.cell(2, 3).text, QStringLiteral("2.5"));
    EXPECT_TRUE(t.cell(4, 3).text.isEmpty());
    // The header row and column stay empty; the second sheet is not read.
    EXPECT_TRUE(t.cell(0, 1).text.isEmpty());
    EXPECT_TRUE(t.cell(1, 0).text.isEmpty());
    for (int c = 0; c < t.columnCount(); ++c)
        for (int r = 0; r < t.rowCount(); ++r)
            EXPECT_NE(t.cell(c, r).text, QStringLiteral("not imported"));
    EXPECT_EQ(t.cell(3, 2).properties.fontName, QStringLiteral("宋体"));
    EXPECT_EQ(t.lineColorIndex, 5);
    EXPECT_EQ(t.backgroundIndex, 2);
    EXPECT_TRUE(t.merges().isEmpty());
}

TEST(TableXls, KeepsMergedCellsWidthsAndHeights)
{
    TableModel t;
    QString error;
    ASSERT_TRUE(importXlsTable(fixture("merged.xls"), QStringLiteral("Arial"), t, &error)) << error.toStdString();
    EXPECT_EQ(t.columnCount(), 4);
    EXPECT_EQ(t.rowCount(), 4);
    EXPECT_EQ(t.cell(1, 1).text, QStringLiteral("温度表"));
    EXPECT_EQ(t.cell(1, 2).text, QStringLiteral("Hall"));
    EXPECT_EQ(t.cell(3, 3).text, QStringLiteral("24"));
    // A1:C1 and A2:A3 of the sheet.
    ASSERT_EQ(t.merges().size(), 2);
    EXPECT_TRUE(t.merges().contains((CellRange {1, 1, 3, 1})));
    EXPECT_TRUE(t.merges().contains((CellRange {1, 2, 1, 3})));
    EXPECT_FALSE(t.cell(2, 1).properties.isBaseCell);
    EXPECT_FALSE(t.cell(1, 3).properties.isBaseCell);
    // Column B is 20 digits wide (7 pixels each), row 3 is 30 points high.
    EXPECT_EQ(t.columnWidth(2), 140);
    EXPECT_EQ(t.columnWidth(1), kDefaultColumnWidth);
    EXPECT_EQ(t.rowHeight(3), 40);
}

TEST(TableXls, RefusesUnreadableAndEmptyFilesInEveryLanguage)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray good = test::readAll(fixture("plain.xls"));
    ASSERT_GT(good.size(), 4096);
    const QString truncated = dir.filePath(QStringLiteral("truncated.xls"));
    const QString text = dir.filePath(QStringLiteral("text.xls"));
    const QString noise = dir.filePath(QStringLiteral("noise.xls"));
    ASSERT_TRUE(test::writeAll(truncated, good.left(1500)));
    ASSERT_TRUE(test::writeAll(text, "a,b,c\n1,2,3\n"));
    QByteArray bytes = good;
    for (qsizetype i = 512; i < bytes.size(); i += 3)
        bytes[i] = char(0xA5 ^ i);
    ASSERT_TRUE(test::writeAll(noise, bytes));

    const TableModel before = TableModel::create(2, 24, 2, 64, QStringLiteral("Arial"));
    const int previous = currentLanguage();
    QStringList seen;
    for (int language : {kSimplifiedChinese, kTraditionalChinese, kEnglish}) {
        setCurrentLanguage(language);
        const QString unreadable = message("warn_xls_unreadable");
        ASSERT_FALSE(unreadable.isEmpty()) << language;
        seen << unreadable;
        // Each refusal names the file and why.
        const struct {
            QString path;
            const char* reason;
        } refused[] = {{truncated, "damaged"},
                       {text, "not an .xls file"},
                       {noise, ""},
                       {dir.filePath(QStringLiteral("missing.xls")), "No such file"}};
        for (const auto& r : refused) {
            TableModel t = before;
            QString error;
            EXPECT_FALSE(importXlsTable(r.path, QStringLiteral("Arial"), t, &error)) << r.path.toStdString();
            const QString name = QFileInfo(r.path).fileName();
            EXPECT_TRUE(error.startsWith(unreadable.section(QStringLiteral("%1"), 0, 0) + name)) << error.toStdString();
            EXPECT_TRUE(error.contains(QLatin1String(r.reason))) << error.toStdString();
            EXPECT_EQ(t, before);
        }
        TableModel t = before;
        QString error;
        EXPECT_FALSE(importXlsTable(fixture("empty.xls"), QStringLiteral("Arial"), t, &error));
        EXPECT_EQ(error, message("warn_xls_empty").arg(QStringLiteral("empty.xls")));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(t, before);
        EXPECT_FALSE(message("warn_xls_too_big").isEmpty());
        EXPECT_FALSE(message("warn_xls_only").isEmpty());
    }
    setCurrentLanguage(previous);
    seen.removeDuplicates();
    EXPECT_EQ(seen.size(), 3); // each language has its own text
}

TEST(TableXls, ShowsTheCellsAsTheSheetShowsThem)
{
    // Written by LibreOffice: one column per format, then a hidden sheet.
    TableModel t;
    QString error;
    ASSERT_TRUE(importXlsTable(fixture("formats.xls"), QStringLiteral("Arial"), t, &error)) << error.toStdString();
    const QStringList expected[] = {
        {"Item", "Price", "Share", "In stock", "Since", "Total"},
        {"Tea", "553.50", "25%", "TRUE", "09.12.2026", "1,107.00"},
        {"Rice", "1,234.50", "12.50%", "FALSE", "2026-12-09 14:30", ""},
        {"Salt", "0.333333333", "1234567", "-2.68", "", ""},
    };
    ASSERT_EQ(t.rowCount(), 5);
    ASSERT_EQ(t.columnCount(), 7);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 6; ++c)
            EXPECT_EQ(t.cell(c + 1, r + 1).text, expected[r][c]) << "row " << r << " column " << c;
}

TEST(TableXls, TakesTheFirstVisibleSheetThatHoldsValues)
{
    TableModel t;
    QString error;
    // An empty cover sheet comes before the data.
    ASSERT_TRUE(importXlsTable(fixture("cover.xls"), QStringLiteral("Arial"), t, &error)) << error.toStdString();
    EXPECT_EQ(t.cell(1, 1).text, QStringLiteral("台位"));
    EXPECT_EQ(t.cell(2, 2).text, QStringLiteral("21.50"));
    // A hidden first sheet (written by python3-xlwt) is passed over.
    ASSERT_TRUE(importXlsTable(fixture("hiddenfirst.xls"), QStringLiteral("Arial"), t, &error)) << error.toStdString();
    EXPECT_EQ(t.rowCount(), 2);
    const QStringList board{"553.50", "25%", "TRUE", "9-Dec-26 14:30"};
    for (int c = 0; c < board.size(); ++c)
        EXPECT_EQ(t.cell(c + 1, 1).text, board[c]);
    // Values only on a hidden sheet: nothing the operator sees.
    const TableModel before = t;
    EXPECT_FALSE(importXlsTable(fixture("hiddenonly.xls"), QStringLiteral("Arial"), t, &error));
    EXPECT_EQ(error, message("warn_xls_empty").arg(QStringLiteral("hiddenonly.xls")));
    EXPECT_EQ(t, before);
}
