// Free host numbers, the card address check and the temporary address pick.
#include "transport/hostpool.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace ledsign;
using datagram::Ipv4;

namespace {
QList<int> range(int from, int to) // inclusive, either direction
{
    QList<int> out;
    for (int n = from; from <= to ? n <= to : n >= to; n += from <= to ? 1 : -1)
        out.append(n);
    return out;
}
} // namespace

TEST(HostPool, FullByteMaskCountsDownThenUp)
{
    EXPECT_EQ(buildHostPool(0, 10), range(9, 2) + range(11, 254));
    // 255.255.255.0 leaves the whole last byte to the hosts as well.
    EXPECT_EQ(leadingOnes(0), 0);
    EXPECT_EQ(buildHostPool(0, 2), range(3, 254));
}

TEST(HostPool, PartialMaskStaysInsideTheSubnet)
{
    // .192: hosts 64..127, network and broadcast numbers excluded.
    EXPECT_EQ(leadingOnes(192), 2);
    EXPECT_EQ(buildHostPool(192, 70), range(69, 65) + range(71, 126));
    // .240 around 33: 32..47 -> 33 is the lowest usable, so only upwards.
    EXPECT_EQ(buildHostPool(240, 33), range(34, 46));
    EXPECT_FALSE(buildHostPool(192, 70).contains(70));
}

TEST(HostPool, AllOnesMaskLeavesNothing)
{
    EXPECT_EQ(leadingOnes(255), 8);
    EXPECT_TRUE(buildHostPool(255, 70).isEmpty());
    Ipv4 card{192, 168, 0, 5};
    QList<int> pool = buildHostPool(255, 70);
    EXPECT_FALSE(pickTemporaryAddress(card, {192, 168, 0, 70}, pool, [](const QString&) { return false; }));
    EXPECT_EQ(card, (Ipv4{192, 168, 0, 5}));
}

TEST(HostPool, CardAddressCheck)
{
    const Ipv4 server{192, 168, 0, 10};
    const QList<int> pool = buildHostPool(0, 10);
    QStringList asked;
    const AddressProber answersOn20 = [&](const QString& a) {
        asked << a;
        return a == QLatin1String("192.168.0.20");
    };
    EXPECT_EQ(checkCardAddress(server, {192, 168, 1, 20}, pool, answersOn20), kCardAddressForeign);
    EXPECT_EQ(checkCardAddress(server, {192, 168, 0, 10}, pool, answersOn20), kCardAddressForeign); // the PC's own
    EXPECT_EQ(checkCardAddress(server, {192, 168, 0, 255}, pool, answersOn20), kCardAddressForeign);
    EXPECT_TRUE(asked.isEmpty()); // foreign addresses are never probed
    EXPECT_EQ(checkCardAddress(server, {192, 168, 0, 20}, pool, answersOn20), kCardAddressAnswers);
    EXPECT_EQ(checkCardAddress(server, {192, 168, 0, 21}, pool, answersOn20), kCardAddressFree);
}

TEST(HostPool, TemporaryAddressSkipsNumbersThatAnswer)
{
    const Ipv4 server{192, 168, 0, 10};
    QList<int> pool = buildHostPool(0, 10);
    const QSet<QString> taken{QStringLiteral("192.168.0.9"), QStringLiteral("192.168.0.8")};
    Ipv4 card{192, 168, 1, 20};
    ASSERT_TRUE(pickTemporaryAddress(card, server, pool, [&](const QString& a) { return taken.contains(a); }));
    EXPECT_EQ(card, (Ipv4{192, 168, 0, 7}));
    // The number used is gone, so the next card gets another one.
    EXPECT_FALSE(pool.contains(7));
    Ipv4 second{10, 0, 0, 1};
    ASSERT_TRUE(pickTemporaryAddress(second, server, pool, [](const QString&) { return false; }));
    EXPECT_NE(second, card);

    // Every number answers: the card keeps its own address.
    QList<int> small = buildHostPool(252, 5); // 5..6 of 4..7
    Ipv4 third{10, 0, 0, 1};
    EXPECT_FALSE(pickTemporaryAddress(third, server, small, [](const QString&) { return true; }));
    EXPECT_EQ(third, (Ipv4{10, 0, 0, 1}));
    EXPECT_TRUE(small.isEmpty());
}
