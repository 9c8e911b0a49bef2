// The search and configuration datagrams: bytes sent, replies read, and
// malformed input that must be ignored.
#include "support/testsupport.h"
#include "transport/datagram.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace ledsign;
using namespace ledsign::datagram;
using ledsign::test::hex;

namespace {

const Mac kMac{0x00, 0x11, 0x22, 0x33, 0x44, 0xA5};

QByteArray itemBytes(quint8 type, const QByteArray& data)
{
    return QByteArray(1, char(0xA1)) + char(type) + char(quint8(data.size())) + data + char(0xFF);
}

// A detail reply padded past 170 bytes with filler that holds no items.
QByteArray detailReply(const QByteArray& items, int padTo = 200)
{
    QByteArray out = items;
    while (out.size() < padTo)
        out.append('\x00');
    return out;
}

QByteArray searchReplyBytes(int size, quint8 version)
{
    QByteArray b(size, '\0');
    b[0] = char(0xA1);
    b[1] = 0x01;
    const quint8 ip[4] = {192, 168, 1, 20};
    for (int i = 0; i < 4; ++i)
        b[8 + i] = char(ip[i]);
    for (int i = 0; i < 6; ++i)
        b[16 + i] = char(kMac[std::size_t(i)]);
    if (size > 34)
        b[34] = char(version);
    return b;
}

} // namespace

TEST(Datagrams, RequestsHaveTheirExactBytes)
{
    EXPECT_EQ(searchRequest(), hex("A1 15 02 00 00 FF"));
    EXPECT_EQ(detailRequest(), hex("A1 14 02 00 00 FF"));
    EXPECT_EQ(detailRequestByMac(kMac), hex("A1 44 06 00 11 22 33 44 A5 FF"));
    EXPECT_EQ(releaseNotice(kMac), hex("A1 61 07 00 11 22 33 44 A5 00 FF"));

    const QByteArray setting = networkSetting(kMac, {192, 168, 0, 9}, {255, 255, 255, 0}, {192, 168, 0, 10}, 8900);
    EXPECT_EQ(setting, hex("A1 60 14 00 11 22 33 44 A5 C0A80009 FFFFFF00 C0A8000A 22C4 FF"));
    EXPECT_EQ(setting.size(), 24);

    QByteArray block(17, '\0');
    for (int i = 0; i < 17; ++i)
        block[i] = char(i + 1);
    const QByteArray write = parameterWrite(kMac, block);
    ASSERT_EQ(write.size(), 31);
    EXPECT_EQ(write.left(10), hex("A1 30 06 00 11 22 33 44 A5 FF"));
    EXPECT_EQ(write.mid(10, 3), hex("A1 51 11"));
    EXPECT_EQ(write.mid(13, 17), block);
    EXPECT_EQ(quint8(write.back()), 0xFF);
    EXPECT_TRUE(parameterWrite(kMac, block.left(16)).isEmpty());
}

TEST(Datagrams, SearchReplyVersionByteOnlyPastByte34)
{
    const auto v53 = parseSearchReply(searchReplyBytes(40, 53));
    ASSERT_TRUE(v53);
    EXPECT_EQ(v53->version, 53);
    EXPECT_EQ(ipText(v53->cardIp), QStringLiteral("192.168.1.20"));
    EXPECT_EQ(v53->mac, kMac);

    const auto v54 = parseSearchReply(searchReplyBytes(170, 54));
    ASSERT_TRUE(v54);
    EXPECT_EQ(v54->version, 54);

    // Exactly 34 bytes: no version byte, version 0.
    QByteArray exact = searchReplyBytes(34, 0);
    const auto noVersion = parseSearchReply(exact);
    ASSERT_TRUE(noVersion);
    EXPECT_EQ(noVersion->version, 0);
    EXPECT_EQ(noVersion->mac, kMac);
}

TEST(Datagrams, SearchReplyRefusesWrongMarkersAndShortOrLongData)
{
    QByteArray wrongType = searchReplyBytes(40, 54);
    wrongType[1] = 0x02;
    EXPECT_FALSE(parseSearchReply(wrongType));
    QByteArray wrongStart = searchReplyBytes(40, 54);
    wrongStart[0] = char(0xA2);
    EXPECT_FALSE(parseSearchReply(wrongStart));
    // Too short to hold the MAC.
    EXPECT_FALSE(parseSearchReply(searchReplyBytes(40, 54).left(21)));
    EXPECT_FALSE(parseSearchReply(hex("A1 01")));
    EXPECT_FALSE(parseSearchReply(searchReplyBytes(171, 54)));
}

