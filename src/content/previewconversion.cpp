#include "content/previewconversion.h"

#include "content/textbudget.h"

#include "content/animationframes.h"
#include "content/displaytext.h"
#include "content/imagegroup.h"
#include "content/picturefit.h"
#include "content/shortrunmarkup.h"
#include "content/textlayout.h"
#include "language/language.h"
#include "model/codedvalues.h"
#include "model/materialkinds.h"

#include <QTransform>

namespace ledsign {

namespace {

// The texts the card draws itself turn as their rotation says: each
// character a quarter turn clockwise in its place, or the whole text laid
// out across the region turned on its side and turned a quarter clockwise
// into it.
QList<QImage> layoutTurnable(const TFodder& m, const QString& markup, AttributeTextParams params)
{
    const bool region = m.rotateMode == kRotateRegion;
    params.turnCharacters = m.rotateMode == kRotateWords;
    if (region)
        std::swap(params.width, params.height);
    QList<QImage> pictures = layoutAttributeText(parseShortRuns(markup), params);
    if (region) {
        for (QImage& picture : pictures)
            picture = picture.transformed(QTransform().rotate(90));
    }
    return pictures;
}

} // namespace

QString previewConversionStatus()
{
    return messageText(QStringLiteral("tip_transform_preview_content"));
}

PreviewPictures previewConversion(const TFodder& material, int width, int height, int maxPictureIndex,
                                  const QString& displayText, const MessageSink& status)
{
    PreviewPictures result;
    if (status)
        status(previewConversionStatus());
    const int maxPictures = maxPictureIndex < 0 ? kUnlimitedPictures : maxPictureIndex + 1;
    switch (material.kind) {
    case kSingleText:
    case kMultiText:
        result.error = textContentRefusal(material);
        if (!result.error.isEmpty()) {
            result.ok = false;
            return result;
        }
        result.pictures = renderTextMaterial(material, width, height, false, maxPictures);
        break;
    case kImageGroup:
    case kTable:
        result.error = pictureRefusal(material, width, height, material.fileList.size());
        if (!result.error.isEmpty()) {
            result.ok = false;
            return result;
        }
        result.imageFiles = imageGroupFiles(material);
        if (maxPictures >= 0 && result.imageFiles.size() > maxPictures)
            result.imageFiles = result.imageFiles.mid(0, maxPictures);
        result.pictureCount = int(result.imageFiles.size());
        return result;
    case kInternalCodeText: {
        const QString text = displayText.isEmpty() ? internalCodeDisplayText(material) : displayText;
        result.pictures = layoutTurnable(material, text, {width, height, internalCodeAttributeMode(material), false});
        if (maxPictures >= 0 && result.pictures.size() > maxPictures)
            result.pictures.resize(maxPictures);
        break;
    }
    case kDateTime:
    case kCountUp:
    case kCountDown:
    case kAcquisition:
        // The preview redraws these live; one picture stands for them.
        result.pictures = layoutTurnable(material, displayText, {width, height, kAttributeCentred, true});
        result.pictureCount = 1;
        return result;
    case kAnimation: {
        QList<QImage> frames;
        if (material.content.isEmpty()) {
            result.ok = false;
            result.error = QStringLiteral("the animation names no file");
            return result;
        }
        if (!decodeAnimationFrames(animationFilePath(material.content), frames, &result.error, maxPictures)) {
            result.ok = false;
            return result;
        }
        for (const QImage& frame : frames)
            result.pictures.append(fitPictureToRegion(frame, width, height));
        break;
    }
    default:
        break;
    }
    result.pictureCount = int(result.pictures.size());
    return result;
}

} // namespace ledsign
