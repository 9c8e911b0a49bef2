// Cards reporting themselves on a connection, on the serial line and after
// a UDP configuration; what the dispatcher does with the frames of known
// cards; the short card commands; the presence supervision.
#include "protocol/cardcommands.h"
#include "protocol/cardreplies.h"
#include "protocol/cardreport.h"
#include "protocol/conversions.h"
#include "support/testsupport.h"
#include "transport/linkfixture.h"
#include "transport/waitfor.h"

using namespace ledsign;
using namespace ledsign::test;

namespace {

QByteArray reportFrame(quint8 command, const convert::InternalCode& code, int w, int h, int depth, int version,
                       int speed = 1)
{
    CardReportContent c;
    c.command = command;
    c.internalCode = code;
    c.width = w;
    c.height = h;
    c.colorDepth = depth;
    c.version = version;
    c.speedUnit = speed;
    return buildCardReport(c, 7u);
}

// A report whose "#" text has only five fields.
QByteArray shortReport(const convert::InternalCode& code)
{
    QByteArray data;
    for (quint8 b : code)
        data.append(char(b));
    data += '\0';
    data += "64#32#2#60#0";
    data += QByteArray(4, '\0');
    return frame::build(0x61, data, 7u);
}

struct Registering : LinkFixture {
    QList<int> added;
    QList<QPair<int, bool>> updated;
    QStringList selected;
    QTcpSocket first;
    QTcpSocket second;

    void SetUp() override
    {
        LinkFixture::SetUp();
        QObject::connect(registrations.get(), &Registrations::cardAdded, [this](int i) { added << i; });
        QObject::connect(registrations.get(), &Registrations::cardUpdated,
                         [this](int i, bool resized) { updated.append({i, resized}); });
        QObject::connect(registrations.get(), &Registrations::cardSelected, [this](const QString& n) { selected << n; });
        commands->setClock([] { return QDateTime(QDate(2024, 5, 1), QTime(10, 20, 30)); });
    }
};

} // namespace

TEST_F(Registering, AnUnknownCodeGoesToTheCardTheOperatorNamesAndItsReportsWaitMeanwhile)
{
    TFIXModem made;
    made.name = QStringLiteral("Hall");
    made.internalCode = QStringLiteral("00_00_00_00_00_00_00_00");
    model.addCard(made);
    QStringList asked;
    QString answer = QStringLiteral("Hall");
    QByteArray heartbeat = reportFrame(0x91, {1, 2, 3, 4, 5, 6, 7, 8}, 64, 32, 2, 60);
    registrations->setCodeClaim([&](const QString& code, QSize) {
        asked << code;
        // The card's heartbeat while the operator reads the question.
        const qsizetype cards = model.cards().size();
        EXPECT_FALSE(registrations->registerTcp(&first, heartbeat).accepted);
        EXPECT_EQ(model.cards().size(), cards);
        return answer;
    });
    dispatcher->takeTcpBytes(&first, reportFrame(0x61, {1, 2, 3, 4, 5, 6, 7, 8}, 64, 32, 2, 60));
    EXPECT_EQ(asked, QStringList{QStringLiteral("1_2_3_4_5_6_7_8")});
    ASSERT_EQ(model.cards().size(), 1) << "no second card";
    const TFIXModem& hall = model.cards()[0];
    EXPECT_EQ(hall.name, QStringLiteral("Hall"));
    EXPECT_EQ(hall.internalCode, QStringLiteral("1_2_3_4_5_6_7_8"));
    EXPECT_EQ(hall.socket.data(), &first);
    EXPECT_EQ(hall.linkKind, 2);
    EXPECT_EQ(hall.online, 1);
    EXPECT_EQ(hall.width, 64);
    EXPECT_TRUE(added.isEmpty());
    EXPECT_EQ(selected.value(0), QStringLiteral("Hall"));
    // Known now: its next report asks nothing.
    dispatcher->takeTcpBytes(&second, reportFrame(0x61, {1, 2, 3, 4, 5, 6, 7, 8}, 64, 32, 2, 60));
    EXPECT_EQ(asked.size(), 1);

    // Declined: the card gets a record named after its code.
    answer.clear();
    heartbeat = reportFrame(0x91, {9, 9, 9, 9, 9, 9, 9, 9}, 64, 32, 2, 60);
    QTcpSocket third;
    dispatcher->takeTcpBytes(&third, reportFrame(0x61, {9, 9, 9, 9, 9, 9, 9, 9}, 64, 32, 2, 60));
    ASSERT_EQ(model.cards().size(), 2);
    EXPECT_EQ(model.cards()[1].name, QStringLiteral("9_9_9_9_9_9_9_9"));
}

