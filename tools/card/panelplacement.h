// Where the LED panel window opens when it is told which screen area to keep
// clear (the editor's window, for the demo): beside that area and within the
// screen. Window sizes here are outer sizes, title bar included.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace ledsign::card {

// The space between the area and the window.
inline constexpr int kPlacementGap = 8;

// The largest free strip of the screen beside the area: right of it or left
// of it (screen height), below or above it (screen width).
QSize roomBeside(const QRect& area, const QRect& screen);

// The top-left corner for a window of `size`: right of the area, else left,
// else below, else above, aligned with the area's top (or left) edge as far
// as the screen allows. When no side has room, the screen's bottom-right
// corner, so the window stays within the screen.
QPoint besidePosition(const QRect& area, const QSize& size, const QRect& screen);

} // namespace ledsign::card
