#include "content/textbudget.h"

#include "language/language.h"
#include "model/codec.h"

#include <algorithm>
#include <limits>

namespace ledsign {

int pictureBudget(int width, int height)
{
    const qint64 pixels = qint64(std::max(width, 1)) * std::max(height, 1);
    return int(std::clamp<qint64>(kMaxMaterialPixels / pixels, 1, 1 << 30));
}

QString textContentRefusal(const TFodder& material)
{
    // The UTF-16 length bounds the stored length from below by half; only
    // texts near the limit are measured exactly.
    if (material.content.size() * 2 <= kMaxTextContentBytes)
        return {};
    const qsizetype bytes = codec::byteLength(material.content);
    if (bytes <= kMaxTextContentBytes)
        return {};
    return messageText(QStringLiteral("warn_text_too_large"))
        .arg(material.name)
        .arg(bytes)
        .arg(kMaxTextContentBytes);
}

QString pictureRefusal(const TFodder& material, int width, int height, qint64 pictures)
{
    pictures = std::max<qint64>(pictures, 1);
    const qint64 each = qint64(std::max(width, 0)) * std::max(height, 0);
    // Compared by division: the product of a huge count and size overflows.
    if (each == 0 || pictures <= kMaxMaterialPixels / each)
        return {};
    return messageText(QStringLiteral("warn_pictures_too_large"))
        .arg(material.name)
        .arg(pictures)
        .arg(width)
        .arg(height)
        .arg(pictures > std::numeric_limits<qint64>::max() / each ? std::numeric_limits<qint64>::max() : pictures * each)
        .arg(kMaxMaterialPixels);
}

QString textTooLongMessage(const TFodder& material, int width, int height, int pictures)
{
    return messageText(QStringLiteral("warn_text_too_long"))
        .arg(material.name)
        .arg(pictures)
        .arg(width)
        .arg(height);
}

} // namespace ledsign
