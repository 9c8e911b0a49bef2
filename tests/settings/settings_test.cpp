#include "model/codec.h"
#include "model/settingsfile.h"
#include "model/windowlayout.h"

#include "support/testsupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ledsign;

namespace {
const QString kLocal = QStringLiteral("192.168.0.5");

AppSettings settingsOf(const QByteArray& text)
{
    IniFile ini;
    ini.parse(text);
    return AppSettings::fromIni(ini, kLocal);
}

void expectDefaults(const AppSettings& s)
{
    EXPECT_EQ(s.commMode + s.commParam01 + s.commParam02, QString());
    EXPECT_EQ(s.lgType, 1);
    EXPECT_EQ(s.serverIP, kLocal);
    EXPECT_EQ(s.netDelayTime, 100);
    EXPECT_EQ(s.pollTime, 30);
    EXPECT_TRUE(s.groupNames.isEmpty());
    EXPECT_FALSE(s.isSendAll || s.isShowTips);
    EXPECT_TRUE(s.isOpenSearch && s.isSearchVisible && s.isShowMulNetCard);
}
} // namespace

TEST(AppSettings, PollTimeClampedAndBadValuesFallBack)
{
    EXPECT_EQ(settingsOf("[PollTime]\nPollTime=5\n").pollTime, 30);
    EXPECT_EQ(settingsOf("[PollTime]\nPollTime=5000\n").pollTime, 999);
    EXPECT_EQ(settingsOf("[PollTime]\nPollTime=120\n").pollTime, 120);
    const AppSettings bad = settingsOf("[NetDelayTime]\nNetDelayTime=-40\n[LgType]\nLgType=x\n"
                                       "[IsSendAll]\nIsSendAll=yes\n[GroupName]\nGroupName=A-,,B-\n");
    EXPECT_EQ(bad.netDelayTime, 100);
    EXPECT_EQ(bad.lgType, 1);
    EXPECT_FALSE(bad.isSendAll);
    // An empty prefix would put every card into the group.
    EXPECT_EQ(bad.groupNames, QStringList({QStringLiteral("A-"), QStringLiteral("B-")}));
}

TEST(AppSettings, BroadcastAddressIsReadButNeverWritten)
{
    EXPECT_EQ(settingsOf("").broadcastIP, QString());
    const AppSettings s = settingsOf("[BroadcastIP]\nBroadcastIP= 127.255.255.255 \n");
    EXPECT_EQ(s.broadcastIP, QStringLiteral("127.255.255.255"));
    IniFile written;
    s.writeTo(written);
    EXPECT_FALSE(written.toBytes().contains("BroadcastIP"));
}

TEST(AppSettings, WindowLayoutIsWrittenOnceKnownAndReadOnlyWhenUsable)
{
    IniFile none;
    AppSettings().writeTo(none);
    EXPECT_FALSE(none.hasSection(QStringLiteral("WindowLayout")));

    const AppSettings kept = settingsOf("[WindowLayout]\nGeometry=1300,-5,900,700\nMaximized=1\n"
                                        "MainSplit=360, 900\nLeftSplit=0,270\n");
    EXPECT_EQ(kept.window.geometry, QRect(1300, -5, 900, 700));
    EXPECT_TRUE(kept.window.maximized);
    EXPECT_EQ(kept.window.mainSplit, QList<int>({360, 900}));
    EXPECT_EQ(kept.window.leftSplit, QList<int>({0, 270}));
    IniFile written;
    kept.writeTo(written);
    EXPECT_TRUE(written.toBytes().contains("Geometry=1300,-5,900,700\r\nMaximized=1\r\nMainSplit=360,900"));

    for (const char* bad : {"Geometry=1,2,3", "Geometry=0,0,50,700", "Geometry=0,0,900,x", "Geometry=0,0,99999,700"})
        EXPECT_FALSE(settingsOf(QByteArray("[WindowLayout]\n") + bad).window.geometry.isValid()) << bad;
    for (const char* bad : {"MainSplit=0,0", "MainSplit=-1,300", "MainSplit=300", "MainSplit=1,2,3", "MainSplit=a,b"})
        EXPECT_TRUE(settingsOf(QByteArray("[WindowLayout]\n") + bad).window.mainSplit.isEmpty()) << bad;

    // Two screens side by side: a window is kept while a stretch of its top
    // edge lies on one of them.
    const QList<QRect> screens{QRect(0, 0, 1280, 800), QRect(1280, 0, 1920, 1080)};
    EXPECT_TRUE(isWindowReachable(QRect(1300, 100, 900, 700), screens));
    EXPECT_TRUE(isWindowReachable(QRect(-700, 10, 800, 600), screens));  // 100 pixels on the first
    EXPECT_FALSE(isWindowReachable(QRect(-750, 10, 800, 600), screens)); // 50
    EXPECT_FALSE(isWindowReachable(QRect(100, -300, 800, 600), screens)); // title bar above every screen
    EXPECT_FALSE(isWindowReachable(QRect(100, 790, 800, 600), screens));  // 10 pixels of the top edge
    EXPECT_FALSE(isWindowReachable(QRect(3300, 100, 800, 600), screens));
    EXPECT_FALSE(isWindowReachable(QRect(), screens));
}

