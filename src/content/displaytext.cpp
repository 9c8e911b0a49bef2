#include "content/displaytext.h"

#include "content/colortable.h"
#include "content/fontsizetable.h"
#include "content/fonttable.h"
#include "content/shortrunmarkup.h"
#include "language/language.h"
#include "model/lenientdate.h"
#include "model/materialkinds.h"

#include <QStringList>

namespace ledsign {

namespace {

constexpr int kUnitCategory = 15;
constexpr int kPrefixPointSize = 12; // size code 1, for a code outside the table
const QString kRunSeparator = QStringLiteral("~*");

// Unit words in the order they are coloured.
const char* const kColouredUnits[] = {"Unit_Year", "Unit_Month", "Unit_Date", "Unit_Day",
                                      "Unit_Week", "Unit_Hour", "Unit_Minute", "Unit_Second"};

// Count-up and count-down share their kind's code; the type code sent to the
// card ('4' up, '3' down) tells them apart when it is set.
bool isCountUp(const TFodder& m)
{
    constexpr int kTypeCountDown = '3';
    constexpr int kTypeCountUp = '4';
    if (m.typeCode == kTypeCountDown || m.typeCode == kTypeCountUp)
        return m.typeCode == kTypeCountUp;
    return m.kind == kCountUp;
}

QString twoDigits(qint64 v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); }

QChar separatorIn(const QString& format, QChar fallback)
{
    for (const QChar c : format) {
        if (!c.isLetterOrNumber() && !c.isSpace() && c != QLatin1Char('\''))
            return c;
    }
    return fallback;
}

} // namespace

QDateTime DisplayTextContext::now() const
{
    return clock ? clock() : QDateTime::currentDateTime();
}

QString DisplayTextContext::text(int category, const QString& key) const
{
    return lookup ? lookup(category, key) : GetLgText(category, key);
}

QChar DisplayTextContext::dateSep() const
{
    if (!dateSeparator.isNull())
        return dateSeparator;
    return separatorIn(locale.dateFormat(QLocale::ShortFormat), QLatin1Char('/'));
}

QChar DisplayTextContext::timeSep() const
{
    if (!timeSeparator.isNull())
        return timeSeparator;
    return separatorIn(locale.timeFormat(QLocale::ShortFormat), QLatin1Char(':'));
}

QString displayRunPrefix(int colorCode, int fontCode, int sizeCode)
{
    const QChar sep = QLatin1Char('^');
    return markupColorName(colorCode) + sep + cardFontName(fontCode) + sep
        + QString::number(pointSizeOfSizeCode(sizeCode, kPrefixPointSize)) + sep;
}

QString formatDisplayPattern(const QString& pattern, const QDateTime& time, const DisplayTextContext& ctx)
{
    const QDate d = time.date();
    const QTime t = time.time();
    QString out;
    qsizetype i = 0;
    auto at = [&](const char* token) {
        const QLatin1String tok(token);
        if (QStringView(pattern).mid(i).startsWith(tok)) {
            i += tok.size();
            return true;
        }
        return false;
    };
    while (i < pattern.size()) {
        if (at("YYYY"))
            out += QStringLiteral("%1").arg(d.year(), 4, 10, QLatin1Char('0'));
        else if (at("YY"))
            out += twoDigits(d.year() % 100);
        else if (at("MM"))
            out += twoDigits(d.month());
        else if (at("DD"))
            out += twoDigits(d.day());
        else if (at("ddd"))
            out += ctx.locale.dayName(d.dayOfWeek(), QLocale::ShortFormat);
        else if (at("HH"))
            out += twoDigits(t.hour());
        else if (at("nn"))
            out += twoDigits(t.minute());
        else if (at("ss"))
            out += twoDigits(t.second());
        else if (at("/"))
            out += ctx.dateSep();
        else if (at(":"))
            out += ctx.timeSep();
        else
            out += pattern.at(i++);
    }
    return out;
}

