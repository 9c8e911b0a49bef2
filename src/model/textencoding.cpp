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

// UTF-16 without its mark: stored files begin with a section name or a key
// and hold mostly Latin characters, whose high byte is zero. A GB18030 file
// holds no zero byte at all.
TextEncoding unmarkedWideEncoding(const QByteArray& bytes)
{
    const qsizetype n = qMin<qsizetype>(bytes.size(), 4096) & ~qsizetype(1);
    if (n < 2)
        return TextEncoding::Local;
    qsizetype evenZeros = 0, oddZeros = 0;
    for (qsizetype i = 0; i < n; i += 2) {
        evenZeros += bytes[i] == '\0';
        oddZeros += bytes[i + 1] == '\0';
    }
    const qsizetype units = n / 2;
    if (oddZeros * 2 >= units && evenZeros * 8 < units && bytes[0] != '\0')
        return TextEncoding::Utf16LEUnmarked;
    if (evenZeros * 2 >= units && oddZeros * 8 < units && bytes[1] != '\0')
        return TextEncoding::Utf16BEUnmarked;
    return TextEncoding::Local;
}

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
    if (const TextEncoding wide = unmarkedWideEncoding(bytes); wide != TextEncoding::Local) {
        const bool little = wide == TextEncoding::Utf16LEUnmarked;
        QStringDecoder decoder(little ? QStringConverter::Utf16LE : QStringConverter::Utf16BE,
                               QStringConverter::Flag::Stateless);
        out.text = decoder.decode(bytes);
        out.encoding = wide;
        if (decoder.hasError() || bytes.size() % 2 != 0)
            out.problem = QStringLiteral("UTF-16 without BOM, with bytes that are no character");
        else if (out.text.contains(QChar(0)))
            out.problem = QStringLiteral("UTF-16 without BOM, with NUL characters");
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
    if (encoding == TextEncoding::Utf16LEUnmarked || encoding == TextEncoding::Utf16BEUnmarked) {
        QStringEncoder encoder(encoding == TextEncoding::Utf16LEUnmarked ? QStringConverter::Utf16LE
                                                                         : QStringConverter::Utf16BE);
        return encoder.encode(text);
    }
    const Mark* mark = markOf(encoding);
    if (!mark)
        return codec::encode(text);
    QStringEncoder encoder(mark->qtEncoding);
    QByteArray out(mark->bytes, mark->size);
    out += QByteArray(encoder.encode(text));
    return out;
}

} // namespace ledsign
