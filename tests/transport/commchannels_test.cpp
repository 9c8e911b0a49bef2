// The channels together: status texts, the identity query on connect and
// after a serial open, the current receive channel, sending by link kind and
// cards going off-line with their connection.
#include "language/language.h"
#include "protocol/frame.h"
#include "support/testsupport.h"
#include "transport/channeltexts.h"
#include "transport/commchannels.h"
#include "support/ptypair.h"
#include "transport/waitfor.h"

#include <QTcpSocket>
#include <QUdpSocket>
#include <gtest/gtest.h>

#include <memory>

using namespace ledsign;
using ledsign::test::hex;
using ledsign::test::PtyPair;
using ledsign::test::spin;
using ledsign::test::waitFor;

namespace {

const QByteArray kIdentityQuery = hex("FE 5C 4B 89 13 00 00 00 71 01 02 03 04 00 00 00 00 FF FF");

struct ChannelFixture : ::testing::Test {
    QList<TFIXModem> cards;
    CommChannels channels {cards};
    QStringList statusTexts;
    QList<QByteArray> serialBlocks;
    QList<QPair<QTcpSocket*, QByteArray>> tcpReads;
    QList<QByteArray> datagrams;
    QList<bool> presence;
    int searches = 0;

    void SetUp() override
    {
        setCurrentLanguage(kEnglish);
        QObject::connect(&channels, &CommChannels::channelStatusChanged,
                         [this](const QString& t) { statusTexts.append(t); });
        QObject::connect(&channels, &CommChannels::serialBlockReceived,
                         [this](const QByteArray& b) { serialBlocks.append(b); });
        QObject::connect(&channels, &CommChannels::tcpBytesReceived,
                         [this](QTcpSocket* c, const QByteArray& b) { tcpReads.append({c, b}); });
        QObject::connect(&channels, &CommChannels::datagramReceived,
                         [this](const QByteArray& d) { datagrams.append(d); });
        QObject::connect(&channels, &CommChannels::presenceTimerWanted, [this](bool on) { presence.append(on); });
        QObject::connect(&channels, &CommChannels::cardSearchRequested, [this] { ++searches; });
    }

    quint16 openLoopbackServer()
    {
        EXPECT_TRUE(channels.openServer(0, QHostAddress::LocalHost));
        return channels.serverPort();
    }

    // A card connects; returns the client and the server's side of it.
    std::pair<std::unique_ptr<QTcpSocket>, QTcpSocket*> connectCard(quint16 port)
    {
        const qsizetype before = channels.connections().size();
        auto client = std::make_unique<QTcpSocket>();
        client->connectToHost(QHostAddress::LocalHost, port);
        EXPECT_TRUE(waitFor([&] { return channels.connections().size() == before + 1; }));
        return {std::move(client), channels.connections().isEmpty() ? nullptr : channels.connections().last()};
    }

    TFIXModem& addNetworkCard(const QString& name, QTcpSocket* connection)
    {
        TFIXModem card;
        card.name = name;
        card.linkKind = 2;
        card.online = 1;
        card.socket = connection;
        cards.append(card);
        return cards.last();
    }
};

QByteArray readFromServer(QTcpSocket& client, qsizetype count)
{
    QByteArray got;
    waitFor([&] {
        got += client.readAll();
        return got.size() >= count;
    });
    return got;
}

} // namespace

TEST(ChannelTexts, AreBuiltFromTheLanguageTable)
{
    setCurrentLanguage(kEnglish);
    EXPECT_EQ(channeltext::serialOpenFailed(QStringLiteral("COM3")), QStringLiteral("Serial Port[COM3]  open failed!"));
    EXPECT_EQ(channeltext::serialOpened(QStringLiteral("COM3"), 19200),
              QStringLiteral("Serial Port[COM3]  baud rate[19200]"));
    EXPECT_EQ(channeltext::serverOpened(8901), QStringLiteral("Network Port[8901]"));
    EXPECT_EQ(channeltext::serverOpenFailed(), QStringLiteral("Failed to open server-side service!"));
    EXPECT_EQ(channeltext::serialClosed(), QStringLiteral("Serial Port已关闭"));

    setCurrentLanguage(kSimplifiedChinese);
    EXPECT_EQ(channeltext::serialClosed(), QStringLiteral("串口已关闭"));
    EXPECT_EQ(channeltext::serialCloseFailed(), QStringLiteral("串口失败"));
    EXPECT_EQ(channeltext::serialOpened(QStringLiteral("ttyUSB0"), 9600), QStringLiteral("串口[ttyUSB0]  波特率[9600]"));
    EXPECT_EQ(channeltext::serverOpened(8900), QStringLiteral("网络 端口[8900]"));
    setCurrentLanguage(kEnglish);
}