QString dateTimePlainText(int timeFormat, int displayFormat, bool twoDigitYear, const QDateTime& time,
                          const DisplayTextContext& ctx)
{
    const QString year = twoDigitYear ? QStringLiteral("YY") : QStringLiteral("YYYY");
    auto f = [&](const QString& pattern) { return formatDisplayPattern(pattern, time, ctx); };
    auto unit = [&](const char* key) { return ctx.text(kUnitCategory, QLatin1String(key)); };

    if (displayFormat == 1) {
        switch (timeFormat) {
        case 1:
            return f(year) + unit("Unit_Year") + f(QStringLiteral("MM")) + unit("Unit_Month")
                + f(QStringLiteral("DD")) + unit("Unit_Date") + f(QStringLiteral(" ddd HH")) + unit("Unit_Hour")
                + f(QStringLiteral("nn")) + unit("Unit_Minute") + f(QStringLiteral("ss")) + unit("Unit_Second");
        case 2:
            return f(year) + unit("Unit_Year") + f(QStringLiteral("MM")) + unit("Unit_Month")
                + f(QStringLiteral("DD")) + unit("Unit_Date");
        case 3:
            return f(QStringLiteral("HH")) + unit("Unit_Hour") + f(QStringLiteral("nn")) + unit("Unit_Minute")
                + f(QStringLiteral("ss")) + unit("Unit_Second");
        case 4:
            return f(QStringLiteral("HH")) + unit("Unit_Hour") + f(QStringLiteral("nn")) + unit("Unit_Minute");
        case 5:
            return f(QStringLiteral("ddd"));
        case 6:
            return f(year) + unit("Unit_Year");
        case 7:
            return f(QStringLiteral("MM")) + unit("Unit_Month");
        case 8:
            return f(QStringLiteral("DD")) + unit("Unit_Date");
        case 9:
            return f(QStringLiteral("HH")) + unit("Unit_Hour");
        case 10:
            return f(QStringLiteral("nn")) + unit("Unit_Minute");
        case 11:
            return f(QStringLiteral("ss")) + unit("Unit_Second");
        default:
            return {};
        }
    }
    if (displayFormat != 2 && displayFormat != 3)
        return {};
    const bool iso = displayFormat == 2;
    switch (timeFormat) {
    case 1:
        return iso ? f(year + QStringLiteral("-MM-DD HH:nn:ss")) : f(QStringLiteral("DD/MM/YYYY HH:nn:ss"));
    case 2:
        return iso ? f(year + QStringLiteral("-MM-DD")) : f(QStringLiteral("DD/MM/YYYY"));
    case 3:
        return f(QStringLiteral("HH:nn:ss"));
    case 4:
        return f(QStringLiteral("HH:nn"));
    case 5:
        return f(QStringLiteral("ddd"));
    case 6:
        return f(year);
    case 7:
        return f(QStringLiteral("MM"));
    case 8:
        return f(QStringLiteral("DD"));
    case 9:
        return f(QStringLiteral("HH"));
    case 10:
        return f(QStringLiteral("nn"));
    case 11:
        return f(QStringLiteral("ss"));
    default:
        return {};
    }
}

QString countPlainText(int timeFormat, bool acc, bool countUp, const QDateTime& target, const QDateTime& now,
                       const DisplayTextContext& ctx)
{
    qint64 s = 0;
    if (countUp && target < now)
        s = target.secsTo(now);
    else if (!countUp && target > now)
        s = now.secsTo(target);
    const qint64 m = s / 60;
    const qint64 h = s / 3600;
    const qint64 d = s / 86400;
    auto unit = [&](const char* key) { return ctx.text(kUnitCategory, QLatin1String(key)); };
    auto num = [](qint64 v) { return QString::number(v); };

    switch (timeFormat) {
    case 1: {
        const qint64 rest = s - 86400 * d;
        return num(d) + unit("Unit_Day") + num(rest / 3600) + unit("Unit_Hour") + twoDigits((rest % 3600) / 60)
            + unit("Unit_Minute") + twoDigits((rest % 3600) % 60) + unit("Unit_Second");
    }
    case 2:
        return num(acc ? h : h % 24) + unit("Unit_Hour") + twoDigits((s - 3600 * h) / 60) + unit("Unit_Minute")
            + twoDigits((s - 3600 * h) % 60) + unit("Unit_Second");
    case 3:
        return num(acc ? h : h % 24) + unit("Unit_Hour") + twoDigits(acc ? m - 60 * h : (m - 60 * h) % 60)
            + unit("Unit_Minute");
    case 4:
        return num(d) + unit("Unit_Day");
    case 5:
        return num(acc ? h : h % 24) + unit("Unit_Hour");
    case 6:
        return num(acc ? m : m % 60) + unit("Unit_Minute");
    case 7:
        return num(acc ? s : s % 60) + unit("Unit_Second");
    case 8:
        return num(acc ? m : m % 60) + unit("Unit_Minute") + twoDigits(acc ? s - 60 * m : (s - 60 * m) % 60)
            + unit("Unit_Second");
    default:
        return {};
    }
}

