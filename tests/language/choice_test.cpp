// Start-up language choice, communication-mode texts and comma-text items.
#include "language/commatext.h"
#include "language/commmode.h"
#include "language/language.h"
#include "language/languagechoice.h"
#include "language/languagetable.h"

#include <gtest/gtest.h>

using namespace ledsign;

TEST(StartupLanguage, LocaleDecidesUnlessEnglishIsStored)
{
    struct Case {
        int lgType;
        const char* locale;
        int language;
    };
    const Case cases[] = {
        {1, "en_US", kEnglish},
        {0, "en_GB", kEnglish},
        {2, "zh_TW", kEnglish},
        {2, "zh_CN", kEnglish},
        {2, "de_DE", kEnglish},
        {0, "zh_CN", kSimplifiedChinese},
        {1, "zh_CN", kSimplifiedChinese},
        {1, "zh_SG", kSimplifiedChinese},
        {0, "zh_TW", kTraditionalChinese},
        {0, "zh_HK", kTraditionalChinese},
        {5, "zh_MO", kTraditionalChinese},
        {-1, "zh_CN", kSimplifiedChinese},
    };
    for (const Case& c : cases) {
        const StartupLanguage choice = chooseStartupLanguage(c.lgType, QLocale(QString::fromLatin1(c.locale)));
        EXPECT_EQ(choice.language, c.language) << c.lgType << " " << c.locale;
    }
    EXPECT_EQ(chineseLocaleOf(QLocale(QLocale::Chinese, QLocale::TraditionalHanScript, QLocale::HongKong)),
              ChineseLocale::Traditional);
}

TEST(CommMode, FollowsTheSerialPortSettingAndTheLanguage)
{
    const LanguageTable en = LanguageTable::builtIn(kEnglish);
    const LanguageTable zh = LanguageTable::builtIn(kSimplifiedChinese);
    const LanguageTable tw = LanguageTable::builtIn(kTraditionalChinese);

    EXPECT_EQ(normalizedCommMode(QStringLiteral("网络"), QString(), en), QStringLiteral("Network"));
    EXPECT_EQ(normalizedCommMode(QStringLiteral("485"), QString(), en), QStringLiteral("Network"));
    EXPECT_EQ(normalizedCommMode(QString(), QString(), zh), QStringLiteral("网络"));
    EXPECT_EQ(normalizedCommMode(QStringLiteral("485"), QStringLiteral("/dev/ttyUSB0"), en),
              QStringLiteral("485"));
    EXPECT_EQ(normalizedCommMode(QStringLiteral("485"), QStringLiteral("COM1"), zh), QStringLiteral("485"));
    EXPECT_EQ(normalizedCommMode(QStringLiteral("串口"), QStringLiteral("COM1"), en),
              QStringLiteral("Serial Port"));
    EXPECT_EQ(normalizedCommMode(QStringLiteral("Network"), QStringLiteral("COM1"), zh), QStringLiteral("串口"));
    EXPECT_EQ(normalizedCommMode(QStringLiteral("Serial Port"), QStringLiteral("COM1"), tw),
              QStringLiteral("串口"));
    EXPECT_EQ(normalizedCommMode(QString(), QString(), tw), QStringLiteral("網絡"));
}

TEST(CommaText, SplitsLikeTheClassicStringListReader)
{
    EXPECT_TRUE(parseCommaText(QString()).isEmpty());
    EXPECT_TRUE(parseCommaText(QStringLiteral("   ")).isEmpty());
    EXPECT_EQ(parseCommaText(QStringLiteral("a,b,c")), (QStringList{"a", "b", "c"}));
    // Unquoted blanks separate items; ideographic spaces do not.
    EXPECT_EQ(parseCommaText(QStringLiteral("one two, three")), (QStringList{"one", "two", "three"}));
    EXPECT_EQ(parseCommaText(QStringLiteral("a　b,c")), (QStringList{QStringLiteral("a　b"), "c"}));
    EXPECT_EQ(parseCommaText(QStringLiteral("\"a, b\",\"say \"\"hi\"\"\"")),
              (QStringList{"a, b", "say \"hi\""}));
    EXPECT_EQ(parseCommaText(QStringLiteral("a,,b")), (QStringList{"a", "", "b"}));
    EXPECT_EQ(parseCommaText(QStringLiteral("a,")), (QStringList{"a", ""}));
    EXPECT_EQ(parseCommaText(QStringLiteral("\"open")), (QStringList{"open"}));
    EXPECT_EQ(parseCommaText(QStringLiteral("星期一,星期二")),
              (QStringList{QStringLiteral("星期一"), QStringLiteral("星期二")}));
}
