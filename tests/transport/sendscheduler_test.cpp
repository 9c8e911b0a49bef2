// The network download and its supervision: header, watchdog, pacing,
// confirmations, requests, the failure count, and group sends.
#include "protocol/cardreplies.h"
#include "transport/linkfixture.h"
#include "transport/waitfor.h"

using namespace ledsign;
using namespace ledsign::test;

namespace {
using Network = LinkFixture;
} // namespace

TEST_F(Network, ADownloadRunsFromHeaderToTheLastConfirmation)
{
    addCard(QStringLiteral("A"));
    scheduler->sendCommand(QStringLiteral("A"));
    ASSERT_TRUE(waitFor([&] { return !sender.framesTo(QStringLiteral("A"), 0x22).isEmpty(); }));
    TFIXModem& card = model.cards()[0];
    EXPECT_EQ(card.sendStep, 1);
    EXPECT_TRUE(scheduler->headerWatchdogActive());
    EXPECT_EQ(scheduler->state().cardUnderSend, 0);
    // Nothing is sent before the card has the header.
    spin(30);
    EXPECT_TRUE(sender.framesTo(QStringLiteral("A"), 0x31).isEmpty());

    confirm(QStringLiteral("A"), 0x22);
    EXPECT_FALSE(scheduler->headerWatchdogActive());
    EXPECT_TRUE(scheduler->progressVisible());
    EXPECT_EQ(scheduler->progressMaximum(), 3);
    ASSERT_TRUE(waitFor([&] { return scheduler->progressPosition() == 3; }));
    // The packets went out in order; a confirmation of a frame before the
    // last does not end the download.
    const QList<QByteArray> frames = sender.framesTo(QStringLiteral("A"), 0x31);
    ASSERT_GE(frames.size(), 3);
    EXPECT_EQ(frames[0], packets[0].bytes);
    EXPECT_EQ(frames[1], packets[1].bytes);
    EXPECT_EQ(frames[2], packets[2].bytes);

    // The card answers every frame in order: the answers to the first two
    // do not end the download, the answer to the last one does.
    confirm(QStringLiteral("A"), 0x31);
    confirm(QStringLiteral("A"), 0x31);
    EXPECT_TRUE(ended.isEmpty());
    confirm(QStringLiteral("A"), 0x31);
    EXPECT_FALSE(scheduler->packetTimerActive());
    EXPECT_FALSE(scheduler->progressVisible());
    EXPECT_TRUE(card.materialPackets.isEmpty());
    EXPECT_EQ(scheduler->nodeState(QStringLiteral("A")), kNodeCompleted);
    EXPECT_EQ(statusTexts.last(), QStringLiteral("Playbill been sent."));
    ASSERT_EQ(ended.size(), 1);
    EXPECT_EQ(ended[0], qMakePair(QStringLiteral("A"), true));
    // Sending again first turns the "sent" mark back to on-line.
    scheduler->send(QStringLiteral("A"));
    EXPECT_EQ(scheduler->nodeState(QStringLiteral("A")), kNodeOnline);
}

TEST_F(Network, AnUnconfirmedLastPacketFailsAfterItsFifthSend)
{
    addCard(QStringLiteral("A"));
    scheduler->sendCommand(QStringLiteral("A"));
    ASSERT_TRUE(waitFor([&] { return !sender.framesTo(QStringLiteral("A"), 0x22).isEmpty(); }));
    confirm(QStringLiteral("A"), 0x22);
    ASSERT_TRUE(waitFor([&] { return !ended.isEmpty(); }));
    EXPECT_EQ(ended[0], qMakePair(QStringLiteral("A"), false));
    EXPECT_EQ(sender.count(packets[2].bytes), 5);
    EXPECT_EQ(sender.count(packets[0].bytes), 1);
    EXPECT_EQ(statusTexts.last(), QStringLiteral("Fail to send the program!"));
    EXPECT_EQ(scheduler->progressPosition(), 0);
    spin(30);
    EXPECT_EQ(sender.count(packets[2].bytes), 5);
    EXPECT_FALSE(scheduler->packetTimerActive());
}

