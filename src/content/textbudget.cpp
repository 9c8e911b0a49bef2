#include "content/textbudget.h"

#include "language/language.h"
#include "model/codec.h"

#include <algorithm>

namespace ledsign {

namespace {
}

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

QString textTooLongMessage(const TFodder& material, int width, int height, int pictures)
{
    return messageText(QStringLiteral("warn_text_too_long"))
        .arg(material.name)
        .arg(pictures)
        .arg(width)
        .arg(height);
}

} // namespace ledsign
