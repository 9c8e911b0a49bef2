// Geometry of the layout canvas: the zoom steps, the conversion between LED
// pixels (what records hold) and canvas pixels (what is drawn), the grid of
// 8 pixels that horizontal positions and widths snap to, the sizes of the
// card and page panels, the colours of region panels, and the handles and
// moves of the drag frame. Nothing here needs a window.
#pragma once

#include "model/tregion.h"

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <array>
#include <optional>

namespace ledsign::canvas {

inline constexpr int kGridStep = 8;            // horizontal grid, LED or canvas pixels
inline constexpr int kMinRegionSide = 12;      // smallest region width and height
inline constexpr int kCardPanelMargin = 16;    // card panel = drawn card + 16 each way
inline constexpr int kPagePanelOffset = 7;     // page panel inside its card panel
inline constexpr double kMinZoom = 0.5;
inline constexpr double kMaxZoom = 6.0;
inline constexpr int kZoomOne = 10;            // zoom 1 in tenths
inline constexpr int kCaptionPoints = 18;      // region caption at zoom 1
inline constexpr int kHandleSide = 5;
inline constexpr int kMaxFrameWidth = 5000;
inline constexpr int kMaxFrameHeight = 2000;

// Rounds to a multiple of 8: the remainder is rounded half to even as
// remainder / 8, so remainders 0..4 go down and 5..7 go up (12 -> 8, 13 -> 16).
int snapToGrid(int value);

// One press of the enlarge (narrow = false) or narrow button from factor a:
// 0.5, 1, 2, 3, 4, 5, 6, held at both ends.
double zoomStep(double factor, bool narrow);
// The factor in tenths, rounded (what a card keeps in `zoom`).
int zoomTenths(double factor);
// The text of the zoom label: the shortest decimal form, "0" shown as "1".
QString zoomLabelText(double factor);
// The factor written in the zoom label; 0 when the text is not a number.
double zoomFactorFromLabel(const QString& text);
// The factor a card's `zoom` stands for as the label shows it (0 gives 1).
double zoomFactorOfCard(int tenths);

// LED <-> canvas pixels at zoom z (tenths), truncated toward zero.
int ledToCanvas(int led, int zoomTenths);
int canvasToLed(int canvas, int zoomTenths);
// value x factor rounded to the nearest integer, halves to even (the zoom
// command's rule).
int scaleRounded(int value, double factor);

// The card panel for a card of w x h LED pixels at factor a.
QSize cardPanelSize(int ledWidth, int ledHeight, double factor);
// The page panel inside a card panel of that size.
QRect pagePanelRect(QSize cardPanel);
// Where a panel sits in a box: centred, or at 0 when the box is smaller.
QPoint centredPosition(QSize box, QSize panel);

// The number of a region: its name with the area word removed, read as a
// decimal number; 1 when that is not a number.
int regionNumber(const QString& regionName, const QString& areaWord);
// The colour of a region panel; empty for numbers that have none (the
// canvas then uses the application-workspace colour).
std::optional<QColor> regionColor(const QString& regionName, const QString& areaWord);
// Point size of a region caption at zoom z (tenths): 18 x z / 10.
int captionPointSize(int zoomTenths);

// The canvas rectangle of a region at zoom z (tenths).
QRect regionCanvasRect(const TRegion& region, int zoomTenths);
// The same after a zoom command to factor a (rounded halves to even).
QRect regionCanvasRectAt(const TRegion& region, double factor);

// The eight handles of the drag frame (and the selection marks of a
// material panel), in the order top-left, top, top-right, right,
// bottom-right, bottom, bottom-left, left.
enum class Edge { TopLeft, Top, TopRight, Right, BottomRight, Bottom, BottomLeft, Left };
struct Handle {
    QRect rect;
    Edge edge;
};
std::array<Handle, 8> frameHandles(QSize frame);
// The handle under a point of the frame; empty over the frame's body.
std::optional<Edge> handleAt(QPoint pointInFrame, QSize frame);

// Where the frame goes when the top-left it is asked to take would be
// `wanted`: kept inside the page (left below 1 and top of 0 or less become
// 0; an edge that reaches the page's far side is put back against it), then
// the left snapped to the canvas grid.
QPoint placeFrame(QPoint wanted, QSize frame, QSize page);
// The frame's new top-left while it is dragged: the mouse is at `mouse`
// and was pressed at `press` (both relative to the frame).
QPoint dragTopLeft(QPoint mouse, QPoint press, const QRect& frame, QSize page);
// The frame after dragging the handle `edge` by `delta` from `start`,
// bounded by 1 pixel and by the largest frame.
QRect resizeFrame(const QRect& start, Edge edge, QPoint delta);
// Settling the frame: its width snapped to the grid, then width and height
// below 12 raised to 12.
QRect settleFrame(const QRect& frame);
// The canvas steps of the arrow keys at zoom z: one LED grid step (and at
// least one canvas grid step) across, one LED row (at least one pixel) down.
QSize keyStep(int zoomTenths);

} // namespace ledsign::canvas
