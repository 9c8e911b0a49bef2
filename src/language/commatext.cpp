#include "language/commatext.h"

namespace ledsign {

namespace {

bool isBlank(QChar c)
{
    return c.unicode() >= 1 && c.unicode() <= u' ';
}

} // namespace

QStringList parseCommaText(const QString& text)
{
    QStringList items;
    // The classic reader works on a zero-terminated string.
    const qsizetype nul = text.indexOf(QChar(0));
    const qsizetype n = nul < 0 ? text.size() : nul;
    qsizetype p = 0;
    auto skipBlanks = [&] {
        while (p < n && isBlank(text[p]))
            ++p;
    };
    skipBlanks();
    while (p < n) {
        QString item;
        if (text[p] == u'"') {
            ++p;
            while (p < n) {
                if (text[p] == u'"') {
                    if (p + 1 < n && text[p + 1] == u'"') {
                        item += u'"';
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                item += text[p++];
            }
        } else {
            const qsizetype start = p;
            while (p < n && text[p].unicode() > u' ' && text[p] != u',')
                ++p;
            item = text.mid(start, p - start);
        }
        items.append(item);
        skipBlanks();
        if (p < n && text[p] == u',') {
            if (p + 1 >= n)
                items.append(QString());
            do {
                ++p;
            } while (p < n && isBlank(text[p]));
        }
    }
    return items;
}

} // namespace ledsign
