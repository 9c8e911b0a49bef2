// ledsign-card against the program's channels: reports, heartbeats, the
// checks it makes on every frame, its confirmations and its pictures, on
// TCP, a plain serial line and an RS-485 line.
#include "protocol/cardcommands.h"
#include "protocol/cardmessage.h"
#include "protocol/cardreport.h"
#include "protocol/crc16.h"
#include "protocol/frame.h"
#include "protocol/rs485packet.h"
#include "protocol/tcpframesplitter.h"
#include "support/cardprocess.h"
#include "transport/commchannels.h"
#include "transport/testframes.h"
#include "transport/waitfor.h"

#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ledsign;
using ledsign::test::CardProcess;
using ledsign::test::PtyLink;
using ledsign::test::spin;
using ledsign::test::waitFor;

namespace {

using ledsign::test::displayFrame;

QByteArray entry(const QByteArray& id, char typeCode, int x, int y, int w, int h)
{
    return ledsign::test::descriptionEntry(id, typeCode, x, y, w, h);
}

struct NetworkCard : ::testing::Test {
    QList<TFIXModem> cards;
    CommChannels channels {cards};
    QTcpSocket* connection = nullptr;
    TcpFrameSplitter splitter;
    QList<QByteArray> frames;
    CardProcess card;

    void SetUp() override
    {
        ASSERT_TRUE(QFileInfo::exists(CardProcess::program())) << "build ledsign-card first";
        ASSERT_TRUE(channels.openServer(0, QHostAddress::LocalHost));
        QObject::connect(&channels, &CommChannels::connectionAccepted, [this](QTcpSocket* c) { connection = c; });
        QObject::connect(&channels, &CommChannels::tcpBytesReceived, [this](QTcpSocket*, const QByteArray& b) {
            frames += splitter.feed(b);
        });
    }

    void startCard(QStringList extra)
    {
        extra << QStringLiteral("--tcp") << QStringLiteral("127.0.0.1:%1").arg(channels.serverPort())
              << QStringLiteral("--once");
        ASSERT_TRUE(card.start(extra));
        ASSERT_TRUE(waitFor([&] { return connection != nullptr; }, 5000));
        ASSERT_TRUE(waitFor([&] { return !frames.isEmpty(); }, 5000));
    }

    // The next frame the card sent with this command, waiting for it.
    QByteArray nextFrame(int command, int timeoutMs = 5000)
    {
        QByteArray found;
        waitFor([&] {
            for (qsizetype i = 0; i < frames.size(); ++i) {
                if (frame::command(frames[i]) == command) {
                    found = frames.takeAt(i);
                    return true;
                }
            }
            return false;
        }, timeoutMs);
        return found;
    }

    void send(const QByteArray& bytes) { connection->write(bytes); }
};

} // namespace

TEST_F(NetworkCard, ReportsWhatItWasToldAndSendsHeartbeats)
{
    startCard({QStringLiteral("--code"), QStringLiteral("9_8_7_6_5_4_3_200"), QStringLiteral("--width"),
               QStringLiteral("128"), QStringLiteral("--height"), QStringLiteral("48"), QStringLiteral("--colors"),
               QStringLiteral("2"), QStringLiteral("--card-version"), QStringLiteral("61"),
               QStringLiteral("--heartbeat"), QStringLiteral("0.2")});
    // The server's identity query on connect is answered with a report.
    const QByteArray reportFrame = nextFrame(0x61);
    ASSERT_FALSE(reportFrame.isEmpty());
    CardReport r;
    ASSERT_TRUE(readCardReport(reportFrame, r));
    EXPECT_TRUE(r.acceptableOnNewConnection());
    EXPECT_EQ(r.internalCode, QStringLiteral("9_8_7_6_5_4_3_200"));
    EXPECT_EQ(r.width, 128);
    EXPECT_EQ(r.height, 48);
    EXPECT_EQ(r.colorType, '9');
    EXPECT_EQ(r.version, 61);

    const QByteArray beat = nextFrame(0x91, 3000);
    ASSERT_FALSE(beat.isEmpty());
    ASSERT_TRUE(readCardReport(beat, r));
    EXPECT_EQ(r.internalCode, QStringLiteral("9_8_7_6_5_4_3_200"));
    EXPECT_FALSE(nextFrame(0x91, 3000).isEmpty());
    EXPECT_TRUE(card.errorLines().isEmpty()) << card.errorLines().join(u'\n').toStdString();

    // A time frame with a poll time is read back by the card.
    QString serial;
    send(commands::timeAndPollTime(QDateTime(QDate(2024, 5, 1), QTime(10, 20, 30)), 45, serial));
    QString line;
    ASSERT_TRUE(card.waitForLine(QStringLiteral("time "), 3000, &line));
    EXPECT_EQ(line, QStringLiteral("time 2024-05-01T10:20:30 weekday=3 poll=45"));
}

