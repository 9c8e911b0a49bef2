#include "content/markupsplit.h"

#include <limits>

namespace ledsign {

namespace {

constexpr QChar kQuote = QLatin1Char('"');

bool isBlank(QChar c)
{
    // A NUL ended the text in the original 8-bit strings; here it only ends
    // the item, like the other control characters, so nothing after it is lost.
    return c.unicode() <= 32;
}

// Reads a quoted item starting at text[pos] == '"'; leaves pos after the
// closing quote (or at the end).
QString readQuoted(const QString& text, qsizetype& pos)
{
    QString item;
    ++pos;
    while (pos < text.size()) {
        const QChar c = text.at(pos);
        if (c == kQuote) {
            if (pos + 1 < text.size() && text.at(pos + 1) == kQuote) {
                item += kQuote;
                pos += 2;
                continue;
            }
            ++pos;
            return item;
        }
        item += c;
        ++pos;
    }
    return item;
}

} // namespace

QStringList separatorSplit(const QString& text, const QString& separator)
{
    QStringList pieces;
    if (separator.isEmpty()) {
        if (!text.isEmpty())
            pieces << text;
        return pieces;
    }
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype at = text.indexOf(separator, start);
        if (at < 0)
            at = text.size();
        if (at > start)
            pieces << text.mid(start, at - start);
        start = at + separator.size();
    }
    return pieces;
}

QStringList delimitedSplit(const QString& text, QChar delimiter)
{
    QStringList items;
    qsizetype pos = 0;
    const qsizetype n = text.size();
    auto skipBlanks = [&] {
        while (pos < n && isBlank(text.at(pos)))
            ++pos;
    };
    skipBlanks();
    while (pos < n) {
        if (text.at(pos) == kQuote) {
            items << readQuoted(text, pos);
        } else {
            const qsizetype start = pos;
            while (pos < n && !isBlank(text.at(pos)) && text.at(pos) != delimiter)
                ++pos;
            items << text.mid(start, pos - start);
        }
        skipBlanks();
        if (pos < n && text.at(pos) == delimiter) {
            if (pos + 1 == n)
                items << QString();
            ++pos;
            skipBlanks();
        }
    }
    return items;
}

QString quoteForDelimitedSplit(const QString& text)
{
    QString quoted = text;
    quoted.replace(kQuote, QStringLiteral("\"\""));
    return kQuote + quoted + kQuote;
}

int markupInt(const QString& text, int fallback, bool* ok)
{
    auto fail = [&] {
        if (ok)
            *ok = false;
        return fallback;
    };
    qsizetype pos = 0;
    while (pos < text.size() && text.at(pos) == QLatin1Char(' '))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text.at(pos) == QLatin1Char('-') || text.at(pos) == QLatin1Char('+'))) {
        negative = text.at(pos) == QLatin1Char('-');
        ++pos;
    }
    if (pos >= text.size())
        return fail();
    qint64 value = 0;
    for (; pos < text.size(); ++pos) {
        const QChar c = text.at(pos);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return fail();
        value = value * 10 + (c.unicode() - '0');
        if (value > qint64(std::numeric_limits<int>::max()) + 1)
            return fail();
    }
    if (negative)
        value = -value;
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return fail();
    if (ok)
        *ok = true;
    return static_cast<int>(value);
}

} // namespace ledsign
