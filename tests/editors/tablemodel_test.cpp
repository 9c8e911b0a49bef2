// Editing a table: new tables, merges, inserting and deleting rows and
// columns, and the look of cells.
#include "content/tablemodel.h"

#include <gtest/gtest.h>

using namespace ledsign;

TEST(TableModel, NewTable)
{
    EXPECT_EQ(roundedColumnWidth(QStringLiteral("69")), 72);
    EXPECT_EQ(roundedColumnWidth(QStringLiteral("68")), 64);
    EXPECT_EQ(roundedColumnWidth(QStringLiteral("64")), 64);
    EXPECT_EQ(roundedColumnWidth(QStringLiteral("3")), 0);
    EXPECT_EQ(roundedColumnWidth(QStringLiteral("5")), 8);
    EXPECT_EQ(roundedColumnWidth(QStringLiteral("wide")), 64);

    const TableModel t = TableModel::create(3, 20, 4, 72, QStringLiteral("宋体"));
    EXPECT_EQ(t.columnCount(), 5);
    EXPECT_EQ(t.rowCount(), 4);
    EXPECT_EQ(t.contentWidth(), 4 * 72);
    EXPECT_EQ(t.contentHeight(), 3 * 20);
    for (int c = 0; c < 5; ++c) {
        for (int r = 0; r < 4; ++r) {
            const TableCell& cell = t.cell(c, r);
            ASSERT_TRUE(cell.hasProperties);
            EXPECT_EQ(cell.properties.fontName, QStringLiteral("宋体"));
            EXPECT_EQ(cell.properties.fontSize, 10);
            EXPECT_EQ(cell.properties.ownerCol, c);
            EXPECT_EQ(cell.properties.ownerRow, r);
            EXPECT_EQ(cell.properties.cellSpanX, -1);
        }
    }
    // The plain table has no properties until a look is set.
    TableModel plain;
    EXPECT_FALSE(plain.cell(1, 1).hasProperties);
    plain.setAlignment({1, 1, 1, 1}, CellAlignment::Right);
    EXPECT_TRUE(plain.cell(1, 1).hasProperties);
    EXPECT_FALSE(plain.cell(2, 1).hasProperties);
    EXPECT_EQ(plain.cell(1, 1).properties.fontColor, kTableNoColor);
}

TEST(TableModel, MergeAndSplit)
{
    TableModel t = TableModel::create(4, 24, 4, 64, QStringLiteral("Arial"));
    ASSERT_TRUE(t.merge({1, 1, 3, 2}));
    const TableCellProperties& base = t.cell(1, 1).properties;
    EXPECT_TRUE(base.isBaseCell);
    EXPECT_EQ(base.cellSpanX, 2);
    EXPECT_EQ(base.cellSpanY, 1);
    const TableCellProperties& covered = t.cell(3, 2).properties;
    EXPECT_FALSE(covered.isBaseCell);
    EXPECT_EQ(covered.cellSpanX, 2);
    EXPECT_EQ(covered.cellSpanY, 1);
    EXPECT_EQ(covered.ownerCol, 3);
    EXPECT_EQ(t.spanOf(2, 2), (CellRange{1, 1, 3, 2}));

    EXPECT_FALSE(t.merge({2, 2, 4, 4}));  // cuts through the merge
    EXPECT_FALSE(t.merge({4, 4, 4, 4}));  // one cell
    EXPECT_FALSE(t.merge({3, 3, 5, 4}));  // outside the grid
    EXPECT_TRUE(t.merge({1, 1, 4, 3}));   // swallows the merge inside it
    EXPECT_EQ(t.merges().size(), 1);

    EXPECT_FALSE(t.split(2, 2));
    EXPECT_TRUE(t.split(1, 1));
    EXPECT_TRUE(t.merges().isEmpty());
    EXPECT_TRUE(t.cell(3, 2).properties.isBaseCell);
    EXPECT_EQ(t.cell(3, 2).properties.cellSpanX, -1);
}

