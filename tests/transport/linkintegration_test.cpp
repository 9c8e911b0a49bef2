// The whole link against ledsign-card: a card connects over loopback, is
// registered, and a playbill goes to it over TCP; the same over an RS-485
// line made of two linked ptys. The card checks every byte it receives.
#include "language/language.h"
#include "model/projectmodel.h"
#include "protocol/conversions.h"
#include "protocol/rs485packet.h"
#include "transport/cardlink.h"
#include "transport/cardprocess.h"
#include "transport/testframes.h"
#include "transport/waitfor.h"

#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ledsign;
using namespace ledsign::test;

namespace {

struct Material {
    QByteArray id;
    char typeCode;
    int x, y, w, h;
    int pictures;
    QByteArray data;
};

// The download of a list of materials on one page, cut for the RS-485 line
// when asked.
PreparedDownload prepare(const QList<Material>& materials, const TFIXModem& card, bool rs485)
{
    PreparedDownload out;
    out.description = "111111111,08:00-12:00.";
    for (const Material& m : materials)
        out.description += descriptionEntry(m.id, m.typeCode, m.x, m.y, m.w, m.h);
    convert::InternalCode code {};
    convert::internalCodeToBytes(card.internalCode, code);
    const QByteArray header = frame::build(frame::cmd::kHeader, out.description, 5u);
    if (rs485) {
        const QList<QByteArray> parts = rs485::cutFrame(header, code);
        for (int k = 0; k < parts.size(); ++k) {
            rPackSendProgram h;
            h.partCount = int(parts.size());
            h.partNo = k + 1;
            h.bytes = parts[k];
            h.byteCount = int(parts[k].size());
            out.headerParts << h;
        }
    } else {
        out.headerFrame = header;
    }
    for (int i = 0; i < materials.size(); ++i) {
        const Material& m = materials[i];
        const int blocks = int((m.data.size() + 2047) / 2048);
        for (int b = 1; b <= blocks; ++b) {
            const bool last = i == materials.size() - 1 && b == blocks;
            const QByteArray f = displayFrame(m.id, m.typeCode, i + 1, blocks, b, 1, m.pictures,
                                              m.data.mid((b - 1) * 2048, 2048), last);
            const qsizetype pieces = rs485 ? (f.size() + 255) / 256 : 1;
            for (qsizetype k = 0; k < pieces; ++k) {
                rSendFdrContent p;
                p.sendNo = i + 1;
                p.blockCount = blocks;
                p.blockNo = b;
                p.typeCode = m.typeCode;
                p.partCount = int(pieces);
                p.partNo = int(k + 1);
                p.bytes = rs485 ? f.mid(k * 256, 256) : f;
                p.byteCount = int(p.bytes.size());
                out.materialPackets << p;
            }
        }
    }
    return out;
}

// A page, a region and `count` materials of the card in the model.
void addContent(ProjectModel& model, const QString& cardName, int count)
{
    TProgram page;
    page.cardName = cardName;
    page.name = QStringLiteral("page");
    page.id = QStringLiteral("111111111");
    model.appendPage(page);
    TRegion region;
    region.cardName = cardName;
    region.pageName = page.name;
    region.name = QStringLiteral("region");
    region.pageId = page.id;
    model.appendRegion(region);
    for (int k = 0; k < count; ++k) {
        TFodder m;
        m.cardName = cardName;
        m.pageName = page.name;
        m.regionName = region.name;
        m.name = QStringLiteral("m%1").arg(k);
        model.appendMaterialToRegion(m);
    }
}

QList<Material> twoMaterials()
{
    QByteArray first(16 * 8 / 8, '\xFF');
    first[0] = '\0';
    // 64 x 32 single colour, 9 pictures: 2304 bytes, two blocks.
    QByteArray second(9 * 64 * 32 / 8, '\xFF');
    second[2048] = '\x0F';
    return {{"101010101", '8', 8, 8, 16, 8, 1, first}, {"202020202", ';', 0, 0, 64, 32, 9, second}};
}

struct OverTcp : ::testing::Test {
    ProjectModel model;
    CardLink link {model};
    CardProcess card;
    QList<QPair<QString, bool>> ended;
    QStringList status;
    QList<Material> materials = twoMaterials();

    void SetUp() override
    {
        setCurrentLanguage(kEnglish);
        ASSERT_TRUE(QFileInfo::exists(CardProcess::program())) << "build ledsign-card first";
        ASSERT_TRUE(link.channels().openServer(0, QHostAddress::LocalHost));
        QObject::connect(&link.scheduler(), &SendScheduler::downloadEnded,
                         [this](const QString& c, bool ok) { ended.append({c, ok}); });
        QObject::connect(&link.scheduler(), &SendScheduler::statusMessage, [this](const QString& t) { status << t; });
        link.scheduler().download().setPreparer(
            [this](TFIXModem& c, int, bool rs485, PreparedDownload& out, PrepareFailure&) {
                out = prepare(materials, c, rs485);
                return true;
            });
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
        addContent(model, name, int(materials.size()));
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
    const QList<Material> materials = twoMaterials();
    addContent(model, QStringLiteral("hall"), int(materials.size()));
    link.scheduler().setNodeState(QStringLiteral("hall"), kNodeOnline);
    link.scheduler().download().setPreparer(
        [&](TFIXModem& c, int, bool rs485, PreparedDownload& out, PrepareFailure&) {
            EXPECT_TRUE(rs485);
            out = prepare(materials, c, rs485);
            return true;
        });
    QList<bool> ended;
    QObject::connect(&link.scheduler(), &SendScheduler::downloadEnded, [&](const QString&, bool ok) { ended << ok; });

    link.scheduler().sendCommand(QStringLiteral("hall"));
    ASSERT_TRUE(waitFor([&] { return !ended.isEmpty(); }, 20000));
    EXPECT_EQ(ended, QList<bool>{true});
    ASSERT_TRUE(card.waitForLine(QStringLiteral("playbill complete materials=2"), 3000));
    EXPECT_TRUE(card.errorLines().isEmpty()) << card.errorLines().join(u'\n').toStdString();
    EXPECT_EQ(link.scheduler().nodeState(QStringLiteral("hall")), kNodeCompleted);
}
