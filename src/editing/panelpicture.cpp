#include "editing/panelpicture.h"

#include "content/canvasrendering.h"
#include "content/displaytext.h"
#include "model/materialkinds.h"

namespace ledsign {

namespace {
// The picture is made in LED pixels: one canvas pixel per LED pixel.
constexpr int kUnitZoom = 10;
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
    return canvasPicture(material, ledSize.width(), ledSize.height(), kUnitZoom, display);
}

} // namespace ledsign
