// Opening the configured channel at start-up and switching it from the
// parameter window, with the settings the choice leaves behind.
#include "language/language.h"
#include "model/settings.h"
#include "support/testsupport.h"
#include "model/projectmodel.h"
#include "transport/cardlink.h"
#include "transport/channelstartup.h"
#include "transport/commchannels.h"
#include "support/ptypair.h"
#include "transport/waitfor.h"

#include <QTcpServer>
#include <gtest/gtest.h>

using namespace ledsign;
using ledsign::test::hex;
using ledsign::test::PtyPair;
using ledsign::test::spin;

namespace {

// Probes on loopback only, like the real probe does on every address.
BindResult bindOnLoopback(int port)
{
    QTcpServer probe;
    if (probe.listen(QHostAddress::LocalHost, quint16(port)))
        return BindResult::Bound;
    return probe.serverError() == QAbstractSocket::AddressInUseError ? BindResult::InUse : BindResult::Failed;
}

// A port that is free now and whose next port is free too.
quint16 freePortPair()
{
    for (int attempt = 0; attempt < 50; ++attempt) {
        QTcpServer probe;
        if (!probe.listen(QHostAddress::LocalHost, 0))
            continue;
        const quint16 port = probe.serverPort();
        probe.close();
        if (port < 65535 && bindOnLoopback(port + 1) == BindResult::Bound)
            return port;
    }
    return 0;
}

struct StartupFixture : ::testing::Test {
    QList<TFIXModem> cards;
    CommChannels channels {cards};
    AppSettings settings;
    CommModeTexts texts;
    int searches = 0;

    void SetUp() override
    {
        setCurrentLanguage(kEnglish);
        texts = currentCommModeTexts();
        QObject::connect(&channels, &CommChannels::cardSearchRequested, [this] { ++searches; });
    }

    bool start()
    {
        return openChannelsAtStartup(channels, settings, QHostAddress::LocalHost, texts, bindOnLoopback, 0,
                                     QHostAddress::LocalHost);
    }
};

} // namespace

TEST_F(StartupFixture, NoSerialPortMeansNetworkWhateverTheModeText)
{
    const quint16 port = freePortPair();
    ASSERT_NE(port, 0);
    settings.commMode = QStringLiteral("485");
    settings.commParam01.clear();
    settings.commParam02 = QString::number(port);
    ASSERT_TRUE(start());
    EXPECT_EQ(settings.commMode, QStringLiteral("Network"));
    EXPECT_TRUE(channels.server().isListening());
    EXPECT_EQ(channels.serverPort(), port);
    EXPECT_EQ(channels.receiveChannel(), ReceiveChannel::Network);
    EXPECT_TRUE(channels.udp().isBound());
    EXPECT_EQ(searches, 0);
}

TEST_F(StartupFixture, ATakenPortMovesTheServerToTheNextAndIsWrittenBack)
{
    const quint16 port = freePortPair();
    ASSERT_NE(port, 0);
    QTcpServer other;
    ASSERT_TRUE(other.listen(QHostAddress::LocalHost, port));
    settings.commMode = QStringLiteral("network<server-side>");
    settings.commParam02 = QString::number(port);
    ASSERT_TRUE(start());
    EXPECT_EQ(settings.commMode, QStringLiteral("Network"));
    EXPECT_EQ(channels.serverPort(), port + 1);
    EXPECT_EQ(settings.commParam02, QString::number(port + 1));
    EXPECT_EQ(settings.serverPort, port + 1);
    EXPECT_EQ(channels.channelStatusText(), QStringLiteral("Network Port[%1]").arg(port + 1));
}

TEST_F(StartupFixture, An485LineWithoutBaudRateOpensAt9600AndSearches)
{
    PtyPair pty;
    ASSERT_TRUE(pty.isOpen());
    settings.commMode = QStringLiteral("485");
    settings.commParam01 = pty.slavePath();
    settings.commParam02.clear();
    ASSERT_TRUE(start());
    EXPECT_EQ(settings.commMode, QStringLiteral("485"));
    EXPECT_TRUE(channels.serial().isOpen());
    EXPECT_EQ(channels.lastBaudRate(), 9600);
    EXPECT_EQ(searches, 1);
    EXPECT_FALSE(channels.server().isListening());
    // The identity query is not sent on an RS-485 line.
    spin(50);
    EXPECT_TRUE(pty.drainMaster().isEmpty());
    // The server port is kept for a later switch; the baud rate stays empty.
    EXPECT_TRUE(settings.commParam02.isEmpty());
    EXPECT_GE(settings.serverPort, kDefaultServerPort);
}

