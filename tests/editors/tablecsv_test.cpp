// Importing a table from CSV, and the refusal of spreadsheet files.
#include "content/tablefilecsv.h"

#include "model/codec.h"

#include <gtest/gtest.h>

using namespace ledsign;

TEST(TableCsv, ParsesQuotesSeparatorsAndEncodings)
{
    const QList<QStringList> rows = parseCsv("a,\"b,1\",\"say \"\"hi\"\"\"\r\n\"two\nlines\",,x\r\n");
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0], (QStringList{"a", "b,1", "say \"hi\""}));
    EXPECT_EQ(rows[1], (QStringList{"two\nlines", "", "x"}));

    EXPECT_EQ(parseCsv("x;y;z\n1;2;3").at(1), (QStringList{"1", "2", "3"}));
    EXPECT_EQ(parseCsv("x\ty\n").at(0), (QStringList{"x", "y"}));
    EXPECT_EQ(parseCsv(codec::encode(QStringLiteral("温度,湿度"))).at(0), (QStringList{"温度", "湿度"}));
    EXPECT_EQ(parseCsv(QStringLiteral("温度,湿度").toUtf8()).at(0), (QStringList{"温度", "湿度"}));
    EXPECT_TRUE(parseCsv("").isEmpty());
}

TEST(TableCsv, ImportFillsContentCells)
{
    TableModel t;
    t.lineColorIndex = 3;
    QString error;
    ASSERT_TRUE(importCsvTable("Name,Temp\nA,21\nB\n\n,\n", QStringLiteral("宋体"), t, &error));
    EXPECT_EQ(t.columnCount(), 3);
    EXPECT_EQ(t.rowCount(), 4);
    EXPECT_EQ(t.cell(1, 1).text, QStringLiteral("Name"));
    EXPECT_EQ(t.cell(2, 2).text, QStringLiteral("21"));
    EXPECT_EQ(t.cell(1, 3).text, QStringLiteral("B"));
    EXPECT_TRUE(t.cell(0, 0).text.isEmpty());
    EXPECT_EQ(t.cell(2, 3).properties.fontName, QStringLiteral("宋体"));
    EXPECT_EQ(t.lineColorIndex, 3);

    const TableModel before = t;
    EXPECT_FALSE(importCsvTable("\n,,\n", QStringLiteral("宋体"), t, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(t, before);
    QByteArray wide = QByteArray(1200, ',') + "\n";
    EXPECT_FALSE(importCsvTable(wide, QStringLiteral("宋体"), t, &error));
    EXPECT_EQ(t, before);
}

TEST(TableCsv, FileKinds)
{
    EXPECT_EQ(tableFileKind(QStringLiteral("/a/t1.TBL")), TableFileKind::Table);
    EXPECT_EQ(tableFileKind(QStringLiteral("/a/x.csv")), TableFileKind::Csv);
    EXPECT_EQ(tableFileKind(QStringLiteral("/a/x.XLS")), TableFileKind::Xls);
    EXPECT_EQ(tableFileKind(QStringLiteral("/a/x.XLSX")), TableFileKind::Spreadsheet);
    EXPECT_EQ(tableFileKind(QStringLiteral("/a/x.ods")), TableFileKind::Spreadsheet);
    EXPECT_EQ(tableFileKind(QStringLiteral("/a/x")), TableFileKind::Unknown);
    EXPECT_TRUE(spreadsheetRefusedMessage().contains(QStringLiteral(".csv")));
}
