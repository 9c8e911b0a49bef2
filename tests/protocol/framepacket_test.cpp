#include "protocol/conversions.h"
#include "protocol/frame.h"
#include "protocol/rs485packet.h"

#include "support/testsupport.h"

#include <gtest/gtest.h>

using namespace ledsign;

namespace {

// Bit-by-bit CRC, independent of the table routine under test.
quint16 slowCrc(const QByteArray& bytes)
{
    quint16 crc = 0xFFFF;
    for (char c : bytes) {
        crc ^= quint8(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc & 1) ? quint16((crc >> 1) ^ 0xA001) : quint16(crc >> 1);
    }
    return crc;
}

const convert::InternalCode kAddress {1, 2, 3, 4, 5, 6, 7, 8};

} // namespace

TEST(Frame, LayoutAndFixedFrames)
{
    EXPECT_EQ(frame::identityQuery(),
              test::hex("FE 5C 4B 89 13 00 00 00 71 01 02 03 04 00 00 00 00 FF FF"));
    EXPECT_EQ(frame::build(0x52, {}, 0x0001869Fu),
              test::hex("FE 5C 4B 89 13 00 00 00 52 00 01 86 9F 00 00 00 00 FF FF"));

    const QByteArray data(300, 'a');
    const QByteArray f = frame::build(0x22, data, 0x00012345u);
    ASSERT_EQ(f.size(), 319);
    EXPECT_EQ(f.mid(4, 4), test::hex("3F 01 00 00"));
    EXPECT_EQ(f.mid(13, 4), test::hex("2C 01 00 00"));
    EXPECT_EQ(frame::data(f), data);
    frame::Head head;
    ASSERT_TRUE(frame::readHead(f, head));
    EXPECT_EQ(head.totalLength, 319u);
    EXPECT_EQ(head.serial, 0x12345u);
    EXPECT_EQ(head.dataLength, 300u);

    EXPECT_TRUE(frame::isWellFormed(f));
    EXPECT_FALSE(frame::isWellFormed(f.left(318)));
    EXPECT_FALSE(frame::readHead(test::hex("FE 5C 4B 89 13 00"), head));
    EXPECT_FALSE(frame::readHead(QByteArray(20, 'x'), head));
    EXPECT_EQ(frame::command(test::hex("FE 5C 4B 89")), -1);
}

TEST(Frame, NewSerialIsKeptAsTextAndWritten)
{
    for (int i = 0; i < 20; ++i) {
        QString serial;
        const QByteArray f = frame::build(0x51, {}, serial);
        ASSERT_EQ(serial.size(), 8);
        EXPECT_EQ(f.at(9), '\0'); // below 100000: the first byte is always 0
        EXPECT_EQ(convert::bytesToHex(f.mid(9, 4)), serial);
        EXPECT_LT(quint32(convert::hexToInt(serial)), frame::kSerialLimit);
    }
}

TEST(Rs485Packet, OneShortFrameGivesFortyBytes)
{
    const QByteArray f = frame::build(0x51, {}, 0x00000102u);
    const QList<QByteArray> packets = rs485::cutFrame(f, kAddress);
    ASSERT_EQ(packets.size(), 1);
    const QByteArray& p = packets[0];
    ASSERT_EQ(p.size(), 40);
    EXPECT_EQ(p.left(18), test::hex("FE 98 00 26 97 54 00 01 02 03 04 05 06 07 08 01 01 01"));
    EXPECT_EQ(p.mid(18, 19), f);
    const quint16 crc = slowCrc(p.mid(1, 36));
    EXPECT_EQ(quint8(p[37]), crc & 0xFF);
    EXPECT_EQ(quint8(p[38]), crc >> 8);
    quint8 x = 0;
    for (int k = 1; k <= 38; ++k)
        x ^= quint8(p[k]);
    EXPECT_EQ(quint8(p[39]), x);
}

TEST(Rs485Packet, CutsAt256BytesWithinTheFieldLimits)
{
    const QByteArray f = frame::build(0x31, QByteArray(581, 'm'), 5u);
    const QList<QByteArray> packets = rs485::cutFrame(f, kAddress);
    ASSERT_EQ(packets.size(), 3);
    const int payloads[3] = {256, 256, 88};
    QByteArray joined;
    for (int j = 0; j < 3; ++j) {
        rs485::Packet p;
        ASSERT_TRUE(rs485::read(packets[j], p)) << j;
        EXPECT_EQ(packets[j].size(), payloads[j] + 21);
        EXPECT_EQ(p.length, payloads[j] + 19);
        EXPECT_EQ(p.partCount, 3);
        EXPECT_EQ(p.partNumber, j + 1);
        EXPECT_EQ(p.address, kAddress);
        EXPECT_TRUE(p.crcOk && p.checkByteOk);
        joined += p.payload;
    }
    EXPECT_EQ(joined, f);
    EXPECT_EQ(packets[0].mid(2, 2), test::hex("01 13")); // 275, big-endian
    EXPECT_EQ(rs485::cutFrame(QByteArray(512, 'x'), kAddress).size(), 2);

    // More than 255 pieces cannot be numbered; nor an empty frame cut.
    EXPECT_EQ(rs485::cutFrame(QByteArray(255 * 256, 'x'), kAddress).size(), 255);
    EXPECT_TRUE(rs485::cutFrame(QByteArray(255 * 256 + 1, 'x'), kAddress).isEmpty());
    EXPECT_TRUE(rs485::cutFrame({}, kAddress).isEmpty());
    EXPECT_TRUE(rs485::buildPacket(kAddress, 1, 1, QByteArray(257, 'x')).isEmpty());
}

TEST(Rs485Packet, ReaderReportsDamageAndRefusesBadLengths)
{
    const QByteArray p = rs485::buildPacket(kAddress, 1, 1, "payload");
    rs485::Packet read;
    QByteArray damaged = p;
    damaged[20] = 'P';
    ASSERT_TRUE(rs485::read(damaged, read));
    EXPECT_FALSE(read.crcOk);
    EXPECT_FALSE(read.checkByteOk);
    QByteArray badCheck = p;
    badCheck[badCheck.size() - 1] = char(~quint8(badCheck.back()));
    ASSERT_TRUE(rs485::read(badCheck, read));
    EXPECT_TRUE(read.crcOk);
    EXPECT_FALSE(read.checkByteOk);

    EXPECT_FALSE(rs485::read(p.left(p.size() - 1), read));
    EXPECT_FALSE(rs485::read(p + "x", read));
    EXPECT_FALSE(rs485::read(p.left(10), read));

    ASSERT_TRUE(rs485::read(rs485::buildReply(kAddress, true, 0x00, "abc"), read));
    EXPECT_TRUE(read.isCardReply());
    EXPECT_EQ(read.direction[1], 0x55);
    EXPECT_NE(read.kind, 0x98);
    EXPECT_TRUE(read.crcOk && read.checkByteOk);
}