TEST_F(ChannelFixture, OpeningTheServerShowsThePortAndAsksEveryCardToReport)
{
    const quint16 port = openLoopbackServer();
    EXPECT_EQ(channels.receiveChannel(), ReceiveChannel::Network);
    EXPECT_EQ(channels.channelStatusText(), QStringLiteral("Network Port[%1]").arg(port));
    EXPECT_TRUE(channels.groupSendBoxVisible());
    EXPECT_FALSE(channels.serialButtonVisible());
    EXPECT_EQ(presence, QList<bool>{true});

    auto [client, accepted] = connectCard(port);
    EXPECT_EQ(readFromServer(*client, 19), kIdentityQuery);

    // Data is handed on one turn later, with the connection it came on.
    client->write("\xFE\x5C\x4B\x89 frame");
    ASSERT_TRUE(waitFor([&] { return !tcpReads.isEmpty(); }));
    EXPECT_EQ(tcpReads[0].first, accepted);
    EXPECT_EQ(tcpReads[0].second, QByteArray("\xFE\x5C\x4B\x89 frame"));

    // A second open while listening changes nothing.
    statusTexts.clear();
    EXPECT_TRUE(channels.openServer(port == 65535 ? 1 : port + 1, QHostAddress::LocalHost));
    EXPECT_EQ(channels.serverPort(), port);
    EXPECT_TRUE(statusTexts.isEmpty());
}

TEST_F(ChannelFixture, AServerPortInUseShowsTheFailureAndStillMakesTheNetworkCurrent)
{
    CardServer other;
    ASSERT_TRUE(other.open(0, QHostAddress::LocalHost));
    EXPECT_FALSE(channels.openServer(other.port(), QHostAddress::LocalHost));
    EXPECT_EQ(channels.channelStatusText(), QStringLiteral("Failed to open server-side service!"));
    EXPECT_EQ(channels.receiveChannel(), ReceiveChannel::Network);
    EXPECT_TRUE(presence.isEmpty());
}

TEST_F(ChannelFixture, SerialOpenAsksTheCardToReportAndDeliversBlocksLater)
{
    PtyPair pty;
    ASSERT_TRUE(pty.isOpen());
    ASSERT_TRUE(channels.openSerialPort(kAfterOpenIdentityQuery, QStringLiteral("  ") + pty.slavePath(), 57600));
    EXPECT_EQ(channels.receiveChannel(), ReceiveChannel::Serial);
    EXPECT_EQ(channels.channelStatusText(), QStringLiteral("Serial Port[%1]  baud rate[57600]").arg(pty.slavePath()));
    EXPECT_EQ(channels.serialButtonCaption(), channeltext::kCloseSerialCaption);
    EXPECT_TRUE(channels.serialButtonVisible());
    EXPECT_FALSE(channels.groupSendBoxVisible());
    EXPECT_EQ(presence, QList<bool>{false});
    EXPECT_EQ(searches, 0);
    EXPECT_EQ(pty.readMaster(19), kIdentityQuery);

    ASSERT_TRUE(pty.writeMaster(hex("FE 5C 4B 89 13 00 00 00 81")));
    ASSERT_TRUE(waitFor([&] { return serialBlocks.size() == 1; }));
    EXPECT_EQ(serialBlocks[0], hex("FE 5C 4B 89 13 00 00 00 81"));
}

