// Adapter rows, subnet masks and the server address chosen at start-up.
#include "transport/adapters.h"

#include <gtest/gtest.h>

using namespace ledsign;

namespace {
QList<TAdapterInfo> twoAdapters()
{
    return {
        {1, QStringLiteral("eth0"), QStringLiteral("192.168.0.10"), QStringLiteral("00-11-22-33-44-55"),
         QStringLiteral("255.255.255.0")},
        {2, QStringLiteral("wlan0"), QStringLiteral("10.0.0.70"), QStringLiteral("66-77-88-99-AA-BB"),
         QStringLiteral("255.255.255.192")},
    };
}
} // namespace

TEST(Adapters, SubnetMaskOfTheServerAddress)
{
    EXPECT_EQ(ReadSubnetMask(QStringLiteral("10.0.0.70"), twoAdapters()), (datagram::Ipv4{255, 255, 255, 192}));
    EXPECT_EQ(ReadSubnetMask(QStringLiteral("172.16.0.1"), twoAdapters()), (datagram::Ipv4{255, 255, 255, 0}));
    EXPECT_EQ(adapterIndexOf(twoAdapters(), QStringLiteral(" 10.0.0.70 ")), 1);
    EXPECT_EQ(adapterIndexOf(twoAdapters(), QStringLiteral("10.0.0.7")), -1);
}

TEST(Adapters, ListedAddressesAreUsable)
{
    for (const TAdapterInfo& info : ListAdapters()) {
        EXPECT_NE(info.ipAddress, QStringLiteral("0.0.0.0"));
        EXPECT_FALSE(info.ipAddress.startsWith(QStringLiteral("127.")));
        EXPECT_TRUE(datagram::ipFromText(info.ipAddress).has_value());
    }
    EXPECT_TRUE(datagram::ipFromText(LastHostAddress()).has_value());
}

TEST(Adapters, StartupChooserOnlyWithSeveralAddressesAndTheSwitchOn)
{
    int asked = 0;
    const auto chooseWlanForGood = [&]() -> std::optional<AdapterChoice> {
        ++asked;
        return AdapterChoice{QStringLiteral("10.0.0.70"), true};
    };
    const auto lastHost = [] { return QStringLiteral("192.168.0.10"); };
    const StartupChoice first =
        chooseServerIpAtStartup(twoAdapters(), QStringLiteral("192.168.0.10"), true, chooseWlanForGood, lastHost, {});
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(first.serverIp, QStringLiteral("10.0.0.70"));
    EXPECT_FALSE(first.isShowMulNetCard);

    // Next start: the switch is off, the stored address stays, no chooser.
    const StartupChoice second = chooseServerIpAtStartup(twoAdapters(), first.serverIp, first.isShowMulNetCard,
                                                         chooseWlanForGood, lastHost, {});
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(second.serverIp, QStringLiteral("10.0.0.70"));

    // One adapter: the host address, no chooser.
    const StartupChoice single = chooseServerIpAtStartup(twoAdapters().mid(0, 1), QStringLiteral("1.2.3.4"), true,
                                                         chooseWlanForGood, lastHost, {});
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(single.serverIp, QStringLiteral("192.168.0.10"));
}

TEST(Adapters, NoAddressIsRetriedNineTimes)
{
    int calls = 0;
    int waited = 0;
    const auto noAddress = [&] {
        ++calls;
        return QStringLiteral("127.0.0.1");
    };
    const StartupChoice none = chooseServerIpAtStartup({}, QString(), true, {}, noAddress,
                                                       [&](int ms) { waited += ms; });
    EXPECT_EQ(none.serverIp, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(calls, 1 + kAddressRetries);
    EXPECT_EQ(waited, kAddressRetries * kAddressRetryMs);

    int late = 0;
    const auto comesUp = [&] { return ++late < 3 ? QStringLiteral("127.0.0.1") : QStringLiteral("10.9.8.7"); };
    EXPECT_EQ(chooseServerIpAtStartup({}, QString(), true, {}, comesUp, [](int) {}).serverIp,
              QStringLiteral("10.9.8.7"));
    EXPECT_EQ(late, 3);
}
