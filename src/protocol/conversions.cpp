#include "protocol/conversions.h"

#include "model/bitstring.h"

#include <QStringList>

namespace ledsign::convert {

namespace {

quint32 hexDigit(QChar c)
{
    const char16_t u = c.toUpper().unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return 0;
}

} // namespace

qint32 hexToInt(const QString& text)
{
    quint32 value = 0;
    for (QChar c : text)
        value = value * 16u + hexDigit(c);
    return qint32(value);
}

QByteArray hexToBytes(const QString& text)
{
    QByteArray out;
    const qsizetype count = text.size() / 2;
    out.reserve(count);
    for (qsizetype k = 0; k < count; ++k)
        out.append(char(hexDigit(text[2 * k]) * 16 + hexDigit(text[2 * k + 1])));
    return out;
}

QString bytesToHex(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toHex().toUpper());
}

QString intToBitString(quint32 v, int width)
{
    return toBits(v, width);
}

qint32 bitStringToInt(const QString& text, bool* ok)
{
    quint32 value = 0;
    for (QChar c : text) {
        if (c.unicode() < '0' || c.unicode() > '9') {
            if (ok)
                *ok = false;
            return 0;
        }
        value = value * 2u + quint32(c.unicode() - '0');
    }
    if (ok)
        *ok = true;
    return qint32(value);
}

bool internalCodeToBytes(const QString& text, InternalCode& out)
{
    const QStringList parts = text.split(QLatin1Char('_'));
    if (parts.size() != 8)
        return false;
    for (int k = 0; k < 8; ++k) {
        bool ok = false;
        const int v = parts[k].trimmed().toInt(&ok);
        out[k] = ok ? quint8(v & 0xFF) : 0;
    }
    return true;
}

QString internalCodeText(const InternalCode& code)
{
    QStringList parts;
    for (quint8 b : code)
        parts << QString::number(b);
    return parts.join(QLatin1Char('_'));
}

QString internalCodeText(const QByteArray& eightBytes)
{
    InternalCode code {};
    for (int k = 0; k < 8 && k < eightBytes.size(); ++k)
        code[k] = quint8(eightBytes[k]);
    return internalCodeText(code);
}

} // namespace ledsign::convert