TEST_F(Network, ARequestRestartsTheSequenceAtThePacketAskedFor)
{
    packets = {packet(1, 1, 1), packet(2, 3, 1), packet(2, 3, 2), packet(2, 3, 3), packet(3, 1, 1)};
    addCard(QStringLiteral("A"), 2, 1, 3);
    scheduler->sendCommand(QStringLiteral("A"));
    ASSERT_TRUE(waitFor([&] { return !sender.framesTo(QStringLiteral("A"), 0x22).isEmpty(); }));
    confirm(QStringLiteral("A"), 0x22);
    ASSERT_TRUE(waitFor([&] { return scheduler->progressPosition() == 5; }));
    sender.sent.clear();
    dispatcher->dispatch(0, readFrameMessage(buildPacketRequest(2, 2)));
    EXPECT_FALSE(scheduler->packetTimerActive());
    ASSERT_TRUE(waitFor([&] { return sender.count(packets[4].bytes) >= 1; }));
    const QList<QByteArray> again = sender.framesTo(QStringLiteral("A"), 0x31);
    ASSERT_GE(again.size(), 3);
    EXPECT_EQ(again[0], packets[2].bytes);
    EXPECT_EQ(again[1], packets[3].bytes);
    EXPECT_EQ(again[2], packets[4].bytes);
    EXPECT_EQ(sender.count(packets[1].bytes), 0);
    // Answers to the frames sent again: the third is the last frame's.
    confirmFrames(QStringLiteral("A"), 2);
    EXPECT_TRUE(ended.isEmpty());
    confirm(QStringLiteral("A"), 0x31);
    ASSERT_EQ(ended.size(), 1);
    EXPECT_EQ(ended.last(), qMakePair(QStringLiteral("A"), true));
}

TEST_F(Network, ARequestBeyondTheLastMaterialAsksForTheLastOne)
{
    packets = {packet(1, 1, 1), packet(2, 2, 1), packet(2, 2, 2)};
    addCard(QStringLiteral("A"), 2, 1, 2);
    scheduler->sendCommand(QStringLiteral("A"));
    ASSERT_TRUE(waitFor([&] { return !sender.framesTo(QStringLiteral("A"), 0x22).isEmpty(); }));
    confirm(QStringLiteral("A"), 0x22);
    ASSERT_TRUE(waitFor([&] { return scheduler->progressPosition() == 3; }));
    confirmFrames(QStringLiteral("A"), 3);
    ASSERT_EQ(ended.size(), 1);
    // A new download, in which the card asks for material 9, block 1.
    scheduler->sendCommand(QStringLiteral("A"));
    ASSERT_TRUE(waitFor([&] { return sender.framesTo(QStringLiteral("A"), 0x22).size() == 2; }));
    confirm(QStringLiteral("A"), 0x22);
    ASSERT_TRUE(waitFor([&] { return scheduler->progressPosition() == 3; }));
    const int before = sender.count(packets[1].bytes);
    dispatcher->dispatch(0, readFrameMessage(buildPacketRequest(9, 1)));
    ASSERT_TRUE(waitFor([&] { return sender.count(packets[1].bytes) == before + 1; }));
}