QString colourDisplayText(const QString& plain, const QString& digitPrefix, const QString& charPrefix,
                          const DisplayTextContext& ctx)
{
    QStringList words;
    for (const char* key : kColouredUnits)
        words << ctx.text(kUnitCategory, QLatin1String(key));
    words << QStringLiteral("-") << QStringLiteral("/") << QStringLiteral(":");

    QString out = digitPrefix;
    qsizetype i = 0;
    while (i < plain.size()) {
        const QStringView rest = QStringView(plain).mid(i);
        const QString* hit = nullptr;
        for (const QString& w : words) {
            if (!w.isEmpty() && rest.startsWith(w)) {
                hit = &w;
                break;
            }
        }
        if (hit) {
            out += kRunSeparator + charPrefix + *hit + kRunSeparator + digitPrefix;
            i += hit->size();
        } else {
            out += plain.at(i++);
        }
    }
    return out;
}

QString dateTimeDisplayText(const TFodder& m, const DisplayTextContext& ctx)
{
    const QString digit = displayRunPrefix(m.digitColor, m.fontCode, m.sizeCode);
    const QString chars = displayRunPrefix(m.charColor, m.fontCode, m.sizeCode);
    const QString plain = dateTimePlainText(m.timeFormat, m.displayFormat, m.textParam2 == 1, ctx.now(), ctx);
    return colourDisplayText(plain, digit, chars, ctx);
}

QString countDisplayText(const TFodder& m, const DisplayTextContext& ctx)
{
    const QString digit = displayRunPrefix(m.digitColor, m.fontCode, m.sizeCode);
    const QString chars = displayRunPrefix(m.charColor, m.fontCode, m.sizeCode);
    const QDateTime now = ctx.now();
    QDateTime target = now;
    if (!m.content.trimmed().isEmpty()) {
        const LenientDate read = parseLenientDate(m.content, ctx.locale);
        if (read.ok)
            target = read.value;
    }
    QString plain;
    if (m.displayFormat == 2 || m.displayFormat == 3)
        plain = dateTimePlainText(m.timeFormat, m.displayFormat, m.textParam2 == 1, target, ctx);
    else
        plain = countPlainText(m.timeFormat, m.timeDiffSign != 0, isCountUp(m), target,
                               now, ctx);
    return colourDisplayText(plain, digit, chars, ctx);
}

QString acquisitionDisplayText(const TFodder& m, const DisplayTextContext& ctx)
{
    return displayRunPrefix(m.digitColor, m.fontCode, m.sizeCode)
        + ctx.text(kMessageCategory, QStringLiteral("material_real_time_acquisition"));
}

QString internalCodeDisplayText(const TFodder& m)
{
    // An empty internal-code text still shows (and sends) one blank.
    const QString content = m.content.isEmpty() ? QStringLiteral(" ") : m.content;
    return shortRunText(m.charColor, m.fontCode, m.sizeCode, content);
}

QString queueDisplayText(const TFodder& m, const QString& number)
{
    // The digit colour of each dual-colour pairing 1..24 (`charColor`): a
    // queue number is digits on one line, so a line pairing gives its first
    // (and last) line's colour.
    static constexpr int kDigitColour[24] = {2, 2, 1, 1, 3, 3, 1, 1, 2, 2, 3, 3,
                                             1, 1, 2, 2, 3, 3, 1, 2, 2, 1, 2, 3};
    const int colour = m.charColor >= 1 && m.charColor <= 24 ? kDigitColour[m.charColor - 1] : 1;
    return shortRunText(colour, m.fontCode, m.sizeCode, number);
}

QString materialDisplayText(const TFodder& m, const DisplayTextContext& ctx)
{
    switch (m.kind) {
    case kDateTime:
        return dateTimeDisplayText(m, ctx);
    case kCountUp:
    case kCountDown:
        return countDisplayText(m, ctx);
    case kAcquisition:
        return acquisitionDisplayText(m, ctx);
    case kInternalCodeText:
        return internalCodeDisplayText(m);
    default:
        return {};
    }
}

} // namespace ledsign
