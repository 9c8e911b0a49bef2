#include "editing/captionfit.h"

#include <QFontMetrics>

namespace ledsign::canvas {

namespace {

QFont atPoints(QFont font, int points)
{
    font.setPointSize(points);
    return font;
}

bool fits(const QString& caption, const QFont& font, QSize box)
{
    const QFontMetrics metrics(font);
    return metrics.horizontalAdvance(caption) <= box.width() && metrics.height() <= box.height();
}

} // namespace

FittedCaption fitCaption(const QString& caption, QFont font, int points, QSize box)
{
    const int largest = qMax(points, kMinCaptionPoints);
    if (fits(caption, atPoints(font, largest), box))
        return {caption, largest};
    // The widths grow with the size: find the largest that fits.
    int low = kMinCaptionPoints - 1; // fits, or the floor
    int high = largest;              // does not fit
    while (high - low > 1) {
        const int mid = (low + high) / 2;
        if (fits(caption, atPoints(font, mid), box))
            low = mid;
        else
            high = mid;
    }
    if (low >= kMinCaptionPoints)
        return {caption, low};
    const QFontMetrics metrics(atPoints(font, kMinCaptionPoints));
    return {metrics.elidedText(caption, Qt::ElideRight, qMax(0, box.width())), kMinCaptionPoints};
}

} // namespace ledsign::canvas
