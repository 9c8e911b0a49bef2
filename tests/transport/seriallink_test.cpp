// The serial port on a pty pair: settings, writes, and how received bytes
// are gathered into blocks.
#include "support/ptypair.h"
#include "transport/seriallink.h"
#include "transport/waitfor.h"

#include <gtest/gtest.h>

using namespace ledsign;
using ledsign::test::PtyPair;
using ledsign::test::spin;
using ledsign::test::waitFor;

namespace {

struct SerialFixture : ::testing::Test {
    PtyPair pty;
    SerialLink link;
    QList<QByteArray> blocks;

    void SetUp() override
    {
        ASSERT_TRUE(pty.isOpen());
        QObject::connect(&link, &SerialLink::blockReceived, [this](const QByteArray& b) { blocks.append(b); });
        ASSERT_TRUE(link.open(pty.slavePath(), 115200)) << link.errorString().toStdString();
    }
};

} // namespace

TEST_F(SerialFixture, WritesReachTheLineInOrderAndRefuseNothingToSend)
{
    EXPECT_TRUE(link.write(QByteArray("\x01\x02\x03", 3)));
    EXPECT_TRUE(link.write(QByteArray("\xFE\xFF", 2)));
    EXPECT_EQ(pty.readMaster(5), QByteArray("\x01\x02\x03\xFE\xFF", 5));

    EXPECT_FALSE(link.write(QByteArray()));
    ASSERT_TRUE(link.close());
    EXPECT_FALSE(link.isOpen());
    EXPECT_FALSE(link.write(QByteArray("x")));
}

TEST_F(SerialFixture, BytesArrivingTogetherFormOneBlockAndSilenceEndsIt)
{
    // Two writes 20 ms apart belong to one block; a pause of 300 ms starts
    // the next.
    ASSERT_TRUE(pty.writeMaster("abc"));
    spin(20);
    ASSERT_TRUE(pty.writeMaster("def"));
    ASSERT_TRUE(waitFor([&] { return blocks.size() == 1; }));
    spin(300);
    ASSERT_TRUE(pty.writeMaster("ghi"));
    ASSERT_TRUE(waitFor([&] { return blocks.size() == 2; }));
    EXPECT_EQ(blocks[0], QByteArray("abcdef"));
    EXPECT_EQ(blocks[1], QByteArray("ghi"));
}

TEST_F(SerialFixture, ABlockOfExactly3000BytesIsHandedOnAndOneMoreIsDropped)
{
    QByteArray full(3000, 'a');
    full[0] = 'S';
    full[2999] = 'E';
    ASSERT_TRUE(pty.writeMaster(full));
    ASSERT_TRUE(waitFor([&] { return blocks.size() == 1; }));
    EXPECT_EQ(blocks[0], full);

    spin(250);
    ASSERT_TRUE(pty.writeMaster(QByteArray(3001, 'b')));
    spin(400);
    EXPECT_EQ(blocks.size(), 1);

    // The line recovers: the next block after a silence is whole again.
    ASSERT_TRUE(pty.writeMaster("next"));
    ASSERT_TRUE(waitFor([&] { return blocks.size() == 2; }));
    EXPECT_EQ(blocks[1], QByteArray("next"));
}

TEST(SerialLink, AMissingDeviceFailsWithAReason)
{
    SerialLink link;
    EXPECT_FALSE(link.open(QStringLiteral("/dev/ledsign-no-such-device"), 9600));
    EXPECT_FALSE(link.isOpen());
    EXPECT_FALSE(link.errorString().isEmpty());
    EXPECT_FALSE(link.write(QByteArray("x")));
    EXPECT_TRUE(link.close()); // closing a closed port is fine
}
