#include "content/sendconversion.h"

#include "content/animationframes.h"
#include "content/bitplanes.h"
#include "content/imagegroup.h"
#include "content/renderpicture.h"
#include "content/textbudget.h"
#include "content/textlayout.h"
#include "language/language.h"
#include "model/materialkinds.h"

namespace ledsign {

namespace {

// Animation type codes sent to the card: ';' to '='.
bool isAnimationTypeCode(int typeCode)
{
    return typeCode >= ';' && typeCode <= '=';
}

bool fail(TFodder& material, QByteArray& displayData, QString* error, const QString& why)
{
    displayData.clear();
    material.frameCount = 0;
    material.byteCount = 0;
    material.partCount = 0;
    if (error)
        *error = why;
    return false;
}

} // namespace

QString sendConversionStatus(const QString& cardName)
{
    return QLatin1Char('[') + cardName + QLatin1Char(']')
        + messageText(QStringLiteral("tip_transform_send_content"));
}

bool sendConversion(TFodder& material, int width, int height, const QString& cardName, int colorType,
                    QByteArray& displayData, const MessageSink& status, QString* error)
{
    displayData.clear();
    material.frameCount = 0;
    material.byteCount = 0;
    material.partCount = 0;
    if (material.kind == kInternalCodeText && material.content.isEmpty())
        material.content = QStringLiteral(" ");
    const bool animation = material.kind == kAnimation || isAnimationTypeCode(material.typeCode);
    if (animation && material.content.isEmpty())
        return fail(material, displayData, error, QStringLiteral("the animation names no file"));
    if (status)
        status(sendConversionStatus(cardName));
    if (width <= 0 || height <= 0)
        return fail(material, displayData, error,
                    QStringLiteral("material %1: the region %2 has no size (%3 x %4)")
                        .arg(material.name, material.regionName)
                        .arg(width)
                        .arg(height));
    // Pictures of the region's size: refused before one is read or drawn.
    if (material.kind == kImageGroup || material.kind == kTable || animation) {
        const qint64 count = material.kind == kImageGroup || material.kind == kTable ? material.fileList.size() : 1;
        const QString refusal = pictureRefusal(material, width, height, count);
        if (!refusal.isEmpty())
            return fail(material, displayData, error, refusal);
    }

    QList<QImage> pictures;
    QString why;
    switch (material.kind) {
    case kSingleText:
    case kMultiText: {
        const QString refusal = textContentRefusal(material);
        if (!refusal.isEmpty())
            return fail(material, displayData, error, refusal);
        pictures = renderTextMaterial(material, width, height);
        if (pictures.isEmpty())
            return fail(material, displayData, error, QStringLiteral("the text gives no picture"));
        // The budget cut the text short: a part of it would never show.
        const int budget = pictureBudget(width, height);
        const TextLayoutKind layout = chooseTextLayout(material).kind;
        const bool strip = layout == TextLayoutKind::HorizontalStrip || layout == TextLayoutKind::VerticalStrip;
        if (pictures.size() >= budget && (strip || budget < kMaxPictures))
            return fail(material, displayData, error, textTooLongMessage(material, width, height, budget));
        break;
    }
    case kImageGroup:
    case kTable:
        // A picture that went missing is named; sending the group without
        // it would show the audience something nobody chose.
        if (!material.missingImages.isEmpty()) {
            return fail(material, displayData, error,
                        messageText(QStringLiteral("warn_image_file_missing"))
                            .arg(material.name, material.missingImages.join(QStringLiteral(", "))));
        }
        if (!loadImageGroup(material, pictures, &why))
            return fail(material, displayData, error, why);
        break;
    case kAnimation:
        if (!decodeAnimationFrames(animationFilePath(material.content), pictures, &why))
            return fail(material, displayData, error, why.isEmpty() ? material.content : why);
        break;
    default:
        return true; // the card draws it from the material's attributes
    }

    const int planes = planeCountOfColorType(colorType);
    displayData.reserve(qsizetype(bitPlaneByteCount(width, height, planes) * pictures.size()));
    for (const QImage& picture : pictures)
        appendBitPlanes(picture, width, height, planes, displayData);
    material.frameCount = int(pictures.size());
    material.byteCount = int(displayData.size());
    material.partCount = displayBlockCount(displayData.size());
    return true;
}

} // namespace ledsign
