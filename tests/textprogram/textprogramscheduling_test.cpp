// A text program on the program's send machinery, with a recording sender
// in place of the channels: confirmations reach the text program and not
// the playbill download, every material goes out even when the card
// confirms early, failures are reported, and the RS-485 route cuts long
// materials into pieces. Also the card's reading of descriptions.
#include "../../tools/card/textprograminbox.h"
#include "language/language.h"
#include "model/codec.h"
#include "protocol/cardcommandsender.h"
#include "protocol/cardsender.h"
#include "protocol/frame.h"
#include "protocol/materialencoder.h"
#include "protocol/registrations.h"
#include "protocol/replydispatcher.h"
#include "protocol/sendscheduler.h"
#include "protocol/textprogram.h"
#include "protocol/textprogramsender.h"

#include <QTcpSocket>
#include <gtest/gtest.h>

using namespace ledsign;

namespace {

class Recorder : public CardSender {
public:
    QList<QByteArray> sent;
    qint64 sendBytesToCard(TFIXModem& card, const QByteArray& bytes) override
    {
        if (card.linkKind == 2 && !card.socket)
            return -1;
        sent << bytes;
        return bytes.size();
    }
    bool writeSerial(const QByteArray& bytes) override
    {
        sent << bytes;
        return true;
    }
    bool sendIdentityQuery(QTcpSocket*) override { return true; }
    void dropConnection(TFIXModem& card) override { card.socket = nullptr; }
    int serialBaudRate() const override { return 9600; }

    int count(int command) const
    {
        int n = 0;
        for (const QByteArray& b : sent)
            n += frame::startsWithMarker(b) && frame::command(b) == command ? 1 : 0;
        return n;
    }
};

TextMaterialForm form()
{
    TextMaterialForm f;
    f.name = QStringLiteral("m");
    f.playTimes = QStringLiteral("1");
    f.displayMode = 0;
    f.displaySpeed = 0;
    f.remainTime = QStringLiteral("0");
    f.editorText = QStringLiteral("x");
    f.contentAttribute = 0;
    return f;
}

struct Machinery : ::testing::Test {
    ProjectModel model;
    Recorder recorder;
    SendScheduler scheduler {model, recorder};
    CardCommandSender commands {scheduler};
    Registrations registrations {scheduler, commands};
    ReplyDispatcher dispatcher {scheduler, registrations, commands};
    TextProgramSender sender {model, [this](TFIXModem& c, const QByteArray& b) { return recorder.sendBytesToCard(c, b); },
                              textProgramMaterialFrame};
    QTcpSocket connection;
    QStringList status;
    QList<QPair<QString, bool>> ended;
    QStringList pages;

    void SetUp() override
    {
        setCurrentLanguage(kEnglish);
        sender.attach(&scheduler);
        dispatcher.setConfirmationHook([this](int i, const Confirmation& c) { return sender.takeConfirmation(i, c); });
        scheduler.setQueuedTextTick([this] { return sender.packetTimerTick(); });
        QObject::connect(&scheduler, &SendScheduler::statusMessage, [this](const QString& t) { status << t; });
        QObject::connect(&scheduler, &SendScheduler::downloadEnded,
                         [this](const QString& c, bool ok) { ended.append({c, ok}); });
        TFIXModem card;
        card.name = QStringLiteral("door");
        card.linkKind = 2;
        card.internalCode = QStringLiteral("1_2_3_4_5_6_7_8");
        model.addCard(card).socket = &connection;
        TextProgram tp(model);
        pages << tp.addPage(QStringLiteral("P"), QTime(8, 0), QTime(9, 0), {});
        tp.addMaterial(pages[0], form(), QStringLiteral("1^1^2^one"));
        tp.addMaterial(pages[0], form(), QStringLiteral("1^1^2^two"));
    }

    void confirm(quint8 command) { dispatcher.dispatch(0, readFrameMessage(buildConfirmation(command))); }
};

} // namespace