TEST_F(NetworkCard, ChecksEveryFrameConfirmsThePlaybillAndDrawsIt)
{
    QTemporaryDir pictures;
    ASSERT_TRUE(pictures.isValid());
    startCard({QStringLiteral("--png"), pictures.path(), QStringLiteral("--exit-after"), QStringLiteral("1")});
    ASSERT_FALSE(nextFrame(0x61).isEmpty());

    // A frame whose trailer is wrong is refused and not confirmed.
    QByteArray broken = frame::build(frame::cmd::kHeader, "x", 1u);
    broken[broken.size() - 1] = '\0';
    send(broken);
    ASSERT_TRUE(card.waitForLine(QStringLiteral("error malformed frame"), 3000));

    // One page with two materials: one 16 x 8 picture at (8, 4), and two
    // pictures of 32 x 16 at (32, 16).
    const QByteArray id1 = "101010101", id2 = "202020202";
    QByteArray description = "111111111,08:00-12:00.";
    description += entry(id1, '8', 8, 4, 16, 8);
    description += entry(id2, '9', 32, 16, 32, 16);
    send(frame::build(frame::cmd::kHeader, description, 2u));
    QByteArray confirmation = nextFrame(0x81);
    ASSERT_FALSE(confirmation.isEmpty());
    EXPECT_EQ(quint8(confirmation[17]), 0x22);
    QString line;
    ASSERT_TRUE(card.waitForLine(QStringLiteral("header "), 3000, &line));
    EXPECT_EQ(line, QStringLiteral("header pages=1 materials=2"));

    // Material 1: first row lit on its left half.
    QByteArray data1(16, '\xFF');
    data1[0] = '\0';
    // A request for material S, block B: 81, then 33 S S B B (little-endian).
    auto request = [](quint8 sendNo, quint8 block) {
        return QByteArray::fromHex("33") + char(sendNo) + '\0' + char(block) + '\0';
    };
    auto dataOf = [](const QByteArray& f) { return f.mid(17, f.size() - 19); };
    // A wrong check value is damage on the way: the card asks for the block ...
    QByteArray bad = displayFrame(id1, '8', 1, 1, 1, 1, 1, data1, false);
    bad[bad.size() - 4] = char(bad[bad.size() - 4] ^ 0x01);
    send(bad);
    ASSERT_TRUE(card.waitForLine(QStringLiteral("refused material: check value"), 3000));
    EXPECT_EQ(dataOf(nextFrame(0x81)), request(1, 1));
    // ... and a block that skips its predecessor is not taken; being the
    // final frame, it makes the card ask again for the block it lacks.
    QByteArray data2(2 * 32 * 16 / 8, '\xFF');
    data2[64] = '\0'; // second picture, pixels 0..7 of its first row
    send(displayFrame(id2, '9', 2, 1, 1, 1, 2, data2, true));
    ASSERT_TRUE(card.waitForLine(QStringLiteral("refused material: material 2 arrived before material 1"), 3000));
    EXPECT_EQ(dataOf(nextFrame(0x81)), request(1, 1));

    send(displayFrame(id1, '8', 1, 1, 1, 1, 1, data1, false));
    confirmation = nextFrame(0x81);
    ASSERT_FALSE(confirmation.isEmpty());
    EXPECT_EQ(dataOf(confirmation), QByteArray::fromHex("31"));
    // The last material without its end marker is refused, and asked for.
    send(displayFrame(id2, '9', 2, 1, 1, 1, 2, data2, false));
    ASSERT_TRUE(card.waitForLine(QStringLiteral("error material: the last frame of the playbill has no end marker"), 3000));
    EXPECT_EQ(dataOf(nextFrame(0x81)), request(2, 1));
    send(displayFrame(id2, '9', 2, 1, 1, 1, 2, data2, true));
    EXPECT_EQ(dataOf(nextFrame(0x81)), QByteArray::fromHex("31"));
    ASSERT_TRUE(card.waitForLine(QStringLiteral("playbill complete materials=2"), 3000));
    ASSERT_TRUE(card.waitForLine(QStringLiteral("png ") + pictures.path() + QStringLiteral("/page1.png"), 3000));
    EXPECT_EQ(card.errorLines().size(), 2) << card.errorLines().join(u'\n').toStdString();

    const QImage m1(pictures.path() + QStringLiteral("/material1_101010101_1.png"));
    ASSERT_EQ(m1.size(), QSize(16, 8));
    EXPECT_EQ(m1.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(m1.pixel(7, 0), qRgb(255, 0, 0));
    EXPECT_EQ(m1.pixel(8, 0), qRgb(0, 0, 0));
    EXPECT_EQ(m1.pixel(0, 1), qRgb(0, 0, 0));
    const QImage m2b(pictures.path() + QStringLiteral("/material2_202020202_2.png"));
    ASSERT_EQ(m2b.size(), QSize(32, 16));
    EXPECT_EQ(m2b.pixel(3, 0), qRgb(255, 0, 0));
    EXPECT_EQ(m2b.pixel(8, 0), qRgb(0, 0, 0));
    // The page shows the first picture of each material at its place.
    const QImage page(pictures.path() + QStringLiteral("/page1.png"));
    ASSERT_EQ(page.size(), QSize(64, 32));
    EXPECT_EQ(page.pixel(8, 4), qRgb(255, 0, 0));
    EXPECT_EQ(page.pixel(15, 4), qRgb(255, 0, 0));
    EXPECT_EQ(page.pixel(16, 4), qRgb(0, 0, 0));
    EXPECT_EQ(page.pixel(7, 4), qRgb(0, 0, 0));
    EXPECT_EQ(page.pixel(32, 16), qRgb(0, 0, 0));

    // After the playbill it was told to wait for, the card ends while still
    // connected: cleanly, with the status of the refused frame.
    int code = -1;
    ASSERT_TRUE(card.waitForExit(5000, &code));
    EXPECT_FALSE(card.crashed());
    EXPECT_EQ(code, 1);
}

TEST_F(NetworkCard, SplitsMultiBlockMaterialsAndRequiresFullBlocks)
{
    startCard({QStringLiteral("--width"), QStringLiteral("128"), QStringLiteral("--height"), QStringLiteral("32")});
    ASSERT_FALSE(nextFrame(0x61).isEmpty());
    const QByteArray id = "303030303";
    // 128 x 32 single colour: 512 bytes per picture; 5 pictures = 2560 bytes
    // = one block of 2048 and one of 512.
    send(frame::build(frame::cmd::kHeader, "111111111,08:00-12:00." + entry(id, ':', 0, 0, 128, 32), 3u));
    ASSERT_FALSE(nextFrame(0x81).isEmpty());
    QByteArray data(2560, '\x5A');
    // A first block shorter than 2048 bytes is not a valid cut.
    send(displayFrame(id, ':', 1, 2, 1, 1, 5, data.left(2000), false));
    ASSERT_TRUE(card.waitForLine(QStringLiteral("error material: block 1 of material 1 carries 2000 bytes"), 3000));
    send(displayFrame(id, ':', 1, 2, 1, 1, 5, data.left(2048), false));
    ASSERT_FALSE(nextFrame(0x81).isEmpty());
    // The same block again (a repeat) is fine, different bytes are not.
    send(displayFrame(id, ':', 1, 2, 1, 1, 5, data.left(2048), false));
    ASSERT_FALSE(nextFrame(0x81).isEmpty());
    send(displayFrame(id, ':', 1, 2, 1, 1, 5, QByteArray(2048, '\x11'), false));
    ASSERT_TRUE(card.waitForLine(QStringLiteral("error material: block 1 of material 1 came again"), 3000));
    send(displayFrame(id, ':', 1, 2, 2, 1, 5, data.mid(2048), true));
    ASSERT_FALSE(nextFrame(0x81).isEmpty());
    ASSERT_TRUE(card.waitForLine(QStringLiteral("playbill complete"), 3000));
    EXPECT_EQ(card.errorLines().size(), 2);
}

TEST(VirtualCardSerial, AnswersTheIdentityQueryOnAPlainLine)
{
    ASSERT_TRUE(QFileInfo::exists(CardProcess::program())) << "build ledsign-card first";
    PtyLink line;
    ASSERT_TRUE(line.isReady()) << "socat is needed (scripts/setup installs it)";
    CardProcess card;
    ASSERT_TRUE(card.start({QStringLiteral("--serial"), line.cardSide(), QStringLiteral("--code"),
                            QStringLiteral("1_1_1_1_2_2_2_2")}));
    ASSERT_TRUE(card.waitForLine(QStringLiteral("ready serial"), 5000));

    QList<TFIXModem> cards;
    CommChannels channels(cards);
    QList<QByteArray> blocks;
    QObject::connect(&channels, &CommChannels::serialBlockReceived, [&](const QByteArray& b) { blocks.append(b); });
    ASSERT_TRUE(channels.openSerialPort(kAfterOpenIdentityQuery, line.programSide(), 9600));
    ASSERT_TRUE(waitFor([&] { return !blocks.isEmpty(); }, 5000));
    CardReport r;
    ASSERT_TRUE(readCardReport(blocks[0], r));
    EXPECT_EQ(r.command, 0x61);
    EXPECT_EQ(r.internalCode, QStringLiteral("1_1_1_1_2_2_2_2"));

    // Play control needs no answer; the card notes it.
    QString serial;
    TFIXModem plain;
    plain.linkKind = 0;
    EXPECT_EQ(channels.sendBytesToCard(plain, commands::playControl(true, serial)), 19);
    EXPECT_TRUE(card.waitForLine(QStringLiteral("play stop"), 3000));
}

TEST(VirtualCardSerial, OnAnRs485LineAnswersItsOwnAddressOnly)
{
    ASSERT_TRUE(QFileInfo::exists(CardProcess::program())) << "build ledsign-card first";
    PtyLink line;
    ASSERT_TRUE(line.isReady()) << "socat is needed (scripts/setup installs it)";
    CardProcess card;
    ASSERT_TRUE(card.start({QStringLiteral("--serial"), line.cardSide(), QStringLiteral("--rs485"),
                            QStringLiteral("--code"), QStringLiteral("5_6_7_8_9_10_11_12")}));
    ASSERT_TRUE(card.waitForLine(QStringLiteral("ready serial"), 5000));

    QList<TFIXModem> cards;
    CommChannels channels(cards);
    QList<QByteArray> blocks;
    QObject::connect(&channels, &CommChannels::serialBlockReceived, [&](const QByteArray& b) { blocks.append(b); });
    ASSERT_TRUE(channels.openSerialPort(kAfterOpenNothing, line.programSide(), 9600));
    TFIXModem onLine;
    onLine.linkKind = 1;

    // Addressed to another card: silence.
    const QByteArray query = frame::identityQuery();
    channels.sendBytesToCard(onLine, commands::in485Packet(query, QStringLiteral("1_2_3_4_5_6_7_8")));
    ASSERT_TRUE(card.waitForLine(QStringLiteral("ignored packet for 1_2_3_4_5_6_7_8"), 3000));
    // A damaged packet for this card is refused with a negative answer.
    QByteArray damaged = commands::in485Packet(query, QStringLiteral("5_6_7_8_9_10_11_12"));
    damaged[20] = char(damaged[20] ^ 0x40);
    channels.sendBytesToCard(onLine, damaged);
    ASSERT_TRUE(waitFor([&] { return !blocks.isEmpty(); }, 3000));
    CardMessage m = readRs485Message(blocks.takeFirst());
    ASSERT_TRUE(std::holds_alternative<Rs485Reply>(m));
    EXPECT_TRUE(std::get<Rs485Reply>(m).negative());

    // Its own address: a complete reply carrying the report.
    channels.sendBytesToCard(onLine, commands::in485Packet(query, QStringLiteral("5_6_7_8_9_10_11_12")));
    ASSERT_TRUE(waitFor([&] { return !blocks.isEmpty(); }, 3000));
    const QByteArray reply = blocks.takeFirst();
    rs485::Packet packet;
    ASSERT_TRUE(rs485::read(reply, packet));
    EXPECT_TRUE(packet.crcOk);
    EXPECT_TRUE(packet.checkByteOk);
    EXPECT_EQ(packet.direction[1], rs485::kReplyComplete);
    EXPECT_EQ(convert::internalCodeText(packet.address), QStringLiteral("5_6_7_8_9_10_11_12"));
    m = readRs485Message(reply);
    ASSERT_TRUE(std::holds_alternative<CardReport>(m));
    EXPECT_EQ(std::get<CardReport>(m).internalCode, QStringLiteral("5_6_7_8_9_10_11_12"));
}
