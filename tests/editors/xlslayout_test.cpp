// The two readers under the ".xls" import, on bytes laid out by hand: the
// compound file that holds the workbook stream, and the sheet records that
// hold merges, column widths and row heights.
#include "content/compoundfile.h"
#include "content/xlssheetlayout.h"

#include <QtEndian>

#include <gtest/gtest.h>

using namespace ledsign;

namespace {

void put16(QByteArray& b, qsizetype at, quint16 v)
{
    qToLittleEndian<quint16>(v, b.data() + at);
}

void put32(QByteArray& b, qsizetype at, quint32 v)
{
    qToLittleEndian<quint32>(v, b.data() + at);
}

void directoryEntry(QByteArray& b, qsizetype at, const char16_t* name, quint8 type, quint32 start, quint32 size)
{
    const QString n = QString::fromUtf16(name);
    for (int i = 0; i < n.size(); ++i)
        put16(b, at + 2 * i, n.at(i).unicode());
    put16(b, at + 0x40, quint16(2 * (n.size() + 1)));
    b[at + 0x42] = char(type);
    put32(b, at + 0x44, 0xFFFFFFFF); // no siblings, no child
    put32(b, at + 0x48, 0xFFFFFFFF);
    put32(b, at + 0x4C, 0xFFFFFFFF);
    put32(b, at + 0x74, start);
    put32(b, at + 0x78, size);
}

// A version 3 compound file of 512-byte sectors: 0 the allocation table,
// 1 the directory, 2 the mini stream, 3 the mini allocation table, 4..11
// the stream "Workbook" of 4096 bytes 'W' (as large as a stream outside the
// mini stream can be small); "Book" of 100 bytes lives in mini sectors 0 and
// 1 (the bytes 0..99).
QByteArray compoundFile()
{
    QByteArray b(512 + 12 * 512, '\0');
    const char sig[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
    b.replace(0, 8, QByteArray(sig, 8));
    put16(b, 0x18, 0x3E);
    put16(b, 0x1A, 3);
    put16(b, 0x1C, 0xFFFE);
    put16(b, 0x1E, 9);
    put16(b, 0x20, 6);
    put32(b, 0x2C, 1);          // one allocation-table sector
    put32(b, 0x30, 1);          // directory in sector 1
    put32(b, 0x38, 4096);       // mini stream cutoff
    put32(b, 0x3C, 3);          // mini allocation table in sector 3
    put32(b, 0x40, 1);
    put32(b, 0x44, 0xFFFFFFFE); // no further table sectors
    for (int i = 0; i < 109; ++i)
        put32(b, 0x4C + 4 * i, i == 0 ? 0 : 0xFFFFFFFF);
    const qsizetype fat = 512;
    for (int i = 0; i < 128; ++i)
        put32(b, fat + 4 * i, 0xFFFFFFFF);
    put32(b, fat + 0, 0xFFFFFFFD);
    put32(b, fat + 4, 0xFFFFFFFE);
    put32(b, fat + 8, 0xFFFFFFFE);
    put32(b, fat + 12, 0xFFFFFFFE);
    for (quint32 s = 4; s < 11; ++s)
        put32(b, fat + 4 * s, s + 1);
    put32(b, fat + 44, 0xFFFFFFFE);
    const qsizetype dir = 512 * 2;
    directoryEntry(b, dir, u"Root Entry", 5, 2, 128);
    directoryEntry(b, dir + 128, u"Book", 2, 0, 100);
    directoryEntry(b, dir + 256, u"Workbook", 2, 4, 4096);
    const qsizetype mini = 512 * 3;
    for (int i = 0; i < 128; ++i)
        b[mini + i] = char(i);
    const qsizetype miniFat = 512 * 4;
    for (int i = 0; i < 128; ++i)
        put32(b, miniFat + 4 * i, 0xFFFFFFFF);
    put32(b, miniFat, 1);
    put32(b, miniFat + 4, 0xFFFFFFFE);
    b.replace(512 * 5, 4096, QByteArray(4096, 'W'));
    return b;
}

QByteArray record(quint16 type, const QByteArray& data)
{
    QByteArray r(4, '\0');
    put16(r, 0, type);
    put16(r, 2, quint16(data.size()));
    return r + data;
}

QByteArray words(std::initializer_list<quint16> values)
{
    QByteArray b;
    for (quint16 v : values) {
        b.append(char(v & 0xFF));
        b.append(char(v >> 8));
    }
    return b;
}

QByteArray bof(quint16 kind)
{
    return record(0x0809, words({0x0600, kind, 0, 0, 0, 0, 0, 0}));
}

QByteArray boundSheet(quint32 position, quint8 sheetType)
{
    QByteArray d(6, '\0');
    put32(d, 0, position);
    d[5] = char(sheetType);
    return record(0x0085, d + QByteArray("\x01\x00S", 3));
}

} // namespace

TEST(CompoundFile, ReadsLargeAndMiniStreams)
{
    const QByteArray file = compoundFile();
    QByteArray stream;
    QString error;
    ASSERT_TRUE(readCompoundStream(file, {QStringLiteral("workbook")}, &stream, &error)) << error.toStdString();
    EXPECT_EQ(stream, QByteArray(4096, 'W'));
    ASSERT_TRUE(readCompoundStream(file, {QStringLiteral("Missing"), QStringLiteral("BOOK")}, &stream, &error));
    ASSERT_EQ(stream.size(), 100);
    EXPECT_EQ(quint8(stream.at(0)), 0);
    EXPECT_EQ(quint8(stream.at(64)), 64); // second mini sector, by the mini table
    EXPECT_EQ(quint8(stream.at(99)), 99);
    EXPECT_FALSE(readCompoundStream(file, {QStringLiteral("Missing")}, &stream, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(CompoundFile, RefusesDamagedFiles)
{
    QByteArray stream;
    QString error;
    EXPECT_FALSE(readCompoundStream(QByteArray(), {QStringLiteral("Book")}, &stream, &error));
    EXPECT_FALSE(readCompoundStream(QByteArray(4096, 'x'), {QStringLiteral("Book")}, &stream, &error));

    QByteArray loop = compoundFile();
    put32(loop, 512 + 16, 4); // sector 4 points to itself
    EXPECT_FALSE(readCompoundStream(loop, {QStringLiteral("Workbook")}, &stream, &error));
    QByteArray directoryLoop = compoundFile();
    put32(directoryLoop, 512 + 4, 1); // the directory never ends
    EXPECT_FALSE(readCompoundStream(directoryLoop, {QStringLiteral("Workbook")}, &stream, &error));
    QByteArray miniLoop = compoundFile();
    put32(miniLoop, 512 * 4, 0); // mini sector 0 points to itself
    EXPECT_FALSE(readCompoundStream(miniLoop, {QStringLiteral("Book")}, &stream, &error));
    QByteArray outside = compoundFile();
    put32(outside, 512 * 2 + 256 + 0x74, 4000); // start sector past the end
    EXPECT_FALSE(readCompoundStream(outside, {QStringLiteral("Workbook")}, &stream, &error));
    QByteArray tooBig = compoundFile();
    put32(tooBig, 512 * 2 + 128 + 0x78, 3000); // longer than the mini stream
    EXPECT_FALSE(readCompoundStream(tooBig, {QStringLiteral("Book")}, &stream, &error));
    // Cut inside the large stream.
    EXPECT_FALSE(readCompoundStream(compoundFile().left(512 * 5 + 10), {QStringLiteral("Workbook")}, &stream, &error));
}

TEST(XlsSheetLayout, ReadsTheFirstWorksheet)
{
    // Globals: a chart sheet first, then the worksheet; the sheet holds a
    // chart of its own whose records are not the sheet's.
    QByteArray globals = bof(0x0005);
    const QByteArray chartSheet = bof(0x0020) + record(0x00E5, words({1, 0, 5, 0, 5})) + record(0x000A, {});
    const int globalsSize = globals.size() + 2 * (4 + 9) + 4;
    const quint32 chartAt = quint32(globalsSize);
    const quint32 sheetAt = chartAt + quint32(chartSheet.size());
    globals += boundSheet(chartAt, 2) + boundSheet(sheetAt, 0) + record(0x000A, {});
    ASSERT_EQ(globals.size(), globalsSize);
    QByteArray sheet = bof(0x0010);
    sheet += record(0x007D, words({1, 2, 256 * 20, 15, 0, 0}));         // columns B..C: 140 px
    sheet += record(0x0208, words({2, 0, 3, 600, 0, 0, 0x0140, 0x0F}));  // row 3: 30 pt
    sheet += bof(0x0020) + record(0x00E5, words({1, 7, 9, 7, 9})) + record(0x000A, {});
    // Two merges and a count that claims more than the record holds.
    sheet += record(0x00E5, words({3, 0, 0, 0, 2, 1, 2, 0, 0}));
    sheet += record(0x000A, {});
    sheet += record(0x00E5, words({1, 20, 21, 0, 0})); // after the sheet's end
    const XlsSheetLayout layout = readXlsSheetLayout(globals + chartSheet + sheet);
    ASSERT_EQ(layout.merges.size(), 2);
    EXPECT_EQ(layout.merges[0], (CellRange {0, 0, 2, 0}));
    EXPECT_EQ(layout.merges[1], (CellRange {0, 1, 0, 2}));
    EXPECT_EQ(layout.columnWidths.value(1), 140);
    EXPECT_EQ(layout.columnWidths.value(2), 140);
    EXPECT_FALSE(layout.columnWidths.contains(0));
    EXPECT_EQ(layout.rowHeights.value(2), 40);
    EXPECT_EQ(layout.rowHeights.size(), 1);

    // A record cut short ends the walk with what came before it.
    QByteArray cut = globals + chartSheet + bof(0x0010) + record(0x00E5, words({1, 0, 1, 0, 1}));
    cut += QByteArray("\xE5\x00\x40\x00\x01", 5);
    const XlsSheetLayout partial = readXlsSheetLayout(cut);
    ASSERT_EQ(partial.merges.size(), 1);
    EXPECT_EQ(partial.merges[0], (CellRange {0, 0, 1, 1}));
    EXPECT_TRUE(readXlsSheetLayout(QByteArray("\x09\x08\x02", 3)).merges.isEmpty());
    QByteArray wrongPlace = bof(0x0005) + boundSheet(0x7FFFFFFF, 0) + record(0x000A, {});
    EXPECT_TRUE(readXlsSheetLayout(wrongPlace).merges.isEmpty());
}
