// The table file: the bytes of a new table, the text tags, a full round trip
// and refusal of damaged files.
#include "content/tablefile.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ledsign;

namespace {

QByteArray shortStr(const char* s)
{
    QByteArray b(s);
    return char(b.size()) + b;
}

// The (Col, Row) pairs of the cell records, in file order, found by their
// property names so that the test does not use the reader under test.
QList<QPair<int, int>> cellOrder(const QByteArray& file)
{
    QList<QPair<int, int>> out;
    const QByteArray col = shortStr("Col") + char(0x02);
    const QByteArray row = shortStr("Row") + char(0x02);
    qsizetype at = 0;
    while ((at = file.indexOf(col, at)) >= 0) {
        const int c = quint8(file.at(at + col.size()));
        const qsizetype r = file.indexOf(row, at);
        out.append({c, int(quint8(file.at(r + row.size())))});
        at = r;
    }
    return out;
}

TableModel richTable()
{
    TableModel t = TableModel::create(3, 30, 4, 48, QStringLiteral("宋体"));
    t.setText(1, 1, QStringLiteral("ab"));
    t.setText(2, 1, QStringLiteral("温度"));
    t.setText(3, 2, QStringLiteral("ab中"));
    t.setText(4, 3, QString(300, QLatin1Char('x')));
    t.setText(0, 0, QStringLiteral("header"));
    t.setColumnWidth(2, 200);
    t.setRowHeight(3, 40000); // clamped
    t.setFontColor({1, 1, 2, 2}, cardColorOfIndex(2));
    t.setStyle({2, 1, 2, 1}, true, true, true);
    t.ensureProperties(2, 1).strikeOut = true;
    t.setAlignment({3, 1, 3, 3}, CellAlignment::Right);
    t.setAlignment({4, 1, 4, 1}, CellAlignment::Centre);
    t.setBackground(1, 2, backgroundColorOfIndex(6));
    t.setBackground(2, 2, 0x123456u); // no name: written as a number
    t.setFontSize({1, 3, 2, 3}, 300);
    t.ensureProperties(4, 2).borderWidth = -70000;
    EXPECT_TRUE(t.merge({1, 2, 2, 3}));
    return t;
}

} // namespace

TEST(TableFile, NewTwoByTwoTableLayout)
{
    const TableModel t = TableModel::create(2, 24, 2, 64, QStringLiteral("宋体"));
    const QByteArray file = TableFileWriter::write(t);

    const QByteArray grid = QByteArray("TPF0") + shortStr("TGridPropIO") + char(0) + shortStr("ColCount")
        + char(0x02) + char(3) + shortStr("RowCount") + char(0x02) + char(3) + shortStr("ColWidths")
        + char(0x06) + shortStr("64,64,64") + shortStr("RowHeights") + char(0x06) + shortStr("24,24,24")
        + shortStr("FullGrid") + char(0x09) + shortStr("ID");
    ASSERT_TRUE(file.startsWith(grid));

    const QList<QPair<int, int>> expected{{0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 1},
                                          {1, 2}, {2, 0}, {2, 1}, {2, 2}};
    EXPECT_EQ(cellOrder(file), expected);
    EXPECT_EQ(file.count("TGridCellIO"), 9);
    EXPECT_EQ(file.count("TGridCellPropIO"), 9);
    EXPECT_EQ(file.count(shortStr("Cell") + char(0x06)), 0); // empty cells have no text
    // Each cell record says that properties follow, and they follow at once.
    const QByteArray hasProp = shortStr("HasProp") + char(0x09) + char(0) + char(0) + QByteArray("TPF0")
        + shortStr("TGridCellPropIO");
    EXPECT_EQ(file.count(hasProp), 9);
    // The creation defaults, in order, for the first cell.
    const QByteArray firstProps = shortStr("CellProperties.IsBaseCell") + char(0x09)
        + shortStr("CellProperties.CellSpanX") + char(0x02) + char(0xFF) + shortStr("CellProperties.CellSpanY")
        + char(0x02) + char(0xFF) + shortStr("CellProperties.OwnerCol") + char(0x02) + char(0)
        + shortStr("CellProperties.OwnerRow") + char(0x02) + char(0) + shortStr("CellProperties.Alignment")
        + char(0x07) + shortStr("taLeftJustify") + shortStr("CellProperties.BorderColor") + char(0x07)
        + shortStr("clBlack") + shortStr("CellProperties.BorderWidth") + char(0x02) + char(0)
        + shortStr("CellProperties.BrushColor") + char(0x07) + shortStr("clNone");
    EXPECT_TRUE(file.contains(firstProps));
    EXPECT_TRUE(file.endsWith(shortStr("HasGraphic") + char(0x08) + char(0) + char(0)));
}

