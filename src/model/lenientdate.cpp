#include "model/lenientdate.h"

#include <QList>

#include <algorithm>

namespace ledsign {

namespace {

// Every form read here carries a number (year, day or hour), so a text
// without a digit is turned away before Qt's date parser is asked: that parser
// is slow on texts it cannot read, and a field is checked on every keystroke.
bool hasDigit(const QString& text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.isDigit(); });
}

QDateTime tryParse(const QString& raw, const QLocale& locale)
{
    const QString text = raw.simplified();
    if (text.isEmpty() || !hasDigit(text))
        return {};
    for (auto format : {QLocale::ShortFormat, QLocale::LongFormat, QLocale::NarrowFormat}) {
        QDateTime dt = locale.toDateTime(text, format);
        if (dt.isValid())
            return dt;
        const QDate d = locale.toDate(text, format);
        if (d.isValid())
            return QDateTime(d, QTime(0, 0));
    }
    // The fixed forms only read when their separators are all there, so a
    // form whose separators are missing from the text is not tried.
    struct Form {
        QString format;
        QChar separator;
        int count;
    };
    static const QList<Form> dates{{QStringLiteral("yyyy-M-d"), u'-', 2},
                                   {QStringLiteral("yyyy/M/d"), u'/', 2},
                                   {QStringLiteral("yyyy.M.d"), u'.', 2}};
    static const QList<Form> times{{QString(), QChar(), 0},
                                   {QStringLiteral(" H:m:s"), u':', 2},
                                   {QStringLiteral(" H:m"), u':', 1},
                                   {QStringLiteral(" H:m:s.z"), u':', 2},
                                   {QStringLiteral("'T'H:m:s"), u':', 2}};
    for (const Form& d : dates) {
        if (text.count(d.separator) < d.count)
            continue;
        for (const Form& t : times) {
            if (t.count > 0 && text.count(t.separator) < t.count)
                continue;
            QDateTime dt = QDateTime::fromString(text, d.format + t.format);
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
        const QString before = attempt;
        if (round == 1) {
            attempt.replace(QLatin1Char('-'), QLatin1Char('/'));
            attempt.replace(QLatin1Char('.'), QLatin1Char('/'));
        } else if (round == 2) {
            attempt.replace(QLatin1Char('-'), QLatin1Char('.'));
            attempt.replace(QLatin1Char('/'), QLatin1Char('.'));
        }
        // A replacement that changed nothing would only read the same way again.
        if (round > 0 && attempt == before)
            continue;
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
