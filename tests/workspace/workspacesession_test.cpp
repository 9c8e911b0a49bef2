#include "model/inifile.h"
#include "support/testsupport.h"
#include "windowfixture.h"

#include <QDir>
#include <QFileInfo>

namespace ledsign::test {
namespace {

class SessionTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(home.isValid()); }
    void writeSettings(const QList<std::tuple<QString, QString, QString>>& values)
    {
        IniFile ini;
        for (const auto& [section, key, value] : values)
            ini.setValue(section, key, value);
        ASSERT_TRUE(ini.save(home.path() + "/SetCfg.ini"));
    }
    WorkspaceSession::StartResult start(WorkspaceSession& s, const QLocale& locale, PortBinder bind = {})
    {
        WorkspaceSession::StartOptions o = testStartOptions(locale);
        if (bind)
            o.bindPort = std::move(bind);
        return s.start(o);
    }

    QTemporaryDir home;
    const QLocale english{QLocale::English, QLocale::UnitedStates};
    const QLocale mainland{QLocale::Chinese, QLocale::SimplifiedHanScript, QLocale::China};
    const QLocale taiwan{QLocale::Chinese, QLocale::TraditionalHanScript, QLocale::Taiwan};
};

TEST_F(SessionTest, TheStoredLanguageAndTheLocaleChooseTheTable)
{
    struct Case {
        int lgType;
        QLocale locale;
        int language;
    };
    const Case cases[] = {
        {0, english, kEnglish},
        {2, mainland, kEnglish},
        {2, taiwan, kEnglish},
        {1, mainland, kSimplifiedChinese},
        {0, taiwan, kTraditionalChinese},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lgType);
        writeSettings({{"LgType", "LgType", QString::number(c.lgType)}});
        WorkspaceSession s{DataFolder(home.path())};
        ASSERT_EQ(start(s, c.locale), WorkspaceSession::StartResult::Ready);
        EXPECT_EQ(currentLanguage(), c.language);
    }
    setCurrentLanguage(kEnglish);
}

TEST_F(SessionTest, ModeTextAndServerPortAreSettledAtStartAndStoredOnExit)
{
    writeSettings({{"CommSet", "CommMode", "network<server-side>"}, {"CommSet", "CommParam02", "8900"}});
    WorkspaceSession s{DataFolder(home.path())};
    // 8900 is held by another program.
    ASSERT_EQ(start(s, english, [](int port) { return port == 8900 ? BindResult::InUse : BindResult::Bound; }),
              WorkspaceSession::StartResult::Ready);
    EXPECT_EQ(s.settings().commMode, QStringLiteral("Network"));
    EXPECT_EQ(s.settings().serverPort, 8901);
    EXPECT_EQ(s.settings().serverIP, QStringLiteral("10.0.0.5"));
    ASSERT_TRUE(s.saveSettings());
    IniFile saved;
    ASSERT_TRUE(saved.load(home.path() + "/SetCfg.ini"));
    EXPECT_EQ(saved.value("CommSet", "CommParam02"), QStringLiteral("8901"));
    EXPECT_EQ(saved.value("CommSet", "CommMode"), QStringLiteral("Network"));
    EXPECT_EQ(saved.value("LgType", "LgType"), QStringLiteral("2"));
    for (const char* folder : {"prgFiles", "picFiles", "txtFiles", "tblFiles"})
        EXPECT_TRUE(QDir(home.path() + "/" + folder).exists()) << folder;

    // A serial setting keeps "485" in every language; any other mode is the serial text.
    s.settings().commParam01 = QStringLiteral("/dev/ttyUSB0");
    s.settings().commMode = QStringLiteral("485");
    s.switchLanguage(kSimplifiedChinese);
    EXPECT_EQ(s.settings().commMode, QStringLiteral("485"));
    s.settings().commMode = QStringLiteral("Serial Port");
    s.switchLanguage(kSimplifiedChinese);
    EXPECT_EQ(s.settings().commMode, QStringLiteral("串口"));
    s.settings().commParam01.clear();
    s.switchLanguage(kEnglish);
    EXPECT_EQ(s.settings().commMode, QStringLiteral("Network"));
}

TEST_F(SessionTest, AFolderThatCannotBeMadeIsReportedAndAnUnreadableSettingsFileIsLeftAlone)
{
    const QString blocker = home.path() + "/file";
    ASSERT_TRUE(writeAll(blocker, "not a folder"));
    WorkspaceSession blocked{DataFolder(blocker + "/data")};
    EXPECT_EQ(start(blocked, english), WorkspaceSession::StartResult::FolderError);
    EXPECT_FALSE(blocked.errorString().isEmpty());

    // A settings file that cannot be read (here: a folder in its place)
    // gives the defaults and is left alone on exit.
    ASSERT_TRUE(QDir(home.path()).mkpath("SetCfg.ini/inside"));
    WorkspaceSession s{DataFolder(home.path())};
    ASSERT_EQ(start(s, english), WorkspaceSession::StartResult::Ready);
    EXPECT_FALSE(s.errorString().isEmpty());
    EXPECT_TRUE(s.loadCards().isEmpty());
    EXPECT_TRUE(s.saveSettings()) << "saved beside it, under a new name";
    EXPECT_TRUE(QFileInfo::exists(home.path() + "/SetCfg.new.ini"));
    EXPECT_TRUE(QDir(home.path() + "/SetCfg.ini/inside").exists());
}

TEST_F(SessionTest, TheIconOfTheFolderIsTheLastOneFound)
{
    ASSERT_TRUE(writeAll(home.path() + "/a.ico", "x"));
    ASSERT_TRUE(writeAll(home.path() + "/b.ICO", "x"));
    ASSERT_TRUE(writeAll(home.path() + "/c.png", "x"));
    ASSERT_TRUE(QDir(home.path()).mkdir("d.ico"));
    WorkspaceSession s{DataFolder(home.path())};
    ASSERT_EQ(start(s, english), WorkspaceSession::StartResult::Ready);
    const QStringList icons = s.iconFiles();
    ASSERT_EQ(icons.size(), 2);
    EXPECT_TRUE(icons.last().endsWith("b.ICO"));
}

} // namespace
} // namespace ledsign::test
