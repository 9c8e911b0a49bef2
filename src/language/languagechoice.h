// The start-up choice of the language: the stored language number and the
// user's locale decide which table becomes current. Every language stays on
// the language menu, whatever the locale.
#pragma once

#include <QLocale>

namespace ledsign {

enum class ChineseLocale {
    None,        // not a Chinese locale
    Simplified,  // mainland China, Singapore
    Traditional, // Taiwan, Hong Kong, Macao
};

ChineseLocale chineseLocaleOf(const QLocale& locale);

struct StartupLanguage {
    int language = 2;  // 0 simplified Chinese, 1 traditional Chinese, 2 English
};

// A stored 2 keeps English; any other stored value lets the locale decide,
// so a stored Chinese variant is never forced onto a system of the other
// variant or a non-Chinese one.
StartupLanguage chooseStartupLanguage(int lgType, const QLocale& locale);

} // namespace ledsign
