#include "protocol/conversions.h"
#include "protocol/crc16.h"

#include "support/testsupport.h"

#include <gtest/gtest.h>

using namespace ledsign;

TEST(Crc16Modbus, KnownVectorsTablesAndRanges)
{
    const crc16::CrcBytes check = crc16::modbus(QByteArray("123456789"));
    EXPECT_EQ(check.value(), 0x4B37);
    EXPECT_EQ(check.low, 0x37); // sent first
    EXPECT_EQ(check.high, 0x4B);
    // The textbook read-holding-registers request ends in C5 CD.
    const crc16::CrcBytes request = crc16::modbus(test::hex("01 03 00 00 00 0A"));
    EXPECT_EQ(request.low, 0xC5);
    EXPECT_EQ(request.high, 0xCD);

    const quint8 a[8] = {0x00, 0xC1, 0x81, 0x40, 0x01, 0xC0, 0x80, 0x41};
    const quint8 b[8] = {0x00, 0xC0, 0xC1, 0x01, 0xC3, 0x03, 0x02, 0xC2};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(crc16::tableA()[i], a[i]) << i;
        EXPECT_EQ(crc16::tableB()[i], b[i]) << i;
    }
    EXPECT_EQ(crc16::tableB()[128], 0xA0);
    EXPECT_EQ(crc16::tableA()[255], 0x40);

    // Half-open ranges; empty or reversed ones give FF FF; the end is a wall.
    const QByteArray padded = QByteArray("xx123456789yy");
    EXPECT_EQ(crc16::modbus(padded, 2, 11).value(), 0x4B37);
    EXPECT_EQ(crc16::modbus(padded, 5, 5).value(), 0xFFFF);
    EXPECT_EQ(crc16::modbus(padded, 7, 3).value(), 0xFFFF);
    EXPECT_EQ(crc16::modbus(padded, 2, 1000).value(), crc16::modbus(padded, 2, 13).value());
}

TEST(Conversions, HexAndBitStrings)
{
    EXPECT_EQ(convert::hexToInt(QStringLiteral("1g")), 16);
    EXPECT_EQ(convert::hexToInt(QStringLiteral("fe5C")), 0xFE5C);
    EXPECT_EQ(convert::hexToInt(QStringLiteral("FFFFFFFF")), -1);
    EXPECT_EQ(convert::hexToBytes(QStringLiteral("fe5C4b89A")), test::hex("FE 5C 4B 89"));
    EXPECT_EQ(convert::hexToBytes(QStringLiteral("zz01")), test::hex("00 01"));
    EXPECT_EQ(convert::bytesToHex(test::hex("FE 5c 00 0a")), QStringLiteral("FE5C000A"));

    EXPECT_EQ(convert::intToBitString(5, 4), QStringLiteral("0101"));
    EXPECT_EQ(convert::intToBitString(0x1F3, 5), QStringLiteral("10011"));
    EXPECT_EQ(convert::intToBitString(1, 34), QStringLiteral("0").repeated(33) + QLatin1Char('1'));
    bool ok = false;
    EXPECT_EQ(convert::bitStringToInt(QStringLiteral("0101"), &ok), 5);
    EXPECT_TRUE(ok);
    EXPECT_EQ(convert::bitStringToInt(QStringLiteral("21"), &ok), 5); // digit times its power of two
    EXPECT_EQ(convert::bitStringToInt(QStringLiteral("01x1"), &ok), 0);
    EXPECT_FALSE(ok);
}

TEST(Conversions, InternalCode)
{
    convert::InternalCode code {9, 9, 9, 9, 9, 9, 9, 9};
    EXPECT_FALSE(convert::internalCodeToBytes(QStringLiteral("1_2_3_4_5_6_7"), code));
    EXPECT_FALSE(convert::internalCodeToBytes(QStringLiteral("1_2_3_4_5_6_7_8_9"), code));
    EXPECT_EQ(code, (convert::InternalCode {9, 9, 9, 9, 9, 9, 9, 9}));
    ASSERT_TRUE(convert::internalCodeToBytes(QStringLiteral("1_2_x_4_256_6_7_255"), code));
    EXPECT_EQ(code, (convert::InternalCode {1, 2, 0, 4, 0, 6, 7, 255}));
    EXPECT_EQ(convert::internalCodeText(code), QStringLiteral("1_2_0_4_0_6_7_255"));
    EXPECT_EQ(convert::internalCodeText(QByteArray(8, char(0xFF))),
              QLatin1String(convert::kUnsetInternalCode));
}
