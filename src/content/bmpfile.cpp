#include "content/bmpfile.h"

#include "content/renderpicture.h"

#include <QtEndian>

#include <cstdlib>
#include <limits>

namespace ledsign {

namespace {

constexpr int kFileHeader = 14;
constexpr int kInfoHeaderMin = 40;    // BITMAPINFOHEADER; V4 and V5 are longer
constexpr qint64 kMaxPixels = 16 * 1024 * 1024;

quint32 u32(const uchar* p) { return qFromLittleEndian<quint32>(p); }
qint32 s32(const uchar* p) { return qFromLittleEndian<qint32>(p); }
quint16 u16(const uchar* p) { return qFromLittleEndian<quint16>(p); }

} // namespace

QImage readPlainBmp(const QByteArray& bytes, QString* damage)
{
    if (bytes.size() < kFileHeader + kInfoHeaderMin || bytes.at(0) != 'B' || bytes.at(1) != 'M')
        return {};
    const auto* d = reinterpret_cast<const uchar*>(bytes.constData());
    const quint32 dataOffset = u32(d + 10);
    const quint32 infoSize = u32(d + 14);
    const qint32 width = s32(d + 18);
    const qint32 height = s32(d + 22);
    const quint16 planes = u16(d + 26);
    const quint16 bitCount = u16(d + 28);
    const quint32 compression = u32(d + 30);
    if (infoSize < kInfoHeaderMin || planes != 1 || compression != 0 || width <= 0 || height == 0
        || height == std::numeric_limits<qint32>::min() || bitCount == 0 || bitCount > 32)
        return {};
    const qint64 rows = std::abs(qint64(height));
    const qint64 stride = (qint64(width) * bitCount + 31) / 32 * 4;
    if (qint64(dataOffset) + stride * rows > bytes.size()) {
        if (damage)
            *damage = QStringLiteral("the bitmap is cut short: %1 rows need %2 bytes, the file has %3")
                          .arg(rows)
                          .arg(qint64(dataOffset) + stride * rows)
                          .arg(bytes.size());
        return {};
    }
    if (bitCount != 24 || dataOffset < kFileHeader + infoSize || qint64(width) * rows > kMaxPixels)
        return {};
    QImage picture = newPicture(width, int(rows));
    if (picture.isNull())
        return {};
    const bool bottomUp = height > 0;
    for (qint64 y = 0; y < rows; ++y) {
        const uchar* src = d + dataOffset + stride * (bottomUp ? rows - 1 - y : y);
        uchar* dst = picture.scanLine(int(y));
        for (qint32 x = 0; x < width; ++x, src += 3, dst += 3) {
            dst[0] = src[2]; // the file keeps blue, green, red
            dst[1] = src[1];
            dst[2] = src[0];
        }
    }
    return picture;
}

} // namespace ledsign
