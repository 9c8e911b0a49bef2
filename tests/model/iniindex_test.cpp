// The INI file's look-ups stay right through every kind of change: the
// first of two equal keys (any case) is the one read and set, removals and
// erased sections are forgotten, and a file of many thousand keys keeps
// all of them in order.
#include "model/inifile.h"

#include <gtest/gtest.h>

using namespace ledsign;

namespace {

TEST(IniIndex, TheFirstOfEqualKeysIsReadAndSetInAnyCase)
{
    IniFile ini;
    ini.parse("[Cards]\r\nHall=1\r\nhall=2\r\n[cards]\r\nHALL=3\r\nGate=4\r\n");
    EXPECT_EQ(ini.value("CARDS", "hAlL"), "1");
    ini.setValue("cards", "HALL", "9");
    EXPECT_EQ(ini.keyValues("Cards"),
              (QList<std::pair<QString, QString>>{{"Hall", "9"}, {"hall", "2"}, {"HALL", "3"}, {"Gate", "4"}}));
    ini.appendValue("Cards", "gate", "5");
    EXPECT_EQ(ini.value("Cards", "GATE"), "4") << "an appended twin does not shadow the first";
    ini.setValue("Cards", "Exit", "6");
    EXPECT_EQ(ini.keys("Cards").last(), "Exit");
    EXPECT_TRUE(ini.hasKey("cards", "exit"));
}

TEST(IniIndex, RemovalsAndErasedSectionsAreForgotten)
{
    IniFile ini;
    ini.parse("[A]\r\nk=1\r\nK=2\r\nm=3\r\n[B]\r\nx=1\r\n[C]\r\ny=2\r\n");
    ini.removeKey("A", "k");
    EXPECT_FALSE(ini.hasKey("A", "K")) << "every twin goes";
    EXPECT_EQ(ini.value("A", "m"), "3");
    ini.setValue("A", "k", "new");
    EXPECT_EQ(ini.keys("A"), (QStringList{"m", "k"}));
    ini.eraseSection("b");
    EXPECT_FALSE(ini.hasSection("B"));
    EXPECT_EQ(ini.value("C", "y"), "2") << "a later section is still found";
    ini.setValue("B", "x", "again");
    EXPECT_EQ(ini.sections(), (QStringList{"A", "C", "B"}));
    EXPECT_EQ(ini.value("b", "X"), "again");
    ini.clear();
    EXPECT_FALSE(ini.hasSection("A"));
    ini.setValue("A", "k", "1");
    EXPECT_EQ(ini.keys("A"), QStringList{"k"});
}

TEST(IniIndex, SixtyThousandKeysKeepTheirOrderAndValues)
{
    IniFile ini;
    for (int i = 0; i < 60000; ++i)
        ini.setValue("CardsInfo", QStringLiteral("Card%1").arg(i), QString::number(i));
    for (int i = 0; i < 60000; i += 2)
        ini.setValue("CardsInfo", QStringLiteral("card%1").arg(i), QStringLiteral("even"));
    IniFile again;
    again.parse(ini.toBytes());
    const auto values = again.keyValues("CardsInfo");
    ASSERT_EQ(values.size(), 60000);
    for (int i = 0; i < 60000; ++i) {
        ASSERT_EQ(values.at(i).first, QStringLiteral("Card%1").arg(i));
        ASSERT_EQ(values.at(i).second, i % 2 ? QString::number(i) : QStringLiteral("even"));
    }
    EXPECT_EQ(again.value("cardsinfo", "CARD59999"), "59999");
}

} // namespace
