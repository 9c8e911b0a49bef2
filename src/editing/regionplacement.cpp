#include "editing/regionplacement.h"

#include "editing/canvasgeometry.h"

#include <algorithm>

namespace ledsign::canvas {

namespace {

int gridAbove(int value)
{
    return (value + kGridStep - 1) / kGridStep * kGridStep;
}

} // namespace

QPoint newRegionPosition(QSize size, QSize page, const QList<QRect>& taken)
{
    QList<QPoint> spots{{0, 0}};
    for (const QRect& r : taken) {
        const int right = gridAbove(r.left() + r.width());
        const int below = r.top() + r.height();
        spots << QPoint(right, r.top()) << QPoint(right, 0) << QPoint(r.left(), below) << QPoint(0, below);
    }
    std::stable_sort(spots.begin(), spots.end(), [](const QPoint& a, const QPoint& b) {
        return a.y() != b.y() ? a.y() < b.y() : a.x() < b.x();
    });
    for (const QPoint& spot : spots) {
        const QRect wanted(spot, size);
        if (spot.x() < 0 || spot.y() < 0 || wanted.right() >= page.width() || wanted.bottom() >= page.height())
            continue;
        const bool clear = std::none_of(taken.cbegin(), taken.cend(),
                                        [&](const QRect& r) { return !r.isEmpty() && r.intersects(wanted); });
        if (clear)
            return spot;
    }
    return {0, 0};
}

} // namespace ledsign::canvas
