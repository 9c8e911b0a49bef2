// Search replies, detail replies and start-up re-pointing, on loopback.
#include "support/testsupport.h"
#include "transport/addressprobe.h"
#include "udprig.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

using namespace ledsign;
using namespace ledsign::datagram;
using ledsign::test::hex;
using ledsign::test::spin;
using ledsign::test::UdpRig;
using ledsign::test::waitFor;

namespace {

const Mac kMac{0x00, 0x11, 0x22, 0x33, 0x44, 0x55};

QByteArray searchReply(const Ipv4& ip, int size, quint8 version)
{
    QByteArray b(size, '\0');
    b[0] = char(0xA1);
    b[1] = 0x01;
    for (int i = 0; i < 4; ++i)
        b[8 + i] = char(ip[std::size_t(i)]);
    for (int i = 0; i < 6; ++i)
        b[16 + i] = char(kMac[std::size_t(i)]);
    if (size > 34)
        b[34] = char(version);
    return b;
}

QByteArray item(quint8 type, const QByteArray& data)
{
    return QByteArray(1, char(0xA1)) + char(type) + char(quint8(data.size())) + data + char(0xFF);
}

QByteArray block(quint8 flag = 0)
{
    QByteArray b = hex("11 01 0140 0040 02 00 03 00 05 00 33 00 00 12 1E");
    b[11] = char(flag);
    return b;
}

QByteArray detailReply(const Ipv4& ip, quint8 flag = 0, const QByteArray& name = QByteArray("DOOR\0\0\0\0\0\0", 10))
{
    QByteArray b = item(kItemName, name) + item(kItemMac, hex("001122334455"))
        + item(kItemIp, QByteArray(reinterpret_cast<const char*>(ip.data()), 4)) + item(kItemMask, hex("FFFFFF00"))
        + item(kItemServerPort, hex("22C4")) + item(kItemBlock, block(flag))
        + item(kItemInternalCode, hex("0102030405060708"));
    b.append(QByteArray(200 - b.size(), '\0'));
    return b;
}

} // namespace

TEST(UdpConfig, SearchReplyAnsweredByVersion)
{
    UdpRig rig;
    int replies = 0;
    QObject::connect(&rig.udp, &UdpConfig::searchReplyReceived, [&] { ++replies; });

    rig.fromCard(searchReply({127, 0, 0, 1}, 40, 53));
    ASSERT_TRUE(rig.waitForCard(1));
    EXPECT_EQ(rig.toCard.takeFirst(), hex("A1 14 02 00 00 FF")); // to the card's own address
    EXPECT_EQ(rig.udp.searchKind(), kSearchNetworkAnswered);

    rig.fromCard(searchReply({127, 0, 0, 99}, 40, 54));
    ASSERT_TRUE(rig.waitForCard(1));
    EXPECT_EQ(rig.toCard.takeFirst(), hex("A1 44 06 00 11 22 33 44 55 FF")); // to every card

    // 34 bytes: no version byte, so the request goes to the card's address.
    rig.fromCard(searchReply({127, 0, 0, 1}, 34, 0));
    ASSERT_TRUE(rig.waitForCard(1));
    EXPECT_EQ(rig.toCard.takeFirst(), hex("A1 14 02 00 00 FF"));
    EXPECT_EQ(replies, 3);
}

TEST(UdpConfig, SearchReplyInSerialModeOpensTheServer)
{
    UdpRig rig;
    rig.settings.commMode = currentCommModeTexts().serial;
    rig.settings.commParam01 = QStringLiteral("ttyS9");
    rig.settings.commParam02 = QStringLiteral("9600");
    rig.fromCard(searchReply({127, 0, 0, 1}, 40, 60));
    ASSERT_TRUE(rig.waitForCard(1));
    EXPECT_TRUE(rig.channels.server().isListening());
    EXPECT_EQ(rig.settings.commMode, currentCommModeTexts().network);
    EXPECT_TRUE(rig.settings.commParam01.isEmpty());
    EXPECT_EQ(rig.settings.commParam02, QString::number(rig.settings.serverPort));
}

