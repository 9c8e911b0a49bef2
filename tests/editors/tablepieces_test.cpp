// Cutting a table into pictures: the three modes, the sheet limit and the
// merge stop, the BMP files and the base paths.
#include "content/tablepieces.h"

#include "content/tablefile.h"
#include "language/language.h"
#include "model/datafolder.h"
#include "model/tfodder.h"
#include "support/testsupport.h"

#include <QImage>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace ledsign;

namespace {

QStringList suffixes(const TablePiecePlan& plan)
{
    QStringList out;
    for (const TablePiece& p : plan.pieces)
        out << p.suffix;
    return out;
}

TableModel tableOf(int rows, int rowHeight, int cols, int colWidth)
{
    return TableModel::create(rows, rowHeight, cols, colWidth, QStringLiteral("宋体"));
}

} // namespace

TEST(TablePieces, CutModeFollowsMovementAndStopTime)
{
    EXPECT_EQ(tableCutMode(1, 0), TableCutMode::HorizontalStrip);
    EXPECT_EQ(tableCutMode(3, 0), TableCutMode::VerticalStrip);
    EXPECT_EQ(tableCutMode(1, 2), TableCutMode::Sheets);
    EXPECT_EQ(tableCutMode(3, 255), TableCutMode::Sheets);
    EXPECT_EQ(tableCutMode(9, 0), TableCutMode::Sheets);
    EXPECT_EQ(stopTimeFromText(QStringLiteral(" 12 ")), 12);
    EXPECT_EQ(stopTimeFromText(QStringLiteral("x")), 0);
}

TEST(TablePieces, HorizontalStrip)
{
    // 300 pixels wide: columns 100, 100, 100; region 128 x 64, rows 24 high.
    TableModel t = tableOf(4, 24, 3, 100);
    const TablePiecePlan plan = planTablePieces(t, TableCutMode::HorizontalStrip, 128, 64);
    ASSERT_EQ(suffixes(plan), (QStringList{"__0", "__1", "__2"}));
    EXPECT_EQ(plan.pieces[0].area, QRect(0, 0, 128, 48)); // two rows fit in 64
    EXPECT_EQ(plan.pieces[1].area, QRect(128, 0, 128, 48));
    EXPECT_EQ(plan.pieces[2].area, QRect(256, 0, 44, 48));
    EXPECT_TRUE(plan.pieces[0].leftEdge && plan.pieces[0].rightEdge && plan.pieces[0].topEdge);
    EXPECT_FALSE(plan.pieces[0].bottomEdge);
    EXPECT_TRUE(plan.pieces[2].topEdge);
    EXPECT_FALSE(plan.pieces[2].leftEdge || plan.pieces[2].rightEdge || plan.pieces[2].bottomEdge);
}

TEST(TablePieces, VerticalStripBandsDownTheTable)
{
    TableModel t = tableOf(5, 20, 3, 48); // 100 high; two columns (96) fit in 100
    const TablePiecePlan plan = planTablePieces(t, TableCutMode::VerticalStrip, 100, 32);
    ASSERT_EQ(suffixes(plan), (QStringList{"__0", "__1", "__2", "__3"}));
    EXPECT_EQ(plan.pieces[0].area, QRect(0, 0, 96, 32));
    EXPECT_EQ(plan.pieces[3].area, QRect(0, 96, 96, 4));
    EXPECT_TRUE(plan.pieces[0].topEdge && plan.pieces[0].rightEdge);
    EXPECT_TRUE(plan.pieces[1].leftEdge);
    EXPECT_FALSE(plan.pieces[1].topEdge || plan.pieces[1].rightEdge);
}

TEST(TablePieces, SheetsOfWholeRows)
{
    TableModel t = tableOf(10, 24, 2, 64);
    TablePiecePlan plan = planTablePieces(t, TableCutMode::Sheets, 128, 64);
    ASSERT_EQ(suffixes(plan), (QStringList{"__i0", "__i1", "__i2", "__i3", "__j4"}));
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(plan.pieces[i].area, QRect(0, i * 48, 128, 48)) << i;
        EXPECT_TRUE(plan.pieces[i].topEdge && plan.pieces[i].bottomEdge && plan.pieces[i].leftEdge
                    && plan.pieces[i].rightEdge);
    }
    EXPECT_TRUE(plan.message.isEmpty());

    // Rows that reach the height exactly stay on the sheet; nothing is left over.
    plan = planTablePieces(tableOf(4, 32, 3, 64), TableCutMode::Sheets, 100, 64);
    EXPECT_EQ(suffixes(plan), (QStringList{"__i0", "__i1"}));
    EXPECT_EQ(plan.pieces[1].area, QRect(0, 64, 64, 64)); // one 64 column fits in 100

    // A row taller than the region gets a sheet of its own, cut at its height.
    TableModel tall = tableOf(3, 20, 1, 64);
    tall.setRowHeight(2, 100);
    plan = planTablePieces(tall, TableCutMode::Sheets, 64, 64);
    ASSERT_EQ(suffixes(plan), (QStringList{"__i0", "__i1", "__j2"}));
    EXPECT_EQ(plan.pieces[0].area, QRect(0, 0, 64, 20));
    EXPECT_EQ(plan.pieces[1].area, QRect(0, 20, 64, 64));
    EXPECT_EQ(plan.pieces[2].area, QRect(0, 120, 64, 20));
}

