#include "language/unbrokenwords.h"

namespace ledsign {

QString unbrokenWords(const QString& text)
{
    if (!text.contains(u' '))
        return text;
    QString out;
    out.reserve(text.size() * 2);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        out += c;
        // Not inside a surrogate pair, and only between two non-spaces.
        if (i + 1 < text.size() && !c.isSpace() && !text.at(i + 1).isSpace() && !c.isHighSurrogate())
            out += kWordJoiner;
    }
    return out;
}

} // namespace ledsign
