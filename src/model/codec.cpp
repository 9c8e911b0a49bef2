#include "model/codec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace ledsign::codec {

namespace {
constexpr const char* kEncoding = "GB18030";
}

QByteArray encode(const QString& text)
{
    QStringEncoder encoder(kEncoding);
    return encoder.encode(text);
}

QString decode(const QByteArray& bytes)
{
    QStringDecoder decoder(kEncoding);
    return decoder.decode(bytes);
}

qsizetype byteLength(const QString& text)
{
    return encode(text).size();
}

QString cutToBytes(const QString& text, qsizetype maxBytes)
{
    if (maxBytes <= 0)
        return {};
    QStringEncoder encoder(kEncoding);
    qsizetype used = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        // A surrogate pair is one character and is never split.
        qsizetype len = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        qsizetype bytes = QByteArray(encoder.encode(QStringView(text).mid(i, len))).size();
        if (used + bytes > maxBytes)
            break;
        used += bytes;
        i += len;
    }
    return text.left(i);
}

QByteArray cutEncodedToBytes(const QByteArray& bytes, qsizetype maxBytes)
{
    if (maxBytes >= bytes.size())
        return bytes;
    if (maxBytes <= 0)
        return {};
    // Walk the characters: a lead byte 0x81..0xFE starts a 2- or 4-byte character.
    qsizetype i = 0;
    qsizetype lastWhole = 0;
    while (i < bytes.size()) {
        const auto b = static_cast<unsigned char>(bytes.at(i));
        qsizetype len = 1;
        if (b >= 0x81 && b <= 0xFE && i + 1 < bytes.size()) {
            const auto b2 = static_cast<unsigned char>(bytes.at(i + 1));
            len = (b2 >= 0x30 && b2 <= 0x39) ? 4 : 2;
        }
        if (i + len > maxBytes)
            break;
        i += len;
        lastWhole = i;
    }
    return bytes.left(lastWhole);
}

} // namespace ledsign::codec
