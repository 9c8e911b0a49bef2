#include "model/lenientdate.h"

#include <QStringList>

namespace ledsign {

namespace {

QDateTime tryParse(const QString& raw, const QLocale& locale)
{
    const QString text = raw.simplified();
    if (text.isEmpty())
        return {};
    for (auto format : {QLocale::ShortFormat, QLocale::LongFormat, QLocale::NarrowFormat}) {
        QDateTime dt = locale.toDateTime(text, format);
        if (dt.isValid())
            return dt;
        const QDate d = locale.toDate(text, format);
        if (d.isValid())
            return QDateTime(d, QTime(0, 0));
    }
    static const QStringList dates{QStringLiteral("yyyy-M-d"), QStringLiteral("yyyy/M/d"),
                                   QStringLiteral("yyyy.M.d")};
    static const QStringList times{QString(), QStringLiteral(" H:m:s"), QStringLiteral(" H:m"),
                                   QStringLiteral(" H:m:s.z"), QStringLiteral("'T'H:m:s")};
    for (const QString& d : dates) {
        for (const QString& t : times) {
            QDateTime dt = QDateTime::fromString(text, d + t);
            if (dt.isValid())
                return dt;
        }
    }
    return {};
}

} // namespace

LenientDate parseLenientDate(const QString& text, const QLocale& locale)
{
    LenientDate result;
    QString attempt = text;
    for (int round = 0; round < 3; ++round) {
        if (round == 1) {
            attempt.replace(QLatin1Char('-'), QLatin1Char('/'));
            attempt.replace(QLatin1Char('.'), QLatin1Char('/'));
        } else if (round == 2) {
            attempt.replace(QLatin1Char('-'), QLatin1Char('.'));
            attempt.replace(QLatin1Char('/'), QLatin1Char('.'));
        }
        const QDateTime dt = tryParse(attempt, locale);
        if (dt.isValid()) {
            result.ok = true;
            result.value = dt;
            result.text = attempt;
            return result;
        }
    }
    result.text = text;
    return result;
}

} // namespace ledsign