TEST(UdpConfig, DetailReplyConfiguresACardOncePerSearch)
{
    UdpRig rig;
    rig.udp.prepareSearch({255, 255, 255, 0});
    QList<UdpRegistration> registered;
    QObject::connect(&rig.udp, &UdpConfig::cardConfigured, [&](const UdpRegistration& r) { registered << r; });

    rig.fromCard(searchReply({127, 0, 0, 20}, 40, 57));
    ASSERT_TRUE(rig.waitForCard(1));
    rig.toCard.clear();

    rig.fromCard(detailReply({127, 0, 0, 20}));
    ASSERT_TRUE(rig.waitForCard(1));
    const QByteArray setting = rig.toCard.takeFirst();
    const quint16 port = rig.channels.serverPort();
    EXPECT_EQ(setting, hex("A1 60 14 001122334455 7F000014 FFFFFF00 7F00000A") + char(port >> 8) + char(port & 0xFF)
                           + char(0xFF));
    ASSERT_EQ(registered.size(), 1);
    EXPECT_EQ(registered[0].name, QStringLiteral("DOOR"));
    EXPECT_EQ(registered[0].width, 320);
    EXPECT_EQ(registered[0].height, 64);
    EXPECT_EQ(registered[0].colorIndex, 1);
    EXPECT_EQ(registered[0].version, 57);
    EXPECT_EQ(ipText(registered[0].cardIp), QStringLiteral("127.0.0.20"));
    EXPECT_EQ(rig.arpCleared, QStringList{QStringLiteral("127.0.0.20")});
    ASSERT_EQ(rig.udp.searchList().size(), 1);
    EXPECT_TRUE(rig.udp.searchList().at(0).configured);

    // The same card again: no second setting, no second registration.
    rig.fromCard(detailReply({127, 0, 0, 20}));
    spin(300);
    EXPECT_TRUE(rig.toCard.isEmpty());
    EXPECT_EQ(registered.size(), 1);
}

TEST(UdpConfig, ForeignCardGetsTheFirstFreeTemporaryAddress)
{
    UdpRig rig;
    rig.udp.prepareSearch({255, 255, 255, 0});
    rig.answering = {QStringLiteral("127.0.0.9")};
    rig.fromCard(detailReply({192, 168, 1, 20}));
    ASSERT_TRUE(rig.waitForCard(1));
    EXPECT_EQ(rig.toCard.first().mid(9, 4), hex("7F000008"));
    EXPECT_EQ(ipText(rig.udp.searchList().at(0).cardIp), QStringLiteral("127.0.0.8"));
    EXPECT_FALSE(rig.udp.hostPool().contains(8));
}

TEST(UdpConfig, ParameterWindowTakesDetailRepliesAndNothingIsSent)
{
    UdpRig rig;
    rig.udp.setParamWindowShowing(true);
    QList<DetailReply> handed;
    int registered = 0;
    QObject::connect(&rig.udp, &UdpConfig::detailReplyForWindow, [&](const DetailReply& r) { handed << r; });
    QObject::connect(&rig.udp, &UdpConfig::cardConfigured, [&] { ++registered; });
    rig.fromCard(detailReply({127, 0, 0, 20}, 0x22));
    ASSERT_TRUE(waitFor([&] { return !handed.isEmpty(); }));
    EXPECT_EQ(handed[0].block, block(0x22));
    spin(200);
    EXPECT_TRUE(rig.toCard.isEmpty());
    EXPECT_EQ(registered, 0);
    EXPECT_TRUE(rig.udp.searchList().isEmpty());
}

TEST(UdpConfig, InterfaceFlagIsWrittenBackAndTheCardTakenAsNew)
{
    UdpRig rig;
    rig.udp.prepareSearch({255, 255, 255, 0});
    rig.fromCard(detailReply({127, 0, 0, 20}));
    ASSERT_TRUE(rig.waitForCard(1));
    rig.toCard.clear();

    rig.fromCard(detailReply({127, 0, 0, 20}, 0x22));
    ASSERT_TRUE(rig.waitForCard(1));
    const QByteArray write = rig.toCard.takeFirst();
    ASSERT_EQ(write.size(), 31);
    EXPECT_EQ(write.left(10), hex("A1 30 06 001122334455 FF"));
    QByteArray expected = block(0);
    expected[10] = 0;
    expected[16] = 0;
    EXPECT_EQ(write.mid(13, 17), expected);
    EXPECT_EQ(rig.udp.searchList().at(0).mac, Mac{});
    EXPECT_FALSE(rig.udp.searchList().at(0).configured);

    // Its next reply is a new card: configured again.
    rig.fromCard(detailReply({127, 0, 0, 20}));
    ASSERT_TRUE(rig.waitForCard(1));
    EXPECT_EQ(quint8(rig.toCard.first().at(1)), kTypeNetworkSetting);
}

TEST(UdpConfig, NoUsableServerAddressSendsNothing)
{
    UdpRig rig;
    rig.settings.serverIP = QStringLiteral("127.0.0.1");
    int registered = 0;
    QObject::connect(&rig.udp, &UdpConfig::cardConfigured, [&] { ++registered; });
    rig.fromCard(detailReply({127, 0, 0, 20}));
    spin(300);
    EXPECT_TRUE(rig.toCard.isEmpty());
    EXPECT_EQ(registered, 0);
}

TEST(UdpConfig, MalformedDatagramsAreIgnored)
{
    UdpRig rig;
    int configured = 0;
    int answered = 0;
    QObject::connect(&rig.udp, &UdpConfig::cardConfigured, [&] { ++configured; });
    QObject::connect(&rig.udp, &UdpConfig::searchReplyReceived, [&] { ++answered; });
    const QList<QByteArray> junk{
        QByteArray(), hex("A1"), hex("A1 01 00"), hex("A2 01") + QByteArray(40, '\0'),
        hex("A1 02") + QByteArray(40, '\0'), QByteArray(170, '\xA1'), QByteArray(64 * 1024, '\xFF'),
        // A detail reply whose MAC item runs past the end.
        QByteArray(190, '\0') + hex("A1 04 06 00 11 22"),
    };
    for (const QByteArray& d : junk)
        rig.udp.handleDatagram(d, QHostAddress(test::kServerIp));
    spin(100);
    EXPECT_EQ(configured, 0);
    EXPECT_EQ(answered, 0);
    EXPECT_TRUE(rig.toCard.isEmpty());
    EXPECT_TRUE(rig.udp.searchList().isEmpty());
}

