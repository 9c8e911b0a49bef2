// Faults on the line against the real program code and ledsign-card: cards
// that vanish mid-download, confirm the wrong command, flood garbage or
// never report, and a serial port that goes away while sending. Each time
// the program reports the fault, keeps every record, and goes on serving
// the cards that behave.
#include "language/language.h"
#include "model/materialkinds.h"
#include "model/projectmodel.h"
#include "protocol/cardreplies.h"
#include "protocol/frame.h"
#include "transport/cardlink.h"
#include "support/cardprocess.h"
#include "support/pictureplaybill.h"
#include "support/ptypair.h"
#include "transport/waitfor.h"

#include <QFileInfo>
#include <QImage>
#include <QRandomGenerator>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <list>
#include <memory>

using namespace ledsign;
using namespace ledsign::test;

namespace {

const QString kSent = QStringLiteral("Playbill been sent.");
const QString kFailed = QStringLiteral("Fail to send the program!");

// A page with two picture materials: one frame for the first, two for the
// second (nine 64 x 32 pictures), so that a download has three frames.
void addContent(ProjectModel& model, const QString& cardName, const QString& folder)
{
    PictureMaterial small{"111111111", 0, 0, 16, 8, {blackPicture(16, 8)}};
    PictureMaterial large{"222222222", 0, 0, 64, 32, {}};
    for (int k = 0; k < 9; ++k) {
        QImage image = blackPicture(64, 32);
        if (k % 2)
            image.fill(Qt::red);
        large.images << image;
    }
    addPicturePlaybill(model, cardName, {small, large}, folder);
}

// What a card's records are, to check that a fault took none of them.
struct Records {
    int pages = 0, regions = 0, materials = 0;
    bool operator==(const Records&) const = default;
};

struct LinkFaults : ::testing::Test {
    ProjectModel model;
    CardLink link {model};
    QTemporaryDir files;
    QList<QPair<QString, bool>> ended;
    QStringList status;
    std::list<CardProcess> cards;

    void SetUp() override
    {
        setCurrentLanguage(kEnglish);
        ASSERT_TRUE(QFileInfo::exists(CardProcess::program())) << "build ledsign-card first";
        ASSERT_TRUE(files.isValid());
        ASSERT_TRUE(link.channels().openServer(0, QHostAddress::LocalHost));
        QObject::connect(&link.scheduler(), &SendScheduler::downloadEnded,
                         [this](const QString& c, bool ok) { ended.append({c, ok}); });
        QObject::connect(&link.scheduler(), &SendScheduler::statusMessage,
                         [this](const QString& t) { status << t; });
    }

    // Starts a card with this internal code; its record gets content once
    // it is on-line. Returns the card's name, empty on failure.
    QString startCard(int code, QStringList extra = {})
    {
        const QString name = QStringLiteral("1_2_3_4_5_6_7_%1").arg(code);
        extra << QStringLiteral("--tcp") << QStringLiteral("127.0.0.1:%1").arg(link.channels().serverPort())
              << QStringLiteral("--code") << name;
        cards.emplace_back();
        if (!cards.back().start(extra))
            return {};
        if (!waitFor([&] { return link.scheduler().nodeState(name) == kNodeOnline; }, 10000))
            return {};
        addContent(model, name, files.path());
        return name;
    }

    Records recordsOf(const QString& name) const
    {
        Records r;
        for (const TProgram& p : model.pages())
            r.pages += p.cardName == name ? 1 : 0;
        for (const TRegion& g : model.regions())
            r.regions += g.cardName == name ? 1 : 0;
        for (const TFodder& m : model.materials())
            r.materials += m.cardName == name ? 1 : 0;
        return r;
    }

    // Sends the playbill to `name` and waits for the download to end.
    bool download(const QString& name, bool* ok, int timeoutMs = 20000)
    {
        const qsizetype before = ended.size();
        link.scheduler().sendCommand(name);
        if (!waitFor([&] { return ended.size() > before; }, timeoutMs))
            return false;
        EXPECT_EQ(ended.last().first, name);
        *ok = ended.last().second;
        return true;
    }

