#include "content/dateforms.h"

#include "model/lenientdate.h"

namespace ledsign {

DialogDateTime readDialogDateTime(const QString& text, const QDateTime& now, const QLocale& locale)
{
    DialogDateTime result;
    QString t = text;
    t.replace(QChar(0x3000), QLatin1Char(' '));
    if (t.trimmed().isEmpty()) {
        result.ok = true;
        result.value = now;
        return result;
    }
    const LenientDate read = parseLenientDate(t, locale);
    if (!read.ok) {
        result.error = QStringLiteral("'%1' is not a valid date and time.").arg(text);
        return result;
    }
    result.ok = true;
    result.value = read.value;
    return result;
}

QString formatDialogDateTime(const QDate& date, const QTime& time)
{
    return date.toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char(' ') + time.toString(QStringLiteral("HH:mm:ss"));
}

bool dateControlsEnabled(DatePlayChoice choice)
{
    return choice != DatePlayChoice::EveryDay;
}

} // namespace ledsign
