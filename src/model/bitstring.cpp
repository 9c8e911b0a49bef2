#include "model/bitstring.h"

namespace ledsign {

QString toBits(quint64 value, int width)
{
    QString bits;
    if (width <= 0)
        return bits;
    bits.reserve(width);
    for (int i = width - 1; i >= 0; --i)
        bits += (i < 64 && ((value >> i) & 1u)) ? QLatin1Char('1') : QLatin1Char('0');
    return bits;
}

quint64 fromBits(const QString& text)
{
    quint64 value = 0;
    for (QChar c : text)
        value = (value << 1) | (c == QLatin1Char('1') ? 1u : 0u);
    return value;
}

} // namespace ledsign