TEST_F(Network, ACardThatKeepsAskingForOnePacketFailsTheDownloadNamingIt)
{
    addCard(QStringLiteral("A"));
    scheduler->sendCommand(QStringLiteral("A"));
    ASSERT_TRUE(waitFor([&] { return !sender.framesTo(QStringLiteral("A"), 0x22).isEmpty(); }));
    confirm(QStringLiteral("A"), 0x22);
    ASSERT_TRUE(waitFor([&] { return scheduler->progressPosition() == 3; }));
    // Three asks are taken; the fourth ends the download.
    for (int k = 1; k <= 3; ++k)
        dispatcher->dispatch(0, readFrameMessage(buildPacketRequest(2, 1)));
    EXPECT_TRUE(ended.isEmpty());
    dispatcher->dispatch(0, readFrameMessage(buildPacketRequest(2, 1)));
    ASSERT_EQ(ended.size(), 1);
    EXPECT_EQ(ended[0], qMakePair(QStringLiteral("A"), false));
    EXPECT_EQ(statusTexts.last(), QStringLiteral("Fail to send the program! (the card asked for material 2 block 1 4 times)"));
    // The resends asked for do not go, and nothing the card says afterwards
    // completes the download.
    const int sent = sender.count(packets[1].bytes);
    confirmFrames(QStringLiteral("A"), 5);
    spin(30);
    EXPECT_EQ(sender.count(packets[1].bytes), sent);
    EXPECT_EQ(ended.size(), 1);
    EXPECT_FALSE(scheduler->packetTimerActive());
}

TEST_F(Network, AnUnconfirmedHeaderIsReportedAndSentOnceMore)
{
    addCard(QStringLiteral("A"));
    scheduler->sendCommand(QStringLiteral("A"));
    ASSERT_TRUE(waitFor([&] { return !ended.isEmpty(); }, 2000));
    EXPECT_EQ(statusTexts.last(), QStringLiteral("Communication exception. Failed to send!"));
    spin(150);
    EXPECT_EQ(sender.framesTo(QStringLiteral("A"), 0x22).size(), 2);
    EXPECT_FALSE(scheduler->headerWatchdogActive());
    // The second header may still be confirmed; the download then goes on.
    confirm(QStringLiteral("A"), 0x22);
    EXPECT_TRUE(scheduler->packetTimerActive());
}

TEST_F(Network, AHeaderTooLongForTheCardIsNotSent)
{
    description = QByteArray(8173, 'x');
    addCard(QStringLiteral("A"));
    scheduler->sendCommand(QStringLiteral("A"));
    ASSERT_TRUE(waitFor([&] { return !ended.isEmpty(); }, 2000));
    EXPECT_TRUE(sender.framesTo(QStringLiteral("A"), 0x22).isEmpty());
    EXPECT_EQ(statusTexts.last(), QStringLiteral("Communication exception. Failed to send!"));

    description = QByteArray(8172, 'x'); // 8191 bytes with the frame around it
    ended.clear();
    scheduler->sendCommand(QStringLiteral("A"));
    ASSERT_TRUE(waitFor([&] { return !sender.framesTo(QStringLiteral("A"), 0x22).isEmpty(); }));
    EXPECT_EQ(sender.framesTo(QStringLiteral("A"), 0x22)[0].size(), 8191);
}

