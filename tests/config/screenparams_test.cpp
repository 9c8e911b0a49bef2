// The screen parameter block byte by byte, both ways, and the scan-mode table.
#include "config/scanmodes.h"
#include "config/screenparams.h"
#include "support/testsupport.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace ledsign;
using ledsign::test::hex;

namespace {

ScreenParams sample(const ScanModeTable& table)
{
    ScreenParams p;
    p.scanIndex = table.ScanIndexOfCode(17);
    p.oeIndex = 1;
    p.width = 320;
    p.height = 64;
    p.colorIndex = 2;
    p.dayBrightness = 3;
    p.nightBrightness = 7;
    p.dataBitIndex = 1;
    p.address485Index = 98;
    p.interfaceFlag = 0x22;
    p.baudIndex = 3;
    p.keptFlag = 1;
    p.transIndex = 2;
    p.clockIndex = 1;
    p.contentIndex = 1;
    p.emptyDisplayIndex = 1;
    p.rowOrderIndex = 2;
    return p;
}

} // namespace

TEST(ScanModes, NinetyFiveEntriesWithDistinctCodes)
{
    const ScanModeTable table(QStringLiteral("Static Scan"));
    ASSERT_EQ(table.size(), kScanModeCount);
    QSet<int> codes;
    for (const ScanMode& m : table.entries())
        codes.insert(m.code);
    EXPECT_EQ(codes.size(), kScanModeCount);
    EXPECT_EQ(table.entries().first().name, QStringLiteral("1/16 (A)"));
    EXPECT_EQ(table.entries()[10].name, QStringLiteral("1/8  (A)"));
    EXPECT_EQ(table.entries().last().name, QStringLiteral("1/6  (D)"));
    EXPECT_EQ(table.entries().last().code, 113);

    const int m = int(table.names().indexOf(QStringLiteral("1/4  (M)")));
    ASSERT_GE(m, 0);
    EXPECT_EQ(table.ScanCodeOfIndex(m), 17);
    EXPECT_EQ(table.ScanIndexOfCode(17), m);
    EXPECT_EQ(table.names().indexOf(QStringLiteral("Static Scan (M)")), table.ScanIndexOfCode(42));
    // Misses give 0 both ways.
    EXPECT_EQ(table.ScanIndexOfCode(200), 0);
    EXPECT_EQ(table.ScanCodeOfIndex(95), 0);
    EXPECT_EQ(table.ScanCodeOfIndex(-1), 0);
}

TEST(ScreenBlock, EveryByteWritten)
{
    const ScanModeTable table(QStringLiteral("S"));
    const QByteArray block = encodeScreenBlock(sample(table), table);
    EXPECT_EQ(block, hex("11 02 0140 0040 03 03 07 01 63 22 33 22 33 11 1F"));

    ScreenParams rows = sample(table);
    rows.rowOrderIndex = 3;
    EXPECT_EQ(quint8(encodeScreenBlock(rows, table).at(16)) & 0x0F, 14);
    rows.rowOrderIndex = 1;
    EXPECT_EQ(quint8(encodeScreenBlock(rows, table).at(16)) & 0x0F, 1);
    rows.rowOrderIndex = 0;
    rows.transIndex = 1;
    rows.baudIndex = 0;
    rows.keptFlag = 0;
    const QByteArray other = encodeScreenBlock(rows, table);
    EXPECT_EQ(quint8(other.at(16)), 0x10);
    EXPECT_EQ(quint8(other.at(14)), 0x22);
    EXPECT_EQ(quint8(other.at(12)), 0x00);
    EXPECT_EQ(quint8(other.at(13)), 0x00);
}

TEST(ScreenBlock, EveryByteReadBack)
{
    const ScanModeTable table(QStringLiteral("S"));
    const ScreenParams written = sample(table);
    ScreenParams read;
    ASSERT_TRUE(decodeScreenBlock(encodeScreenBlock(written, table), table, read));
    EXPECT_EQ(read, written);

    // Unknown scan code selects entry 0; row codes 14 and 15 select the last two entries.
    QByteArray block = hex("C8 01 0100 0080 01 00 00 05 01 00 00 00 00 00 0E");
    ASSERT_TRUE(decodeScreenBlock(block, table, read));
    EXPECT_EQ(read.scanIndex, 0);
    EXPECT_EQ(read.rowOrderIndex, 3);
    EXPECT_EQ(read.dataBitIndex, 0); // low nibble 5 is not 1
    EXPECT_EQ(read.width, 256);
    EXPECT_EQ(read.height, 128);
    block[16] = char(0x0F);
    ASSERT_TRUE(decodeScreenBlock(block, table, read));
    EXPECT_EQ(read.rowOrderIndex, 2);
    // A data-polarity byte with a high nibble still reads its low nibble.
    block[9] = char(0xF1);
    ASSERT_TRUE(decodeScreenBlock(block, table, read));
    EXPECT_EQ(read.dataBitIndex, 1);
    // Values the lists do not have leave nothing selected.
    block[1] = 0;
    block[14] = char(0x44);
    block[12] = char(0x99);
    ASSERT_TRUE(decodeScreenBlock(block, table, read));
    EXPECT_EQ(read.oeIndex, -1);
    EXPECT_EQ(read.transIndex, -1);
    EXPECT_EQ(read.baudIndex, -1);

    const ScreenParams before = read;
    EXPECT_FALSE(decodeScreenBlock(block.left(16), table, read));
    EXPECT_EQ(read, before);
}

TEST(ScreenBlock, BaudCodes)
{
    EXPECT_EQ(baudIndexOfText(QStringLiteral("57600")), 3);
    EXPECT_EQ(baudCodeOfIndex(baudIndexOfText(QStringLiteral("57600"))), 0x33);
    EXPECT_EQ(baudIndexOfText(QStringLiteral("4800")), -1);
    EXPECT_EQ(baudIndexOfCode(0x44), 4);
    EXPECT_EQ(baudIndexOfCode(0x02), 2); // a card that answers with the index itself
    EXPECT_EQ(baudIndexOfCode(0x55), -1);
}
