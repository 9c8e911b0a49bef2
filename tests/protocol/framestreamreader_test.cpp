// Reading frames and 485 packets back: frames written out byte by byte from
// the frame and material layouts, with check values from a bit-by-bit
// CRC-16/MODBUS of this test (not the program's table-driven one).
#include "protocol/framestreamreader.h"

#include <gtest/gtest.h>

using namespace ledsign;
using namespace ledsign::framestream;

namespace {

// CRC-16/MODBUS bit by bit: initial FFFF, reflected polynomial A001.
QByteArray crcLowHigh(const QByteArray& bytes)
{
    quint16 crc = 0xFFFF;
    for (char c : bytes) {
        crc ^= quint8(c);
        for (int i = 0; i < 8; ++i)
            crc = (crc & 1) ? quint16((crc >> 1) ^ 0xA001) : quint16(crc >> 1);
    }
    QByteArray out;
    out.append(char(crc & 0xFF));
    out.append(char(crc >> 8));
    return out;
}

QByteArray hex(const char* text) { return QByteArray::fromHex(text); }

// A date/time material frame: id 123456789, serial 12345, send number 5.
QByteArray timeFrame()
{
    QByteArray block = hex("11000000" "01" "01" "00" "00" "11" "13" "00" "FF00" "0500" "0100" "0100");
    block += crcLowHigh(block.mid(4)); // bytes 4 .. 18
    const QByteArray tail = hex("2C" "09" "01" "02") + QByteArray("010101991231")
        + hex("0E" "000000" "55AA00" "00" "31" "3030" "31" "31" "31" "0100" "0000");
    QByteArray frame = hex("FE5C4B89" "53000000" "31" "00003039" "40000000") + QByteArray("123456789") + tail + block
        + hex("FFFF");
    return frame;
}

// The last display-data frame of the card: three data bytes AA BB CC, block
// 3 of 4 of send number 2, and the end marker.
QByteArray displayFrame()
{
    QByteArray block = hex("0D000000" "AABBCC" "FF00" "0200" "0400" "0300");
    block += crcLowHigh(block.mid(6, 9)); // the last data byte and the trailer
    const QByteArray tail = hex("2C" "01" "00" "00") + QByteArray("010101991231")
        + hex("0E" "000000" "55AA00" "00" "38" "3030" "32" "31" "31" "0300" "0000");
    return hex("FE5C4B89" "52000000" "31" "0001869F" "3F000000") + QByteArray("987654321") + tail + block
        + QByteArray("-1,") + hex("FFFF");
}

// A text-program material frame of content attribute 2.
QByteArray textProgramFrame()
{
    const QByteArray text("#^2#^1#^1#^1#~AB");
    return hex("FE5C4B89" "48000000" "31" "00000001" "35000000") + QByteArray("111111111") + hex("2C" "090000")
        + QByteArray("010101991231") + hex("03" "000000") + QByteArray("all") + hex("11000000") + QByteArray(";")
        + text + hex("FFFF");
}

QByteArray packet(const QByteArray& address, int count, int number, const QByteArray& payload)
{
    QByteArray p = hex("FE98");
    p += char((payload.size() + 19) >> 8);
    p += char((payload.size() + 19) & 0xFF);
    p += hex("975400") + address + hex("01") + char(count) + char(number) + payload;
    p += crcLowHigh(p.mid(1));
    char x = 0;
    for (qsizetype i = 1; i < p.size(); ++i)
        x ^= p.at(i);
    return p + x;
}

} // namespace

