#include "content/renderpicture.h"

#include "content/rendercharacter.h"

#include <cstring>

namespace ledsign {

namespace {

// 96 dpi in dots per metre, rounded up so that the dpi reads back as 96.
constexpr int kDotsPerMetre = 3780;

} // namespace

QImage newPicture(int width, int height)
{
    if (width <= 0 || height <= 0)
        return {};
    QImage picture(width, height, kPictureFormat);
    if (picture.isNull())
        return {};
    // Black is every byte 0.
    std::memset(picture.bits(), 0, size_t(picture.sizeInBytes()));
    picture.setDotsPerMeterX(kDotsPerMetre);
    picture.setDotsPerMeterY(kDotsPerMetre);
    return picture;
}

QImage toPicture(const QImage& image)
{
    if (image.isNull())
        return {};
    QImage source = image;
    // Transparent parts show as unlit: composed over black first.
    if (source.hasAlphaChannel())
        source = source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage picture = source.format() == kPictureFormat ? source : source.convertToFormat(kPictureFormat);
    picture.setDotsPerMeterX(kDotsPerMetre);
    picture.setDotsPerMeterY(kDotsPerMetre);
    return picture;
}

} // namespace ledsign
