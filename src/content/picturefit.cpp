#include "content/picturefit.h"

#include "content/renderpicture.h"

#include <algorithm>

namespace ledsign {

QImage fitPictureToRegion(const QImage& picture, int width, int height)
{
    QImage fitted = newPicture(width, height);
    if (fitted.isNull() || picture.isNull())
        return fitted;
    const QImage source = toPicture(picture);
    if (source.width() == width && source.height() == height)
        return source;
    const int rows = std::min(height, source.height());
    const qsizetype rowBytes = qsizetype(std::min(width, source.width())) * 3;
    for (int y = 0; y < rows; ++y)
        std::copy_n(source.constScanLine(y), rowBytes, fitted.scanLine(y));
    return fitted;
}

} // namespace ledsign
