// The search run: candidates, timing, and what the ticks do on each kind of
// line. Ticks are shortened to a few milliseconds.
#include "transport/cardsearch.h"
#include "udprig.h"

#include <QTemporaryDir>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>
#include <gtest/gtest.h>

using namespace ledsign;
using ledsign::test::spin;
using ledsign::test::UdpRig;
using ledsign::test::waitFor;

TEST(CardSearch, SerialCandidatesStoredPortFirst)
{
    const QList<SerialCandidate> list = buildSerialCandidates(QStringLiteral("COM3"), QStringLiteral("57600"),
                                                              {QStringLiteral("COM1"), QStringLiteral("COM3")});
    ASSERT_EQ(list.size(), 11);
    EXPECT_EQ(list[0], (SerialCandidate{QStringLiteral("COM3"), 57600}));
    EXPECT_EQ(list[1], (SerialCandidate{QStringLiteral("COM3"), 9600}));
    EXPECT_EQ(list[5], (SerialCandidate{QStringLiteral("COM3"), 115200}));
    EXPECT_EQ(list[6], (SerialCandidate{QStringLiteral("COM1"), 9600}));
    EXPECT_EQ(list[10], (SerialCandidate{QStringLiteral("COM1"), 115200}));

    // A stored rate that is no number counts as 9600; no stored port: system ports only.
    EXPECT_EQ(buildSerialCandidates(QStringLiteral("COM3"), QStringLiteral("fast"), {})[0].baud, 9600);
    EXPECT_EQ(buildSerialCandidates(QString(), QStringLiteral("9600"), {QStringLiteral("COM2")}).size(), 5);
}

TEST(CardSearch, TimingByKind)
{
    EXPECT_EQ(searchTiming(kSearch485, 2, 0).totalSeconds, 20);
    EXPECT_EQ(searchTiming(kSearch485, 10, 0).totalSeconds, 33);
    EXPECT_EQ(searchTiming(kSearch485, 10, 0).step, 2);
    EXPECT_EQ(searchTiming(kSearchSerial, 0, 10).totalSeconds, 30);
    EXPECT_EQ(searchTiming(kSearchSerial, 0, 3).totalSeconds, 20);
    EXPECT_EQ(searchTiming(kSearchSerial, 0, 3).tickSeconds, 3);
    EXPECT_EQ(searchTiming(kSearchNetwork, 0, 0).totalSeconds, 30);
    EXPECT_EQ(searchTiming(kSearchNetworkAnswered, 0, 0).tickSeconds, 2);
}

TEST(CardSearch, SwitchedOffSearchDoesNothing)
{
    UdpRig rig;
    CardSearch search(rig.channels, rig.settings, rig.udp);
    QStringList status;
    QObject::connect(&search, &CardSearch::statusText, [&](const QString& s) { status << s; });
    search.toggleSearchSwitch();
    EXPECT_FALSE(rig.settings.isOpenSearch);
    rig.udp.searchList().add({1, 2, 3, 4, 5, 6}, {1, 2, 3, 4});
    EXPECT_FALSE(search.begin(true, {}, {}, {255, 255, 255, 0}));
    EXPECT_EQ(rig.udp.searchList().size(), 1); // untouched
    EXPECT_EQ(status.last(), GetLgText(3, QStringLiteral("tip_card_search_close_enable")));
    search.toggleSearchSwitch();
    EXPECT_TRUE(rig.settings.isOpenSearch);
    EXPECT_TRUE(search.begin(true, {}, {}, {255, 255, 255, 0}));
    EXPECT_TRUE(rig.udp.searchList().isEmpty());
}

