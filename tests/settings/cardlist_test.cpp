#include "model/cardlist.h"
#include "model/codec.h"
#include "model/inifile.h"

#include <gtest/gtest.h>

using namespace ledsign;

namespace {
const QString kFolder = QStringLiteral("/data/prgFiles");

CardListLine parsed(const QString& value)
{
    auto line = parseCardListLine(QStringLiteral("card"), value, kFolder);
    EXPECT_TRUE(line.has_value()) << value.toStdString();
    return line.value_or(CardListLine{});
}
} // namespace

TEST(CardListLine, ItemsAndTheirFallbacks)
{
    CardListLine l = parsed(QStringLiteral(" 64,32,a.prg,1_2_3_4_5_6_7_8,192.168.1.9,1:2:3:4:5:6,55,2 "));
    EXPECT_EQ(QList<int>({l.width, l.height, l.version, l.colorType}), QList<int>({64, 32, 55, '9'}));
    EXPECT_EQ(QStringList({l.programFile, l.internalCode, l.ipAddress, l.macAddress}),
              QStringList({QStringLiteral("/data/prgFiles/a.prg"), QStringLiteral("1_2_3_4_5_6_7_8"),
                           QStringLiteral("192.168.1.9"), QStringLiteral("1:2:3:4:5:6")}));
    // Empty version and colour "3": not reported, tri-colour.
    l = parsed(QStringLiteral("256,128,a.prg,,,,,3"));
    EXPECT_EQ(QList<int>({l.version, l.colorType}), QList<int>({-1, ':'}));
    // Seven items and non-numbers; a size of no pixels is as unusable as a non-number.
    l = parsed(QStringLiteral("wide,x,a.prg,c,ip,mac,v1"));
    EXPECT_EQ(QList<int>({l.width, l.height, l.version, l.colorType}), QList<int>({256, 128, -1, '8'}));
    EXPECT_EQ(l.refusedVersion, QStringLiteral("v1"));
    for (const char* unset : {"256,128,a.prg,,,,,3", "256,128,a.prg,,,, -1 ,3", "256,128,a.prg,,,,55,3"})
        EXPECT_TRUE(parsed(QString::fromLatin1(unset)).refusedVersion.isEmpty()) << unset;
    l = parsed(QStringLiteral("0,-16,a.prg,c,ip,mac,60,7"));
    EXPECT_EQ(QList<int>({l.width, l.height, l.version, l.colorType}), QList<int>({256, 128, 60, '8'}));
    EXPECT_FALSE(parseCardListLine(QStringLiteral("c"), QStringLiteral("64,32,a.prg,c,ip,mac"), kFolder));
    EXPECT_FALSE(parseCardListLine(QStringLiteral("c"), QString(), kFolder));
}

TEST(CardListLine, FileNamesKeepBlanksAndStayInTheFolder)
{
    // Stored with the blank marked, as older files have it, or with a real blank.
    EXPECT_EQ(parsed(QStringLiteral("64,32,my?*show.prg,c,ip,mac,55,1")).programFile,
              QStringLiteral("/data/prgFiles/my show.prg"));
    const CardListLine l = parsed(QStringLiteral("64, 32,my show.prg,c,ip,mac, 55,3"));
    EXPECT_EQ(QList<int>({l.height, l.version}), QList<int>({32, 55}));
    EXPECT_EQ(formatCardListLine(l), QStringLiteral("64,32,my?*show.prg,c,ip,mac,55,3"));

    EXPECT_EQ(parsed(QStringLiteral("64,32,../../etc/passwd,c,ip,mac,1")).programFile,
              QStringLiteral("/data/prgFiles/passwd"));
    EXPECT_EQ(parsed(QStringLiteral("64,32,C:\\led\\prgFiles\\b.prg,c,ip,mac,1")).programFile,
              QStringLiteral("/data/prgFiles/b.prg"));
    EXPECT_EQ(parsed(QStringLiteral("64,32,..,c,ip,mac,1")).programFile, QString());
}

TEST(CardList, KeepsFileOrderAndNamesThatDifferOnlyInCase)
{
    IniFile ini;
    ini.parse(codec::encode(QStringLiteral(
        "[CardsInfo]\r\nzeta=64,32,z.prg,,,,1\r\nshort=64,32,s.prg,,,\r\nCard=64,32,u.prg,,,,1\r\n"
        "card=96,48,l.prg,,,,1\r\nzeta=128,64,second.prg,,,,1\r\na=b=32,16,eq.prg,,,,1\r\n")));
    const QList<CardListLine> cards = readCardList(ini, kFolder);
    QStringList names;
    for (const CardListLine& c : cards)
        names << c.name + u':' + QString::number(c.width);
    EXPECT_EQ(names, QStringList({QStringLiteral("zeta:64"), QStringLiteral("Card:64"),
                                  QStringLiteral("card:96"), QStringLiteral("a=b:32")}));

    // Written back and read again, nothing is merged or reordered.
    IniFile out;
    writeCardList(out, cards);
    IniFile again;
    again.parse(out.toBytes());
    QStringList reread;
    for (const CardListLine& c : readCardList(again, kFolder))
        reread << c.name + u':' + QString::number(c.width);
    EXPECT_EQ(reread, names);
}