TEST(FrameStreamReader, MaterialFramesOfThreeLayouts)
{
    ASSERT_EQ(timeFrame().size(), 83);
    ASSERT_EQ(displayFrame().size(), 82);
    ASSERT_EQ(textProgramFrame().size(), 72);
    const QByteArray bytes = timeFrame() + hex("000102") + displayFrame() + textProgramFrame();
    const Stream s = readStream(bytes);
    ASSERT_EQ(s.frames.size(), 3);
    ASSERT_EQ(s.gaps.size(), 1);
    EXPECT_EQ(s.gaps[0].offset, 83);
    EXPECT_EQ(s.gaps[0].length, 3);

    const Frame& t = s.frames[0];
    EXPECT_TRUE(t.wellFormed) << t.problem.toStdString();
    EXPECT_EQ(t.command, 0x31);
    EXPECT_EQ(t.serial, 12345u);
    EXPECT_EQ(t.totalLength, 83u);
    EXPECT_EQ(t.dataLength, 64u);
    ASSERT_TRUE(t.isMaterial);
    EXPECT_EQ(t.material.id, QByteArray("123456789"));
    EXPECT_EQ(t.material.typeCode, '1');
    EXPECT_EQ(t.material.blockKind, material::BlockKind::Time);
    EXPECT_EQ(t.material.frameOrder, '1');
    EXPECT_EQ(t.material.pictureCount, 1);
    EXPECT_EQ(t.material.sendNo, 5);
    EXPECT_EQ(t.material.blockCount, 1);
    EXPECT_EQ(t.material.blockNo, 1);
    EXPECT_TRUE(t.material.hasCheck);
    EXPECT_TRUE(t.material.checkOk);
    EXPECT_FALSE(t.material.endMarker);
    EXPECT_TRUE(t.material.problem.isEmpty()) << t.material.problem.toStdString();

    const Frame& d = s.frames[1];
    EXPECT_EQ(d.offset, 86);
    EXPECT_EQ(d.serial, 99999u);
    ASSERT_TRUE(d.isMaterial);
    EXPECT_EQ(d.material.id, QByteArray("987654321"));
    EXPECT_EQ(d.material.blockKind, material::BlockKind::DisplayData);
    EXPECT_EQ(d.material.frameOrder, '2');
    EXPECT_EQ(d.material.pictureCount, 3);
    EXPECT_EQ(d.material.payloadLength, 3);
    EXPECT_EQ(d.material.sendNo, 2);
    EXPECT_EQ(d.material.blockCount, 4);
    EXPECT_EQ(d.material.blockNo, 3);
    EXPECT_TRUE(d.material.checkOk);
    EXPECT_TRUE(d.material.endMarker);
    EXPECT_TRUE(d.material.problem.isEmpty()) << d.material.problem.toStdString();

    const Frame& p = s.frames[2];
    ASSERT_TRUE(p.isMaterial);
    EXPECT_EQ(p.material.blockKind, material::BlockKind::TextProgram);
    EXPECT_EQ(p.material.typeCode, 2);
    EXPECT_EQ(p.material.payloadLength, 16);
    EXPECT_FALSE(p.material.hasCheck);
    EXPECT_TRUE(p.material.problem.isEmpty()) << p.material.problem.toStdString();
}

