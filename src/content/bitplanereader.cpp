#include "content/bitplanereader.h"

#include <algorithm>

namespace ledsign {

QImage pictureFromBitPlanes(const QByteArray& data, qsizetype offset, int width, int height, int planes)
{
    QImage picture(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
    picture.fill(Qt::black);
    planes = std::clamp(planes, 1, 3);
    const qint64 groups = qint64(width) * height / 8;
    for (qint64 g = 0; g < groups; ++g) {
        const qsizetype at = offset + qsizetype(g) * planes;
        if (at < 0 || at + planes > data.size())
            break;
        for (int bit = 0; bit < 8; ++bit) {
            const qint64 pixel = g * 8 + bit;
            const uchar mask = uchar(0x80 >> bit);
            int rgb[3] = {0, 0, 0};
            for (int p = 0; p < planes; ++p)
                rgb[p] = (uchar(data[at + p]) & mask) ? 0 : 255;
            picture.setPixel(int(pixel % width), int(pixel / width), qRgb(rgb[0], rgb[1], rgb[2]));
        }
    }
    return picture;
}

} // namespace ledsign
