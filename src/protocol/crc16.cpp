#include "protocol/crc16.h"

namespace ledsign::crc16 {

namespace {

// Builds the reference tables from the reflected polynomial, so that no
// hand-copied table can carry a typo.
struct Tables {
    std::array<quint8, 256> a {};
    std::array<quint8, 256> b {};
    constexpr Tables()
    {
        for (int i = 0; i < 256; ++i) {
            quint16 crc = quint16(i);
            for (int bit = 0; bit < 8; ++bit)
                crc = (crc & 1) ? quint16((crc >> 1) ^ 0xA001) : quint16(crc >> 1);
            a[i] = quint8(crc & 0xFF);
            b[i] = quint8(crc >> 8);
        }
    }
};

constexpr Tables kTables;

} // namespace

const std::array<quint8, 256>& tableA() { return kTables.a; }
const std::array<quint8, 256>& tableB() { return kTables.b; }

CrcBytes modbus(const QByteArray& bytes, qsizetype start, qsizetype stop)
{
    CrcBytes crc;
    if (start < 0)
        start = 0;
    if (stop > bytes.size())
        stop = bytes.size();
    quint8 hi = 0xFF;
    quint8 lo = 0xFF;
    for (qsizetype k = start; k < stop; ++k) {
        const quint8 i = hi ^ quint8(bytes[k]);
        hi = lo ^ kTables.a[i];
        lo = kTables.b[i];
    }
    crc.low = hi;
    crc.high = lo;
    return crc;
}

} // namespace ledsign::crc16
