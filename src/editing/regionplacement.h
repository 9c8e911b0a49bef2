// Where Add Area puts a new region: clear of the regions the page already
// holds when there is room, so that the new one does not hide the last.
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace ledsign::canvas {

// The top-left (LED pixels) for a new region of `size` on a page of `page`
// that holds the regions `taken`. The spots tried are the page's top-left
// corner and, for every region, the spot right of it (the left rounded up
// to the 8-pixel grid) and the spot below it (at its left and at the page's
// left edge); the first in reading order (top, then left) that keeps the
// region inside the page and clear of every other wins. With none, the
// region goes to the top-left corner.
QPoint newRegionPosition(QSize size, QSize page, const QList<QRect>& taken);

} // namespace ledsign::canvas