TEST_F(Network, CardsThatCannotBeSentToAreRefusedWithTheirReason)
{
    TFIXModem& old = addCard(QStringLiteral("old"), 2, 1);
    old.version = 51;
    TFIXModem& unset = addCard(QStringLiteral("unset"), 2, 2);
    unset.internalCode = QStringLiteral("255_255_255_255_255_255_255_255");
    addCard(QStringLiteral("offline"), 2, 3);
    scheduler->setNodeState(QStringLiteral("offline"), kNodeOffline);
    TFIXModem& fresh = addCard(QStringLiteral("fresh"), 2, 4);
    fresh.version = 52;

    scheduler->sendCommand(QStringLiteral("old"));
    ASSERT_TRUE(waitFor([&] { return ended.size() == 1; }));
    EXPECT_EQ(boxes, QStringList{QStringLiteral("The current version of the control card is too low [less than 52]!")});
    scheduler->sendCommand(QStringLiteral("unset"));
    ASSERT_TRUE(waitFor([&] { return ended.size() == 2; }));
    EXPECT_EQ(statusTexts.last(), QStringLiteral("The internal code is illegal, prohibited to send!"));
    scheduler->sendCommand(QStringLiteral("offline"));
    ASSERT_TRUE(waitFor([&] { return ended.size() == 3; }));
    EXPECT_EQ(statusTexts.last(), QStringLiteral("Controller is offline, can not send!"));
    scheduler->sendCommand(QString());
    EXPECT_EQ(statusTexts.last(), QStringLiteral("Please select control card you want to send!"));
    EXPECT_EQ(prepareCalls, 0);
    EXPECT_TRUE(sender.sent.isEmpty());

    scheduler->sendCommand(QStringLiteral("fresh"));
    ASSERT_TRUE(waitFor([&] { return !sender.framesTo(QStringLiteral("fresh"), 0x22).isEmpty(); }));
    EXPECT_EQ(prepared, QStringList{QStringLiteral("fresh")});

    // A card without any content is refused as well.
    TFIXModem bare;
    bare.name = QStringLiteral("bare");
    bare.version = 60;
    bare.linkKind = 0;
    bare.internalCode = QStringLiteral("1_1_1_1_1_1_1_1");
    model.addCard(bare);
    scheduler->setNodeState(QStringLiteral("bare"), kNodeOnline);
    ended.clear();
    scheduler->sendCommand(QStringLiteral("bare"));
    ASSERT_TRUE(waitFor([&] { return !ended.isEmpty(); }));
    EXPECT_EQ(statusTexts.last(), QStringLiteral("The display is empty, please add some!"));
}

TEST_F(Network, ALostConnectionEndsTheDownloadAfterItsRepeats)
{
    addCard(QStringLiteral("A"));
    scheduler->sendCommand(QStringLiteral("A"));
    ASSERT_TRUE(waitFor([&] { return !sender.framesTo(QStringLiteral("A"), 0x22).isEmpty(); }));
    confirm(QStringLiteral("A"), 0x22);
    sender.failConnections = true;
    ASSERT_TRUE(waitFor([&] { return !ended.isEmpty(); }));
    EXPECT_EQ(ended[0].second, false);
    EXPECT_GE(sender.drops, 1);
    EXPECT_EQ(model.cards()[0].online, 0);
    EXPECT_TRUE(model.cards()[0].socket.isNull());
}

TEST_F(Network, AnExceptionFromTheCardStopsTheDownload)
{
    addCard(QStringLiteral("A"));
    scheduler->sendCommand(QStringLiteral("A"));
    ASSERT_TRUE(waitFor([&] { return !sender.framesTo(QStringLiteral("A"), 0x22).isEmpty(); }));
    confirm(QStringLiteral("A"), 0x22);
    dispatcher->dispatch(0, readFrameMessage(frame::build(0x34, {}, 1u)));
    EXPECT_FALSE(scheduler->packetTimerActive());
    EXPECT_TRUE(model.cards()[0].materialPackets.isEmpty());
    EXPECT_EQ(statusTexts.last(), QStringLiteral("Abnormal, sent out."));
    EXPECT_EQ(ended.last(), qMakePair(QStringLiteral("A"), false));
}

TEST_F(Network, AGroupSendTakesTheOnlineCardsOfTheSelectedCardsGroupInTreeOrder)
{
    for (const char* name : {"A-1", "B-1", "B-12", "B-off", "A-2", "B-3"})
        addCard(QString::fromLatin1(name), 2, int(model.cards().size()) + 1);
    scheduler->setNodeState(QStringLiteral("B-off"), kNodeOffline);
    scheduler->state().groupSend = true;
    scheduler->state().groupList = {QStringLiteral("A"), QStringLiteral("B")};
    // Each download ends at once: the preparer refuses it.
    scheduler->download().setPreparer([this](ProjectModel&, const QString& name, const DownloadOptions&) {
        prepared << name;
        DownloadBuild refused;
        refused.failure.messageKey = QStringLiteral("warn_material_empty_send");
        return refused;
    });
    scheduler->sendCommand(QStringLiteral("B-12"));
    ASSERT_TRUE(waitFor([&] { return prepared.size() == 3; }));
    spin(30);
    EXPECT_EQ(prepared, (QStringList{QStringLiteral("B-1"), QStringLiteral("B-12"), QStringLiteral("B-3")}));

    // Without group names every on-line card is taken.
    prepared.clear();
    scheduler->state().groupList.clear();
    scheduler->sendCommand(QString());
    ASSERT_TRUE(waitFor([&] { return prepared.size() == 5; }));
    EXPECT_FALSE(prepared.contains(QStringLiteral("B-off")));
}