TEST(TablePieces, SheetLimitAndMergeStop)
{
    TableModel many = tableOf(100, 30, 1, 64);
    TablePiecePlan plan = planTablePieces(many, TableCutMode::Sheets, 64, 60);
    ASSERT_EQ(plan.pieces.size(), kMaxFullSheets + 1);
    EXPECT_EQ(plan.pieces[30].suffix, QStringLiteral("__i30"));
    EXPECT_EQ(plan.pieces[30].area, QRect(0, 30 * 60, 64, 60));
    EXPECT_EQ(plan.pieces[31].suffix, QStringLiteral("__j31"));
    // 31 sheets of two rows hold rows 1-62; rows 63-100 (38 x 30 pixels)
    // make the last sheet, of which the region shows rows 63 and 64.
    EXPECT_EQ(plan.pieces[31].area, QRect(0, 62 * 30, 64, 38 * 30));
    EXPECT_EQ(plan.firstUnsentRow, 65);
    EXPECT_EQ(plan.lastUnsentRow, 100);
    setCurrentLanguage(kEnglish);
    const QString english = tableRowsNotSentMessage(65, 100);
    EXPECT_TRUE(english.startsWith(QStringLiteral("Rows 65 to 100 "))) << english.toStdString();
    setCurrentLanguage(kSimplifiedChinese);
    EXPECT_TRUE(tableRowsNotSentMessage(65, 100).startsWith(QStringLiteral("表格第65行至第100行")));
    setCurrentLanguage(kEnglish);

    // Rows left after 31 sheets that still fit the region lose nothing;
    // one more row than that is reported.
    plan = planTablePieces(tableOf(64, 30, 1, 64), TableCutMode::Sheets, 64, 60);
    ASSERT_EQ(plan.pieces.size(), kMaxFullSheets + 1);
    EXPECT_EQ(plan.pieces[31].area, QRect(0, 62 * 30, 64, 60));
    EXPECT_EQ(plan.firstUnsentRow, 0);
    plan = planTablePieces(tableOf(65, 30, 1, 64), TableCutMode::Sheets, 64, 60);
    EXPECT_EQ(plan.firstUnsentRow, 65);
    EXPECT_EQ(plan.lastUnsentRow, 65);
    // Fewer rows than 31 sheets take never lose any.
    EXPECT_EQ(planTablePieces(tableOf(40, 30, 1, 64), TableCutMode::Sheets, 64, 60).firstUnsentRow, 0);

    TableModel merged = tableOf(6, 24, 2, 64);
    ASSERT_TRUE(merged.merge({1, 4, 2, 5})); // across the boundary after row 4
    plan = planTablePieces(merged, TableCutMode::Sheets, 128, 64);
    EXPECT_EQ(suffixes(plan), (QStringList{"__i0", "__i1"}));
    EXPECT_EQ(plan.message, QStringLiteral("行列合并后已超区域宽，需删除表格重新制作！"));

    TableModel inside = tableOf(6, 24, 2, 64);
    ASSERT_TRUE(inside.merge({1, 3, 2, 4})); // within the second sheet
    EXPECT_TRUE(planTablePieces(inside, TableCutMode::Sheets, 128, 64).message.isEmpty());

    EXPECT_TRUE(planTablePieces(many, TableCutMode::Sheets, 0, 60).pieces.isEmpty());
}