TEST(SettingsFile, MissingDamagedOrUnreadableFileGivesDefaults)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("SetCfg.ini"));
    SettingsFile missing(path);
    EXPECT_TRUE(missing.load());
    expectDefaults(missing.settings(kLocal));

    // The length comes from the literal: it holds a NUL, and reading past its end is undefined.
    static const char kJunkStart[] = "\x00\xff\xfe[CardsInfo\r\n=,,,\r\n[PollTime]]]\r\nPollTime\r\n[CommSet]\r\nCommMode=\x81";
    QByteArray junk(kJunkStart, sizeof(kJunkStart) - 1);
    for (int i = 0; i < 3000; ++i)
        junk.append(char((i * 37) & 0xff));
    ASSERT_TRUE(test::writeAll(path, junk));
    SettingsFile damaged(path);
    // Bytes that are no text are not understood: defaults, and the file is
    // kept as it is.
    EXPECT_FALSE(damaged.load());
    EXPECT_TRUE(damaged.errorString().contains(path));
    EXPECT_TRUE(damaged.cardList(dir.path()).isEmpty());
    EXPECT_EQ(damaged.settings(kLocal).pollTime, 30);
    EXPECT_TRUE(damaged.save());
    EXPECT_EQ(test::readAll(path), junk);
    EXPECT_TRUE(QFileInfo::exists(dir.filePath(QStringLiteral("SetCfg.new.ini"))));

    // A file that exists but cannot be read is never replaced by defaults.
    const QString dirPath = dir.filePath(QStringLiteral("home/SetCfg.ini"));
    ASSERT_TRUE(QDir().mkpath(dirPath));
    SettingsFile unreadable(dirPath);
    EXPECT_FALSE(unreadable.load());
    expectDefaults(unreadable.settings(kLocal));
    EXPECT_FALSE(unreadable.errorString().isEmpty());
    // Even when the obstacle is gone by exit, the defaults are not written
    // there: the session's settings go to a new name beside it.
    ASSERT_TRUE(QDir().rmdir(dirPath));
    EXPECT_TRUE(unreadable.saveSettings(unreadable.settings(kLocal), {}, {}));
    EXPECT_FALSE(QFileInfo::exists(dirPath));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath(QStringLiteral("home/SetCfg.new.ini"))));
}

