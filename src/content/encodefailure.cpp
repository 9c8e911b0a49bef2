#include "content/encodefailure.h"

#include "language/language.h"

namespace ledsign {

namespace {
constexpr int kMessageCategory = 3; // warnings and progress texts of the main window
}

QString EncodeFailure::message() const
{
    const QString text = messageKey.isEmpty() ? QString() : GetLgText(kMessageCategory, messageKey);
    if (text.isEmpty())
        return detail.isEmpty() ? messageKey : detail;
    if (detail.isEmpty() || detail == text)
        return text;
    return text + QLatin1Char('\n') + detail;
}

} // namespace ledsign
