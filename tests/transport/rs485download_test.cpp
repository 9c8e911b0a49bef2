// A download on the RS-485 line: header packets one by one, material pieces
// answered one by one, negative answers, repeats and giving up.
#include "protocol/cardreplies.h"
#include "protocol/conversions.h"
#include "transport/linkfixture.h"
#include "transport/waitfor.h"

using namespace ledsign;
using namespace ledsign::test;

namespace {

const QString kCode = QStringLiteral("1_2_3_4_5_6_7_5");

// A card's reply packet: partial (0x54) naming the next wanted piece, or
// complete (0x55) carrying a frame; status 0x01 refuses.
QByteArray cardReply(bool complete, const QByteArray& payload, quint8 status = 0x00)
{
    convert::InternalCode code {};
    convert::internalCodeToBytes(kCode, code);
    return rs485::buildReply(code, complete, status, payload);
}

QByteArray partial(int next) { return cardReply(false, QByteArray(1, char(next))); }

struct Rs485 : LinkFixture {
    QList<rs485::Packet> written()
    {
        QList<rs485::Packet> out;
        for (const SentBytes& s : sender.sent) {
            rs485::Packet p;
            if (s.card.isEmpty() && rs485::read(s.bytes, p))
                out.append(p);
        }
        return out;
    }
    void startOnLine()
    {
        description = QByteArray(300, 'd'); // a 319-byte header frame: two packets
        packets = {packet(1, 1, 1), packet(2, 1, 1), packet(3, 1, 1)};
        addCard(QStringLiteral("R"), 1, 5, 3);
        scheduler->state().rs485Mode = true;
        scheduler->sendCommand(QStringLiteral("R"));
        ASSERT_TRUE(waitFor([&] { return written().size() == 1; }));
    }
};

} // namespace

TEST_F(Rs485, HeaderAndPiecesGoOutOneAnswerAtATime)
{
    startOnLine();
    QList<rs485::Packet> w = written();
    EXPECT_EQ(w[0].partCount, 2);
    EXPECT_EQ(w[0].partNumber, 1);
    EXPECT_EQ(convert::internalCodeText(w[0].address), kCode);
    EXPECT_TRUE(w[0].crcOk);
    EXPECT_EQ(model.cards()[0].sendStep, 1);
    EXPECT_TRUE(scheduler->repeatTimerActive());
    spin(10);
    EXPECT_EQ(written().size(), 1); // nothing more without an answer

    // Each answer is followed by the next packet once the send delay has
    // passed (1 ms at the tests' scale).
    dispatcher->takeSerialBlock(partial(2));
    ASSERT_TRUE(waitFor([&] { return written().size() == 2; }));
    EXPECT_EQ(written()[1].partNumber, 2);

    dispatcher->takeSerialBlock(cardReply(true, buildConfirmation(0x22)));
    ASSERT_TRUE(waitFor([&] { return written().size() == 3; }));
    EXPECT_FALSE(scheduler->headerWatchdogActive());
    EXPECT_TRUE(model.cards()[0].headerParts.isEmpty());
    EXPECT_EQ(scheduler->progressMaximum(), 3);
    EXPECT_EQ(written()[2].payload, packets[0].bytes);
    EXPECT_EQ(model.cards()[0].sendStep, 2);

    // Heartbeats and upload notices on the line change nothing.
    dispatcher->takeSerialBlock(cardReply(true, frame::build(0x91, {}, 1u)));
    spin(20);
    EXPECT_EQ(written().size(), 3);

    dispatcher->takeSerialBlock(partial(1));
    ASSERT_TRUE(waitFor([&] { return written().size() == 4; }));
    EXPECT_EQ(written()[3].payload, packets[1].bytes);
    // A refused piece goes again, not the next one.
    dispatcher->takeSerialBlock(cardReply(false, QByteArray(1, '\1'), 0x01));
    ASSERT_TRUE(waitFor([&] { return written().size() == 5; }));
    EXPECT_EQ(written()[4].payload, packets[1].bytes);
    // An answer from another card of the line, and a confirmation of another
    // command, are not answers to this piece.
    convert::InternalCode other {9, 9, 9, 9, 9, 9, 9, 9};
    dispatcher->takeSerialBlock(rs485::buildReply(other, false, 0x00, QByteArray(1, '\1')));
    dispatcher->takeSerialBlock(cardReply(true, buildConfirmation(0x62)));
    spin(20);
    EXPECT_EQ(written().size(), 5);
    EXPECT_TRUE(scheduler->repeatTimerActive());
    dispatcher->takeSerialBlock(partial(1));
    ASSERT_TRUE(waitFor([&] { return written().size() == 6; }));
    EXPECT_EQ(written()[5].payload, packets[2].bytes);
    EXPECT_EQ(scheduler->progressPosition(), 3);

    dispatcher->takeSerialBlock(cardReply(true, buildConfirmation(0x31)));
    EXPECT_EQ(statusTexts.last(), QStringLiteral("Playbill been sent."));
    EXPECT_FALSE(scheduler->repeatTimerActive());
    EXPECT_TRUE(model.cards()[0].materialPackets.isEmpty());
    EXPECT_EQ(ended.last(), qMakePair(QStringLiteral("R"), true));
    // A late answer after the end sends nothing and fails nothing.
    dispatcher->takeSerialBlock(partial(1));
    spin(100);
    EXPECT_EQ(written().size(), 6);
    EXPECT_EQ(ended.size(), 1);
}

