#include "content/xlsnumberformat.h"

#include <QDate>
#include <QList>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

#include <cmath>

namespace ledsign {

namespace {

// A decimal number rounded as a sheet rounds it: first to the 15
// significant digits a sheet keeps, then half away from zero at the digits
// shown (2.675 shown with two decimals is 2.68, not the 2.67 of its binary).
struct Decimal {
    QString whole;    // without leading zeros; empty for 0
    QString fraction; // exactly the digits asked for
};

Decimal rounded(double magnitude, int decimals)
{
    Decimal out;
    out.fraction = QString(decimals, QLatin1Char('0'));
    if (!(magnitude > 0) || !std::isfinite(magnitude))
        return out;
    const QString e = QString::number(magnitude, 'e', 14); // d.dddddddddddddde±XX
    QString digits = e.left(1) + e.mid(2, 14);
    int wholeDigits = e.mid(e.indexOf(QLatin1Char('e')) + 1).toInt() + 1;
    const int keep = wholeDigits + decimals;
    if (keep < 0)
        return out;
    if (keep < digits.size()) {
        const bool up = digits[keep] >= QLatin1Char('5');
        digits.truncate(keep);
        if (up) {
            int i = keep - 1;
            for (; i >= 0; --i) {
                if (digits[i] == QLatin1Char('9')) {
                    digits[i] = QLatin1Char('0');
                } else {
                    digits[i] = QChar(digits[i].unicode() + 1);
                    break;
                }
            }
            if (i < 0) {
                digits.prepend(QLatin1Char('1'));
                ++wholeDigits;
            }
        }
    }
    // Leading zeros for numbers below one, trailing ones to the places asked.
    if (wholeDigits < 0) {
        digits.prepend(QString(-wholeDigits, QLatin1Char('0')));
        wholeDigits = 0;
    }
    const int total = wholeDigits + decimals;
    if (digits.size() < total)
        digits.append(QString(total - digits.size(), QLatin1Char('0')));
    out.whole = digits.left(wholeDigits);
    out.fraction = digits.mid(wholeDigits, decimals);
    while (out.whole.startsWith(QLatin1Char('0')))
        out.whole.remove(0, 1);
    return out;
}

QString withoutTrailingZeros(QString whole, QString fraction)
{
    while (fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    if (whole.isEmpty())
        whole = QStringLiteral("0");
    return fraction.isEmpty() ? whole : whole + QLatin1Char('.') + fraction;
}

// ---- format codes ---------------------------------------------------------

enum class T {
    Literal, Zero, Hash, Question, Point, Comma, Percent, Exponent, Slash, Text, General,
    Year, Month, Minute, Day, Hour, Second, SubSecond, AmPm, ChineseWeekday, Elapsed,
};

struct Token {
    T kind;
    QString text; // a literal; the AM/PM form; the exponent's sign; the elapsed unit
    int count = 1; // letters of a date part, digits of a fraction of a second
};

struct Section {
    QList<Token> tokens;
    bool isDate = false;
    bool hasCondition = false;
    QString conditionOp;
    double conditionValue = 0;
};

bool conditionHolds(const Section& s, double v)
{
    const QString& op = s.conditionOp;
    const double c = s.conditionValue;
    if (op == QLatin1String("<"))
        return v < c;
    if (op == QLatin1String("<="))
        return v <= c;
    if (op == QLatin1String(">"))
        return v > c;
    if (op == QLatin1String(">="))
        return v >= c;
    if (op == QLatin1String("<>"))
        return v != c;
    return v == c;
}

// What stands inside "[...]": a colour, a locale, a currency, a condition
// or an elapsed-time unit.
void readBracket(const QString& inner, Section& s)
{
    if (inner.startsWith(QLatin1Char('$'))) {
        const QString symbol = inner.mid(1).section(QLatin1Char('-'), 0, 0);
        if (!symbol.isEmpty())
            s.tokens.append({T::Literal, symbol});
        return;
    }
    if (!inner.isEmpty() && QStringLiteral("<>=").contains(inner[0])) {
        int i = 0;
        while (i < inner.size() && QStringLiteral("<>=").contains(inner[i]))
            ++i;
        bool ok = false;
        const double value = inner.mid(i).trimmed().toDouble(&ok);
        if (ok) {
            s.hasCondition = true;
            s.conditionOp = inner.left(i);
            s.conditionValue = value;
        }
        return;
    }
    const QString lower = inner.toLower();
    if (!lower.isEmpty() && QStringLiteral("hms").contains(lower[0]) && lower.count(lower[0]) == lower.size()) {
        s.tokens.append({T::Elapsed, lower.left(1), int(lower.size())});
        s.isDate = true;
    }
    // Colours ([Red], [Color 10]) and [DBNum1] change nothing in the text.
}

Section parseSection(const QString& code)
{
    Section s;
    const int n = int(code.size());
    auto run = [&](int at, QChar c) {
        int end = at;
        while (end < n && code[end].toLower() == c)
            ++end;
        return end - at;
    };
    for (int i = 0; i < n; ++i) {
        const QChar c = code[i];
        const QChar lower = c.toLower();
        if (c == QLatin1Char('"')) {
            const int end = code.indexOf(QLatin1Char('"'), i + 1);
            s.tokens.append({T::Literal, code.mid(i + 1, (end < 0 ? n : end) - i - 1)});
            i = end < 0 ? n : end;
        } else if (c == QLatin1Char('\\') || c == QLatin1Char('!')) {
            if (i + 1 < n)
                s.tokens.append({T::Literal, code.mid(++i, 1)});
        } else if (c == QLatin1Char('_')) {
            s.tokens.append({T::Literal, QStringLiteral(" ")});
            ++i;
        } else if (c == QLatin1Char('*')) {
            ++i; // a fill to the cell's width: nothing in a text
        } else if (c == QLatin1Char('[')) {
            const int end = code.indexOf(QLatin1Char(']'), i + 1);
            readBracket(code.mid(i + 1, (end < 0 ? n : end) - i - 1), s);
            i = end < 0 ? n : end;
        } else if (c == QLatin1Char('0')) {
            s.tokens.append({T::Zero, {}});
        } else if (c == QLatin1Char('#')) {
            s.tokens.append({T::Hash, {}});
        } else if (c == QLatin1Char('?')) {
            s.tokens.append({T::Question, {}});
        } else if (c == QLatin1Char('.')) {
            s.tokens.append({T::Point, {}});
        } else if (c == QLatin1Char(',')) {
            s.tokens.append({T::Comma, {}});
        } else if (c == QLatin1Char('%')) {
            s.tokens.append({T::Percent, {}});
        } else if (lower == QLatin1Char('e') && i + 1 < n
                   && (code[i + 1] == QLatin1Char('+') || code[i + 1] == QLatin1Char('-'))) {
            s.tokens.append({T::Exponent, code.mid(i + 1, 1)});
            ++i;
        } else if (c == QLatin1Char('/')) {
            s.tokens.append({T::Slash, QStringLiteral("/")});
        } else if (c == QLatin1Char('@')) {
            s.tokens.append({T::Text, {}});
        } else if (code.mid(i, 7).compare(QLatin1String("General"), Qt::CaseInsensitive) == 0) {
            s.tokens.append({T::General, {}});
            i += 6;
        } else if (code.mid(i, 5).compare(QLatin1String("AM/PM"), Qt::CaseInsensitive) == 0) {
            s.tokens.append({T::AmPm, code.mid(i, 5)});
            s.isDate = true;
            i += 4;
        } else if (code.mid(i, 3).compare(QLatin1String("A/P"), Qt::CaseInsensitive) == 0) {
            s.tokens.append({T::AmPm, code.mid(i, 3)});
            s.isDate = true;
            i += 2;
        } else if (QStringLiteral("ymdhsae").contains(lower)) {
            const int count = run(i, lower);
            if (lower == QLatin1Char('a') && count < 3) {
                s.tokens.append({T::Literal, code.mid(i, count)});
            } else {
                const T kind = lower == QLatin1Char('y') || lower == QLatin1Char('e') ? T::Year
                               : lower == QLatin1Char('m')                           ? T::Month
                               : lower == QLatin1Char('d')                           ? T::Day
                               : lower == QLatin1Char('h')                           ? T::Hour
                               : lower == QLatin1Char('s')                           ? T::Second
                                                                                     : T::ChineseWeekday;
                s.tokens.append({kind, {}, count});
                s.isDate = true;
            }
            i += count - 1;
        } else {
            s.tokens.append({T::Literal, QString(c)});
        }
    }
    if (!s.isDate)
        return s;
    // In a date "m" after an hour or before a second is the minute, a
    // point after the seconds starts their fraction, and "/" is a literal.
    QList<Token> out;
    for (int i = 0; i < s.tokens.size(); ++i) {
        Token t = s.tokens[i];
        if (t.kind == T::Month) {
            bool minute = false;
            for (int j = int(out.size()) - 1; j >= 0; --j) {
                if (out[j].kind == T::Literal)
                    continue;
                minute = out[j].kind == T::Hour || (out[j].kind == T::Elapsed && out[j].text == QLatin1String("h"));
                break;
            }
            for (int j = i + 1; !minute && j < s.tokens.size(); ++j) {
                if (s.tokens[j].kind == T::Literal)
                    continue;
                minute = s.tokens[j].kind == T::Second
                         || (s.tokens[j].kind == T::Elapsed && s.tokens[j].text == QLatin1String("s"));
                break;
            }
            if (minute)
                t.kind = T::Minute;
        } else if (t.kind == T::Point && !out.isEmpty()
                   && (out.last().kind == T::Second || out.last().kind == T::Elapsed)) {
            int zeros = 0;
            while (i + 1 < s.tokens.size() && s.tokens[i + 1].kind == T::Zero) {
                ++zeros;
                ++i;
            }
            if (zeros > 0) {
                out.append({T::SubSecond, {}, qMin(zeros, 3)});
                continue;
            }
            t = {T::Literal, QStringLiteral(".")};
        } else if (t.kind == T::Slash || t.kind == T::Point || t.kind == T::Comma || t.kind == T::Zero
                   || t.kind == T::Hash || t.kind == T::Question || t.kind == T::Percent) {
            static const QString literal = QStringLiteral("/.,0#?%");
            t = {T::Literal, QString(literal[int(t.kind == T::Slash ? 0 : t.kind == T::Point ? 1 : t.kind == T::Comma ? 2
                                                     : t.kind == T::Zero ? 3 : t.kind == T::Hash ? 4
                                                     : t.kind == T::Question ? 5 : 6)])};
        }
        out.append(t);
    }
    s.tokens = out;
    return s;
}

QList<Section> parseCode(const QString& code)
{
    QList<Section> sections;
    QString current;
    bool quoted = false, bracket = false;
    for (int i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (c == QLatin1Char('\\') && i + 1 < code.size() && !quoted) {
            current += c;
            current += code[++i];
            continue;
        }
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (!quoted && c == QLatin1Char('['))
            bracket = true;
        else if (!quoted && c == QLatin1Char(']'))
            bracket = false;
        if (c == QLatin1Char(';') && !quoted && !bracket) {
            sections.append(parseSection(current));
            current.clear();
        } else {
            current += c;
        }
    }
    sections.append(parseSection(current));
    return sections;
}

// ---- numbers --------------------------------------------------------------

bool isDigitToken(T k)
{
    return k == T::Zero || k == T::Hash || k == T::Question;
}

QChar filler(T k)
{
    return k == T::Zero ? QLatin1Char('0') : k == T::Question ? QLatin1Char(' ') : QChar();
}

// The placeholders of the whole part take the digits from the right; the
// first takes any the format has no room for.
QString wholeDigits(const QString& digits, const QList<T>& places, int index, bool group)
{
    const int n = int(places.size());
    const int len = int(digits.size());
    QString out;
    auto emitAt = [&](int position, T kind) {
        if (position < len)
            out += digits[len - 1 - position];
        else if (!filler(kind).isNull())
            out += filler(kind);
        else
            return;
        if (group && position > 0 && position % 3 == 0 && (position < len || kind == T::Zero))
            out += QLatin1Char(',');
    };
    const int position = n - 1 - index;
    if (index == 0)
        for (int p = qMax(len, n) - 1; p > position; --p)
            emitAt(p, places[0]); // only digits of the number stand there
    emitAt(position, places[index]);
    return out;
}

// The best fraction of `value` (below one) with a denominator of at most
// `maxDenominator`, or the nearest with `fixed` when that is set.
void fractionOf(double value, int maxDenominator, int fixed, qint64* numerator, qint64* denominator)
{
    if (fixed > 0) {
        *denominator = fixed;
        *numerator = qint64(std::llround(value * fixed));
        return;
    }
    qint64 bestN = 0, bestD = 1;
    double bestError = value;
    for (qint64 d = 1; d <= maxDenominator; ++d) {
        const qint64 n = std::llround(value * double(d));
        const double error = std::fabs(value - double(n) / double(d));
        if (error < bestError - 1e-12) {
            bestError = error;
            bestN = n;
            bestD = d;
        }
    }
    *numerator = bestN;
    *denominator = bestD;
}

// "# ?/?", "?/8": [whole] numerator / denominator.
QString formatFraction(double v, const Section& s)
{
    const QList<Token>& tokens = s.tokens;
    int slash = 0;
    while (tokens[slash].kind != T::Slash)
        ++slash;
    int numStart = slash;
    while (numStart > 0 && isDigitToken(tokens[numStart - 1].kind))
        --numStart;
    bool hasWhole = false;
    for (int i = 0; i < numStart; ++i)
        hasWhole = hasWhole || isDigitToken(tokens[i].kind);
    int denEnd = slash + 1;
    QString fixedText;
    // A fixed denominator ("?/100") starts with a digit other than 0.
    auto digitLiteral = [&](int i) {
        return tokens[i].kind == T::Literal && tokens[i].text.size() == 1 && tokens[i].text[0].isDigit();
    };
    if (denEnd < tokens.size() && digitLiteral(denEnd))
        while (denEnd < tokens.size() && (digitLiteral(denEnd) || tokens[denEnd].kind == T::Zero))
            fixedText += tokens[denEnd++].kind == T::Zero ? QStringLiteral("0") : tokens[denEnd - 1].text;
    int denDigits = 0;
    while (fixedText.isEmpty() && denEnd < tokens.size() && isDigitToken(tokens[denEnd].kind)) {
        ++denDigits;
        ++denEnd;
    }
    const int fixed = fixedText.toInt();
    double whole = hasWhole ? std::floor(v) : 0.0;
    qint64 num = 0, den = 1;
    fractionOf(v - whole, int(std::pow(10, qBound(1, denDigits, 4))) - 1, fixed, &num, &den);
    if (hasWhole && num == den) {
        whole += 1;
        num = 0;
    }
    if (!hasWhole)
        num += qint64(std::floor(v)) * den;
    const bool showFraction = !hasWhole || num != 0;
    QString out;
    bool wholeDone = false;
    for (int i = 0; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (i >= numStart && i < denEnd) {
            if (i == slash && showFraction)
                out += QString::number(num) + QLatin1Char('/') + QString::number(den);
        } else if (isDigitToken(t.kind)) {
            if (!wholeDone)
                out += whole > 0 ? QString::number(whole, 'f', 0)
                       : (t.kind == T::Zero || !showFraction) ? QStringLiteral("0") : QString();
            wholeDone = true;
        } else if (t.kind == T::Literal) {
            out += t.text;
        }
    }
    return out;
}

QString formatScientific(double v, const Section& s, int expAt)
{
    QList<T> wholePlaces, fracPlaces;
    int pointAt = -1;
    for (int i = 0; i < expAt; ++i) {
        const T k = s.tokens[i].kind;
        if (k == T::Point)
            pointAt = i;
        else if (isDigitToken(k))
            (pointAt < 0 ? wholePlaces : fracPlaces).append(k);
    }
    if (wholePlaces.isEmpty())
        wholePlaces.append(T::Zero);
    int expDigits = 0;
    for (int i = expAt + 1; i < s.tokens.size() && isDigitToken(s.tokens[i].kind); ++i)
        ++expDigits;
    const int places = int(wholePlaces.size());
    // "##0.0E+0" keeps the exponent a multiple of the whole places.
    const bool engineering = places > 1 && wholePlaces.contains(T::Hash);
    const int step = engineering ? places : 1;
    int exponent = 0;
    Decimal m;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (v > 0) {
            const int magnitude = int(std::floor(std::log10(v))) + attempt;
            exponent = engineering ? int(std::floor(double(magnitude) / step)) * step : magnitude - (places - 1);
        }
        m = rounded(v / std::pow(10.0, exponent), int(fracPlaces.size()));
        if (m.whole.size() <= places) // else 9.99 became 10.0
            break;
    }
    QString out;
    int wholeIndex = 0, fracIndex = 0;
    for (int i = 0; i < s.tokens.size(); ++i) {
        const Token& t = s.tokens[i];
        if (i < expAt) {
            if (isDigitToken(t.kind)) {
                if (pointAt < 0 || i < pointAt) {
                    if (wholeIndex < places)
                        out += wholeDigits(m.whole, wholePlaces, wholeIndex++, false);
                } else if (fracIndex < m.fraction.size()) {
                    out += m.fraction[fracIndex++];
                }
            } else if (t.kind == T::Point) {
                out += QLatin1Char('.');
            } else if (t.kind == T::Literal) {
                out += t.text;
            }
        } else if (i == expAt) {
            out += QLatin1Char('E');
            if (exponent < 0)
                out += QLatin1Char('-');
            else if (t.text == QLatin1String("+"))
                out += QLatin1Char('+');
            QString digits = QString::number(std::abs(exponent));
            if (digits.size() < expDigits)
                digits.prepend(QString(expDigits - digits.size(), QLatin1Char('0')));
            out += digits;
            i += expDigits;
        } else if (t.kind == T::Literal) {
            out += t.text;
        }
    }
    return out;
}

// A magnitude in a section of placeholders: "0.00", "#,##0", "0%", "#,##0,".
QString formatPlaces(double v, const Section& s)
{
    const QList<Token>& tokens = s.tokens;
    int pointAt = -1, lastDigit = -1;
    for (int i = 0; i < tokens.size(); ++i) {
        if (tokens[i].kind == T::Point && pointAt < 0)
            pointAt = i;
        if (isDigitToken(tokens[i].kind))
            lastDigit = i;
        if (tokens[i].kind == T::Percent)
            v *= 100;
        if (tokens[i].kind == T::Exponent)
            return formatScientific(v, s, i);
        if (tokens[i].kind == T::Slash)
            return formatFraction(v, s);
    }
    QList<T> wholePlaces, fracPlaces;
    bool group = false;
    for (int i = 0; i < tokens.size(); ++i) {
        const T k = tokens[i].kind;
        if (isDigitToken(k))
            (pointAt < 0 || i < pointAt ? wholePlaces : fracPlaces).append(k);
        // A comma between placeholders groups thousands; commas after the
        // last one divide by a thousand each.
        if (k == T::Comma) {
            if (i < lastDigit && (pointAt < 0 || i < pointAt) && !wholePlaces.isEmpty())
                group = true;
            else if (i > lastDigit || (i + 1 < tokens.size() && tokens[i + 1].kind == T::Point))
                v /= 1000;
        }
    }
    const Decimal d = rounded(v, int(fracPlaces.size()));
    // Placeholders of the fraction drop trailing zeros: "#" shows nothing, "?" a blank.
    QString fraction = d.fraction;
    for (int j = int(fracPlaces.size()) - 1; j >= 0 && fraction[j] == QLatin1Char('0') && fracPlaces[j] != T::Zero; --j)
        fraction[j] = fracPlaces[j] == T::Question ? QLatin1Char(' ') : QChar(0);
    fraction.remove(QChar(0));
    QString out;
    int wholeIndex = 0, fracIndex = 0;
    bool placed = false;
    for (int i = 0; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (isDigitToken(t.kind)) {
            if (pointAt < 0 || i < pointAt)
                out += wholeDigits(d.whole, wholePlaces, wholeIndex++, group);
            else if (fracIndex < fraction.size())
                out += fraction[fracIndex++];
            placed = true;
        } else if (t.kind == T::Point) {
            if (wholePlaces.isEmpty() && !placed)
                out += d.whole;
            out += QLatin1Char('.');
            placed = true;
        } else if (t.kind == T::Literal) {
            out += t.text;
        } else if (t.kind == T::Percent) {
            out += QLatin1Char('%');
        } else if (t.kind == T::General) {
            out += generalNumberText(v);
            placed = true;
        }
    }
    return out;
}

// ---- dates ----------------------------------------------------------------

const char* const kMonths[] = {"January", "February", "March", "April", "May", "June", "July",
                               "August", "September", "October", "November", "December"};
const char* const kDays[] = {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};
const char16_t* const kChineseDays[] = {u"一", u"二", u"三", u"四", u"五", u"六", u"日"};

QString padded(qint64 n, int width)
{
    return QStringLiteral("%1").arg(n, width, 10, QLatin1Char('0'));
}

QString formatDate(double serial, const Section& s, bool date1904)
{
    int subDigits = 0;
    bool twelveHours = false;
    for (const Token& t : s.tokens) {
        if (t.kind == T::SubSecond)
            subDigits = t.count;
        if (t.kind == T::AmPm)
            twelveHours = true;
    }
    // Rounded to the smallest unit shown, so 23:59:59.7 is the next day.
    const qint64 scale = subDigits == 0 ? 1 : subDigits == 1 ? 10 : subDigits == 2 ? 100 : 1000;
    const qint64 steps = qint64(std::llround(serial * 86400.0 * double(scale)));
    const qint64 perDay = 86400 * scale;
    const qint64 days = steps / perDay;
    const qint64 inDay = steps % perDay;
    const qint64 secondsTotal = steps / scale;
    const qint64 second = inDay / scale;
    const qint64 fractionSteps = inDay % scale;

    // Day 1 is 1900-01-01; the sheet counts a 29 February 1900 (day 60).
    int year = 1900, month = 2, day = 29, weekday = 3;
    if (date1904 || days != 60) {
        const QDate base = date1904 ? QDate(1904, 1, 1) : days < 60 ? QDate(1899, 12, 31) : QDate(1899, 12, 30);
        const QDate date = base.addDays(days);
        year = date.year();
        month = date.month();
        day = date.day();
        weekday = date.dayOfWeek();
    }
    const int hour = int(second / 3600), minute = int(second / 60 % 60), sec = int(second % 60);
    const bool afternoon = hour >= 12;
    QString out;
    for (const Token& t : s.tokens) {
        switch (t.kind) {
        case T::Year:
            out += t.count <= 2 ? padded(year % 100, 2) : padded(year, 4);
            break;
        case T::Month:
            out += t.count == 1   ? QString::number(month)
                   : t.count == 2 ? padded(month, 2)
                   : t.count == 3 ? QString::fromLatin1(kMonths[month - 1]).left(3)
                   : t.count == 5 ? QString::fromLatin1(kMonths[month - 1]).left(1)
                                  : QString::fromLatin1(kMonths[month - 1]);
            break;
        case T::Day:
            out += t.count == 1   ? QString::number(day)
                   : t.count == 2 ? padded(day, 2)
                   : t.count == 3 ? QString::fromLatin1(kDays[weekday - 1]).left(3)
                                  : QString::fromLatin1(kDays[weekday - 1]);
            break;
        case T::ChineseWeekday:
            out += (t.count >= 4 ? QStringLiteral("星期") : QString()) + QString::fromUtf16(kChineseDays[weekday - 1]);
            break;
        case T::Hour: {
            const int shown = twelveHours ? (hour % 12 == 0 ? 12 : hour % 12) : hour;
            out += t.count >= 2 ? padded(shown, 2) : QString::number(shown);
            break;
        }
        case T::Minute:
            out += t.count >= 2 ? padded(minute, 2) : QString::number(minute);
            break;
        case T::Second:
            out += t.count >= 2 ? padded(sec, 2) : QString::number(sec);
            break;
        case T::SubSecond:
            out += QLatin1Char('.') + padded(fractionSteps, t.count);
            break;
        case T::Elapsed: {
            const qint64 total = t.text == QLatin1String("h")   ? secondsTotal / 3600
                                 : t.text == QLatin1String("m") ? secondsTotal / 60
                                                                : secondsTotal;
            out += padded(total, t.count);
            break;
        }
        case T::AmPm: {
            const bool upper = t.text[0].isUpper();
            QString mark = t.text.size() == 3 ? QString(afternoon ? QLatin1Char('P') : QLatin1Char('A'))
                                              : QString::fromLatin1(afternoon ? "PM" : "AM");
            out += upper ? mark : mark.toLower();
            break;
        }
        case T::Literal:
            out += t.text;
            break;
        default:
            break;
        }
    }
    return out;
}

} // namespace

QString generalNumberText(double value)
{
    if (!std::isfinite(value))
        return QStringLiteral("#NUM!");
    const double a = std::fabs(value);
    const QString sign = value < 0 ? QStringLiteral("-") : QString();
    if (a == 0)
        return QStringLiteral("0");
    if (a < 1e11 && a >= 1e-9) {
        const int wholeDigits = a < 1 ? 1 : int(std::floor(std::log10(a))) + 1;
        const Decimal d = rounded(a, qMax(0, 10 - wholeDigits));
        if (!d.whole.isEmpty() || d.fraction.contains(QRegularExpression(QStringLiteral("[1-9]"))))
            return sign + withoutTrailingZeros(d.whole, d.fraction);
    }
    // Too long for the cell: a mantissa of six digits at most.
    int exponent = int(std::floor(std::log10(a)));
    Decimal m = rounded(a / std::pow(10.0, exponent), 5);
    if (m.whole.size() > 1) {
        ++exponent;
        m = rounded(a / std::pow(10.0, exponent), 5);
    }
    return sign + withoutTrailingZeros(m.whole, m.fraction) + (exponent < 0 ? QStringLiteral("E-") : QStringLiteral("E+"))
           + padded(std::abs(exponent), 2);
}

QString builtInNumberFormat(int index)
{
    switch (index) {
    case 1: return QStringLiteral("0");
    case 2: return QStringLiteral("0.00");
    case 3: return QStringLiteral("#,##0");
    case 4: return QStringLiteral("#,##0.00");
    case 5: return QStringLiteral("$#,##0_);($#,##0)");
    case 6: return QStringLiteral("$#,##0_);[Red]($#,##0)");
    case 7: return QStringLiteral("$#,##0.00_);($#,##0.00)");
    case 8: return QStringLiteral("$#,##0.00_);[Red]($#,##0.00)");
    case 9: return QStringLiteral("0%");
    case 10: return QStringLiteral("0.00%");
    case 11: return QStringLiteral("0.00E+00");
    case 12: return QStringLiteral("# ?/?");
    case 13: return QStringLiteral("# ?\?/?\?");
    case 14: return QStringLiteral("yyyy/m/d");
    case 15: return QStringLiteral("d-mmm-yy");
    case 16: return QStringLiteral("d-mmm");
    case 17: return QStringLiteral("mmm-yy");
    case 18: return QStringLiteral("h:mm AM/PM");
    case 19: return QStringLiteral("h:mm:ss AM/PM");
    case 20: return QStringLiteral("h:mm");
    case 21: return QStringLiteral("h:mm:ss");
    case 22: return QStringLiteral("yyyy/m/d h:mm");
    case 37: return QStringLiteral("#,##0_);(#,##0)");
    case 38: return QStringLiteral("#,##0_);[Red](#,##0)");
    case 39: return QStringLiteral("#,##0.00_);(#,##0.00)");
    case 40: return QStringLiteral("#,##0.00_);[Red](#,##0.00)");
    case 41: return QStringLiteral("_(* #,##0_);_(* (#,##0);_(* \"-\"_);_(@_)");
    case 42: return QStringLiteral("_($* #,##0_);_($* (#,##0);_($* \"-\"_);_(@_)");
    case 43: return QStringLiteral("_(* #,##0.00_);_(* (#,##0.00);_(* \"-\"??_);_(@_)");
    case 44: return QStringLiteral("_($* #,##0.00_);_($* (#,##0.00);_($* \"-\"??_);_(@_)");
    case 45: return QStringLiteral("mm:ss");
    case 46: return QStringLiteral("[h]:mm:ss");
    case 47: return QStringLiteral("mm:ss.0");
    case 48: return QStringLiteral("##0.0E+0");
    case 49: return QStringLiteral("@");
    default: return QStringLiteral("General");
    }
}

QString formatSpreadsheetNumber(double value, const QString& code, bool date1904)
{
    if (!std::isfinite(value))
        return QStringLiteral("#NUM!");
    const QList<Section> sections = parseCode(code);
    // Which section: by its condition, else positive;negative;zero.
    int chosen = 0;
    bool explicitSign = false;
    if (sections[0].hasCondition || (sections.size() > 1 && sections[1].hasCondition)) {
        chosen = conditionHolds(sections[0], value) ? 0
                 : sections.size() > 1 && (!sections[1].hasCondition || conditionHolds(sections[1], value)) ? 1
                 : sections.size() > 2 ? 2 : -1;
        if (chosen < 0)
            return generalNumberText(value);
        explicitSign = chosen > 0;
    } else if (value < 0 && sections.size() > 1) {
        chosen = 1;
        explicitSign = true;
    } else if (value == 0 && sections.size() > 2) {
        chosen = 2;
    }
    const Section& s = sections[chosen];
    // An empty section for negative values or zero shows nothing ("0;;").
    if (s.tokens.isEmpty())
        return chosen > 0 ? QString() : generalNumberText(value);
    if (s.tokens.size() == 1 && s.tokens[0].kind == T::General)
        return generalNumberText(explicitSign ? std::fabs(value) : value);
    QString text;
    if (s.isDate) {
        if (value < 0 || value > 2958465) // before 1900 or after 9999: no date
            return generalNumberText(value);
        text = formatDate(value, s, date1904);
    } else {
        text = formatPlaces(std::fabs(value), s);
        // One section for every value: the sign stands before the text;
        // a rounded zero shows none.
        if (value < 0 && !explicitSign && text.contains(QRegularExpression(QStringLiteral("[1-9]"))))
            text.prepend(QLatin1Char('-'));
    }
    return text.trimmed();
}

} // namespace ledsign
