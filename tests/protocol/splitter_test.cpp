#include "protocol/frame.h"
#include "protocol/rs485packet.h"
#include "protocol/serialsplitter.h"
#include "protocol/tcpframesplitter.h"

#include "support/testsupport.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace ledsign;

namespace {

const convert::InternalCode kAddress {10, 20, 30, 40, 50, 60, 70, 80};

QByteArray confirmation(quint8 confirmed) { return frame::build(0x81, QByteArray(1, char(confirmed)), 9u); }

QByteArray cardReply(const QByteArray& carried, bool complete = true)
{
    return rs485::buildReply(kAddress, complete, 0x00, carried);
}

} // namespace

TEST(TcpFrameSplitter, GarbageSplitReadsAndSeveralFrames)
{
    TcpFrameSplitter s;
    const QByteArray a = confirmation(0x31);
    QList<QByteArray> out = s.feed("\x01\x02noise" + a);
    ASSERT_EQ(out.size(), 1);
    EXPECT_EQ(out[0], a);
    EXPECT_EQ(s.discardedBytes(), 7);
    EXPECT_TRUE(s.feed("no frame here at all").isEmpty());
    EXPECT_EQ(s.pendingSize(), 0);

    // Cut anywhere, the marker included, a frame is joined.
    for (int cut = 1; cut < a.size(); ++cut) {
        TcpFrameSplitter t;
        EXPECT_TRUE(t.feed(a.left(cut)).isEmpty()) << cut;
        out = t.feed(a.mid(cut));
        ASSERT_EQ(out.size(), 1) << cut;
        EXPECT_EQ(out[0], a) << cut;
    }

    // Frames in one read come out in order; marker bytes in data cut nothing.
    const QByteArray b = frame::build(0xF2, test::hex("01 FE 5C 4B 89 02 03 04 05 06 07 08 09 0A 0B 0C 0D"), 1u);
    const QByteArray c = frame::identityQuery();
    out = s.feed(a + b + c.left(12));
    ASSERT_EQ(out.size(), 2);
    EXPECT_EQ(out[0], a);
    EXPECT_EQ(out[1], b);
    EXPECT_EQ(s.feed(c.mid(12)), QList<QByteArray> {c});
}

TEST(TcpFrameSplitter, TruncatedAndCorruptFramesAreHandedOnAsSplitByMarker)
{
    TcpFrameSplitter s;
    const QByteArray good = confirmation(0x31);
    // Cut short by the next frame: up to the next marker.
    const QByteArray cut = good.left(11);
    EXPECT_EQ(s.feed(cut + good), (QList<QByteArray> {cut, good}));

    const QByteArray longCut = frame::build(0x91, QByteArray(80, '1'), 2u).left(30);
    EXPECT_EQ(s.feed(longCut + good), (QList<QByteArray> {longCut, good}));

    // Lengths that claim exactly the next frame's bytes too (its trailer then
    // sits where they say): the next frame is not swallowed.
    QByteArray claimsNext = longCut;
    claimsNext.replace(4, 4, test::hex("32 00 00 00"));  // 30 + 20
    claimsNext.replace(13, 4, test::hex("1F 00 00 00")); // 50 - 19
    ASSERT_EQ(good.size(), 20);
    EXPECT_EQ(s.feed(claimsNext + good), (QList<QByteArray> {claimsNext, good}));

    // Lengths that leave no trailer where they end: the frame as the markers
    // delimit it, nothing dropped.
    QByteArray understated = frame::build(0x51, "abcdef", 3u);
    understated.replace(4, 4, test::hex("13 00 00 00"));
    understated.replace(13, 4, test::hex("00 00 00 00"));
    EXPECT_EQ(s.feed(understated + good), (QList<QByteArray> {understated, good}));

    // A length beyond any frame: the piece up to the next marker.
    QByteArray bogus = good;
    bogus.replace(4, 4, test::hex("FF FF FF 7F"));
    EXPECT_EQ(s.feed(bogus + good), (QList<QByteArray> {bogus, good}));

    // Lengths that disagree with the trailer, alone in the read: as read.
    QByteArray noTrailer = good;
    noTrailer[noTrailer.size() - 1] = 0x00;
    EXPECT_EQ(s.feed(noTrailer), QList<QByteArray> {noTrailer});
    EXPECT_EQ(s.pendingSize(), 0);
}

TEST(TcpFrameSplitter, SizeLimitAndFlush)
{
    TcpFrameSplitter s;
    const QByteArray f = confirmation(0x31);
    // An oversized read is dropped, and the partial frame before it with it.
    EXPECT_TRUE(s.feed(f.left(10)).isEmpty());
    EXPECT_TRUE(s.feed(QByteArray(TcpFrameSplitter::kMaxRead + 1, 'x') + f).isEmpty());
    EXPECT_EQ(s.pendingSize(), 0);
    EXPECT_EQ(s.feed(QByteArray(TcpFrameSplitter::kMaxRead - f.size(), 'x') + f),
              QList<QByteArray> {f});

    // The card went quiet in the middle of a frame: flush hands on the piece.
    EXPECT_TRUE(s.feed(f.left(15)).isEmpty());
    EXPECT_EQ(s.flush(), QList<QByteArray> {f.left(15)});
    EXPECT_EQ(s.pendingSize(), 0);
}