TEST(SettingsFile, SaveAndLoadKeepEverything)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("SetCfg.ini"));
    // Another window's section survives; the old card list is replaced.
    ASSERT_TRUE(test::writeAll(path, "[InnerCodes]\r\n1=1_2_3_4_5_6_7_8\r\n[CardsInfo]\r\nold=64,32,old.prg,,,,1\r\n"));
    SettingsFile file(path);
    ASSERT_TRUE(file.load());

    AppSettings s = file.settings(kLocal);
    s.commMode = QStringLiteral("网络");
    s.commParam02 = QStringLiteral("8901");
    s.lgType = 0;
    s.serverIP = QStringLiteral("172.16.0.1");
    s.netDelayTime = 80;
    s.pollTime = 45;
    s.groupNames = {QStringLiteral("东区"), QStringLiteral("西区")};
    s.isSendAll = true;
    s.isOpenSearch = false;
    s.isShowMulNetCard = false;
    QList<CardListLine> cards;
    for (const QString& name : {QStringLiteral("西门屏"), QStringLiteral("Alpha"), QStringLiteral("东门屏")}) {
        CardListLine c;
        c.name = name;
        c.width = 64 + 32 * int(cards.size());
        c.programFile = dir.filePath(QStringLiteral("prgFiles/") + name + QStringLiteral(".prg"));
        c.version = 54;
        c.colorType = ':';
        cards.append(c);
    }
    const RecentFiles recent({QStringLiteral("/a/一.prg"), QStringLiteral("/a/二.prg")});
    ASSERT_TRUE(file.saveSettings(s, recent, cards)) << file.errorString().toStdString();

    const QByteArray bytes = test::readAll(path);
    EXPECT_TRUE(bytes.contains(codec::encode(QStringLiteral("[CardsInfo]\r\n西门屏=64,128,西门屏.prg,,,,54,3\r\n"))));
    EXPECT_TRUE(bytes.contains("[IsOPenSearch]\r\nIsOPenSearch=0\r\n\r\n[IsSearchVisible]\r\nIsSearchVisible=1\r\n"));
    EXPECT_TRUE(bytes.contains("[InnerCodes]\r\n1=1_2_3_4_5_6_7_8\r\n"));
    EXPECT_FALSE(bytes.contains("old.prg"));

    SettingsFile loaded(path);
    ASSERT_TRUE(loaded.load());
    const AppSettings r = loaded.settings(QString());
    EXPECT_EQ(QStringList({r.commMode, r.commParam01, r.commParam02, r.serverIP}),
              QStringList({s.commMode, s.commParam01, s.commParam02, s.serverIP}));
    EXPECT_EQ(QList<int>({r.lgType, r.netDelayTime, r.pollTime}), QList<int>({0, 80, 45}));
    EXPECT_EQ(r.groupNames, s.groupNames);
    EXPECT_EQ(QList<bool>({r.isSendAll, r.isOpenSearch, r.isSearchVisible, r.isShowMulNetCard}),
              QList<bool>({true, false, true, false}));
    EXPECT_EQ(loaded.recentFiles().entries(), recent.entries());
    const QList<CardListLine> back = loaded.cardList(dir.filePath(QStringLiteral("prgFiles")));
    ASSERT_EQ(back.size(), cards.size());
    for (int i = 0; i < cards.size(); ++i) {
        EXPECT_EQ(back[i].name, cards[i].name);
        EXPECT_EQ(back[i].width, cards[i].width);
        EXPECT_EQ(back[i].programFile, cards[i].programFile);
    }

    ASSERT_TRUE(loaded.storeShowTips(true)); // written at once, not on exit
    SettingsFile other(path);
    ASSERT_TRUE(other.load());
    EXPECT_TRUE(other.settings(kLocal).isShowTips);
}

TEST(RecentFiles, KeepsTheThreeNewestWithoutDuplicates)
{
    RecentFiles r({QStringLiteral("/a"), QStringLiteral("/b")});
    r.add(QStringLiteral("/a"));
    EXPECT_EQ(r.entries(), QStringList({QStringLiteral("/b"), QStringLiteral("/a")}));
    r.add(QStringLiteral("/c"));
    r.add(QStringLiteral("/d"));
    EXPECT_EQ(r.entries(), QStringList({QStringLiteral("/a"), QStringLiteral("/c"), QStringLiteral("/d")}));

    // Paths differing only in case are different files; a "=" in a path is kept.
    const QStringList odd{QStringLiteral("/p/A.prg"), QStringLiteral("/p/a.prg"), QStringLiteral("/p/x=y.prg")};
    IniFile ini;
    RecentFiles(odd).writeTo(ini);
    IniFile again;
    again.parse(ini.toBytes());
    EXPECT_EQ(RecentFiles::fromIni(again).entries(), odd);
}

TEST(Title, CaptionCarriesTheVersion)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Title.ini"));
    EXPECT_EQ(captionText(readTitle(path), QStringLiteral("LED")), QStringLiteral("LED V2.50"));
    ASSERT_TRUE(test::writeAll(path, codec::encode(QStringLiteral("[Title]\r\nTitle=车站显示屏\r\n"))));
    EXPECT_EQ(captionText(readTitle(path), QStringLiteral("LED")), QStringLiteral("车站显示屏 V2.50"));
}