TEST(TableFile, TextTags)
{
    EXPECT_EQ(textTagFor(QStringLiteral("温度")), tabletag::kWideText);  // 6 UTF-8 bytes, not < 4
    EXPECT_EQ(textTagFor(QStringLiteral("ab中")), tabletag::kUtf8Text); // 5 < 6
    EXPECT_EQ(textTagFor(QString(255, QLatin1Char('a'))), tabletag::kShortText);
    EXPECT_EQ(textTagFor(QString(256, QLatin1Char('a'))), tabletag::kLongText);

    TableModel t;
    t.setText(1, 1, QStringLiteral("温度"));
    t.setText(2, 1, QStringLiteral("ab中"));
    const QByteArray file = TableFileWriter::write(t);
    const QByteArray wide = shortStr("Cell") + char(0x12) + QByteArray("\x02\x00\x00\x00", 4)
        + QByteArray("\x29\x6E\xA6\x5E", 4);
    EXPECT_TRUE(file.contains(wide));
    const QByteArray utf8 = shortStr("Cell") + char(0x14) + QByteArray("\x05\x00\x00\x00", 4)
        + QStringLiteral("ab中").toUtf8();
    EXPECT_TRUE(file.contains(utf8));
    // Cells without properties say so and have no properties record.
    EXPECT_EQ(file.count("TGridCellPropIO"), 0);
    EXPECT_EQ(file.count(shortStr("HasProp") + char(0x08)), 2);
}

TEST(TableFile, RoundTripKeepsEverything)
{
    const TableModel t = richTable();
    const QByteArray file = TableFileWriter::write(t);
    // Integers take the smallest tag; the unnamed colour is a 4-byte number.
    EXPECT_TRUE(file.contains(shortStr("CellProperties.FontSize") + char(0x03) + QByteArray("\x2C\x01", 2)));
    EXPECT_TRUE(file.contains(shortStr("CellProperties.BorderWidth") + char(0x04)));
    EXPECT_TRUE(file.contains(shortStr("CellProperties.BrushColor") + char(0x04) + QByteArray("\x56\x34\x12\x00", 4)));
    EXPECT_TRUE(file.contains(shortStr("CellProperties.FontStyle") + char(0x0B) + shortStr("fsBold")
                              + shortStr("fsItalic") + shortStr("fsUnderline") + shortStr("fsStrikeOut") + char(0)));
    EXPECT_TRUE(file.contains(shortStr("Cell") + char(0x0C) + QByteArray("\x2C\x01\x00\x00", 4)));

    TableModel back;
    back.backgroundIndex = 5;
    QString error;
    ASSERT_TRUE(TableFileReader::read(file, back, &error)) << error.toStdString();
    EXPECT_EQ(back.backgroundIndex, 5); // editor settings are not in the file
    back.backgroundIndex = t.backgroundIndex;
    EXPECT_EQ(back, t);
    EXPECT_EQ(back.merges().size(), 1);
    EXPECT_EQ(TableFileWriter::write(back), file);
}

TEST(TableFile, ReaderTakesEveryTextTagAndAnyPropertyOrder)
{
    auto str = [](const char* s) { return shortStr(s); };
    QByteArray f = QByteArray("TPF0") + str("TGridPropIO") + char(0) + str("RowCount") + char(2) + char(2)
        + str("ColCount") + char(2) + char(2) + str("ColWidths") + char(0x14) + QByteArray("\x05\x00\x00\x00", 4)
        + "10,20" + str("RowHeights") + char(0x12) + QByteArray("\x02\x00\x00\x00", 4)
        + QByteArray("9\x00,\x00", 4) + char(0) + char(0);
    // a GBK text under tag 06, and properties in another order with some missing
    f += QByteArray("TPF0") + str("TGridCellIO") + char(0) + str("Row") + char(2) + char(1) + str("Col")
        + char(2) + char(1) + str("Cell") + char(6) + char(4) + QByteArray("\xCE\xC2\xB6\xC8") + str("HasProp")
        + char(9) + char(0) + char(0);
    f += QByteArray("TPF0") + str("TGridCellPropIO") + char(0) + str("CellProperties.FontColor") + char(4)
        + QByteArray("\x00\x80\x00\x00", 4) + str("CellProperties.Unknown") + char(7) + str("x")
        + str("CellProperties.Alignment") + char(7) + str("taCenter") + char(0) + char(0);
    f += char(0); // a single trailing byte is ignored
    TableModel t;
    QString error;
    ASSERT_TRUE(TableFileReader::read(f, t, &error)) << error.toStdString();
    EXPECT_EQ(t.columnWidths(), (QList<int>{10, 20}));
    EXPECT_EQ(t.rowHeights(), (QList<int>{9, kDefaultRowHeight})); // "" is not a number
    EXPECT_EQ(t.cell(1, 1).text, QStringLiteral("温度"));
    const TableCellProperties& p = t.cell(1, 1).properties;
    EXPECT_EQ(p.fontColor, cardColorOfIndex(1));
    EXPECT_EQ(p.alignment, CellAlignment::Centre);
    EXPECT_EQ(p.fontSize, 0);        // missing: creation value
    EXPECT_EQ(p.brushColor, kTableNoColor);
    EXPECT_EQ(p.ownerCol, 1);
}