TEST_F(ChannelFixture, AfterOpenActionsOtherThanTheQuerySendNothing)
{
    PtyPair pty;
    ASSERT_TRUE(pty.isOpen());
    ASSERT_TRUE(channels.openSerialPort(kAfterOpenCardSearch, pty.slavePath(), 9600));
    EXPECT_EQ(searches, 1);
    ASSERT_TRUE(channels.openSerialPort(kAfterOpenNothing, pty.slavePath(), 9600));
    ASSERT_TRUE(channels.openSerialPort(kAfterOpenFromButton, pty.slavePath(), 9600));
    EXPECT_EQ(searches, 1);
    spin(50);
    EXPECT_TRUE(pty.drainMaster().isEmpty());
}

TEST_F(ChannelFixture, TheSerialButtonClosesAndReopensTheLastPort)
{
    PtyPair pty;
    ASSERT_TRUE(pty.isOpen());
    ASSERT_TRUE(channels.openSerialPort(kAfterOpenIdentityQuery, pty.slavePath(), 19200));
    pty.readMaster(19);

    channels.toggleSerialPort();
    EXPECT_FALSE(channels.serial().isOpen());
    EXPECT_EQ(channels.serialButtonCaption(), channeltext::kOpenSerialCaption);
    EXPECT_EQ(channels.channelStatusText(), QStringLiteral("Serial Port已关闭"));

    channels.toggleSerialPort();
    EXPECT_TRUE(channels.serial().isOpen());
    EXPECT_EQ(channels.lastBaudRate(), 19200);
    EXPECT_EQ(channels.serialButtonCaption(), channeltext::kCloseSerialCaption);
    // The button's open does not ask the card to report.
    spin(50);
    EXPECT_TRUE(pty.drainMaster().isEmpty());
}

TEST_F(ChannelFixture, AFailedSerialOpenKeepsTheCaptionAndMakesTheSerialPortCurrent)
{
    const QString missing = QStringLiteral("/dev/ledsign-missing");
    EXPECT_FALSE(channels.openSerialPort(kAfterOpenIdentityQuery, missing, 9600));
    EXPECT_EQ(channels.channelStatusText(), QStringLiteral("Serial Port[%1]  open failed!").arg(missing));
    EXPECT_EQ(channels.receiveChannel(), ReceiveChannel::Serial);
    EXPECT_EQ(channels.serialButtonCaption(), channeltext::kOpenSerialCaption);
    EXPECT_EQ(channels.lastSerialPort(), missing);
    EXPECT_TRUE(presence.isEmpty());
}

TEST_F(ChannelFixture, WhileTheSerialPortIsCurrentTcpDataAndDatagramsAreIgnored)
{
    const quint16 port = openLoopbackServer();
    ASSERT_TRUE(channels.bindUdpListener(QHostAddress::LocalHost, 0));
    channels.setReceiveChannel(ReceiveChannel::Serial);

    // The card still gets the identity query.
    auto [client, accepted] = connectCard(port);
    EXPECT_EQ(readFromServer(*client, 19), kIdentityQuery);
    client->write("ignored");
    QUdpSocket card;
    card.writeDatagram("ignored", QHostAddress::LocalHost, channels.udp().localPort());
    spin(150);
    EXPECT_TRUE(tcpReads.isEmpty());
    EXPECT_TRUE(datagrams.isEmpty());
    // Nothing piles up in the connection either.
    EXPECT_EQ(accepted->bytesAvailable(), 0);

    channels.setReceiveChannel(ReceiveChannel::None);
    client->write("taken");
    card.writeDatagram("taken", QHostAddress::LocalHost, channels.udp().localPort());
    ASSERT_TRUE(waitFor([&] { return tcpReads.size() == 1 && datagrams.size() == 1; }));
    EXPECT_EQ(tcpReads[0].second, QByteArray("taken"));
    EXPECT_EQ(datagrams[0], QByteArray("taken"));
}

