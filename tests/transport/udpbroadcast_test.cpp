// The UDP listener bound to an adapter's address still hears cards that can
// only answer by broadcast, and only those on that adapter.
#include "transport/udplistener.h"
#include "transport/waitfor.h"

#include <QNetworkInterface>
#include <QUdpSocket>
#include <gtest/gtest.h>

using namespace ledsign;
using ledsign::test::spin;
using ledsign::test::waitFor;

namespace {

// An IPv4 adapter of this PC that has a broadcast address, if any.
bool broadcastAdapter(QNetworkAddressEntry& entry, int& index)
{
    for (const QNetworkInterface& nic : QNetworkInterface::allInterfaces()) {
        if (!(nic.flags() & QNetworkInterface::IsUp) || (nic.flags() & QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry& e : nic.addressEntries()) {
            if (e.ip().protocol() == QAbstractSocket::IPv4Protocol && !e.broadcast().isNull()) {
                entry = e;
                index = nic.index();
                return true;
            }
        }
    }
    return false;
}

} // namespace

TEST(UdpListenerBroadcast, BroadcastsOnTheServerAdapterArriveOnceUnicastsElsewhereDoNot)
{
    QNetworkAddressEntry adapter;
    int index = 0;
    if (!broadcastAdapter(adapter, index))
        GTEST_SKIP() << "no IPv4 adapter with a broadcast address";

    UdpListener listener;
    QList<QByteArray> got;
    QList<QHostAddress> locals;
    QObject::connect(&listener, &UdpListener::datagramReceived,
                     [&](const QByteArray& d, const QHostAddress&, quint16, const QHostAddress& local) {
                         got << d;
                         locals << local;
                     });
    ASSERT_TRUE(listener.bind(adapter.ip(), 0));
    EXPECT_TRUE(listener.receivesBroadcasts());
    const quint16 port = listener.localPort();

    QUdpSocket card;
    ASSERT_TRUE(card.bind(QHostAddress::AnyIPv4, 0));
    card.writeDatagram("limited", QHostAddress(QHostAddress::Broadcast), port);
    card.writeDatagram("subnet", adapter.broadcast(), port);
    card.writeDatagram("unicast", adapter.ip(), port);
    card.writeDatagram("loopback", QHostAddress::LocalHost, port); // another address of the PC
    ASSERT_TRUE(waitFor([&] { return got.size() >= 3; }));
    spin(200);
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, (QList<QByteArray>{"limited", "subnet", "unicast"}));
    EXPECT_EQ(locals, QList<QHostAddress>(3, adapter.ip()));

    // Rebinding to loopback: no broadcast socket, unicast only.
    got.clear();
    ASSERT_TRUE(listener.bind(QHostAddress::LocalHost, 0));
    card.writeDatagram("again", QHostAddress::LocalHost, listener.localPort());
    ASSERT_TRUE(waitFor([&] { return got.size() == 1; }));
    EXPECT_EQ(got[0], QByteArray("again"));
}

TEST(UdpListenerBroadcast, OnlyTheServerAdaptersBroadcastsAreAccepted)
{
    QNetworkAddressEntry adapter;
    int index = 0;
    if (!broadcastAdapter(adapter, index))
        GTEST_SKIP() << "no IPv4 adapter with a broadcast address";
    const QHostAddress limited(QHostAddress::Broadcast);
    EXPECT_TRUE(UdpListener::acceptsBroadcast(adapter.ip(), adapter.broadcast(), uint(index)));
    EXPECT_TRUE(UdpListener::acceptsBroadcast(adapter.ip(), limited, uint(index)));
    EXPECT_TRUE(UdpListener::acceptsBroadcast(adapter.ip(), limited, 0)) << "arrival adapter unknown";
    EXPECT_FALSE(UdpListener::acceptsBroadcast(adapter.ip(), limited, uint(index + 1000)));
    EXPECT_FALSE(UdpListener::acceptsBroadcast(adapter.ip(), adapter.ip(), uint(index))) << "not a broadcast";
    // A server IP that no adapter of this PC holds hears no broadcast.
    EXPECT_FALSE(UdpListener::acceptsBroadcast(QHostAddress(QStringLiteral("203.0.113.77")), limited, 0));
}
