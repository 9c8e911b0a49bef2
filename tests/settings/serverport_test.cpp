#include "model/serverport.h"
#include "model/settingsfile.h"

#include <QHostAddress>
#include <QSet>
#include <QTcpServer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ledsign;

namespace {
const CommModeTexts kTexts{QStringLiteral("Network"), QStringLiteral("network<server-side>"),
                           QStringLiteral("Serial Port")};

struct FakeBinder {
    explicit FakeBinder(QSet<int> busy) : inUse(std::move(busy)) {}
    QSet<int> inUse;
    int failAt = -1;
    QList<int> asked;
    BindResult operator()(int port)
    {
        asked.append(port);
        if (port == failAt)
            return BindResult::Failed;
        return inUse.contains(port) ? BindResult::InUse : BindResult::Bound;
    }
};

// A port p with p and p + 1 free at the moment of the call.
int freePortPair()
{
    for (int attempt = 0; attempt < 20; ++attempt) {
        QTcpServer probe;
        if (!probe.listen(QHostAddress::Any, 0))
            continue;
        const int p = probe.serverPort();
        probe.close();
        if (p < 65535 && tryBindTcpPort(p) == BindResult::Bound && tryBindTcpPort(p + 1) == BindResult::Bound)
            return p;
    }
    return -1;
}
} // namespace

TEST(ServerPort, SearchMovesOnOnlyWhilePortsAreInUse)
{
    FakeBinder b({8900, 8901, 8902});
    EXPECT_EQ(findFreePort(8900, std::ref(b)), 8903);
    b.asked.clear();
    b.failAt = 8901; // any other failure ends the search there
    EXPECT_EQ(findFreePort(8900, std::ref(b)), 8901);
    EXPECT_EQ(b.asked, QList<int>({8900, 8901}));

    FakeBinder full({65533, 65534, 65535});
    EXPECT_EQ(findFreePort(65533, std::ref(full)), 65533);
    EXPECT_EQ(full.asked.size(), 3);

    for (const char* bad : {"", "abc", "0", "-1", "65536"})
        EXPECT_EQ(portFromText(QString::fromLatin1(bad)), 8900) << bad;
}

TEST(ServerPort, ModeTextsAndThePortOfEachMode)
{
    EXPECT_EQ(deriveCommMode(QStringLiteral("485"), QString(), kTexts), kTexts.network);
    EXPECT_EQ(deriveCommMode(QStringLiteral("485"), QStringLiteral("COM2"), kTexts), QStringLiteral("485"));
    EXPECT_EQ(deriveCommMode(QStringLiteral("串口"), QStringLiteral("COM2"), kTexts), kTexts.serial);
    EXPECT_EQ(commModeKind(QStringLiteral("485"), kTexts), CommModeKind::Rs485);

    FakeBinder b({8900});
    AppSettings s;
    s.commMode = kTexts.networkEx;
    EXPECT_EQ(chooseServerPort(s, kTexts, std::ref(b)), 8901);
    EXPECT_EQ(QStringList({s.commMode, s.commParam02}), QStringList({kTexts.network, QStringLiteral("8901")}));

    // Serial modes keep their baud rate; the port is still chosen from 8900.
    AppSettings serial;
    serial.commMode = kTexts.serial;
    serial.commParam02 = QStringLiteral("1200");
    EXPECT_EQ(chooseServerPort(serial, kTexts, std::ref(b)), 8901);
    EXPECT_EQ(QStringList({serial.commMode, serial.commParam02}), QStringList({kTexts.serial, QStringLiteral("1200")}));
}

TEST(ServerPort, BusyPortIsSkippedAndSaved)
{
    const int base = freePortPair();
    ASSERT_GT(base, 0);
    QTcpServer other;
    ASSERT_TRUE(other.listen(QHostAddress::Any, quint16(base)));

    QTemporaryDir dir;
    SettingsFile file(dir.filePath(QStringLiteral("SetCfg.ini")));
    ASSERT_TRUE(file.load());
    AppSettings s = file.settings(QString());
    s.commParam02 = QString::number(base);
    EXPECT_EQ(chooseServerPort(s, kTexts), base + 1);
    ASSERT_TRUE(file.saveSettings(s, {}, {}));
    SettingsFile again(file.path());
    ASSERT_TRUE(again.load());
    EXPECT_EQ(again.settings(QString()).commParam02, QString::number(base + 1));
}
