#include "model/textencoding.h"

#include "model/codec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace ledsign {

namespace {

struct Mark {
    const char* bytes;
    qsizetype size;
    TextEncoding encoding;
    QStringConverter::Encoding qtEncoding;
};

constexpr Mark kMarks[] = {
    {"\xEF\xBB\xBF", 3, TextEncoding::Utf8, QStringConverter::Utf8},
    {"\xFF\xFE", 2, TextEncoding::Utf16LE, QStringConverter::Utf16LE},
    {"\xFE\xFF", 2, TextEncoding::Utf16BE, QStringConverter::Utf16BE},
};

const Mark* markOf(TextEncoding encoding)
{
    for (const Mark& m : kMarks)
        if (m.encoding == encoding)
            return &m;
    return nullptr;
}

} // namespace

DecodedText decodeStoredText(const QByteArray& bytes)
{
    DecodedText out;
    for (const Mark& m : kMarks) {
        if (!bytes.startsWith(QByteArrayView(m.bytes, m.size)))
            continue;
        QStringDecoder decoder(m.qtEncoding, QStringConverter::Flag::Stateless);
        out.text = decoder.decode(QByteArrayView(bytes).sliced(m.size));
        out.encoding = m.encoding;
        if (decoder.hasError())
            out.problem = QStringLiteral("bytes that are no character");
        return out;
    }
    QStringDecoder decoder("GB18030");
    out.text = decoder.decode(bytes);
    // A file of GB18030 text never holds a NUL; one that does is a wide
    // encoding without its mark or no text at all.
    if (bytes.contains('\0'))
        out.problem = QStringLiteral("NUL bytes (not a text file of this program)");
    else if (decoder.hasError())
        out.problem = QStringLiteral("bytes that are no character");
    return out;
}

QByteArray encodeStoredText(const QString& text, TextEncoding encoding)
{
    const Mark* mark = markOf(encoding);
    if (!mark)
        return codec::encode(text);
    QStringEncoder encoder(mark->qtEncoding);
    QByteArray out(mark->bytes, mark->size);
    out += QByteArray(encoder.encode(text));
    return out;
}

} // namespace ledsign
