// A settings file saved by a text editor in another encoding keeps every
// card through a start and an exit, and one that cannot be understood is
// never written over.
#include "model/cardlist.h"
#include "model/codec.h"
#include "model/inifile.h"
#include "support/testsupport.h"
#include "windowfixture.h"

#include <QFileInfo>
#include <QStringEncoder>

namespace ledsign::test {
namespace {

// The text of a card list of `count` cards as an editor would keep it:
// CR LF lines, Chinese names, the eight items of each line.
QString cardListText(int count)
{
    QString text = QStringLiteral("[CommSet]\r\nCommMode=\r\n[IsShowTips]\r\nIsShowTips=1\r\n[CardsInfo]\r\n");
    for (int i = 0; i < count; ++i)
        text += QStringLiteral("大厅屏%1=128,32,p%1.prg,1_2_3_4_5_6_7_%2,192.168.1.%3,0:1:2:3:4:%2,80,%4\r\n")
                    .arg(i)
                    .arg(i % 256)
                    .arg(i % 250 + 1)
                    .arg(i % 3 + 1);
    return text;
}

QByteArray encoded(const QString& text, QStringConverter::Encoding encoding, const QByteArray& mark)
{
    QStringEncoder encoder(encoding);
    return mark + QByteArray(encoder.encode(text));
}

QStringList cardNames(const QString& home)
{
    IniFile ini;
    EXPECT_TRUE(ini.load(home + "/SetCfg.ini"));
    QStringList names;
    for (const CardListLine& line : readCardList(ini, home + "/prgFiles"))
        names << line.name;
    return names;
}

class SettingsEncoding : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(home.isValid()); }
    QString settingsPath() const { return home.path() + "/SetCfg.ini"; }
    QTemporaryDir home;
};

TEST_F(SettingsEncoding, Utf16FileKeepsAllCardsThroughStartAndExit)
{
    const QByteArray original = encoded(cardListText(500), QStringConverter::Utf16LE, "\xFF\xFE");
    ASSERT_TRUE(writeAll(settingsPath(), original));
    {
        Running run = startRun(home.path());
        ASSERT_EQ(run.model().cards().size(), 500);
        EXPECT_EQ(run.model().cards().at(0).name, QStringLiteral("大厅屏0"));
        EXPECT_EQ(run.model().cards().at(499).internalCode, QStringLiteral("1_2_3_4_5_6_7_243"));
        EXPECT_EQ(run.model().cards().at(2).colorType, ':');
        EXPECT_TRUE(run.dialogs->messages.isEmpty()) << run.dialogs->messages.join('\n').toStdString();
        run.window->close();
        EXPECT_FALSE(run.window->isVisible());
    }
    const QByteArray after = readAll(settingsPath());
    EXPECT_TRUE(after.startsWith("\xFF\xFE")) << "written back the way it came";
    const QStringList names = cardNames(home.path());
    ASSERT_EQ(names.size(), 500);
    for (int i = 0; i < 500; ++i)
        ASSERT_EQ(names.at(i), QStringLiteral("大厅屏%1").arg(i));
}

TEST_F(SettingsEncoding, EveryMarkedEncodingReads)
{
    const QString text = cardListText(3);
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"UTF-8", encoded(text, QStringConverter::Utf8, "\xEF\xBB\xBF")},
        {"UTF-16LE", encoded(text, QStringConverter::Utf16LE, "\xFF\xFE")},
        {"UTF-16BE", encoded(text, QStringConverter::Utf16BE, "\xFE\xFF")},
        {"UTF-16LE without BOM", encoded(text, QStringConverter::Utf16LE, "")},
        {"UTF-16BE without BOM", encoded(text, QStringConverter::Utf16BE, "")},
        {"GB18030", codec::encode(text)},
    };
    for (const auto& c : cases) {
        IniFile ini;
        ini.parse(c.bytes);
        EXPECT_TRUE(ini.parseProblem().isEmpty()) << c.name;
        const QList<CardListLine> cards = readCardList(ini, "/p");
        ASSERT_EQ(cards.size(), 3) << c.name;
        EXPECT_EQ(cards.at(1).name, QStringLiteral("大厅屏1")) << c.name;
        EXPECT_EQ(cards.at(1).programFile, QStringLiteral("/p/p1.prg")) << c.name;
        // Written back with the same mark and encoding.
        EXPECT_EQ(ini.toBytes().left(2), c.bytes.left(2)) << c.name;
        IniFile again;
        again.parse(ini.toBytes());
        EXPECT_EQ(readCardList(again, "/p").size(), 3) << c.name;
    }
}

TEST_F(SettingsEncoding, FileThatCannotBeUnderstoodIsKeptAndTheSessionSavedBeside)
{
    // Marked as UTF-8, but with bytes that are no UTF-8.
    const QByteArray original = encoded(cardListText(20), QStringConverter::Utf8, "\xEF\xBB\xBF") + "\xC3\x28\r\n";
    ASSERT_TRUE(writeAll(settingsPath(), original));
    {
        Running run = startRun(home.path());
        EXPECT_TRUE(run.model().cards().isEmpty());
        // The operator is told which file, and where this session's settings go.
        ASSERT_EQ(run.dialogs->messages.size(), 1);
        EXPECT_TRUE(run.dialogs->messages.first().contains(settingsPath()));
        EXPECT_TRUE(run.dialogs->messages.first().contains("SetCfg.new.ini"));
        run.dialogs->newCards.push_back(NewCardInput{QStringLiteral("new one"), "64", "32", 0});
        run.trigger(ActionId::NewCard);
        ASSERT_EQ(run.model().cards().size(), 1);
        run.window->close();
    }
    EXPECT_EQ(readAll(settingsPath()), original) << "never written over";
    IniFile beside;
    ASSERT_TRUE(beside.load(home.path() + "/SetCfg.new.ini"));
    const QList<CardListLine> cards = readCardList(beside, home.path());
    ASSERT_EQ(cards.size(), 1);
    EXPECT_EQ(cards.first().name, QStringLiteral("new one"));
}

TEST_F(SettingsEncoding, BytesThatAreNoTextAreNotUnderstood)
{
    QByteArray junk;
    for (int i = 0; i < 3000; ++i)
        junk.append(char((i * 37) & 0xff));
    IniFile ini;
    ini.parse(junk);
    EXPECT_FALSE(ini.parseProblem().isEmpty());
    IniFile badUtf8;
    badUtf8.parse(QByteArray("\xEF\xBB\xBF[CardsInfo]\r\na=\xC3\x28\r\n"));
    EXPECT_FALSE(badUtf8.parseProblem().isEmpty());
    IniFile plain;
    plain.parse(QByteArray("[CardsInfo]\r\n\xB4\xF3\xCC\xFC=64,32,,,,,80\r\n"));
    EXPECT_TRUE(plain.parseProblem().isEmpty());
    EXPECT_EQ(plain.keys("CardsInfo"), QStringList{QStringLiteral("大厅")});
}

} // namespace
} // namespace ledsign::test