    // The card behind `process` received and confirmed the whole playbill.
    static void expectWholePlaybill(CardProcess& process)
    {
        EXPECT_TRUE(process.waitForLine(QStringLiteral("playbill complete materials=2"), 3000));
        EXPECT_TRUE(process.errorLines().isEmpty()) << process.errorLines().join(u'\n').toStdString();
    }
};

} // namespace

TEST_F(LinkFaults, ACardThatDiesMidDownloadFailsAloneAndTheOtherCardIsServed)
{
    const QString dying = startCard(1, {QStringLiteral("--quit-after-material"), QStringLiteral("2")});
    ASSERT_FALSE(dying.isEmpty());
    CardProcess& dyingProcess = cards.back();
    const QString good = startCard(2);
    ASSERT_FALSE(good.isEmpty());
    const Records before = recordsOf(dying);

    bool ok = true;
    ASSERT_TRUE(download(dying, &ok));
    EXPECT_FALSE(ok);
    EXPECT_EQ(status.last(), kFailed);
    EXPECT_TRUE(dyingProcess.waitForLine(QStringLiteral("quitting"), 1000));
    ASSERT_TRUE(waitFor([&] { return model.findCard(dying).record->online == 0; }, 5000));
    EXPECT_NE(link.scheduler().nodeState(dying), kNodeCompleted);
    EXPECT_EQ(recordsOf(dying), before);
    EXPECT_EQ(model.cards().size(), 2);

    ASSERT_TRUE(download(good, &ok));
    EXPECT_TRUE(ok);
    EXPECT_EQ(status.last(), kSent);
    EXPECT_EQ(link.scheduler().nodeState(good), kNodeCompleted);
    expectWholePlaybill(cards.back());
}

TEST_F(LinkFaults, ConfirmationsOfAnotherCommandDoNotCompleteADownload)
{
    const QString wrong = startCard(3, {QStringLiteral("--confirm-materials-as"),
                                        QString::number(frame::cmd::kTime)});
    ASSERT_FALSE(wrong.isEmpty());
    CardProcess& wrongProcess = cards.back();
    const QString good = startCard(4);
    ASSERT_FALSE(good.isEmpty());
    const Records before = recordsOf(wrong);
    link.scheduler().state().timeScale = 0.2;

    bool ok = true;
    ASSERT_TRUE(download(wrong, &ok));
    EXPECT_FALSE(ok);
    EXPECT_EQ(status.last(), kFailed);
    // The card had it all, but it never said so: the last frame went five times.
    EXPECT_TRUE(waitFor([&] { return wrongProcess.countLines(QStringLiteral("material send=2 block=2/2 end")) == 5; }, 3000))
        << wrongProcess.countLines(QStringLiteral("material send=2 block=2/2 end"));
    EXPECT_EQ(link.scheduler().nodeState(wrong), kNodeOnline);
    EXPECT_EQ(model.findCard(wrong).record->online, 1);
    EXPECT_EQ(recordsOf(wrong), before);

    ASSERT_TRUE(download(good, &ok));
    EXPECT_TRUE(ok);
    expectWholePlaybill(cards.back());
}

TEST_F(LinkFaults, AConnectionFloodingGarbageNeitherRegistersNorStopsAnotherCard)
{
    const QString good = startCard(5);
    ASSERT_FALSE(good.isEmpty());
    QTcpSocket flood;
    flood.connectToHost(QHostAddress::LocalHost, link.channels().serverPort());
    ASSERT_TRUE(flood.waitForConnected(3000));
    QRandomGenerator random(11);
    // Random bytes with frame starts and ends sprinkled in, so that the
    // splitter keeps finding frame beginnings that lead nowhere.
    auto garbage = [&] {
        QByteArray bytes(4096, '\0');
        for (char& b : bytes) {
            const quint32 r = random.bounded(16u);
            b = r == 0 ? char(0x68) : r == 1 ? char(0x16) : char(random.bounded(256u));
        }
        return bytes;
    };
    qint64 flooded = 0;
    QTimer pump;
    QObject::connect(&pump, &QTimer::timeout, [&] {
        if (flood.bytesToWrite() < 65536)
            flooded += flood.write(garbage());
    });
    pump.start(1);

    bool ok = false;
    ASSERT_TRUE(download(good, &ok));
    pump.stop();
    EXPECT_TRUE(ok);
    EXPECT_EQ(status.last(), kSent);
    expectWholePlaybill(cards.back());
    EXPECT_GT(flooded, 100000);
    EXPECT_EQ(model.cards().size(), 1);
    EXPECT_EQ(model.cards()[0].name, good);
    EXPECT_EQ(model.cards()[0].online, 1);
}