TEST(SerialSplitter, FramesAndPacketsAcrossAndWithinBlocks)
{
    SerialSplitter s;
    const QByteArray f = frame::build(0xF2, QByteArray(17, '\x05'), 2u);
    EXPECT_TRUE(s.feed("\x00\x13" + f.left(20)).isEmpty());
    QList<SerialItem> out = s.feed(f.mid(20) + confirmation(0x31));
    ASSERT_EQ(out.size(), 2);
    EXPECT_EQ(out[0].kind, SerialItem::Kind::Frame);
    EXPECT_EQ(out[0].bytes, f);
    EXPECT_EQ(out[1].bytes, confirmation(0x31));

    const QByteArray p1 = cardReply(confirmation(0x22), false);
    const QByteArray p2 = cardReply(confirmation(0x31));
    out = s.feed(p1 + p2);
    ASSERT_EQ(out.size(), 2);
    EXPECT_EQ(out[0].kind, SerialItem::Kind::Rs485Packet);
    EXPECT_EQ(out[0].bytes, p1);
    EXPECT_EQ(out[1].bytes, p2);

    for (int cut : {1, 3, 5, 6, 17, int(p1.size()) - 1}) {
        SerialSplitter t;
        EXPECT_TRUE(t.feed(p1.left(cut)).isEmpty()) << cut;
        out = t.feed(p1.mid(cut));
        ASSERT_EQ(out.size(), 1) << cut;
        EXPECT_EQ(out[0].bytes, p1) << cut;
    }
}

TEST(SerialSplitter, ResynchronisesLimitsAndFlushes)
{
    SerialSplitter s;
    const QByteArray good = cardReply(confirmation(0x31));
    // An FE that starts nothing, then a reply claiming an impossible length.
    QByteArray bad = good;
    bad[2] = char(0xFF);
    bad[3] = char(0xFF);
    QList<SerialItem> out = s.feed(QByteArray("ab\xFE\x01\x02\x03\x04\x05\x06zz", 11) + bad.left(8) + good);
    ASSERT_EQ(out.size(), 1);
    EXPECT_EQ(out[0].bytes, good);
    EXPECT_TRUE(s.feed("\x01\x02\x03 plain noise").isEmpty());
    EXPECT_EQ(s.pendingSize(), 0);

    EXPECT_TRUE(s.feed(good.left(9)).isEmpty());
    EXPECT_TRUE(s.feed(QByteArray(SerialSplitter::kMaxBlock + 1, '\0') + good).isEmpty());
    EXPECT_EQ(s.pendingSize(), 0);
    EXPECT_EQ(s.feed(QByteArray(SerialSplitter::kMaxBlock - good.size(), '\0') + good).size(), 1);

    // On flush an unfinished packet is dropped, an unfinished frame handed on.
    s.feed(good.left(30));
    EXPECT_TRUE(s.flush().isEmpty());
    const QByteArray f = confirmation(0x22);
    s.feed(f.left(12));
    out = s.flush();
    ASSERT_EQ(out.size(), 1);
    EXPECT_EQ(out[0].bytes, f.left(12));
    EXPECT_EQ(s.pendingSize(), 0);
}

TEST(Splitters, RandomInputNeverHangsOrGrows)
{
    // Noise, bare markers and real frames fed in random pieces: every call
    // returns, output starts only at a start byte, buffers stay bounded.
    QRandomGenerator rng(12345);
    const QByteArray f = confirmation(0x31);
    QByteArray stream;
    for (int i = 0; i < 400; ++i) {
        switch (rng.bounded(3)) {
        case 0:
            for (int k = int(rng.bounded(40)); k > 0; --k)
                stream += char(rng.bounded(256));
            break;
        case 1:
            stream += frame::marker() + QByteArray(int(rng.bounded(30)), char(rng.bounded(256)));
            break;
        default:
            stream += rng.bounded(2) ? f : cardReply(f);
        }
    }
    TcpFrameSplitter tcp;
    SerialSplitter serial;
    int whole = 0;
    for (qsizetype at = 0; at < stream.size();) {
        const QByteArray piece = stream.mid(at, 1 + rng.bounded(200));
        at += piece.size();
        for (const QByteArray& out : tcp.feed(piece)) {
            ASSERT_TRUE(frame::startsWithMarker(out));
            whole += out == f;
        }
        for (const SerialItem& item : serial.feed(piece))
            ASSERT_EQ(quint8(item.bytes[0]), 0xFE);
        ASSERT_LE(tcp.pendingSize(), 2 * TcpFrameSplitter::kMaxRead);
        ASSERT_LE(serial.pendingSize(), 2 * SerialSplitter::kMaxBlock);
    }
    EXPECT_GT(whole, 0);
}