TEST(CardSearch, NetworkTicksBroadcastAndEnlargeAtTheEighth)
{
    UdpRig rig;
    CardSearch search(rig.channels, rig.settings, rig.udp);
    search.setTimeUnit(5);
    int enlarged = 0;
    int closed = 0;
    int presence = 0;
    QObject::connect(&search, &CardSearch::enlargeWanted, [&] { ++enlarged; });
    QObject::connect(&search, &CardSearch::closeWanted, [&] { ++closed; });
    QObject::connect(&search, &CardSearch::presenceTimerRestart, [&](int ms) { presence = ms; });
    ASSERT_TRUE(search.begin(true, {}, {}, {255, 255, 255, 192}));
    EXPECT_EQ(search.kind(), kSearchNetwork);
    EXPECT_TRUE(search.isRunning());
    search.start();
    ASSERT_TRUE(waitFor([&] { return closed == 1; }, 5000));
    // 30 seconds in steps of 2: 15 ticks that search.
    EXPECT_EQ(search.networkTicks(), 15);
    EXPECT_EQ(enlarged, 1);
    spin(50);
    EXPECT_EQ(rig.toCard.size(), 15);
    EXPECT_EQ(rig.toCard.first(), test::hex("A1 15 02 00 00 FF"));
    search.end();
    EXPECT_FALSE(search.isRunning());
    EXPECT_EQ(presence, kPresenceIntervalAfterSearch);
}

TEST(CardSearch, SearchReplyTurnsTheKindToAnswered)
{
    UdpRig rig;
    CardSearch search(rig.channels, rig.settings, rig.udp);
    search.setTimeUnit(20);
    ASSERT_TRUE(search.begin(true, {}, {}, {255, 255, 255, 0}));
    search.start();
    QByteArray reply(40, '\0');
    reply[0] = char(0xA1);
    reply[1] = 0x01;
    rig.fromCard(reply);
    ASSERT_TRUE(waitFor([&] { return search.kind() == kSearchNetworkAnswered; }));
    search.stop();
    EXPECT_FALSE(search.isTicking());
}

TEST(CardSearch, SerialSearchSkipsEveryRateOfAPortThatFailsToOpen)
{
    UdpRig rig;
    QTemporaryDir dir;
    rig.settings.commMode = currentCommModeTexts().serial;
    rig.settings.commParam01.clear();
    CardSearch search(rig.channels, rig.settings, rig.udp);
    search.setTimeUnit(5);
    int closed = 0;
    QStringList captions;
    QObject::connect(&search, &CardSearch::closeWanted, [&] { ++closed; });
    QObject::connect(&search, &CardSearch::captionChanged, [&](const QString& c) { captions << c; });
    const QString com1 = dir.filePath(QStringLiteral("COM1"));
    const QString com3 = dir.filePath(QStringLiteral("COM3"));
    ASSERT_TRUE(search.begin(true, {com1, com3}, {}, {255, 255, 255, 0}));
    EXPECT_EQ(search.kind(), kSearchSerial);
    search.start();
    EXPECT_EQ(search.candidates().size(), 10);
    EXPECT_EQ(search.totalSeconds(), 30);
    ASSERT_TRUE(waitFor([&] { return closed == 1; }, 5000));
    // Neither device exists: one try per port, then the candidates are gone.
    ASSERT_EQ(captions.size(), 2);
    EXPECT_TRUE(captions[0].contains(QStringLiteral("COM1][9600]")));
    EXPECT_TRUE(captions[1].contains(QStringLiteral("COM3][9600]")));
    EXPECT_TRUE(search.candidates().isEmpty());
    EXPECT_EQ(rig.settings.commParam01, com3);
    EXPECT_EQ(rig.settings.commMode, currentCommModeTexts().serial);
}

