// The whole link against ledsign-card: a card connects over loopback, is
// registered, and a playbill of image materials is rendered, encoded and
// sent to it over TCP; the same over an RS-485 line made of two linked ptys.
// The card checks every byte it receives and draws what it was sent.
#include "language/language.h"
#include "model/projectmodel.h"
#include "protocol/conversions.h"
#include "protocol/rs485packet.h"
#include "transport/cardlink.h"
#include "support/cardprocess.h"
#include "support/pictureplaybill.h"
#include "model/materialkinds.h"
#include "transport/waitfor.h"

#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ledsign;
using namespace ledsign::test;

namespace {

using Material = PictureMaterial;

// Two materials on one page: a 16 x 8 picture whose left half is red, and
// nine 64 x 32 pictures (2304 bytes of display data, two frames) of which
// the last has a red corner.
QList<Material> twoMaterials()
{
    QImage half = blackPicture(16, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            half.setPixel(x, y, qRgb(255, 0, 0));
    QList<QImage> nine;
    for (int k = 0; k < 9; ++k)
        nine << blackPicture(64, 32);
    for (int x = 0; x < 4; ++x)
        nine[8].setPixel(x, 0, qRgb(255, 0, 0));
    return {{"101010101", 8, 8, 16, 8, {half}}, {"202020202", 0, 0, 64, 32, nine}};
}

struct OverTcp : ::testing::Test {
    ProjectModel model;
    CardLink link {model};
    CardProcess card;
    QTemporaryDir files;
    QList<QPair<QString, bool>> ended;
    QStringList status;
    QList<Material> materials = twoMaterials();

    void SetUp() override
    {
        setCurrentLanguage(kEnglish);
        ASSERT_TRUE(QFileInfo::exists(CardProcess::program())) << "build ledsign-card first";
        ASSERT_TRUE(files.isValid());
        ASSERT_TRUE(link.channels().openServer(0, QHostAddress::LocalHost));
        QObject::connect(&link.scheduler(), &SendScheduler::downloadEnded,
                         [this](const QString& c, bool ok) { ended.append({c, ok}); });
        QObject::connect(&link.scheduler(), &SendScheduler::statusMessage, [this](const QString& t) { status << t; });
    }

    QString startCard(QStringList extra)
    {
        extra << QStringLiteral("--tcp") << QStringLiteral("127.0.0.1:%1").arg(link.channels().serverPort())
              << QStringLiteral("--code") << QStringLiteral("10_20_30_40_50_60_70_80");
        if (!card.start(extra))
            return {};
        const QString name = QStringLiteral("10_20_30_40_50_60_70_80");
        if (!waitFor([&] { return link.scheduler().nodeState(name) == kNodeOnline; }, 5000))
            return {};
        addPicturePlaybill(model, name, materials, files.path());
        return name;
    }
};

} // namespace

TEST_F(OverTcp, ACardThatConnectsIsRegisteredAndReceivesAWholePlaybill)
{
    QTemporaryDir pictures;
    const QString name = startCard({QStringLiteral("--png"), pictures.path()});
    ASSERT_FALSE(name.isEmpty());
    const TFIXModem& c = model.cards()[0];
    EXPECT_EQ(c.linkKind, 2);
    EXPECT_EQ(c.online, 1);
    EXPECT_EQ(c.ipAddress, QStringLiteral("127.0.0.1"));
    // Registration told the card the time and the poll time.
    ASSERT_TRUE(card.waitForLine(QStringLiteral("time "), 3000));

    link.scheduler().sendCommand(name);
    ASSERT_TRUE(waitFor([&] { return !ended.isEmpty(); }, 15000));
    EXPECT_EQ(ended[0], qMakePair(name, true));
    EXPECT_EQ(link.scheduler().nodeState(name), kNodeCompleted);
    EXPECT_EQ(status.last(), QStringLiteral("Playbill been sent."));
    ASSERT_TRUE(card.waitForLine(QStringLiteral("playbill complete materials=2"), 3000));
    EXPECT_TRUE(card.errorLines().isEmpty()) << card.errorLines().join(u'\n').toStdString();
    EXPECT_EQ(card.countLines(QStringLiteral("header ")), 1);

    // The card shows what it was sent.
    ASSERT_TRUE(card.waitForLine(QStringLiteral("png ") + pictures.path() + QStringLiteral("/page1.png"), 3000));
    const QImage first(pictures.path() + QStringLiteral("/material1_101010101_1.png"));
    ASSERT_EQ(first.size(), QSize(16, 8));
    EXPECT_EQ(first.pixel(7, 7), qRgb(255, 0, 0));
    EXPECT_EQ(first.pixel(8, 0), qRgb(0, 0, 0));
    const QImage ninth(pictures.path() + QStringLiteral("/material2_202020202_9.png"));
    ASSERT_EQ(ninth.size(), QSize(64, 32));
    EXPECT_EQ(ninth.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(ninth.pixel(4, 0), qRgb(0, 0, 0));
}

TEST_F(OverTcp, ACardAskingForAPacketAgainGetsItAndEverythingAfter)
{
    const QString name = startCard({QStringLiteral("--request"), QStringLiteral("2:1")});
    ASSERT_FALSE(name.isEmpty());
    link.scheduler().sendCommand(name);
    ASSERT_TRUE(waitFor([&] { return !ended.isEmpty(); }, 15000));
    EXPECT_EQ(ended[0], qMakePair(name, true));
    EXPECT_EQ(card.countLines(QStringLiteral("request send=2 block=1")), 1);
    // Material 2 block 1 came twice, material 1 once.
    EXPECT_EQ(card.countLines(QStringLiteral("material send=2 block=1/2")), 2);
    EXPECT_EQ(card.countLines(QStringLiteral("material send=1 block=1/1")), 1);
    EXPECT_TRUE(card.errorLines().isEmpty()) << card.errorLines().join(u'\n').toStdString();
}

TEST_F(OverTcp, ACardThatNeverConfirmsTheEndMakesTheDownloadFail)
{
    const QString name = startCard({QStringLiteral("--no-final-confirm")});
    ASSERT_FALSE(name.isEmpty());
    link.scheduler().state().timeScale = 0.2;
    link.scheduler().sendCommand(name);
    ASSERT_TRUE(waitFor([&] { return !ended.isEmpty(); }, 15000));
    EXPECT_EQ(ended[0], qMakePair(name, false));
    EXPECT_EQ(status.last(), QStringLiteral("Fail to send the program!"));
    ASSERT_TRUE(waitFor([&] { return card.countLines(QStringLiteral("material send=2 block=2/2 end")) == 5; }, 3000));
    EXPECT_EQ(link.scheduler().nodeState(name), kNodeOnline);
}

TEST_F(OverTcp, ACardThatDisconnectsIsMarkedOffline)
{
    const QString name = startCard({});
    ASSERT_FALSE(name.isEmpty());
    card.stop();
    ASSERT_TRUE(waitFor([&] { return model.cards()[0].online == 0; }, 5000));
    EXPECT_TRUE(model.cards()[0].socket.isNull());
    EXPECT_TRUE(link.channels().connections().isEmpty());
}

TEST(OverRs485, APlaybillTravelsInAddressedPiecesAndIsConfirmedWhole)
{
    setCurrentLanguage(kEnglish);
    ASSERT_TRUE(QFileInfo::exists(CardProcess::program())) << "build ledsign-card first";
    PtyLink line;
    ASSERT_TRUE(line.isReady()) << "socat is needed (scripts/setup installs it)";
    CardProcess card;
    ASSERT_TRUE(card.start({QStringLiteral("--serial"), line.cardSide(), QStringLiteral("--rs485"),
                            QStringLiteral("--code"), QStringLiteral("8_8_8_8_1_2_3_4")}));
    ASSERT_TRUE(card.waitForLine(QStringLiteral("ready serial"), 5000));

    ProjectModel model;
    CardLink link(model);
    link.setCommMode(CommModeKind::Rs485);
    ASSERT_TRUE(link.channels().openSerialPort(kAfterOpenNothing, line.programSide(), 115200));
    TFIXModem given;
    given.name = QStringLiteral("hall");
    given.linkKind = 1;
    given.version = 60;
    given.internalCode = QStringLiteral("8_8_8_8_1_2_3_4");
    model.addCard(given);
    QTemporaryDir files;
    ASSERT_TRUE(files.isValid());
    addPicturePlaybill(model, QStringLiteral("hall"), twoMaterials(), files.path());
    link.scheduler().setNodeState(QStringLiteral("hall"), kNodeOnline);
    QList<bool> ended;
    QObject::connect(&link.scheduler(), &SendScheduler::downloadEnded, [&](const QString&, bool ok) { ended << ok; });

    link.scheduler().sendCommand(QStringLiteral("hall"));
    ASSERT_TRUE(waitFor([&] { return !ended.isEmpty(); }, 20000));
    EXPECT_EQ(ended, QList<bool>{true});
    ASSERT_TRUE(card.waitForLine(QStringLiteral("playbill complete materials=2"), 3000));
    EXPECT_TRUE(card.errorLines().isEmpty()) << card.errorLines().join(u'\n').toStdString();
    EXPECT_EQ(link.scheduler().nodeState(QStringLiteral("hall")), kNodeCompleted);
}