TEST(FrameStreamReader, DamageIsToldNotHidden)
{
    // A data byte outside the check's range changes nothing; the last data
    // byte does.
    QByteArray display = displayFrame();
    display[17 + 9 + 34 + 4] = char(0x00); // AA: not covered
    EXPECT_TRUE(readFrame(display).material.checkOk);
    display[17 + 9 + 34 + 6] = char(0x00); // CC: covered
    EXPECT_FALSE(readFrame(display).material.checkOk);
    EXPECT_TRUE(readFrame(display).wellFormed);

    QByteArray time = timeFrame();
    time[17 + 9 + 34 + 5] = char(0x07); // display format, covered
    EXPECT_FALSE(readFrame(time).material.checkOk);

    // A block length that does not fit the kind is malformed, not a check.
    QByteArray wrong = timeFrame();
    wrong[17 + 9 + 34] = char(0x12);
    EXPECT_FALSE(readFrame(wrong).material.problem.isEmpty());

    // Cut short: the whole frames before it are read, the rest reported.
    const QByteArray bytes = timeFrame() + displayFrame().left(50);
    const Stream s = readStream(bytes);
    ASSERT_EQ(s.frames.size(), 2);
    EXPECT_TRUE(s.frames[0].wellFormed);
    EXPECT_FALSE(s.frames[1].wellFormed);
    EXPECT_TRUE(s.frames[1].problem.contains(QStringLiteral("length field 82"))) << s.frames[1].problem.toStdString();

    // A length field below an empty frame does not stall the reading.
    const Stream tiny = readStream(hex("FE5C4B89" "01000000" "71") + timeFrame());
    ASSERT_EQ(tiny.frames.size(), 2);
    EXPECT_FALSE(tiny.frames[0].wellFormed);
    EXPECT_TRUE(tiny.frames[1].wellFormed);

    // No trailer.
    QByteArray noTrailer = hex("FE5C4B89" "13000000" "71" "01020304" "00000000" "FFFE");
    EXPECT_FALSE(readFrame(noTrailer).wellFormed);
    EXPECT_TRUE(readFrame(hex("FE5C4B89" "13000000" "71" "01020304" "00000000" "FFFF")).wellFormed);
}

TEST(FrameStreamReader, Rs485PacketsAndTheFramesTheyCarry)
{
    const QByteArray query = hex("FE5C4B89130000007101020304" "00000000FFFF");
    const QByteArray address = hex("0102030405060708");
    const QByteArray one = packet(address, 1, 1, query);
    ASSERT_EQ(one.size(), 40);
    EXPECT_EQ(one.mid(2, 2), hex("0026"));
    PacketStream ps = readPackets(one);
    ASSERT_EQ(ps.packets.size(), 1);
    EXPECT_TRUE(ps.gaps.isEmpty());
    const Packet& p = ps.packets[0];
    EXPECT_TRUE(p.fromProgram);
    EXPECT_EQ(convert::internalCodeText(p.address), QStringLiteral("1_2_3_4_5_6_7_8"));
    EXPECT_EQ(p.partCount, 1);
    EXPECT_EQ(p.partNumber, 1);
    EXPECT_EQ(p.payload, query);
    EXPECT_TRUE(p.crcOk);
    EXPECT_TRUE(p.xorOk);
    EXPECT_TRUE(looksLikePacket(one));
    EXPECT_FALSE(looksLikePacket(query));

    // A 300-byte frame in two pieces, the second sent twice, joins once.
    QByteArray big(300, '\x5A');
    const QByteArray first = packet(address, 2, 1, big.left(256));
    const QByteArray second = packet(address, 2, 2, big.mid(256));
    ps = readPackets(first + second + second);
    ASSERT_EQ(ps.packets.size(), 3);
    PacketJoiner joiner;
    QByteArray joined;
    EXPECT_FALSE(joiner.add(ps.packets[0], joined));
    ASSERT_TRUE(joiner.add(ps.packets[1], joined));
    EXPECT_EQ(joined, big);
    EXPECT_FALSE(joiner.add(ps.packets[2], joined));

    // A damaged CRC or XOR byte is told; a packet cut short is a gap.
    QByteArray bad = one;
    bad[20] = char(bad.at(20) ^ 0xFF);
    ps = readPackets(bad);
    ASSERT_EQ(ps.packets.size(), 1);
    EXPECT_FALSE(ps.packets[0].crcOk);
    EXPECT_FALSE(ps.packets[0].xorOk);
    bad = one;
    bad[39] = char(bad.at(39) ^ 0x01);
    EXPECT_TRUE(readPackets(bad).packets[0].crcOk);
    EXPECT_FALSE(readPackets(bad).packets[0].xorOk);
    ps = readPackets(one + one.left(10));
    EXPECT_EQ(ps.packets.size(), 1);
    ASSERT_EQ(ps.gaps.size(), 1);
    EXPECT_EQ(ps.gaps[0].length, 10);
}
