// The card's side of the search datagrams: the replies a card builds read
// back through the program's parsers, and the requests the program builds
// read back through the card's parser, which refuses anything misshapen.
#include "support/testsupport.h"
#include "transport/datagram.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace ledsign;
using namespace ledsign::datagram;

namespace {

const Mac kMac{0x02, 0xA1, 0xFF, 0x60, 0x15, 0x00}; // bytes that look like markers

} // namespace

TEST(CardDatagrams, RepliesReadBackThroughTheProgramsParsers)
{
    SearchReply s;
    s.cardIp = {127, 0, 0, 2};
    s.mac = kMac;
    s.extraAddress = {1, 2, 3, 4};
    s.version = 54;
    const QByteArray search = searchReply(s);
    ASSERT_EQ(search.size(), kSearchReplyBuiltSize);
    const auto back = parseSearchReply(search);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->cardIp, s.cardIp);
    EXPECT_EQ(back->mac, kMac);
    EXPECT_EQ(back->extraAddress, s.extraAddress);
    EXPECT_EQ(back->version, 54);

    DetailReply d;
    d.name = QStringLiteral("大厅屏幕一号"); // 12 bytes: cut to the five characters that fit
    d.mac = kMac;
    d.cardIp = {192, 168, 0, 239};
    d.mask = {255, 255, 255, 0};
    d.serverPort = 8900;
    d.byte20 = 7;
    d.internalCode = {1, 2, 3, 4, 5, 6, 7, 255};
    d.block = QByteArray::fromHex("11020140004002000701010033000000 0E");
    const QByteArray detail = detailReply(d);
    EXPECT_GT(detail.size(), kSearchReplyMaxSize);
    const auto read = parseDetailReply(detail);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->name, QStringLiteral("大厅屏幕一"));
    EXPECT_TRUE(read->hasMac);
    EXPECT_EQ(read->mac, kMac);
    EXPECT_EQ(read->cardIp, d.cardIp);
    EXPECT_EQ(read->mask, d.mask);
    EXPECT_EQ(read->serverPort, 8900);
    EXPECT_EQ(read->byte20, 7);
    EXPECT_EQ(read->internalCode, d.internalCode);
    EXPECT_EQ(read->block, d.block);

    // A name of QMV make reads as unknown, as from a real card of that make.
    d.name = QStringLiteral("QMV2000");
    EXPECT_EQ(parseDetailReply(detailReply(d))->name, QStringLiteral("unknown"));
}

TEST(CardDatagrams, EveryRequestReadsBack)
{
    auto r = parseCardRequest(searchRequest());
    ASSERT_TRUE(r);
    EXPECT_EQ(r->kind, RequestKind::Search);
    EXPECT_EQ(parseCardRequest(detailRequest())->kind, RequestKind::Detail);

    r = parseCardRequest(detailRequestByMac(kMac));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->kind, RequestKind::DetailByMac);
    EXPECT_EQ(r->mac, kMac);

    const QByteArray block = QByteArray::fromHex("A1FF0140004002000701010033000000FF");
    r = parseCardRequest(parameterWrite(kMac, block));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->kind, RequestKind::ParameterWrite);
    EXPECT_EQ(r->mac, kMac);
    EXPECT_EQ(r->block, block);

    r = parseCardRequest(networkSetting(kMac, {192, 168, 0, 239}, {255, 255, 255, 0}, {192, 168, 0, 10}, 65535));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->kind, RequestKind::NetworkSetting);
    EXPECT_EQ(r->cardIp, (Ipv4{192, 168, 0, 239}));
    EXPECT_EQ(r->mask, (Ipv4{255, 255, 255, 0}));
    EXPECT_EQ(r->serverIp, (Ipv4{192, 168, 0, 10}));
    EXPECT_EQ(r->serverPort, 65535);

    r = parseCardRequest(releaseNotice(kMac));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->kind, RequestKind::Release);
    EXPECT_EQ(r->mac, kMac);
}

TEST(CardDatagrams, MisshapenRequestsAreRefused)
{
    const QList<QByteArray> good{
        searchRequest(), detailRequest(), detailRequestByMac(kMac),
        parameterWrite(kMac, QByteArray(17, '\x22')),
        networkSetting(kMac, {1, 2, 3, 4}, {255, 0, 0, 0}, {1, 2, 3, 5}, 8900), releaseNotice(kMac),
    };
    for (const QByteArray& d : good) {
        SCOPED_TRACE(d.toHex().toStdString());
        // Every shorter piece, one byte more, a wrong start or end marker,
        // and a length byte that runs past the end.
        for (qsizetype n = 0; n < d.size(); ++n)
            EXPECT_FALSE(parseCardRequest(d.left(n)));
        EXPECT_FALSE(parseCardRequest(d + char(0xFF)));
        QByteArray bad = d;
        bad[0] = char(0xA2);
        EXPECT_FALSE(parseCardRequest(bad));
        bad = d;
        bad[bad.size() - 1] = char(0xFE);
        EXPECT_FALSE(parseCardRequest(bad));
        bad = d;
        bad[2] = char(quint8(bad[2]) + 1);
        EXPECT_FALSE(parseCardRequest(bad));
    }
    // The second item of a parameter write must be the block.
    QByteArray write = parameterWrite(kMac, QByteArray(17, '\0'));
    write[11] = char(0x52);
    EXPECT_FALSE(parseCardRequest(write));
    // Replies of cards are not requests.
    EXPECT_FALSE(parseCardRequest(searchReply({})));
    EXPECT_FALSE(parseCardRequest(detailReply({})));
}

TEST(CardDatagrams, JunkOf64KiBIsNoRequest)
{
    auto* rng = QRandomGenerator::global();
    QByteArray junk(64 * 1024, '\0');
    for (char& c : junk)
        c = char(rng->bounded(256));
    // Starts like each kind of request, then runs on.
    for (quint8 type : {0x15, 0x14, 0x44, 0x30, 0x60, 0x61}) {
        junk[0] = char(0xA1);
        junk[1] = char(type);
        EXPECT_FALSE(parseCardRequest(junk));
    }
}