TEST(TableFile, DamagedFilesAreRefusedAndTheTableKept)
{
    const QByteArray good = TableFileWriter::write(richTable());
    TableModel before = TableModel::create(5, 24, 5, 64, QStringLiteral("Arial"));
    before.setText(1, 1, QStringLiteral("kept"));
    // Every cut inside a record is refused; cuts at a record boundary are a
    // shorter table and read.
    int refused = 0;
    for (qsizetype n = 0; n < good.size(); n += 7) {
        TableModel t = before;
        QString error;
        const QByteArray cut = good.left(n);
        if (!TableFileReader::read(cut, t, &error)) {
            ++refused;
            EXPECT_FALSE(error.isEmpty());
            EXPECT_EQ(t, before);
        }
    }
    EXPECT_GT(refused, int(good.size() / 7) - 40);

    QList<QByteArray> bad;
    bad << QByteArray() << QByteArray("TPF1") << good.left(good.size() - 1);
    QByteArray tag = good;
    tag[tag.indexOf(shortStr("FullGrid")) + 9] = char(0x55); // unknown tag
    bad << tag;
    QByteArray huge = good;
    huge[huge.indexOf(shortStr("ColCount")) + 10] = char(0x7F); // 127 columns
    TableModel threeCols;
    threeCols.setText(2, 2, QStringLiteral("x"));
    QByteArray outside = TableFileWriter::write(threeCols);
    outside[outside.indexOf(shortStr("ColCount")) + 10] = char(2); // 2 columns, cells in column 2
    bad << outside;
    QByteArray tooBig = TableFileWriter::write(TableModel());
    tooBig[tooBig.indexOf(shortStr("ColCount")) + 9] = char(0x04);
    tooBig.insert(tooBig.indexOf(shortStr("ColCount")) + 10, QByteArray("\xFF\xFF\x00", 3));
    bad << tooBig;
    QByteArray longLength = TableFileWriter::write(TableModel::create(1, 24, 1, 64, QStringLiteral("温")));
    const qsizetype nameAt = longLength.indexOf(shortStr("CellProperties.FontName"));
    longLength[nameAt + 28] = char(0x7F); // a length past the end
    bad << longLength;
    for (const QByteArray& b : bad) {
        TableModel t = before;
        QString error;
        EXPECT_FALSE(TableFileReader::read(b, t, &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(t, before);
    }
    // A count that is merely different still reads (127 columns).
    TableModel wide;
    EXPECT_TRUE(TableFileReader::read(huge, wide));
    EXPECT_EQ(wide.columnCount(), 127);
}

TEST(TableFile, SavedAtomicallyAndReadFromPath)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.tbl"));
    const TableModel t = richTable();
    ASSERT_TRUE(TableFileWriter::write(t, path));
    TableModel back;
    ASSERT_TRUE(TableFileReader::read(path, back));
    EXPECT_EQ(back, t);
    QString error;
    EXPECT_FALSE(TableFileReader::read(dir.filePath(QStringLiteral("none.tbl")), back, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("none.tbl")));
}

TEST(TableFile, CorruptedBytesAreReadOrRefusedNeverCrash)
{
    const QByteArray good = TableFileWriter::write(richTable());
    const TableModel before = TableModel::create(2, 24, 2, 64, QStringLiteral("Arial"));
    quint32 seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return seed >> 8;
    };
    int refused = 0;
    for (int round = 0; round < 3000; ++round) {
        QByteArray bad = good;
        for (int k = 0; k < 1 + round % 4; ++k)
            bad[qsizetype(next() % quint32(bad.size()))] = char(next() & 0xFF);
        TableModel t = before;
        QString error;
        if (!TableFileReader::read(bad, t, &error)) {
            ++refused;
            ASSERT_FALSE(error.isEmpty());
            ASSERT_EQ(t, before);
        } else {
            ASSERT_GE(t.columnCount(), 2);
            ASSERT_LE(t.columnCount(), kMaxTableColumns);
        }
    }
    EXPECT_GT(refused, 100);
}
