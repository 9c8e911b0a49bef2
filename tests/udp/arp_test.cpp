// The neighbour table: MAC look-up and the clean-up command line.
#include "transport/arp.h"

#include <gtest/gtest.h>

using namespace ledsign;

namespace {
const QString kTable = QStringLiteral(
    "IP address       HW type     Flags       HW address            Mask     Device\n"
    "192.168.0.1      0x1         0x2         00:1a:2b:3c:4d:5e     *        eth0\n"
    "192.168.0.77     0x1         0x0         00:00:00:00:00:00     *        eth0\n"
    "10.1.2.3         0x1         0x2         aa:bb:cc:dd:ee:ff     *        wlp2s0\n");
} // namespace

TEST(Arp, MacOfAddressInDecimal)
{
    EXPECT_EQ(macOfAddress(QStringLiteral("192.168.0.1"), kTable), QStringLiteral("0:26:43:60:77:94"));
    EXPECT_EQ(macOfAddress(QStringLiteral(" 10.1.2.3 "), kTable), QStringLiteral("170:187:204:221:238:255"));
    // Incomplete and missing entries give no MAC.
    EXPECT_TRUE(macOfAddress(QStringLiteral("192.168.0.77"), kTable).isEmpty());
    EXPECT_TRUE(macOfAddress(QStringLiteral("192.168.0.2"), kTable).isEmpty());
    // The heading line is never an entry.
    EXPECT_TRUE(macOfAddress(QStringLiteral("IP"), kTable).isEmpty());
    EXPECT_TRUE(macOfAddress(QString(), kTable).isEmpty());
}

TEST(Arp, DeleteCommandOnlyForPlainAddresses)
{
    EXPECT_EQ(arpDeleteCommand(QStringLiteral("10.1.2.3"), kTable),
              (QStringList{"ip", "neigh", "del", "10.1.2.3", "dev", "wlp2s0"}));
    EXPECT_TRUE(arpDeleteCommand(QStringLiteral("10.1.2.4"), kTable).isEmpty());
    EXPECT_TRUE(arpDeleteCommand(QStringLiteral("10.1.2.3; rm -rf ~"), kTable).isEmpty());
    const QString hostile = QStringLiteral("IP address HW type Flags HW address Mask Device\n"
                                           "10.0.0.9 0x1 0x2 00:11:22:33:44:55 * eth0;reboot\n");
    EXPECT_TRUE(arpDeleteCommand(QStringLiteral("10.0.0.9"), hostile).isEmpty());
}