TEST_F(Machinery, AnEarlyConfirmationDoesNotCutOffTheMaterialsStillWaiting)
{
    ASSERT_EQ(sender.start(QStringLiteral("door"), pages, false), TextProgramSender::Start::Sent);
    EXPECT_TRUE(scheduler.headerWatchdogActive()) << "the description is guarded";
    confirm(0x22);
    EXPECT_FALSE(scheduler.headerWatchdogActive());
    EXPECT_TRUE(scheduler.packetTimerActive());
    EXPECT_EQ(status.last(), messageText(QStringLiteral("tip_program_sending")));

    scheduler.packetTick();
    confirm(0x31); // the first material, before the second is out
    EXPECT_TRUE(ended.isEmpty());
    EXPECT_TRUE(scheduler.packetTimerActive());
    scheduler.packetTick();
    EXPECT_EQ(recorder.count(0x31), 2);
    EXPECT_TRUE(ended.isEmpty()) << "the second material is not confirmed yet";
    confirm(0x31);
    ASSERT_EQ(ended.size(), 1);
    EXPECT_EQ(ended[0], qMakePair(QStringLiteral("door"), true));
    EXPECT_EQ(status.last(), QStringLiteral("Playbill been sent."));
    EXPECT_FALSE(scheduler.packetTimerActive());
    EXPECT_EQ(scheduler.nodeState(QStringLiteral("door")), kNodeCompleted);
    EXPECT_FALSE(sender.busy());
}

TEST_F(Machinery, ACardThatConfirmsOnlyTheLastMaterialHasTheProgram)
{
    ASSERT_EQ(sender.start(QStringLiteral("door"), pages, false), TextProgramSender::Start::Sent);
    confirm(0x22);
    scheduler.packetTick();
    scheduler.packetTick();
    ASSERT_EQ(recorder.count(0x31), 2);
    EXPECT_TRUE(ended.isEmpty());
    confirm(0x31); // one confirmation, after both materials
    ASSERT_EQ(ended.size(), 1);
    EXPECT_EQ(ended[0], qMakePair(QStringLiteral("door"), true));
    EXPECT_EQ(status.last(), QStringLiteral("Playbill been sent."));
    for (int k = 0; k < 8; ++k)
        scheduler.packetTick();
    EXPECT_EQ(ended.size(), 1) << "nothing is given up afterwards";
    EXPECT_FALSE(status.contains(QStringLiteral("Fail to send the program!")));
}

TEST_F(Machinery, ACardThatNeverConfirmsAMaterialIsGivenUp)
{
    ASSERT_EQ(sender.start(QStringLiteral("door"), pages, false), TextProgramSender::Start::Sent);
    confirm(0x22);
    // Two ticks send the materials; then idle ticks until the count runs out.
    for (int k = 0; k < 2 + TextProgramSender::kIdleTicksAllowed + 1; ++k)
        scheduler.packetTick();
    ASSERT_EQ(ended.size(), 1);
    EXPECT_EQ(ended[0], qMakePair(QStringLiteral("door"), false));
    EXPECT_EQ(status.last(), QStringLiteral("Fail to send the program!"));
    EXPECT_FALSE(sender.busy());
}

TEST_F(Machinery, OtherRepliesWhileMaterialsGoOutEndNothing)
{
    ASSERT_EQ(sender.start(QStringLiteral("door"), pages, false), TextProgramSender::Start::Sent);
    confirm(0x22);
    scheduler.packetTick();
    // A packet request cannot be served for a text material; it must not
    // reach the playbill download either.
    dispatcher.dispatch(0, readFrameMessage(buildPacketRequest(1, 1)));
    confirm(0x22);
    EXPECT_TRUE(ended.isEmpty());
    EXPECT_EQ(recorder.count(0x31), 1);
    EXPECT_TRUE(sender.busy());
}

TEST_F(Machinery, AFailedWriteIsReportedAndLeavesNothingPending)
{
    model.cards()[0].socket = nullptr;
    EXPECT_EQ(sender.start(QStringLiteral("door"), pages, false), TextProgramSender::Start::WriteFailed);
    EXPECT_EQ(status.last(), QStringLiteral("Fail to send the program!"));
    EXPECT_FALSE(sender.busy());
    confirm(0x22);
    EXPECT_FALSE(scheduler.packetTimerActive()) << "a stray confirmation starts nothing";
}

