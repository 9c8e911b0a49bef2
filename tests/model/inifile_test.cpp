#include "model/codec.h"
#include "model/inifile.h"

#include "support/testsupport.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ledsign;

TEST(Codec, GbkTextRoundTripsAndCountsBytes)
{
    const QString text = QStringLiteral("控制卡 card1");
    const QByteArray bytes = codec::encode(text);
    EXPECT_EQ(bytes.left(6), test::hex("bf d8 d6 c6 bf a8"));
    EXPECT_EQ(codec::decode(bytes), text);
    EXPECT_EQ(codec::byteLength(text), 12);
}

TEST(Codec, CutsNeverSplitACharacter)
{
    const QString text = QStringLiteral("a请确认");
    EXPECT_EQ(codec::cutToBytes(text, 4), QStringLiteral("a请"));
    EXPECT_EQ(codec::cutToBytes(text, 5), QStringLiteral("a请确"));
    EXPECT_EQ(codec::cutToBytes(text, 0), QString());
    const QByteArray bytes = codec::encode(text);
    EXPECT_EQ(codec::cutEncodedToBytes(bytes, 4), codec::encode(QStringLiteral("a请")));
    EXPECT_EQ(codec::cutEncodedToBytes(bytes, 100), bytes);
}

TEST(IniFile, ReadsWindowsFileKeepingKeyOrderAndIgnoringCase)
{
    IniFile ini;
    ini.parse(codec::encode(QStringLiteral(
        "[CardsInfo]\r\nzeta=256,128,a.prg\r\nalpha = 64,32,b.prg \r\n控制卡1=1,2\r\n"
        "[PollTime]\r\nPollTime=abc\r\n[LgType]\nLgType=2\n")));
    EXPECT_EQ(ini.keys(QStringLiteral("cardsinfo")),
              QStringList({QStringLiteral("zeta"), QStringLiteral("alpha"), QStringLiteral("控制卡1")}));
    EXPECT_EQ(ini.value(QStringLiteral("CardsInfo"), QStringLiteral("ALPHA")), QStringLiteral("64,32,b.prg"));
    EXPECT_EQ(ini.intValue(QStringLiteral("PollTime"), QStringLiteral("PollTime"), 30), 30);
    EXPECT_EQ(ini.intValue(QStringLiteral("LgType"), QStringLiteral("LgType"), 1), 2);
    EXPECT_EQ(ini.intValue(QStringLiteral("Missing"), QStringLiteral("Key"), 7), 7);
    EXPECT_TRUE(ini.boolValue(QStringLiteral("Missing"), QStringLiteral("Key"), true));
}

TEST(IniFile, WritesCrLfGbkAndErasesSections)
{
    IniFile ini;
    ini.setValue(QStringLiteral("CardsInfo"), QStringLiteral("卡"), QStringLiteral("1"));
    ini.setBool(QStringLiteral("IsSendAll"), QStringLiteral("IsSendAll"), true);
    ini.setValue(QStringLiteral("CardsInfo"), QStringLiteral("b"), QStringLiteral("2"));
    EXPECT_EQ(ini.toBytes(),
              codec::encode(QStringLiteral("[CardsInfo]\r\n卡=1\r\nb=2\r\n\r\n[IsSendAll]\r\nIsSendAll=1\r\n\r\n")));
    ini.eraseSection(QStringLiteral("cardsinfo"));
    EXPECT_FALSE(ini.hasSection(QStringLiteral("CardsInfo")));
    EXPECT_TRUE(ini.hasKey(QStringLiteral("IsSendAll"), QStringLiteral("IsSendAll")));
}

TEST(IniFile, MissingFileIsEmptyAndSaveReplacesWholeFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("SetCfg.ini"));
    IniFile ini;
    EXPECT_TRUE(ini.load(path));
    EXPECT_TRUE(ini.sections().isEmpty());
    ini.setValue(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("v"));
    ASSERT_TRUE(ini.save(path));
    IniFile again;
    ASSERT_TRUE(again.load(path));
    EXPECT_EQ(again.value(QStringLiteral("a"), QStringLiteral("K")), QStringLiteral("v"));
    // No temporary file is left beside the target.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({QStringLiteral("SetCfg.ini")}));
}

TEST(IniFile, SaveIntoMissingFolderFailsAndReportsWhy)
{
    IniFile ini;
    ini.setValue(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("v"));
    EXPECT_FALSE(ini.save(QStringLiteral("/nonexistent-folder/x/SetCfg.ini")));
    EXPECT_FALSE(ini.errorString().isEmpty());
}

TEST(IniFile, ValuesWithOuterQuotesOrBlanksSurviveSaveAndLoad)
{
    const QStringList values = {QStringLiteral("\"x\""), QStringLiteral(" lead"), QStringLiteral("trail "),
                                QStringLiteral("'a'"), QStringLiteral("\""), QStringLiteral("plain")};
    IniFile ini;
    for (int i = 0; i < values.size(); ++i)
        ini.setValue(QStringLiteral("S"), QStringLiteral("k%1").arg(i), values.at(i));
    IniFile again;
    again.parse(ini.toBytes());
    IniFile third;
    third.parse(again.toBytes());
    for (int i = 0; i < values.size(); ++i) {
        EXPECT_EQ(again.value(QStringLiteral("S"), QStringLiteral("k%1").arg(i)), values.at(i));
        EXPECT_EQ(third.value(QStringLiteral("S"), QStringLiteral("k%1").arg(i)), values.at(i));
    }
    // Plain values are written without quotes, as other programs expect.
    EXPECT_TRUE(ini.toBytes().contains("k5=plain\r\n"));
}