TEST_F(Registering, AnUnknownCardOnAConnectionGetsARecordAndTheTime)
{
    scheduler->state().pollTime = 45;
    dispatcher->takeTcpBytes(&first, reportFrame(0x61, {9, 9, 9, 9, 9, 9, 9, 9}, 64, 32, 2, 60, 3));
    ASSERT_EQ(model.cards().size(), 1);
    const TFIXModem& card = model.cards()[0];
    EXPECT_EQ(card.name, QStringLiteral("9_9_9_9_9_9_9_9"));
    EXPECT_EQ(card.internalCode, card.name);
    EXPECT_EQ(card.width, 64);
    EXPECT_EQ(card.height, 32);
    EXPECT_EQ(card.colorType, kColorDual);
    EXPECT_EQ(card.version, 60);
    EXPECT_EQ(card.linkKind, 2);
    EXPECT_EQ(card.online, 1);
    EXPECT_EQ(card.socket.data(), &first);
    EXPECT_EQ(card.cardNo, 1);
    EXPECT_TRUE(card.lastHeard.isValid());
    EXPECT_EQ(scheduler->nodeState(card.name), kNodeOnline);
    EXPECT_EQ(added, QList<int>{0});
    EXPECT_EQ(selected, QStringList{card.name});
    EXPECT_EQ(scheduler->state().pacingInterval, 45);
    EXPECT_EQ(scheduler->packetInterval(), 45 + 100);

    // The report 0x61 is answered with the current time and the poll time.
    const QList<QByteArray> time = sender.framesTo(card.name, 0x62);
    ASSERT_EQ(time.size(), 1);
    commands::TimeFrame t;
    ASSERT_TRUE(commands::readTimeFrame(time[0], t));
    EXPECT_EQ(time[0].size(), 42);
    EXPECT_EQ(t.pollTime, 45);
    EXPECT_EQ(t.time, QDateTime(QDate(2024, 5, 1), QTime(10, 20, 30)));
}

TEST_F(Registering, AReportWithTooFewFieldsOrAnotherFrameIsAnsweredWithTheQuery)
{
    dispatcher->takeTcpBytes(&first, shortReport({1, 1, 1, 1, 1, 1, 1, 1}));
    EXPECT_TRUE(model.cards().isEmpty());
    EXPECT_EQ(sender.identityQueries, QList<QTcpSocket*>{&first});
    dispatcher->takeTcpBytes(&first, buildConfirmation(0x22));
    EXPECT_TRUE(model.cards().isEmpty());
    EXPECT_EQ(sender.identityQueries.size(), 2);
    // A heartbeat registers like a report, but is not told the time.
    dispatcher->takeTcpBytes(&first, reportFrame(0x91, {1, 1, 1, 1, 1, 1, 1, 1}, 96, 16, 1, 55));
    ASSERT_EQ(model.cards().size(), 1);
    EXPECT_TRUE(sender.framesTo(model.cards()[0].name, 0x62).isEmpty());
}

TEST_F(Registering, AKnownCodeOnANewConnectionMovesTheCardThere)
{
    TFIXModem given;
    given.name = QStringLiteral("shop");
    given.internalCode = QStringLiteral("4_4_4_4_4_4_4_4");
    given.width = 64;
    given.height = 32;
    model.addCard(given);
    dispatcher->takeTcpBytes(&first, reportFrame(0x61, {4, 4, 4, 4, 4, 4, 4, 4}, 64, 32, 1, 60));
    ASSERT_EQ(model.cards().size(), 1);
    EXPECT_EQ(model.cards()[0].socket.data(), &first);
    EXPECT_EQ(updated.last(), qMakePair(0, false));

    dispatcher->takeTcpBytes(&second, reportFrame(0x61, {4, 4, 4, 4, 4, 4, 4, 4}, 128, 32, 3, 61));
    ASSERT_EQ(model.cards().size(), 1);
    EXPECT_EQ(model.cards()[0].socket.data(), &second);
    EXPECT_EQ(model.cards()[0].width, 128);
    EXPECT_EQ(model.cards()[0].colorType, kColorTri);
    EXPECT_EQ(updated.last(), qMakePair(0, true));
    EXPECT_EQ(model.cards()[0].name, QStringLiteral("shop"));

    // Later frames on the new connection belong to the card: a heartbeat
    // only refreshes when it was last heard.
    model.cards()[0].lastHeard = QDateTime::currentDateTime().addSecs(-100);
    const int queries = int(sender.identityQueries.size());
    dispatcher->takeTcpBytes(&second, reportFrame(0x91, {4, 4, 4, 4, 4, 4, 4, 4}, 128, 32, 3, 61));
    EXPECT_GT(model.cards()[0].lastHeard, QDateTime::currentDateTime().addSecs(-5));
    EXPECT_EQ(sender.identityQueries.size(), queries);
    EXPECT_EQ(model.cards().size(), 1);
}