TEST(UdpConfig, KnownCardsArePointedAtTheServerAtStartup)
{
    UdpRig rig;
    TFIXModem card;
    card.version = 54;
    card.ipAddress = QStringLiteral("127.0.0.30");
    card.macAddress = QStringLiteral("0:17:34:51:68:85");
    EXPECT_TRUE(rig.udp.repointKnownCard(card, {255, 255, 255, 0}));
    ASSERT_TRUE(rig.waitForCard(1));
    EXPECT_EQ(rig.toCard.takeFirst().mid(3, 10), hex("001122334455 7F00001E"));
    // Already listed: nothing more.
    EXPECT_FALSE(rig.udp.repointKnownCard(card, {255, 255, 255, 0}));

    QStringList status;
    QObject::connect(&rig.udp, &UdpConfig::searchStatus, [&](const QString& s) { status << s; });
    TFIXModem elsewhere = card;
    elsewhere.macAddress = QStringLiteral("1:2:3:4:5:6");
    elsewhere.ipAddress = QStringLiteral("10.0.0.5");
    EXPECT_FALSE(rig.udp.repointKnownCard(elsewhere, {255, 255, 255, 0}));
    EXPECT_EQ(status, QStringList{GetLgText(3, QStringLiteral("warn_comm_IP_exception"))});
    EXPECT_EQ(rig.udp.searchList().size(), 1);
    // A card made in the window (stored with the address once given to such
    // cards) never reported: it is told nothing and nothing is said.
    TFIXModem made = card;
    made.macAddress = QStringLiteral("0:0:0:0:0:0");
    made.ipAddress = QStringLiteral("192.168.0.110");
    EXPECT_FALSE(rig.udp.repointKnownCard(made, {255, 255, 255, 0}));
    EXPECT_EQ(status.size(), 1);

    TFIXModem old = card;
    old.macAddress = QStringLiteral("9:9:9:9:9:9");
    old.version = 53;
    EXPECT_FALSE(rig.udp.repointKnownCard(old, {255, 255, 255, 0}));
    spin(100);
    EXPECT_TRUE(rig.toCard.isEmpty());
}

TEST(UdpConfig, ReleaseNoticesTwoRounds)
{
    UdpRig rig;
    rig.udp.searchList().add(kMac, {127, 0, 0, 5});
    rig.udp.searchList().add(Mac{1, 2, 3, 4, 5, 6}, {127, 0, 0, 6});
    rig.udp.releaseAll(1);
    ASSERT_TRUE(rig.waitForCard(4));
    EXPECT_EQ(rig.toCard[0], hex("A1 61 07 001122334455 00 FF"));
    EXPECT_EQ(rig.toCard[2], rig.toCard[0]);
    EXPECT_EQ(rig.toCard[1], hex("A1 61 07 010203040506 00 FF"));
}

TEST(AddressProbe, LoopbackAnswersInTimeAndNonsenseNever)
{
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(addressAnswers(QStringLiteral("127.0.0.1")));
    EXPECT_FALSE(addressAnswers(QStringLiteral("0.0.0.0")));
    EXPECT_FALSE(addressAnswers(QStringLiteral("not an address")));
    EXPECT_FALSE(addressAnswers(QString()));
    EXPECT_LT(clock.elapsed(), 3 * kAddressProbeTimeoutMs + 200);
    EXPECT_TRUE(tcpConnectAnswers(QStringLiteral("127.0.0.1"), 300, 1)); // refused counts as an answer
}

TEST(UdpConfig, ConfiguredCardIsRegisteredInTheCardList)
{
    UdpRig rig;
    rig.udp.prepareSearch({255, 255, 255, 0});
    connectUdpRegistration(rig.udp, rig.link.registrations());
    rig.fromCard(detailReply({127, 0, 0, 20}));
    ASSERT_TRUE(waitFor([&] { return rig.cards.size() == 1; }));
    const TFIXModem& card = rig.cards.first();
    EXPECT_EQ(card.internalCode, QStringLiteral("1_2_3_4_5_6_7_8"));
    EXPECT_EQ(card.ipAddress, QStringLiteral("127.0.0.20"));
    EXPECT_EQ(card.macAddress, QStringLiteral("0:17:34:51:68:85"));
    EXPECT_EQ(card.linkKind, 2);
    EXPECT_EQ(card.width, 320);
    EXPECT_EQ(card.height, 64);
    EXPECT_EQ(card.colorType, kColorDual);
}
