#include "editing/panelpicture.h"

#include "content/canvasrendering.h"
#include "content/displaytext.h"
#include "model/materialkinds.h"

namespace ledsign {

namespace {
// The picture is made in LED pixels: one canvas pixel per LED pixel.
constexpr int kUnitZoom = 10;

bool lightsAnyPixel(const QImage& picture)
{
    if (picture.isNull())
        return false;
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            if ((line[x] & 0xFFFFFF) != 0)
                return true;
        }
    }
    return false;
}
} // namespace

QImage panelPicture(const TFodder& material, QSize ledSize)
{
    if (ledSize.width() <= 0 || ledSize.height() <= 0)
        return {};
    QString display;
    switch (material.kind) {
    case kDateTime:
        display = dateTimeDisplayText(material);
        break;
    case kCountUp:
    case kCountDown:
        display = countDisplayText(material);
        break;
    case kAcquisition:
        display = acquisitionDisplayText(material);
        break;
    default:
        break;
    }
    const QImage picture = canvasPicture(material, ledSize.width(), ledSize.height(), kUnitZoom, display);
    // A material that lights no LED (a new text without content) would be a
    // black panel on the black page; null lets the panel show its name.
    return lightsAnyPixel(picture) ? picture : QImage();
}

} // namespace ledsign