TEST_F(Registering, FeatureBitsOfTheReportSetTheCardsFlags)
{
    QByteArray report = reportFrame(0x61, {2, 2, 2, 2, 2, 2, 2, 2}, 64, 32, 1, 60);
    report[52] = char(0x10);
    report[53] = char(0x1F);
    dispatcher->takeTcpBytes(&first, report);
    ASSERT_EQ(model.cards().size(), 1);
    const auto& flags = model.cards()[0].featureFlags;
    EXPECT_EQ(flags[0], 1);
    for (int k = 1; k <= 4; ++k)
        EXPECT_EQ(flags[k], 0) << k;
    for (int k = 5; k <= 9; ++k)
        EXPECT_EQ(flags[k], 1) << k;
}

TEST_F(Registering, AnUnknownCardOnAPlainLineLeavesTheTreeWithThatCardOnly)
{
    addCard(QStringLiteral("A"), 2, 1);
    addCard(QStringLiteral("B"), 0, 2);
    int cleared = 0;
    QObject::connect(registrations.get(), &Registrations::treeCleared, [&] { ++cleared; });
    dispatcher->takeSerialBlock(reportFrame(0x61, {7, 7, 7, 7, 7, 7, 7, 7}, 64, 16, 1, 60));
    EXPECT_EQ(cleared, 1);
    EXPECT_EQ(scheduler->treeCards(), QStringList{QStringLiteral("7_7_7_7_7_7_7_7")});
    ASSERT_EQ(model.cards().size(), 3); // the records stay
    EXPECT_EQ(model.cards()[2].linkKind, 0);
    EXPECT_EQ(scheduler->nodeState(QStringLiteral("7_7_7_7_7_7_7_7")), kNodeOnline);
    // Time calibration, then a parameter read, on the serial port.
    QList<int> commandsSent;
    for (const SentBytes& s : sender.sent) {
        if (s.card.isEmpty())
            commandsSent << frame::command(s.bytes);
    }
    ASSERT_GE(commandsSent.size(), 2);
    EXPECT_EQ(commandsSent[0], 0x62);
    EXPECT_EQ(commandsSent[1], 0xF2);
    EXPECT_EQ(sender.sent[0].bytes.size(), 38);

    // The same card again: known now, nothing is cleared.
    dispatcher->takeSerialBlock(reportFrame(0x71, {7, 7, 7, 7, 7, 7, 7, 7}, 64, 16, 1, 60));
    EXPECT_EQ(cleared, 1);
    EXPECT_EQ(model.cards().size(), 3);
}

TEST_F(Registering, ASerialReportWithFewerThanSevenFieldsGivesTheDefaultsAlsoToAKnownCard)
{
    TFIXModem& known = addCard(QStringLiteral("B"), 0, 2);
    known.width = 128;
    known.height = 64;
    known.colorType = ':';
    known.version = 60;
    // 0x71 with the code 1_2_3_4_5_6_7_2, byte 25 zero, the five fields
    // "80#40#2#60#0" from byte 26 and three zero bytes up to byte n-4: 44 bytes.
    const QByteArray five = test::hex("FE 5C 4B 89 2C 00 00 00 71 00 00 00 07 19 00 00 00"
                                      "01 02 03 04 05 06 07 02 00"
                                      "38 30 23 34 30 23 32 23 36 30 23 30 00 00 00 00 FF FF");
    ASSERT_EQ(five.size(), 44);
    dispatcher->takeSerialBlock(five);
    ASSERT_EQ(model.cards().size(), 1);
    const TFIXModem& card = model.cards()[0];
    EXPECT_EQ(card.width, 64);
    EXPECT_EQ(card.height, 32);
    EXPECT_EQ(card.colorType, '8');
    EXPECT_EQ(card.version, -1);
    ASSERT_EQ(updated.size(), 1);
    EXPECT_EQ(updated[0], qMakePair(0, true)) << "the card's size changed";

    // An unknown card reporting the same way gets a record with the defaults.
    QByteArray other = five;
    other[24] = 9;
    dispatcher->takeSerialBlock(other);
    ASSERT_EQ(model.cards().size(), 2);
    EXPECT_EQ(model.cards()[1].internalCode, QStringLiteral("1_2_3_4_5_6_7_9"));
    EXPECT_EQ(model.cards()[1].width, 64);
    EXPECT_EQ(model.cards()[1].version, -1);
}