TEST_F(Network, AGroupOfMoreThanAHundredCardsIsSentToTheLast)
{
    scheduler->state().groupSend = true;
    for (int i = 0; i < 130; ++i)
        addCard(QStringLiteral("card%1").arg(i), 2, i + 1);
    scheduler->download().setPreparer([this](ProjectModel&, const QString& name, const DownloadOptions&) {
        prepared << name;
        DownloadBuild refused;
        refused.failure.messageKey = QStringLiteral("warn_material_empty_send");
        return refused;
    });
    scheduler->sendCommand(QStringLiteral("card0"));
    ASSERT_TRUE(waitFor([&] { return prepared.size() == 130; }, 5000));
    EXPECT_EQ(prepared.first(), QStringLiteral("card0"));
    EXPECT_EQ(prepared.last(), QStringLiteral("card129"));
}

TEST_F(Network, AGroupMovesOnAfterEachCardEnds)
{
    addCard(QStringLiteral("A"), 2, 1);
    addCard(QStringLiteral("B"), 2, 2);
    scheduler->state().groupSend = true;
    scheduler->sendCommand(QStringLiteral("A"));
    ASSERT_TRUE(waitFor([&] { return !sender.framesTo(QStringLiteral("A"), 0x22).isEmpty(); }));
    spin(20);
    // B waits while A's download runs.
    EXPECT_TRUE(sender.framesTo(QStringLiteral("B"), 0x22).isEmpty());
    confirm(QStringLiteral("A"), 0x22);
    ASSERT_TRUE(waitFor([&] { return scheduler->progressPosition() == 3; }));
    confirmFrames(QStringLiteral("A"), 3);
    ASSERT_TRUE(waitFor([&] { return !sender.framesTo(QStringLiteral("B"), 0x22).isEmpty(); }));
    EXPECT_EQ(scheduler->state().cardUnderSend, 1);
    EXPECT_EQ(scheduler->nodeState(QStringLiteral("A")), kNodeCompleted);
}

TEST_F(Network, TheSendDelayLengthensEveryTimer)
{
    EXPECT_EQ(scheduler->repeatInterval(), 5000);
    scheduler->setSendDelay(100);
    scheduler->setSendDelay(100);
    EXPECT_EQ(scheduler->repeatInterval(), 5200);
    EXPECT_EQ(scheduler->watchdogInterval(), 5200);
    EXPECT_EQ(scheduler->packetInterval(), 30 + 100);
}

TEST_F(Network, SerialPacketsArePacedByTheirLengthAndTheBaudRate)
{
    packets = {packet(1, 1, 1), packet(2, 1, 1)};
    packets[0].byteCount = 2400; // 2400 bytes at 9600 baud: 3000 ms
    addCard(QStringLiteral("S"), 0, 1);
    scheduler->sendCommand(QStringLiteral("S"));
    ASSERT_TRUE(waitFor([&] { return sender.count(frame::build(frame::cmd::kHeader, description, 2u)) == 1; }));
    confirm(QStringLiteral("S"), 0x22);
    ASSERT_TRUE(waitFor([&] { return sender.count(packets[0].bytes) == 1; }));
    EXPECT_EQ(scheduler->state().pacingInterval, 3000);
    ASSERT_TRUE(waitFor([&] { return sender.count(packets[1].bytes) == 1; }));
    // A short packet still waits at least 200 ms.
    EXPECT_EQ(scheduler->state().pacingInterval, 200);
}
