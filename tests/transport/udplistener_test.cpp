// The UDP listener on loopback: datagrams with their origin and binding,
// rebinding, and sending from the binding.
#include "transport/udplistener.h"
#include "transport/waitfor.h"

#include <QNetworkDatagram>
#include <QUdpSocket>
#include <gtest/gtest.h>

using namespace ledsign;
using ledsign::test::spin;
using ledsign::test::waitFor;

namespace {
struct Received {
    QByteArray data;
    QHostAddress sender;
    quint16 senderPort = 0;
    QHostAddress local;
};
} // namespace

TEST(UdpListener, DeliversEveryDatagramWithItsSenderAndBinding)
{
    UdpListener listener;
    QList<Received> got;
    QObject::connect(&listener, &UdpListener::datagramReceived,
                     [&](const QByteArray& d, const QHostAddress& s, quint16 p, const QHostAddress& l) {
                         got.append({d, s, p, l});
                     });
    ASSERT_TRUE(listener.bind(QHostAddress::LocalHost, 0));
    ASSERT_TRUE(listener.isBound());

    QUdpSocket card;
    ASSERT_TRUE(card.bind(QHostAddress::LocalHost, 0));
    const QByteArray first("\xA1\x01\x02\x00\x00\xFF", 6);
    const QByteArray second(200, '\x22');
    card.writeDatagram(first, QHostAddress::LocalHost, listener.localPort());
    card.writeDatagram(second, QHostAddress::LocalHost, listener.localPort());
    ASSERT_TRUE(waitFor([&] { return got.size() == 2; }));
    EXPECT_EQ(got[0].data, first);
    EXPECT_EQ(got[1].data, second);
    EXPECT_EQ(got[0].senderPort, card.localPort());
    EXPECT_EQ(got[0].sender, QHostAddress(QHostAddress::LocalHost));
    EXPECT_EQ(got[0].local, QHostAddress(QHostAddress::LocalHost));

    // Answering from the binding reaches the card.
    ASSERT_EQ(listener.send("reply", QHostAddress::LocalHost, card.localPort()), 5);
    ASSERT_TRUE(waitFor([&] { return card.hasPendingDatagrams(); }));
    const QNetworkDatagram answer = card.receiveDatagram();
    EXPECT_EQ(answer.data(), QByteArray("reply"));
    EXPECT_EQ(answer.senderPort(), listener.localPort());
}

TEST(UdpListener, RebindingDropsTheOldBinding)
{
    UdpListener listener;
    int count = 0;
    QObject::connect(&listener, &UdpListener::datagramReceived, [&] { ++count; });
    ASSERT_TRUE(listener.bind(QHostAddress::LocalHost, 0));
    const quint16 oldPort = listener.localPort();
    ASSERT_TRUE(listener.bind(QHostAddress(QStringLiteral("127.0.0.2")), 0));
    EXPECT_EQ(listener.localAddress(), QHostAddress(QStringLiteral("127.0.0.2")));

    QUdpSocket card;
    card.writeDatagram("old", QHostAddress::LocalHost, oldPort);
    card.writeDatagram("new", QHostAddress(QStringLiteral("127.0.0.2")), listener.localPort());
    ASSERT_TRUE(waitFor([&] { return count >= 1; }));
    spin(100);
    EXPECT_EQ(count, 1);

    listener.unbind();
    EXPECT_FALSE(listener.isBound());
    EXPECT_EQ(listener.send("x", QHostAddress::LocalHost, oldPort), -1);
}