TEST_F(Registering, OnTheRs485LineTheReplyIsWrappedAndTheCodeReported)
{
    TFIXModem given;
    given.name = QStringLiteral("hall");
    given.internalCode = QStringLiteral("3_3_3_3_3_3_3_3");
    model.addCard(given);
    QStringList found;
    QObject::connect(registrations.get(), &Registrations::rs485CodeFound, [&](const QString& c) { found << c; });
    convert::InternalCode code {3, 3, 3, 3, 3, 3, 3, 3};
    dispatcher->takeSerialBlock(rs485::buildReply(code, true, 0x00, reportFrame(0x61, code, 80, 40, 2, 62)));
    EXPECT_EQ(found, QStringList{QStringLiteral("3_3_3_3_3_3_3_3")});
    ASSERT_EQ(model.cards().size(), 1);
    EXPECT_EQ(model.cards()[0].linkKind, 1);
    EXPECT_EQ(model.cards()[0].width, 80);
    ASSERT_EQ(sender.sent.size(), 2);
    rs485::Packet p;
    ASSERT_TRUE(rs485::read(sender.sent[0].bytes, p));
    EXPECT_EQ(sender.sent[0].bytes.size(), 59); // calibration in one packet
    EXPECT_EQ(p.address, code);
    ASSERT_TRUE(rs485::read(sender.sent[1].bytes, p));
    EXPECT_EQ(frame::command(p.payload), 0xF2);
    EXPECT_EQ(sender.sent[1].bytes.size(), 40);
}

TEST_F(Registering, AUdpConfiguredCardIsRecordedOfflineUntilItConnects)
{
    const QByteArray mac("\x00\x11\x22\x33\x44\xFE", 6);
    const QByteArray code("\x01\x02\x03\x04\x05\x06\x07\x08", 8);
    const QByteArray ip("\xC0\xA8\x01\x32", 4);
    Registrations::Result r = registrations->registerUdp(QStringLiteral("ignored"), mac, code, ip, 128, 64, 1, 58);
    ASSERT_TRUE(r.accepted);
    ASSERT_EQ(model.cards().size(), 1);
    const TFIXModem& card = model.cards()[0];
    EXPECT_EQ(card.name, QStringLiteral("1_2_3_4_5_6_7_8"));
    EXPECT_EQ(card.ipAddress, QStringLiteral("192.168.1.50"));
    EXPECT_EQ(card.macAddress, QStringLiteral("0:17:34:51:68:254"));
    EXPECT_EQ(card.colorType, kColorDual);
    EXPECT_EQ(card.version, 58);
    EXPECT_EQ(card.linkKind, 2);
    EXPECT_EQ(scheduler->nodeState(card.name), kNodeOffline);
    EXPECT_EQ(scheduler->packetInterval(), 20);

    r = registrations->registerUdp(QString(), mac, code, ip, 128, 32, 7, 58);
    EXPECT_EQ(model.cards().size(), 1);
    EXPECT_TRUE(r.sizeChanged);
    EXPECT_EQ(model.cards()[0].colorType, kColorTri);
}

TEST_F(Registering, PlayControlAndCalibrationGoByTheCardsLink)
{
    addCard(QStringLiteral("net"), 2, 1);
    ASSERT_TRUE(commands->cardCommand(CardCommandSender::kPlayControl, 0, QStringLiteral("net")));
    ASSERT_EQ(sender.sent.size(), 1);
    const QByteArray start = sender.sent[0].bytes;
    ASSERT_EQ(start.size(), 19);
    EXPECT_EQ(start.left(9), hex("FE 5C 4B 89 13 00 00 00 51"));
    EXPECT_EQ(start.mid(13), hex("00 00 00 00 FF FF"));
    EXPECT_EQ(convert::bytesToHex(start.mid(9, 4)), model.cards()[0].frameSerial);
    EXPECT_EQ(statusTexts.last(), QStringLiteral("Has been sent to start playing."));
    EXPECT_EQ(scheduler->state().selectedCardName, QStringLiteral("net"));

    scheduler->state().rs485Mode = true;
    addCard(QStringLiteral("line"), 1, 9);
    ASSERT_TRUE(commands->cardCommand(CardCommandSender::kPlayControl, 1, QStringLiteral("line")));
    rs485::Packet p;
    ASSERT_EQ(sender.sent.last().bytes.size(), 40);
    ASSERT_TRUE(rs485::read(sender.sent.last().bytes, p));
    EXPECT_EQ(frame::command(p.payload), 0x52);
    EXPECT_EQ(convert::internalCodeText(p.address), QStringLiteral("1_2_3_4_5_6_7_9"));

    ASSERT_TRUE(commands->cardCommand(CardCommandSender::kTimeCalibration, 0, QStringLiteral("line")));
    ASSERT_TRUE(rs485::read(sender.sent.last().bytes, p));
    EXPECT_EQ(frame::data(p.payload), QByteArray("1#2024050103102030#"));
    EXPECT_EQ(statusTexts.last(), QStringLiteral("Send completed calibration."));

    // Without a selected card nothing is sent.
    const qsizetype before = sender.sent.size();
    EXPECT_FALSE(commands->cardCommand(CardCommandSender::kPlayControl, 0, QString()));
    EXPECT_EQ(sender.sent.size(), before);
}

