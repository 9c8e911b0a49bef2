// The card's own reading of the line against what the program's builders
// write: sound frames are taken; a frame in which the builder wrote one
// wrong byte (a length, a check value, the end marker) is refused.
#include "cardinbox.h"
#include "playrig.h"
#include "cardwire.h"
#include "downloadreceiver.h"

#include "protocol/frame.h"
#include "protocol/rs485packet.h"

#include <QtEndian>
#include <gtest/gtest.h>

namespace ledsign {
namespace {

using test::PlayRig;

// One page with a picture material and a date/time material: a display-data
// block and a one-frame block, the end marker in the clock's frame.
struct Download {
    PlayRig rig;
    QByteArray header;
    QList<QByteArray> materials;

    Download()
    {
        TProgram& p = rig.page();
        TRegion& r = rig.region(p, 0, 0, 64, 16);
        rig.pictures(r, {test::lit(64, 16, [](int x, int) { return x < 8; })}, 9, 0, 1);
        rig.material(r, kDateTime);
        const DownloadBuild b = rig.build();
        EXPECT_TRUE(b.ok);
        header = b.download.headerFrame;
        for (const rSendFdrContent& c : b.download.materialPackets)
            materials.append(c.bytes);
    }

    // What the card says of the frames, each fed to its receive side;
    // empty when it took them all.
    QString refusal(const QByteArray& headerFrame, const QList<QByteArray>& frames)
    {
        card::FrameInbox inbox;
        card::DownloadReceiver d(1);
        QByteArray stream = headerFrame;
        for (const QByteArray& f : frames)
            stream += f;
        const QList<card::InboxItem> items = inbox.feed(stream);
        bool first = true;
        for (const card::InboxItem& item : items) {
            if (!item.error.isEmpty())
                return item.error;
            QString why;
            if (first) {
                if (!d.takeHeader(card::wire::data(item.bytes), why))
                    return why;
                first = false;
                continue;
            }
            const card::FrameVerdict v = d.takeMaterialFrame(item.bytes);
            if (!v.ok)
                return v.error;
        }
        if (inbox.pending() > 0)
            return QStringLiteral("%1 bytes left waiting").arg(inbox.pending());
        return d.complete() ? QString() : QStringLiteral("playbill not whole");
    }
};

TEST(CardWire, CrcIsModbusWorkedBitByBit)
{
    EXPECT_EQ(card::wire::modbusCrc("123456789", 0, 9), 0x4B37);
    EXPECT_EQ(card::wire::modbusCrc("123456789", 3, 3), 0xFFFF);
    // A single zero byte: 0xFFFF ^ 0 shifted eight times through A001.
    EXPECT_EQ(card::wire::modbusCrc(QByteArray(1, '\0'), 0, 1), 0x40BF);
}

TEST(CardWire, FrameChecksNameWhatIsWrong)
{
    // The identity query, byte by byte.
    const QByteArray query = QByteArray::fromHex("FE5C4B8913000000710102030400000000FFFF");
    EXPECT_TRUE(card::wire::frameProblem(query).isEmpty());
    QByteArray bad = query;
    bad[4] = 0x14;
    EXPECT_TRUE(card::wire::frameProblem(bad).contains(QStringLiteral("total length")));
    bad = query;
    bad[13] = 0x01;
    EXPECT_TRUE(card::wire::frameProblem(bad).contains(QStringLiteral("data length")));
    bad = query;
    bad[18] = 0xFE;
    EXPECT_TRUE(card::wire::frameProblem(bad).contains(QStringLiteral("FF FF")));
    // What the card builds is read back by the same rules, with a serial
    // below 100000 written big-endian.
    const QByteArray reply = card::wire::buildFrame(0x81, QByteArray(1, '\x31'));
    EXPECT_EQ(reply.size(), 20);
    EXPECT_EQ(reply.toHex().left(18), QByteArray("fe5c4b891400000081"));
    EXPECT_EQ(reply[9], '\0');
    EXPECT_LT(qFromBigEndian<quint32>(reply.constData() + 9), 100000u);
    EXPECT_EQ(reply.mid(13).toHex(), QByteArray("0100000031ffff"));
}

TEST(CardWire, TakesTheProgramsDownloadWhole)
{
    Download dl;
    ASSERT_EQ(dl.materials.size(), 2);
    EXPECT_TRUE(dl.refusal(dl.header, dl.materials).isEmpty()) << dl.refusal(dl.header, dl.materials).toStdString();
}

TEST(CardWire, RefusesOneWrongByteTheBuilderWrote)
{
    Download dl;
    const QByteArray picture = dl.materials[0];
    const QByteArray clock = dl.materials[1];
    // Offsets inside the picture frame: id 9 bytes, descriptor tail 34, then
    // the block: LE32 length, the data, the trailer, the check value.
    const int block = 17 + 9 + 34;
    struct Case {
        const char* what;
        int frame;   // 0 header, 1 picture, 2 clock
        qsizetype at;
        int delta;
    };
    const qsizetype crcAt = picture.size() - 2 - 2;
    const Case cases[] = {
        {"header total length", 0, 4, 1},
        {"header data length", 0, 13, -1},
        {"picture total length", 1, 4, -1},
        {"picture block length", 1, block, 1},
        {"picture check value", 1, crcAt, 1},
        {"picture block count", 1, crcAt - 4, 1},
        {"picture trailer", 1, picture.size() - 1, -1},
        {"clock block length", 2, block, 1},
        {"clock check value", 2, clock.size() - 2 - 3 - 1, 1},
        {"clock time format", 2, block + 4, 1},
        {"end marker", 2, clock.size() - 2 - 2, 1},
    };
    for (const Case& c : cases) {
        QByteArray header = dl.header;
        QList<QByteArray> frames = dl.materials;
        QByteArray& target = c.frame == 0 ? header : frames[c.frame - 1];
        target[c.at] = char(quint8(target[c.at]) + c.delta);
        EXPECT_FALSE(dl.refusal(header, frames).isEmpty()) << c.what;
    }
    // A frame the builder made for another colour depth.
    QList<QByteArray> frames = dl.materials;
    frames[1][17 + 9 + 28] = '2';
    EXPECT_TRUE(dl.refusal(dl.header, frames).contains(QStringLiteral("colour planes")));
}

TEST(CardWire, RefusesA485PacketWithOneWrongByte)
{
    const convert::InternalCode code{1, 2, 3, 4, 5, 6, 7, 8};
    const QByteArray frame = frame::build(0x51, {}, 12345u);
    const QList<QByteArray> packets = rs485::cutFrame(frame, code);
    ASSERT_EQ(packets.size(), 1);
    card::wire::Packet p;
    QString why;
    ASSERT_TRUE(card::wire::readPacket(packets[0], p, why)) << why.toStdString();
    EXPECT_EQ(p.payload, frame);
    EXPECT_EQ(p.address, code);
    EXPECT_EQ(p.partCount, 1);
    const struct {
        const char* what;
        qsizetype at;
    } cases[] = {{"length", 3}, {"kind", 1}, {"direction", 5}, {"constant", 15}, {"part number", 17},
                 {"payload", 25}, {"CRC", 37}, {"check byte", 39}};
    for (const auto& c : cases) {
        QByteArray bad = packets[0];
        bad[c.at] = char(bad[c.at] ^ 0x01);
        EXPECT_FALSE(card::wire::readPacket(bad, p, why)) << c.what;
    }
    // Every byte of the card's own reply is covered by its CRC and check byte.
    const QByteArray reply = card::wire::buildReplyPacket(code, true, 0, frame);
    EXPECT_EQ(reply.size(), frame.size() + 21);
    EXPECT_EQ(quint8(reply[5]), 0x55);
    const quint16 crc = card::wire::modbusCrc(reply, 1, reply.size() - 3);
    EXPECT_EQ(quint8(reply[reply.size() - 3]), crc & 0xFF);
    EXPECT_EQ(quint8(reply[reply.size() - 2]), crc >> 8);
    quint8 x = 0;
    for (qsizetype i = 1; i < reply.size() - 1; ++i)
        x ^= quint8(reply[i]);
    EXPECT_EQ(quint8(reply.back()), x);
}

} // namespace
} // namespace ledsign