TEST_F(Rs485, AConfirmationOfAnotherCommandIsNotTheHeadersAndAnExceptionEndsTheDownload)
{
    startOnLine();
    // A late confirmation of the time calibration, complete: the header has
    // two pieces and only the first went, so it is no answer to the header.
    dispatcher->takeSerialBlock(cardReply(true, buildConfirmation(0x62)));
    spin(20);
    EXPECT_EQ(written().size(), 1);
    EXPECT_EQ(model.cards()[0].sendStep, 1);
    dispatcher->takeSerialBlock(partial(2));
    ASSERT_TRUE(waitFor([&] { return written().size() == 2; }));
    EXPECT_EQ(written()[1].partNumber, 2);
    dispatcher->takeSerialBlock(cardReply(true, buildConfirmation(0x22)));
    ASSERT_TRUE(waitFor([&] { return written().size() == 3; }));

    // 0x34 in a complete reply: "Abnormal, sent out.", nothing more is sent.
    dispatcher->takeSerialBlock(cardReply(true, frame::build(0x34, {}, 1u)));
    ASSERT_EQ(ended.size(), 1);
    EXPECT_EQ(ended[0], qMakePair(QStringLiteral("R"), false));
    EXPECT_EQ(statusTexts.last(), QStringLiteral("Abnormal, sent out."));
    dispatcher->takeSerialBlock(partial(1));
    dispatcher->takeSerialBlock(cardReply(true, buildConfirmation(0x31)));
    spin(100);
    EXPECT_EQ(written().size(), 3);
    EXPECT_EQ(ended.size(), 1);
}

TEST_F(Rs485, AnswersThatComeDuringTheSendDelayAreTakenInTurn)
{
    scheduler->state().sendDelay = 3000; // 30 ms at the tests' scale
    startOnLine();
    // Two answers at once: the second waits for the packet the first one
    // brings, then brings its own.
    dispatcher->takeSerialBlock(partial(2) + cardReply(true, buildConfirmation(0x22)));
    EXPECT_EQ(written().size(), 1);
    ASSERT_TRUE(waitFor([&] { return written().size() == 2; }));
    EXPECT_EQ(written()[1].partNumber, 2);
    EXPECT_EQ(written().size(), 2);
    ASSERT_TRUE(waitFor([&] { return written().size() == 3; }));
    EXPECT_EQ(written()[2].payload, packets[0].bytes);
}

TEST_F(Rs485, ARequestOnTheLineRestartsAtThePieceAskedFor)
{
    startOnLine();
    dispatcher->takeSerialBlock(partial(2));
    ASSERT_TRUE(waitFor([&] { return written().size() == 2; }));
    dispatcher->takeSerialBlock(cardReply(true, buildConfirmation(0x22)));
    ASSERT_TRUE(waitFor([&] { return written().size() == 3; }));
    dispatcher->takeSerialBlock(partial(1));
    ASSERT_TRUE(waitFor([&] { return written().size() == 4; }));
    dispatcher->takeSerialBlock(partial(1));
    ASSERT_TRUE(waitFor([&] { return written().size() == 5; }));
    dispatcher->takeSerialBlock(cardReply(true, buildPacketRequest(1, 1)));
    ASSERT_TRUE(waitFor([&] { return written().size() == 6; }));
    EXPECT_EQ(written()[5].payload, packets[0].bytes);
    dispatcher->takeSerialBlock(partial(1));
    ASSERT_TRUE(waitFor([&] { return written().size() == 7; }));
    EXPECT_EQ(written()[6].payload, packets[1].bytes);
    EXPECT_TRUE(ended.isEmpty());
}

TEST_F(Rs485, AnUnansweredPieceIsRepeatedUntilTheCountRunsOut)
{
    startOnLine();
    dispatcher->takeSerialBlock(partial(2));
    ASSERT_TRUE(waitFor([&] { return written().size() == 2; }));
    dispatcher->takeSerialBlock(cardReply(true, buildConfirmation(0x22)));
    ASSERT_TRUE(waitFor([&] { return written().size() == 3; }));
    ASSERT_TRUE(waitFor([&] { return !ended.isEmpty(); }, 3000));
    // The first send and five repeats; the sixth tick gives up.
    EXPECT_EQ(sender.count(sender.sent[2].bytes), 6);
    EXPECT_EQ(ended[0], qMakePair(QStringLiteral("R"), false));
    EXPECT_EQ(statusTexts.last(), QStringLiteral("Fail to send the program!"));
    const int total = int(sender.sent.size());
    spin(200);
    EXPECT_EQ(sender.sent.size(), total);
}

TEST_F(Rs485, ASilentCardIsGivenUpDuringTheHeaderToo)
{
    startOnLine();
    // The header watchdog ends it, once, and nothing is repeated after.
    ASSERT_TRUE(waitFor([&] { return !ended.isEmpty(); }, 3000));
    EXPECT_EQ(statusTexts.last(), QStringLiteral("Communication exception. Failed to send!"));
    const int total = int(sender.sent.size());
    spin(200);
    EXPECT_EQ(sender.sent.size(), total);
    EXPECT_EQ(ended.size(), 1);
    EXPECT_LE(total, 7);
}