TEST(TablePieces, DrawnPiecesShowCellsLinesAndEdges)
{
    TableModel t = tableOf(2, 24, 2, 64);
    t.lineWidthIndex = 1; // 2 pixels
    t.lineColorIndex = 1; // green
    t.backgroundIndex = 0;
    t.setBackground(2, 1, backgroundColorOfIndex(4)); // blue cell at content (64..127, 0..23)
    t.setText(1, 2, QStringLiteral("88"));
    t.setFontColor({1, 2, 1, 2}, cardColorOfIndex(6)); // white
    TablePiece piece{QStringLiteral("__i0"), QRect(0, 0, 128, 48), true, true, true, true};
    const QImage img = drawTablePiece(t, piece);
    ASSERT_EQ(img.size(), QSize(128, 48));
    EXPECT_EQ(img.format(), QImage::Format_RGB888);
    const QRgb green = qRgb(0, 128, 0);
    EXPECT_EQ(img.pixel(0, 20), green);   // left edge
    EXPECT_EQ(img.pixel(20, 0), green);   // top edge
    EXPECT_EQ(img.pixel(127, 10), green); // right edge (half of the pen)
    EXPECT_EQ(img.pixel(40, 47), green);  // bottom edge
    EXPECT_EQ(img.pixel(62, 12), green);  // line between the columns
    EXPECT_EQ(img.pixel(90, 12), qRgb(0, 0, 255));
    EXPECT_EQ(img.pixel(90, 36), qRgb(0, 0, 0));
    int white = 0;
    for (int y = 24; y < 46; ++y)
        for (int x = 2; x < 62; ++x)
            white += img.pixel(x, y) == qRgb(255, 255, 255);
    EXPECT_GT(white, 10); // the text is drawn in its colour

    // A later piece of a horizontal strip has only its top edge.
    TablePiece later{QStringLiteral("__1"), QRect(64, 0, 64, 48), true, false, false, false};
    const QImage strip = drawTablePiece(t, later);
    EXPECT_EQ(strip.pixel(0, 20), qRgb(0, 0, 255));
    EXPECT_EQ(strip.pixel(10, 0), green);
}

TEST(TablePieces, SavesTableAndTwentyFourBitPictures)
{
    QTemporaryDir dir;
    const QString base = dir.filePath(QStringLiteral("tbl/t120509301122"));
    const TableModel t = tableOf(4, 24, 3, 100);
    TablePiecesResult r = makeTablePieces(t, base, 1, 0, 128, 64);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    ASSERT_EQ(r.files, (QStringList{base + "__0.bmp", base + "__1.bmp", base + "__2.bmp"}));
    const QByteArray bmp = test::readAll(r.files[2]);
    ASSERT_GT(bmp.size(), 54);
    EXPECT_EQ(bmp.left(2), QByteArray("BM"));
    EXPECT_EQ(qFromLittleEndian<quint16>(bmp.constData() + 28), 24);
    EXPECT_EQ(qFromLittleEndian<qint32>(bmp.constData() + 18), 44);
    TableModel back;
    ASSERT_TRUE(TableFileReader::read(base + ".tbl", back));
    EXPECT_EQ(back, t);

    // A table folder that cannot be written is reported, not passed over.
    const TablePiecesResult bad = makeTablePieces(t, QStringLiteral("/proc/none/t1"), 1, 0, 128, 64);
    EXPECT_FALSE(bad.ok);
    EXPECT_FALSE(bad.error.isEmpty());
    EXPECT_TRUE(bad.files.isEmpty());
}

TEST(TablePieces, BasePaths)
{
    const QDateTime now(QDate(2026, 12, 5), QTime(14, 30, 59, 876));
    EXPECT_EQ(tableTimeStamp(now), QStringLiteral("120514305987"));
    TFodder m;
    const DataFolder folders(QStringLiteral("/data"));
    EXPECT_EQ(tableBasePath(m, folders, now), folders.tableFolder() + QStringLiteral("/t120514305987"));
    m.fileList.append(TFileInfo{1, 0, QStringLiteral("/a__b/t1__x/t1205__i3.bmp")});
    EXPECT_EQ(tableBasePath(m, folders, now), QStringLiteral("/a__b/t1__x/t1205"));
    EXPECT_EQ(tableBaseOfPiece(QStringLiteral("C:\\tbl\\t99__7.BMP")), QStringLiteral("C:\\tbl\\t99"));
    EXPECT_EQ(tableBaseOfPiece(QStringLiteral("/x.y/t5__old.png")), QStringLiteral("/x.y/t5"));
    EXPECT_EQ(tableBaseOfFile(QStringLiteral("/home/a.b/t1.TBL")), QStringLiteral("/home/a.b/t1"));
}

TEST(TablePieces, EditResultGoesIntoTheMaterial)
{
    TFodder m;
    m.fileList.append(TFileInfo{1, 0, QStringLiteral("/old__i0.bmp")});
    TableEditResult r{3, 2, 1, 0, {}};
    applyTableEdit(m, r);
    EXPECT_EQ(m.tableParam1, 3);
    EXPECT_EQ(m.tableParam2, 2);
    EXPECT_EQ(m.displayMode, 1);
    EXPECT_EQ(m.remainTime, 0);
    ASSERT_EQ(m.fileList.size(), 1); // no pieces: the list stays
    r.pieces = QStringList{"/t__0.bmp", "/t__1.bmp"};
    applyTableEdit(m, r);
    ASSERT_EQ(m.fileList.size(), 2);
    EXPECT_EQ(m.fileList[1].number, 2);
    EXPECT_EQ(m.fileList[1].path, QStringLiteral("/t__1.bmp"));
}