TEST_F(LinkFaults, TwoHundredSilentConnectionsDoNotHoldUpARealCard)
{
    const QString good = startCard(6);
    ASSERT_FALSE(good.isEmpty());
    std::vector<std::unique_ptr<QTcpSocket>> silent;
    for (int i = 0; i < 200; ++i) {
        silent.push_back(std::make_unique<QTcpSocket>());
        silent.back()->connectToHost(QHostAddress::LocalHost, link.channels().serverPort());
    }
    ASSERT_TRUE(waitFor([&] { return link.channels().connections().size() == 201; }, 10000))
        << link.channels().connections().size();

    bool ok = false;
    ASSERT_TRUE(download(good, &ok));
    EXPECT_TRUE(ok);
    expectWholePlaybill(cards.back());
    // Each silent connection was asked who it is and is kept, without a record.
    for (const auto& s : silent)
        EXPECT_EQ(s->state(), QAbstractSocket::ConnectedState);
    EXPECT_EQ(model.cards().size(), 1);
    silent.clear();
    EXPECT_TRUE(waitFor([&] { return link.channels().connections().size() == 1; }, 5000));
}

// Plain serial line: the test plays the card on the pty's far side,
// confirms the header, and pulls the line away once materials flow.
TEST(SerialFault, ALineThatVanishesWhileSendingFailsTheDownloadAndKeepsTheCard)
{
    setCurrentLanguage(kEnglish);
    PtyPair pty;
    ASSERT_TRUE(pty.isOpen());
    ProjectModel model;
    CardLink link(model);
    link.setCommMode(CommModeKind::Serial);
    ASSERT_TRUE(link.channels().openSerialPort(kAfterOpenNothing, pty.slavePath(), 115200));
    TFIXModem given;
    given.name = QStringLiteral("lobby");
    given.linkKind = 0;
    given.version = 60;
    given.internalCode = QStringLiteral("1_1_1_1_1_1_1_1");
    model.addCard(given);
    QTemporaryDir files;
    ASSERT_TRUE(files.isValid());
    addContent(model, given.name, files.path());
    link.scheduler().setNodeState(given.name, kNodeOnline);
    link.scheduler().state().timeScale = 0.2;
    QList<bool> ended;
    QStringList status;
    QObject::connect(&link.scheduler(), &SendScheduler::downloadEnded, [&](const QString&, bool ok) { ended << ok; });
    QObject::connect(&link.scheduler(), &SendScheduler::statusMessage, [&](const QString& t) { status << t; });

    link.scheduler().sendCommand(given.name);
    const QByteArray header = pty.readMaster(19, 5000);
    ASSERT_GE(header.size(), 19);
    ASSERT_EQ(frame::command(header), frame::cmd::kHeader);
    pty.drainMaster();
    ASSERT_TRUE(pty.writeMaster(buildConfirmation(frame::cmd::kHeader, 1)));
    ASSERT_FALSE(pty.readMaster(19, 5000).isEmpty()) << "no material frame came";
    pty.closeMaster();

    ASSERT_TRUE(waitFor([&] { return !ended.isEmpty(); }, 20000));
    EXPECT_EQ(ended, QList<bool>{false});
    // Named at once: the device went away.
    EXPECT_TRUE(status.contains(QStringLiteral("the line %1 went away").arg(pty.slavePath())))
        << status.join(u'|').toStdString();
    EXPECT_NE(link.scheduler().nodeState(given.name), kNodeCompleted);
    ASSERT_EQ(model.cards().size(), 1);
    EXPECT_EQ(model.materials().size(), 2);
    EXPECT_EQ(model.pages().size(), 1);
}