TEST_F(Registering, ParameterFramesGoWhereTheModeSays)
{
    TFIXModem& card = addCard(QStringLiteral("p"), 0, 3);
    const QByteArray block(17, '\x05');
    ASSERT_TRUE(commands->writeParameters(card, card.internalCode, CardCommandSender::kSerial485, block));
    EXPECT_EQ(sender.sent.last().bytes.size(), 57);
    ASSERT_TRUE(commands->writeParameters(card, card.internalCode, CardCommandSender::kSerialPlain, block));
    const QByteArray plain = sender.sent.last().bytes;
    ASSERT_EQ(plain.size(), 36);
    EXPECT_EQ(quint8(plain[17 + 11]), 0x22); // the interface flag inside a frame
    EXPECT_FALSE(commands->writeParameters(card, card.internalCode, CardCommandSender::kConnection, block));
    EXPECT_FALSE(commands->writeParameters(card, card.internalCode, CardCommandSender::kSerialPlain, block.left(16)));
}

TEST_F(Registering, ParameterRepliesReachTheWindowOnlyWhenItShows)
{
    addCard(QStringLiteral("p"), 2, 3);
    QList<ParameterReply> replies;
    int written = 0;
    QObject::connect(dispatcher.get(), &ReplyDispatcher::parametersReceived,
                     [&](const ParameterReply& r) { replies << r; });
    QObject::connect(dispatcher.get(), &ReplyDispatcher::parametersWritten, [&] { ++written; });
    QByteArray block(17, '\0');
    block[11] = char(0x22);
    dispatcher->dispatch(0, readFrameMessage(buildParameterReply(0xF2, block)));
    ASSERT_EQ(replies.size(), 1);
    EXPECT_EQ(replies[0].block.size(), 17);
    EXPECT_EQ(replies[0].interfaceFlag, 1);
    dispatcher->dispatch(0, readFrameMessage(frame::build(0xF1, {}, 1u)));
    EXPECT_EQ(written, 0);
    dispatcher->setParameterWindowShowing(true);
    dispatcher->dispatch(0, readFrameMessage(frame::build(0xF1, {}, 1u)));
    EXPECT_EQ(written, 1);
}

TEST_F(Registering, SilentCardsTurnOfflineAndBackOnlineWithTheNextFrame)
{
    scheduler->state().timeScale = 0.001; // three poll periods of 30 s: 90 ms
    dispatcher->takeTcpBytes(&first, reportFrame(0x61, {6, 6, 6, 6, 6, 6, 6, 6}, 64, 32, 1, 60));
    const QString name = QStringLiteral("6_6_6_6_6_6_6_6");
    scheduler->setNodeState(name, kNodeOffline);
    scheduler->presenceTick();
    EXPECT_EQ(scheduler->nodeState(name), kNodeOnline);
    spin(150);
    scheduler->presenceTick();
    EXPECT_EQ(scheduler->nodeState(name), kNodeOffline);
    dispatcher->takeTcpBytes(&first, reportFrame(0x91, {6, 6, 6, 6, 6, 6, 6, 6}, 64, 32, 1, 60));
    scheduler->presenceTick();
    EXPECT_EQ(scheduler->nodeState(name), kNodeOnline);

    // In the serial modes the presence timer changes nothing.
    spin(150);
    scheduler->state().networkMode = false;
    scheduler->presenceTick();
    EXPECT_EQ(scheduler->nodeState(name), kNodeOnline);

    // Running on its own, it first waits 6 s (scaled), then every 3 s.
    scheduler->state().networkMode = true;
    scheduler->setPresenceRunning(true);
    EXPECT_TRUE(waitFor([&] { return scheduler->nodeState(name) == kNodeOffline; }, 2000));
    scheduler->setPresenceRunning(false);
    EXPECT_FALSE(scheduler->presenceActive());
}
