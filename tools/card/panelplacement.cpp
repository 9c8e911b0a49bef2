#include "panelplacement.h"

#include <algorithm>

namespace ledsign::card {

namespace {

// Keeps [start, start + length) inside [low, high) when it can, else at low.
int clampInto(int start, int length, int low, int high)
{
    return std::max(low, std::min(start, high - length));
}

} // namespace

QSize roomBeside(const QRect& area, const QRect& screen)
{
    const int right = screen.x() + screen.width() - (area.x() + area.width()) - kPlacementGap;
    const int left = area.x() - screen.x() - kPlacementGap;
    const int below = screen.y() + screen.height() - (area.y() + area.height()) - kPlacementGap;
    const int above = area.y() - screen.y() - kPlacementGap;
    const QSize sideways(std::max({0, right, left}), screen.height());
    const QSize upright(screen.width(), std::max({0, below, above}));
    const auto surface = [](const QSize& s) { return qint64(s.width()) * s.height(); };
    return surface(sideways) >= surface(upright) ? sideways : upright;
}

QPoint besidePosition(const QRect& area, const QSize& size, const QRect& screen)
{
    const int screenRight = screen.x() + screen.width();
    const int screenBottom = screen.y() + screen.height();
    const int y = clampInto(area.y(), size.height(), screen.y(), screenBottom);
    const int x = clampInto(area.x(), size.width(), screen.x(), screenRight);
    const int rightX = area.x() + area.width() + kPlacementGap;
    if (rightX + size.width() <= screenRight && size.height() <= screen.height())
        return {rightX, y};
    const int leftX = area.x() - kPlacementGap - size.width();
    if (leftX >= screen.x() && size.height() <= screen.height())
        return {leftX, y};
    const int belowY = area.y() + area.height() + kPlacementGap;
    if (belowY + size.height() <= screenBottom && size.width() <= screen.width())
        return {x, belowY};
    const int aboveY = area.y() - kPlacementGap - size.height();
    if (aboveY >= screen.y() && size.width() <= screen.width())
        return {x, aboveY};
    return {std::max(screen.x(), screenRight - size.width()), std::max(screen.y(), screenBottom - size.height())};
}

} // namespace ledsign::card