TEST_F(ChannelFixture, SendingGoesByLinkKind)
{
    const quint16 port = openLoopbackServer();
    auto [client, accepted] = connectCard(port);
    readFromServer(*client, 19);
    PtyPair pty;
    ASSERT_TRUE(pty.isOpen());
    ASSERT_TRUE(channels.openSerialPort(kAfterOpenNothing, pty.slavePath(), 9600));

    TFIXModem& network = addNetworkCard(QStringLiteral("net"), accepted);
    EXPECT_EQ(channels.sendBytesToCard(network, "to-net"), 6);
    EXPECT_EQ(readFromServer(*client, 6), QByteArray("to-net"));

    TFIXModem serial;
    serial.linkKind = 0;
    EXPECT_EQ(channels.sendBytesToCard(serial, "plain"), 5);
    serial.linkKind = 1;
    EXPECT_EQ(channels.sendBytesToCard(serial, "on485"), 5);
    EXPECT_EQ(pty.readMaster(10), QByteArray("plainon485"));
    spin(20);
    EXPECT_TRUE(client->readAll().isEmpty());

    // The identity query for a card leaving the list follows its link too,
    // except on an RS-485 line.
    EXPECT_FALSE(channels.sendIdentityQueryToCard(serial));
    serial.linkKind = 0;
    EXPECT_TRUE(channels.sendIdentityQueryToCard(serial));
    EXPECT_EQ(pty.readMaster(19), kIdentityQuery);
    EXPECT_TRUE(channels.sendIdentityQueryToCard(network));
    EXPECT_EQ(readFromServer(*client, 19), kIdentityQuery);
    serial.linkKind = 1;

    // A card reached over the network without a connection gets nothing,
    // and an empty block is not sent on the serial port.
    TFIXModem unconnected;
    unconnected.linkKind = 2;
    EXPECT_EQ(channels.sendBytesToCard(unconnected, "x"), -1);
    EXPECT_EQ(channels.sendBytesToCard(serial, QByteArray()), -1);
    channels.closeSerialPort();
    EXPECT_EQ(channels.sendBytesToCard(serial, "x"), -1);
}

TEST_F(ChannelFixture, ASendOnABrokenConnectionDropsItAndMarksTheCardOffline)
{
    const quint16 port = openLoopbackServer();
    auto [client, accepted] = connectCard(port);
    addNetworkCard(QStringLiteral("card"), accepted);
    accepted->abort(); // the connection broke under the program
    EXPECT_EQ(channels.sendBytesToCard(cards[0], "x"), -1);
    EXPECT_EQ(cards[0].online, 0);
    EXPECT_TRUE(cards[0].socket.isNull());
    EXPECT_TRUE(waitFor([&] { return channels.connections().isEmpty(); }));
}

TEST_F(ChannelFixture, ClosingTheConnectionOfAnOnlineCardMarksItOffline)
{
    const quint16 port = openLoopbackServer();
    auto [client1, accepted1] = connectCard(port);
    auto [client2, accepted2] = connectCard(port);
    addNetworkCard(QStringLiteral("other"), accepted2);
    // Two records of one internal code registered on the same connection.
    addNetworkCard(QStringLiteral("first"), accepted1);
    addNetworkCard(QStringLiteral("twin"), accepted1);
    QList<int> offline;
    QObject::connect(&channels, &CommChannels::cardOffline, [&](int i) { offline.append(i); });

    client1->disconnectFromHost();
    ASSERT_TRUE(waitFor([&] { return channels.connections().size() == 1; }));
    EXPECT_EQ(offline, (QList<int>{1, 2}));
    for (int i : {1, 2}) {
        EXPECT_EQ(cards[i].online, 0);
        EXPECT_TRUE(cards[i].socket.isNull());
    }
    EXPECT_EQ(cards[0].online, 1);
    EXPECT_EQ(cards[0].socket.data(), accepted2);

    // Dropping from the program's side closes the connection as well.
    channels.dropConnection(cards[0]);
    EXPECT_EQ(cards[0].online, 0);
    ASSERT_TRUE(waitFor([&] { return channels.connections().isEmpty(); }));
    EXPECT_TRUE(waitFor([&] { return client2->state() == QAbstractSocket::UnconnectedState; }));
}
