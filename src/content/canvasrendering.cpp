#include "content/canvasrendering.h"

#include "content/animationframes.h"
#include "content/displaytext.h"
#include "content/imagegroup.h"
#include "content/picturefit.h"
#include "content/previewconversion.h"
#include "content/shortrunmarkup.h"
#include "content/textlayout.h"
#include "model/materialkinds.h"

namespace ledsign {

namespace {

constexpr int kUnitZoom = 10;

QImage firstOf(const QList<QImage>& pictures)
{
    return pictures.isEmpty() ? QImage() : pictures.first();
}

} // namespace

int ledLengthOfCanvas(int canvasLength, int zoom)
{
    if (zoom <= 0)
        zoom = kUnitZoom;
    return int(qint64(canvasLength) * kUnitZoom / zoom);
}

QImage canvasPicture(const TFodder& material, int panelWidth, int panelHeight, int zoom,
                     const QString& displayText)
{
    const int w = ledLengthOfCanvas(panelWidth, zoom);
    const int h = ledLengthOfCanvas(panelHeight, zoom);
    if (w <= 0 || h <= 0)
        return {};
    switch (material.kind) {
    case kSingleText:
    case kMultiText:
        return firstOf(renderTextMaterial(material, w, h, true, 1));
    case kImageGroup:
    case kTable: {
        const QStringList files = imageGroupFiles(material);
        if (files.isEmpty())
            return {};
        const QImage picture = loadPictureFile(files.first());
        return picture.isNull() ? QImage() : fitPictureToRegion(picture, w, h);
    }
    case kAnimation: {
        const QImage frame = firstAnimationFrame(animationFilePath(material.content));
        return frame.isNull() ? QImage() : fitPictureToRegion(frame, w, h);
    }
    case kDateTime:
    case kCountUp:
    case kCountDown:
    case kAcquisition:
        return firstOf(layoutAttributeText(parseShortRuns(displayText), {w, h, kAttributeCentred, true}));
    case kInternalCodeText: {
        const QString text = displayText.isEmpty() ? internalCodeDisplayText(material) : displayText;
        return firstOf(layoutAttributeText(parseShortRuns(text), {w, h, internalCodeAttributeMode(material), true}));
    }
    default:
        return {};
    }
}

} // namespace ledsign