TEST_F(StartupFixture, ASerialPortWithAnOldLanguageTextOpensAsSerialAndAsksTheCard)
{
    PtyPair pty;
    ASSERT_TRUE(pty.isOpen());
    settings.commMode = QStringLiteral("串口");
    settings.commParam01 = pty.slavePath();
    settings.commParam02 = QStringLiteral(" 38400 ");
    ASSERT_TRUE(start());
    EXPECT_EQ(settings.commMode, QStringLiteral("Serial Port"));
    EXPECT_EQ(channels.lastBaudRate(), 38400);
    EXPECT_EQ(pty.readMaster(19), hex("FE 5C 4B 89 13 00 00 00 71 01 02 03 04 00 00 00 00 FF FF"));
    EXPECT_EQ(searches, 0);
}

TEST_F(StartupFixture, TheParameterWindowSwitchesBetweenModes)
{
    PtyPair pty;
    ASSERT_TRUE(pty.isOpen());
    const quint16 port = freePortPair();
    ASSERT_NE(port, 0);

    ASSERT_TRUE(switchChannelMode(channels, settings, CommModeKind::Network, QString(), QString::number(port),
                                  texts, QHostAddress::LocalHost));
    EXPECT_EQ(settings.commMode, QStringLiteral("Network"));
    EXPECT_TRUE(settings.commParam01.isEmpty());
    EXPECT_EQ(settings.commParam02, QString::number(port));

    ASSERT_TRUE(switchChannelMode(channels, settings, CommModeKind::Rs485, pty.slavePath(), QStringLiteral("abc"),
                                  texts));
    EXPECT_FALSE(channels.server().isListening());
    EXPECT_EQ(channels.receiveChannel(), ReceiveChannel::Serial);
    EXPECT_EQ(settings.commMode, QStringLiteral("485"));
    EXPECT_EQ(settings.commParam01, pty.slavePath());
    EXPECT_EQ(settings.commParam02, QStringLiteral("9600"));
    spin(50);
    EXPECT_TRUE(pty.drainMaster().isEmpty());

    ASSERT_TRUE(switchChannelMode(channels, settings, CommModeKind::Serial, pty.slavePath(),
                                  QStringLiteral("115200"), texts));
    EXPECT_EQ(settings.commMode, QStringLiteral("Serial Port"));
    EXPECT_EQ(pty.readMaster(19).size(), 19);
    EXPECT_EQ(searches, 0);
}

TEST(BaudRate, FallsBackTo9600)
{
    EXPECT_EQ(baudRateFromText(QStringLiteral(" 115200 ")), 115200);
    EXPECT_EQ(baudRateFromText(QString()), 9600);
    EXPECT_EQ(baudRateFromText(QStringLiteral("96OO")), 9600);
    EXPECT_EQ(baudRateFromText(QStringLiteral("-5")), 9600);
}

TEST(CardLinkMode, FollowsTheChannelChosen)
{
    setCurrentLanguage(kEnglish);
    PtyPair pty;
    ASSERT_TRUE(pty.isOpen());
    ProjectModel model;
    CardLink link(model);
    AppSettings settings;
    const CommModeTexts texts = currentCommModeTexts();
    ASSERT_TRUE(link.switchMode(settings, CommModeKind::Rs485, pty.slavePath(), QStringLiteral("9600"), texts));
    EXPECT_TRUE(link.scheduler().state().rs485Mode);
    EXPECT_FALSE(link.scheduler().state().networkMode);
    // The presence supervision stops with the serial port open.
    EXPECT_FALSE(link.scheduler().presenceActive());
    const quint16 port = freePortPair();
    ASSERT_NE(port, 0);
    ASSERT_TRUE(link.switchMode(settings, CommModeKind::Network, QString(), QString::number(port), texts,
                                QHostAddress::LocalHost));
    EXPECT_FALSE(link.scheduler().state().rs485Mode);
    EXPECT_TRUE(link.scheduler().state().networkMode);
    EXPECT_TRUE(link.scheduler().presenceActive());
    link.channels().closeServer();
}
