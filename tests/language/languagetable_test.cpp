#include "language/language.h"
#include "language/languagetable.h"

#include <gtest/gtest.h>

using namespace ledsign;

TEST(LanguageLookup, MessageTextsInEnglishAndSimplifiedChinese)
{
    setCurrentLanguage(kEnglish);
    EXPECT_EQ(GetLgText(3, QStringLiteral("warn_card_offline")),
              QStringLiteral("Controller is offline, can not send!"));
    EXPECT_EQ(GetLgText(3, QStringLiteral("object_card")), QStringLiteral("card"));
    setCurrentLanguage(kSimplifiedChinese);
    EXPECT_EQ(GetLgText(3, QStringLiteral("warn_card_offline")),
              QStringLiteral("控制卡处于离线状态，不能操作！"));
    EXPECT_EQ(GetLgText(3, QStringLiteral("object_page")), QStringLiteral("显示页"));
}