TEST(TableModel, InsertAndDeleteRowsAndColumns)
{
    TableModel t = TableModel::create(3, 24, 3, 64, QStringLiteral("Arial"));
    for (int r = 1; r <= 3; ++r)
        t.setText(1, r, QStringLiteral("r%1").arg(r));
    t.setRowHeight(2, 30);
    ASSERT_TRUE(t.merge({2, 1, 3, 3}));

    ASSERT_TRUE(t.insertRow(2));
    EXPECT_EQ(t.rowCount(), 5);
    EXPECT_EQ(t.cell(1, 3).text, QStringLiteral("r2"));
    EXPECT_TRUE(t.cell(1, 2).text.isEmpty());
    EXPECT_EQ(t.rowHeight(2), 30); // takes the height of the row it pushes down
    EXPECT_EQ(t.merges().first(), (CellRange{2, 1, 3, 4}));
    EXPECT_EQ(t.cell(2, 1).properties.cellSpanY, 3);

    ASSERT_TRUE(t.insertColumn(1));
    EXPECT_EQ(t.cell(2, 4).text, QStringLiteral("r3"));
    EXPECT_EQ(t.merges().first(), (CellRange{3, 1, 4, 4}));
    EXPECT_EQ(t.cell(3, 1).properties.ownerCol, 3);

    // Deleting the inserted row and the one after it: the rest close up.
    ASSERT_TRUE(t.deleteRows(2, 3));
    EXPECT_EQ(t.rowCount(), 3);
    EXPECT_EQ(t.cell(2, 1).text, QStringLiteral("r1"));
    EXPECT_EQ(t.cell(2, 2).text, QStringLiteral("r3"));
    EXPECT_EQ(t.merges().first(), (CellRange{3, 1, 4, 2}));

    ASSERT_TRUE(t.deleteColumns(3, 3));
    EXPECT_EQ(t.merges().first(), (CellRange{3, 1, 3, 2}));
    ASSERT_TRUE(t.deleteColumns(1, 1));
    ASSERT_TRUE(t.deleteRows(1, 1)); // the merge is down to one cell: gone
    EXPECT_TRUE(t.merges().isEmpty());
    EXPECT_EQ(t.cell(1, 1).text, QStringLiteral("r3"));

    // The last content row or column is never deleted.
    EXPECT_EQ(t.rowCount(), 2);
    EXPECT_FALSE(t.deleteRows(1, 1));
    const TableModel before = t;
    EXPECT_FALSE(t.deleteColumns(0, 2));
    EXPECT_EQ(t, before);
}

TEST(TableModel, StyleButtonsApplyAllThree)
{
    TableModel t = TableModel::create(2, 24, 2, 64, QStringLiteral("Arial"));
    t.ensureProperties(1, 1).bold = false;
    t.ensureProperties(2, 2).underline = true;
    // Bold and italic down, then underline pressed: all three on every cell.
    t.setStyle({1, 1, 2, 2}, true, true, true);
    for (int c = 1; c <= 2; ++c) {
        for (int r = 1; r <= 2; ++r) {
            EXPECT_TRUE(t.cell(c, r).properties.bold);
            EXPECT_TRUE(t.cell(c, r).properties.italic);
            EXPECT_TRUE(t.cell(c, r).properties.underline);
        }
    }
    t.setStyle({2, 2, 2, 2}, false, true, false);
    EXPECT_FALSE(t.cell(2, 2).properties.bold);
    EXPECT_FALSE(t.cell(2, 2).properties.underline);
    EXPECT_TRUE(t.cell(1, 2).properties.bold);
}

TEST(TableModel, ColourListsAndSizes)
{
    EXPECT_EQ(backgroundColorOfIndex(0), 0x000000u);
    EXPECT_EQ(backgroundColorOfIndex(1), 0x0000FFu);
    EXPECT_EQ(backgroundColorOfIndex(4), 0xFF0000u);
    EXPECT_EQ(cardColorOfIndex(0), 0x0000FFu); // red
    EXPECT_EQ(cardColorOfIndex(6), 0xFFFFFFu);
    EXPECT_EQ(cardColorIndexOfColor(0x800080u), 4);
    EXPECT_EQ(cardColorIndexOfColor(kTableBlack), -1);
    EXPECT_EQ(tableColorToRgb(0x0000FFu), 0xFFFF0000u);
    EXPECT_EQ(tableColorName(kTableNoColor), QByteArray("clNone"));
    EXPECT_TRUE(tableColorName(0x123456u).isEmpty());

    TableModel t;
    t.setColumnWidth(1, -5);
    EXPECT_EQ(t.columnWidth(1), 0);
    t.resize(5000, 1);
    EXPECT_EQ(t.columnCount(), kMaxTableColumns);
    EXPECT_EQ(t.rowCount(), 2);
    t.setText(9, 9, QStringLiteral("outside"));
    EXPECT_TRUE(t.cell(9, 9).text.isEmpty());
    t.lineWidthIndex = 4;
    EXPECT_EQ(t.lineWidth(), 5);
}