TEST(Datagrams, DetailReplyItemsAtAnyOffsetLaterOnesWin)
{
    QByteArray items;
    items += QByteArray(3, '\x55'); // odd offset before the first item
    items += itemBytes(kItemName, QByteArray("CARD-1\0\0\0\0", 10));
    items += itemBytes(kItemMac, QByteArray(reinterpret_cast<const char*>(kMac.data()), 6));
    items += itemBytes(kItemIp, hex("C0A80114"));
    items += itemBytes(kItemMask, hex("FFFFFF00"));
    items += itemBytes(kItemExtraAddress, hex("01020304"));
    items += itemBytes(kItemServerPort, hex("22C4"));
    items += itemBytes(kItemByte20, hex("07"));
    QByteArray block(17, '\0');
    block[0] = 17;
    items += itemBytes(kItemBlock, block);
    items += itemBytes(kItemInternalCode, hex("0102030405060708"));
    items += '\x99';
    items += itemBytes(kItemIp, hex("C0A80115")); // a later address wins

    const auto reply = parseDetailReply(detailReply(items));
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->name, QStringLiteral("CARD-1"));
    EXPECT_TRUE(reply->hasMac);
    EXPECT_EQ(reply->mac, kMac);
    EXPECT_EQ(ipText(reply->cardIp), QStringLiteral("192.168.1.21"));
    EXPECT_EQ(ipText(reply->mask), QStringLiteral("255.255.255.0"));
    EXPECT_EQ(ipText(reply->extraAddress), QStringLiteral("1.2.3.4"));
    EXPECT_EQ(reply->serverPort, 8900);
    EXPECT_EQ(reply->byte20, 7);
    EXPECT_EQ(reply->block, block);
    EXPECT_EQ(reply->internalCode, (std::array<quint8, 8>{1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST(Datagrams, DetailReplyNamesQmvAndMissingNameUnknown)
{
    const auto qmv = parseDetailReply(detailReply(itemBytes(kItemName, QByteArray("QMV3008\0\0\0", 10))));
    ASSERT_TRUE(qmv);
    EXPECT_EQ(qmv->name, QStringLiteral("unknown"));

    const auto none = parseDetailReply(detailReply(itemBytes(kItemIp, hex("0A000001"))));
    ASSERT_TRUE(none);
    EXPECT_EQ(none->name, QStringLiteral("unknown"));
    EXPECT_FALSE(none->hasMac);

    // Bytes after the first zero are not part of the name; blanks are trimmed.
    const auto padded = parseDetailReply(detailReply(itemBytes(kItemName, QByteArray(" LED \0QMV\0", 10))));
    ASSERT_TRUE(padded);
    EXPECT_EQ(padded->name, QStringLiteral("LED"));
}

TEST(Datagrams, DetailReplyIgnoresMisshapenItems)
{
    QByteArray items;
    // Wrong length for its type, missing closing FF, unknown type.
    items += QByteArray(1, char(0xA1)) + char(kItemIp) + char(5) + hex("0A0000010200FF");
    items += QByteArray(1, char(0xA1)) + char(kItemMask) + char(4) + hex("FFFF0000") + char(0xFE);
    items += itemBytes(0x7E, hex("01"));
    const auto reply = parseDetailReply(detailReply(items));
    ASSERT_TRUE(reply);
    EXPECT_EQ(ipText(reply->cardIp), QStringLiteral("0.0.0.0"));
    EXPECT_EQ(ipText(reply->mask), QStringLiteral("0.0.0.0"));

    // An item whose data runs past the end of the datagram.
    QByteArray cut = detailReply(QByteArray(), 180);
    cut += QByteArray(1, char(0xA1)) + char(kItemBlock) + char(17) + QByteArray(5, '\x01');
    const auto truncated = parseDetailReply(cut);
    ASSERT_TRUE(truncated);
    EXPECT_TRUE(truncated->block.isEmpty());

    // 170 bytes or less is never a detail reply.
    EXPECT_FALSE(parseDetailReply(QByteArray(170, char(0xA1))));
}

TEST(Datagrams, JunkOf64KiBParsesWithoutHarm)
{
    QByteArray junk(64 * 1024, '\0');
    auto* rng = QRandomGenerator::global();
    for (char& c : junk)
        c = char(rng->bounded(256));
    // Sprinkle item starts so that the scanner works on every kind of near miss.
    for (qsizetype i = 0; i < junk.size(); i += 97)
        junk[i] = char(0xA1);
    const auto reply = parseDetailReply(junk);
    EXPECT_TRUE(reply.has_value());
    EXPECT_FALSE(parseSearchReply(junk));
    const QByteArray allStarts(64 * 1024, char(0xA1));
    EXPECT_TRUE(parseDetailReply(allStarts).has_value());
}

TEST(Datagrams, AddressAndMacTexts)
{
    EXPECT_EQ(ipFromText(QStringLiteral(" 10.0.0.254 ")), (Ipv4{10, 0, 0, 254}));
    EXPECT_FALSE(ipFromText(QStringLiteral("10.0.0")));
    EXPECT_FALSE(ipFromText(QStringLiteral("10.0.0.256")));
    EXPECT_FALSE(ipFromText(QStringLiteral("10..0.1")));
    EXPECT_EQ(macDecimalText(kMac), QStringLiteral("0:17:34:51:68:165"));
    EXPECT_EQ(macFromDecimalText(QStringLiteral("0:17:34:51:68:165")), kMac);
    EXPECT_FALSE(macFromDecimalText(QStringLiteral("0:17:34:51:68")));
    EXPECT_FALSE(macFromDecimalText(QStringLiteral("0:17:34:51:68:300")));
    EXPECT_EQ(macHexText(kMac), QStringLiteral("00-11-22-33-44-A5"));
}
