// The locale of the current language, for what Qt draws by itself (the
// calendar's month and day names); never the machine's locale.
#pragma once

#include <QLocale>

namespace ledsign {

QLocale currentLanguageLocale();

} // namespace ledsign
