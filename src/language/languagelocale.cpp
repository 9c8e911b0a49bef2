#include "language/languagelocale.h"

#include "language/language.h"

namespace ledsign {

QLocale currentLanguageLocale()
{
    switch (currentLanguage()) {
    case kSimplifiedChinese:
        return QLocale(QLocale::Chinese, QLocale::SimplifiedHanScript, QLocale::China);
    case kTraditionalChinese:
        return QLocale(QLocale::Chinese, QLocale::TraditionalHanScript, QLocale::Taiwan);
    default:
        return QLocale(QLocale::English, QLocale::UnitedStates);
    }
}

} // namespace ledsign