TEST_F(Machinery, Rs485CutsLongMaterialsIntoNumberedPieces)
{
    TextProgram tp(model);
    const QString longText = QStringLiteral("1^1^2^") + QString(240, u'L');
    tp.addMaterial(pages[0], form(), longText);
    model.cards()[0].linkKind = 1;
    ASSERT_EQ(sender.start(QStringLiteral("door"), pages, true), TextProgramSender::Start::Sent);
    const TFIXModem& card = model.cards()[0];
    EXPECT_EQ(card.sendStep, 1) << "the download's RS-485 exchange carries it";
    EXPECT_EQ(scheduler.state().selectedCardName, QStringLiteral("door")) << "serial replies find the card";
    ASSERT_FALSE(card.headerParts.isEmpty());
    EXPECT_EQ(card.headerParts[0].headerKind, 1);
    ASSERT_EQ(recorder.sent.size(), 1);
    EXPECT_EQ(recorder.sent[0], card.headerParts[0].bytes);

    QMap<int, QByteArray> wholes;
    QMap<int, int> pieceCounts;
    for (const rSendFdrContent& p : card.materialPackets) {
        EXPECT_LE(p.bytes.size(), 256);
        EXPECT_EQ(p.partNo, pieceCounts.value(p.sendNo) + 1);
        pieceCounts[p.sendNo] = p.partNo;
        wholes[p.sendNo] += p.bytes;
        EXPECT_GE(p.partCount, p.partNo);
    }
    ASSERT_EQ(wholes.size(), 3);
    EXPECT_EQ(pieceCounts[3], 2) << "the long material takes two pieces";
    for (const QByteArray& whole : std::as_const(wholes))
        EXPECT_TRUE(frame::isWellFormed(whole));
    EXPECT_TRUE(frame::data(wholes[3]).contains("-1,")) << "the last of the page ends it";
    EXPECT_FALSE(frame::data(wholes[1]).contains("-1,"));
}

TEST(CardTextProgramInbox, TellsTextProgramsFromPlaybillsAndChecksTheMaterials)
{
    using card::TextProgramInbox;
    const QByteArray text = "123456789,08:00-12:00.111111111#2#071210141512;222222222#1#071210141512;"
                            ",13:00-14:00.333333333#1#071210141512;";
    EXPECT_TRUE(TextProgramInbox::isTextProgramDescription(text));
    // A playbill description as the RS-485 line carries it: digits only.
    const QByteArray playbill = "111111111,08:00-12:00.1234567898002000008016100000000000#01#10;";
    EXPECT_FALSE(TextProgramInbox::isTextProgramDescription(playbill));
    EXPECT_FALSE(TextProgramInbox::isTextProgramDescription("123456789,08:00-12:00."));
    EXPECT_FALSE(TextProgramInbox::isTextProgramDescription("123456789,08:00-1200.111111111#2#x;"));
    EXPECT_FALSE(TextProgramInbox::isTextProgramDescription("123456789,08:00-12:00.111111111#two#x;"));

    TextProgramInbox inbox;
    QString error;
    ASSERT_TRUE(inbox.takeDescription(text, error)) << error.toStdString();
    EXPECT_EQ(inbox.expectedCount(), 3);
    auto frameOf = [](const QString& id, bool last) {
        TFodder m;
        m.kind = kTextProgramKind;
        m.id = id;
        m.typeCode = 1;
        m.content = QStringLiteral("1^1^2^hi");
        return textProgramMaterialFrame(m, last);
    };
    EXPECT_FALSE(inbox.takeMaterialFrame(frameOf(QStringLiteral("999999999"), false)).ok) << "not announced";
    EXPECT_FALSE(inbox.takeMaterialFrame(frameOf(QStringLiteral("111111111"), true)).ok) << "not last of its page";
    EXPECT_FALSE(inbox.takeMaterialFrame(frameOf(QStringLiteral("222222222"), false)).ok) << "end marker missing";
    QByteArray cut = frameOf(QStringLiteral("111111111"), false);
    cut.remove(cut.size() - 4, 1);
    EXPECT_FALSE(inbox.takeMaterialFrame(cut).ok);
    EXPECT_TRUE(inbox.takeMaterialFrame(frameOf(QStringLiteral("111111111"), false)).ok);
    EXPECT_TRUE(inbox.takeMaterialFrame(frameOf(QStringLiteral("222222222"), true)).ok);
    EXPECT_FALSE(inbox.complete());
    const auto last = inbox.takeMaterialFrame(frameOf(QStringLiteral("333333333"), true));
    EXPECT_TRUE(last.ok);
    EXPECT_TRUE(last.completesProgram);
    EXPECT_TRUE(inbox.complete());
    EXPECT_EQ(inbox.materials().size(), 3);
}
