#include "language/languagechoice.h"

#include "language/language.h"

namespace ledsign {

ChineseLocale chineseLocaleOf(const QLocale& locale)
{
    if (locale.language() != QLocale::Chinese)
        return ChineseLocale::None;
    switch (locale.territory()) {
    case QLocale::China:
    case QLocale::Singapore:
        return ChineseLocale::Simplified;
    case QLocale::Taiwan:
    case QLocale::HongKong:
    case QLocale::Macao:
        return ChineseLocale::Traditional;
    default:
        return ChineseLocale::None;
    }
}

StartupLanguage chooseStartupLanguage(int lgType, const QLocale& locale)
{
    const ChineseLocale chinese = chineseLocaleOf(locale);
    StartupLanguage choice;
    if (lgType == kEnglish || chinese == ChineseLocale::None)
        choice.language = kEnglish;
    else if (chinese == ChineseLocale::Simplified)
        choice.language = kSimplifiedChinese;
    else
        choice.language = kTraditionalChinese;
    return choice;
}

} // namespace ledsign
