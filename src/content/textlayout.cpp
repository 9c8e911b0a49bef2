#include "content/textlayout.h"

#include "content/textbudget.h"

#include "model/materialkinds.h"

#include <algorithm>

namespace ledsign {

namespace {

int limited(int layoutLimit, int callerLimit)
{
    if (callerLimit < 0)
        return layoutLimit;
    if (layoutLimit < 0)
        return callerLimit;
    return std::min(layoutLimit, callerLimit);
}

} // namespace

TextLayoutChoice chooseTextLayout(const TFodder& material, bool forCanvas)
{
    const bool nonStop = material.remainTime == 0;
    const int mode = material.displayMode;
    if (material.kind == kMultiText) {
        const bool scrolls = mode == kBottomToTop || (mode == kTopToBottom && !forCanvas);
        if (nonStop && scrolls)
            return {TextLayoutKind::VerticalStrip, mode};
        return {TextLayoutKind::MultiLinePictures, 0};
    }
    if (nonStop && (mode == kRightToLeft || mode == kLeftToRight))
        return {TextLayoutKind::HorizontalStrip, mode};
    return {TextLayoutKind::SingleLinePictures, 0};
}

int internalCodeAttributeMode(const TFodder& material)
{
    if (material.remainTime != 0)
        return kAttributeLines;
    switch (material.displayMode) {
    case kRightToLeft:
        return kAttributeOneLine;
    case kLeftToRight:
        return kAttributeFromRight;
    case kBottomToTop:
        return kAttributeMovingUp;
    default:
        return kAttributeLines;
    }
}

QList<QImage> renderTextMaterial(const TFodder& material, int width, int height, bool forCanvas,
                                 int maxPictures)
{
    if (material.kind != kSingleText && material.kind != kMultiText)
        return {};
    // Memory stays bounded whatever the text and region: a text too large
    // gives nothing, and no layout holds more pictures than the budget.
    if (!textContentRefusal(material).isEmpty())
        return {};
    const int budget = pictureBudget(width, height);
    maxPictures = maxPictures < 0 ? budget : std::min(maxPictures, budget);
    const QList<TextRun> runs = parseTextRuns(material.content);
    const TextLayoutChoice choice = chooseTextLayout(material, forCanvas);
    switch (choice.kind) {
    case TextLayoutKind::SingleLinePictures:
        return layoutSingleLinePictures(
            runs, {width, height, material.textParam3, limited(kMaxPictures, maxPictures)});
    case TextLayoutKind::MultiLinePictures:
        return layoutMultiLinePictures(runs, {width, height, material.textParam1, material.textParam2,
                                              material.textParam3, limited(kMaxPictures, maxPictures)});
    case TextLayoutKind::HorizontalStrip:
        return layoutHorizontalStrip(
            runs, {width, height, choice.direction, material.textParam3, maxPictures});
    case TextLayoutKind::VerticalStrip:
        return layoutVerticalStrip(runs, {width, height, choice.direction, 0, maxPictures});
    }
    return {};
}

} // namespace ledsign