TEST(CardSearch, Rs485WithoutInternalCodesClosesAtTheFirstTick)
{
    UdpRig rig;
    rig.settings.commMode = QStringLiteral("485");
    rig.settings.commParam01 = QStringLiteral("ttyS0");
    CardSearch search(rig.channels, rig.settings, rig.udp);
    search.setTimeUnit(5);
    int closed = 0;
    QObject::connect(&search, &CardSearch::closeWanted, [&] { ++closed; });
    ASSERT_TRUE(search.begin(true, {}, {}, {255, 255, 255, 0}));
    EXPECT_EQ(search.kind(), kSearch485);
    EXPECT_FALSE(search.isRunning()); // the running flag is for network and serial searches
    search.start();
    EXPECT_EQ(search.codeCycle(), QStringList{QStringLiteral("0_0_0_0_0_0_0_0")});
    ASSERT_TRUE(waitFor([&] { return closed == 1; }, 2000));
    EXPECT_EQ(search.remainingSeconds(), search.totalSeconds() - 2);
}

TEST(CardSearch, Rs485CycleSkipsAnsweredCodesAndEndsWhenAllAnswered)
{
    UdpRig rig;
    rig.settings.commMode = QStringLiteral("485");
    CardSearch search(rig.channels, rig.settings, rig.udp);
    search.setTimeUnit(5);
    QStringList captions;
    int closed = 0;
    QObject::connect(&search, &CardSearch::captionChanged, [&](const QString& c) { captions << c; });
    QObject::connect(&search, &CardSearch::closeWanted, [&] { ++closed; });
    const QStringList codes{QStringLiteral("1_0_0_0_0_0_0_1"), QStringLiteral("1_0_0_0_0_0_0_2")};
    ASSERT_TRUE(search.begin(true, {}, codes, {255, 255, 255, 0}));
    search.start();
    EXPECT_EQ(search.totalSeconds(), 20);
    ASSERT_TRUE(waitFor([&] { return captions.size() >= 3; }, 2000));
    search.codeAnswered(codes[0]);
    search.codeAnswered(codes[1]);
    ASSERT_TRUE(waitFor([&] { return closed == 1; }, 2000));
    EXPECT_TRUE(search.found());
    EXPECT_GT(search.remainingSeconds(), 0);
}

namespace {
// The master side of a pseudo-terminal; its slave path stands for a port.
struct Pty {
    int master = -1;
    QString slave;
    Pty()
    {
        master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0)
            slave = QString::fromLocal8Bit(::ptsname(master));
    }
    ~Pty()
    {
        if (master >= 0)
            ::close(master);
    }
    QByteArray read()
    {
        char buffer[256];
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        return n > 0 ? QByteArray(buffer, n) : QByteArray();
    }
};
} // namespace

TEST(CardSearch, SerialSearchGoesOnToTheNextPortAndStopsWhenACardAnswers)
{
    UdpRig rig;
    Pty pty;
    ASSERT_FALSE(pty.slave.isEmpty());
    QTemporaryDir dir;
    rig.settings.commMode = currentCommModeTexts().serial;
    rig.settings.commParam01.clear();
    CardSearch search(rig.channels, rig.settings, rig.udp);
    search.setTimeUnit(150);
    int closed = 0;
    QObject::connect(&search, &CardSearch::closeWanted, [&] { ++closed; });
    ASSERT_TRUE(search.begin(true, {dir.filePath(QStringLiteral("COM1")), pty.slave}, {}, {255, 255, 255, 0}));
    search.start();
    // COM1 fails: its other four rates go; the pty opens at 9600 and is asked.
    QByteArray asked;
    ASSERT_TRUE(waitFor([&] {
        asked += pty.read();
        return asked.size() >= 19;
    }, 3000));
    EXPECT_EQ(quint8(asked.at(8)), 0x71);
    EXPECT_EQ(search.candidates().size(), 4);
    EXPECT_EQ(rig.settings.commParam01, pty.slave);
    EXPECT_EQ(rig.settings.commParam02, QStringLiteral("9600"));
    search.serialReplyArrived();
    ASSERT_TRUE(waitFor([&] { return closed == 1; }, 2000));
    EXPECT_TRUE(search.found());
    EXPECT_EQ(search.kind(), kSearchSerial);
    EXPECT_EQ(search.candidates().size(), 4);
    rig.channels.closeSerialPort();
}
