#include "content/encodefailure.h"

#include "language/language.h"

namespace ledsign {

namespace {
}

QString EncodeFailure::message() const
{
    const QString text = messageKey.isEmpty() ? QString() : messageText(messageKey);
    if (text.isEmpty())
        return detail.isEmpty() ? messageKey : detail;
    if (detail.isEmpty() || detail == text)
        return text;
    return text + QLatin1Char('\n') + detail;
}

} // namespace ledsign
