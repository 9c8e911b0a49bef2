#include "editing/canvasgeometry.h"

#include <cmath>

namespace ledsign::canvas {

namespace {

struct Rgb {
    int r, g, b;
};

// Colours of region numbers 1..7; 8..14 repeat them.
constexpr std::array<Rgb, 7> kRegionColors{{
    {128, 128, 128},
    {128, 128, 0},
    {0, 128, 0},
    {166, 202, 240},
    {0, 0, 255},
    {255, 0, 0},
    {128, 0, 0},
}};

int safeZoom(int zoomTenths)
{
    return zoomTenths > 0 ? zoomTenths : kZoomOne;
}

} // namespace

int snapToGrid(int value)
{
    const int rest = value % kGridStep; // same sign as value
    if (rest >= 5)
        return value - rest + kGridStep;
    if (rest <= -5)
        return value - rest - kGridStep;
    return value - rest;
}

double zoomStep(double factor, bool narrow)
{
    double a = factor;
    if (narrow) {
        a = a > 1 ? a - 1 : a - 0.5;
        if (a < kMinZoom)
            a = kMinZoom;
    } else {
        a = a >= 1 ? a + 1 : a + 0.5;
        if (a > kMaxZoom)
            a = kMaxZoom;
    }
    return a;
}

int zoomTenths(double factor)
{
    return static_cast<int>(std::lround(factor * kZoomOne));
}

QString zoomLabelText(double factor)
{
    const QString text = QString::number(factor, 'g', 15);
    return text == QLatin1String("0") ? QStringLiteral("1") : text;
}

double zoomFactorFromLabel(const QString& text)
{
    bool ok = false;
    const double a = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(a) ? a : 0.0;
}

double zoomFactorOfCard(int tenths)
{
    return zoomFactorFromLabel(zoomLabelText(tenths / double(kZoomOne)));
}

int ledToCanvas(int led, int zoomTenths)
{
    return static_cast<int>(qint64(led) * safeZoom(zoomTenths) / kZoomOne);
}

int canvasToLed(int canvas, int zoomTenths)
{
    return static_cast<int>(qint64(canvas) * kZoomOne / safeZoom(zoomTenths));
}

int scaleRounded(int value, double factor)
{
    return static_cast<int>(std::nearbyint(value * factor)); // default mode: halves to even
}

QSize cardPanelSize(int ledWidth, int ledHeight, double factor)
{
    return {scaleRounded(ledWidth, factor) + kCardPanelMargin, scaleRounded(ledHeight, factor) + kCardPanelMargin};
}

QRect pagePanelRect(QSize cardPanel)
{
    return {kPagePanelOffset, kPagePanelOffset, qMax(0, cardPanel.width() - kCardPanelMargin),
            qMax(0, cardPanel.height() - kCardPanelMargin)};
}

QPoint centredPosition(QSize box, QSize panel)
{
    const int left = box.width() < panel.width() ? 0 : (box.width() - panel.width()) / 2;
    const int top = box.height() < panel.height() ? 0 : (box.height() - panel.height()) / 2;
    return {left, top};
}

int regionNumber(const QString& regionName, const QString& areaWord)
{
    QString rest = regionName;
    if (!areaWord.isEmpty())
        rest.remove(areaWord);
    bool ok = false;
    const int n = rest.trimmed().toInt(&ok, 10);
    return ok ? n : 1;
}

std::optional<QColor> regionColor(const QString& regionName, const QString& areaWord)
{
    const int n = regionNumber(regionName, areaWord);
    if (n < 1 || n > 2 * int(kRegionColors.size()))
        return std::nullopt;
    const Rgb& c = kRegionColors[(n - 1) % kRegionColors.size()];
    return QColor(c.r, c.g, c.b);
}

int captionPointSize(int zoomTenths)
{
    return kCaptionPoints * safeZoom(zoomTenths) / kZoomOne;
}

QRect regionCanvasRect(const TRegion& region, int zoomTenths)
{
    return {ledToCanvas(region.left, zoomTenths), ledToCanvas(region.top, zoomTenths),
            ledToCanvas(region.width, zoomTenths), ledToCanvas(region.height, zoomTenths)};
}

QRect regionCanvasRectAt(const TRegion& region, double factor)
{
    return {scaleRounded(region.left, factor), scaleRounded(region.top, factor), scaleRounded(region.width, factor),
            scaleRounded(region.height, factor)};
}

std::array<Handle, 8> frameHandles(QSize frame)
{
    const int w = frame.width();
    const int h = frame.height();
    const int s = kHandleSide;
    const int midX = w / 2;
    const int midY = h / 2;
    // Rectangles are given as left, top, right, bottom with right and bottom
    // exclusive.
    auto box = [](int l, int t, int r, int b) { return QRect(QPoint(l, t), QSize(r - l, b - t)); };
    return {{
        {box(0, 0, s, s), Edge::TopLeft},
        {box(midX - 3, 0, midX + 2, s), Edge::Top},
        {box(w - s, 0, w, s), Edge::TopRight},
        {box(w - s, midY - 3, w, midY + 2), Edge::Right},
        {box(w - s, h - s, w, h), Edge::BottomRight},
        {box(midX - 3, h - s, midX + 2, h), Edge::Bottom},
        {box(0, h - s, s, h), Edge::BottomLeft},
        {box(0, midY - 3, s, midY + 2), Edge::Left},
    }};
}

std::optional<Edge> handleAt(QPoint pointInFrame, QSize frame)
{
    for (const Handle& handle : frameHandles(frame)) {
        if (handle.rect.contains(pointInFrame))
            return handle.edge;
    }
    return std::nullopt;
}

QPoint placeFrame(QPoint wanted, QSize frame, QSize page)
{
    int left = wanted.x();
    int top = wanted.y();
    if (left < 1)
        left = 0;
    if (left + frame.width() >= page.width())
        left = page.width() - frame.width();
    if (top <= 0)
        top = 0;
    if (top + frame.height() >= page.height())
        top = page.height() - frame.height();
    // A frame larger than the page stays at the page's top-left corner.
    return {qMax(0, snapToGrid(left)), qMax(0, top)};
}

QPoint dragTopLeft(QPoint mouse, QPoint press, const QRect& frame, QSize page)
{
    const QPoint wanted(mouse.x() + frame.left() - press.x(), mouse.y() + frame.top() - press.y());
    return placeFrame(wanted, frame.size(), page);
}

QRect resizeFrame(const QRect& start, Edge edge, QPoint delta)
{
    int left = start.left();
    int top = start.top();
    int right = start.left() + start.width();   // exclusive
    int bottom = start.top() + start.height();  // exclusive
    const bool moveLeft = edge == Edge::TopLeft || edge == Edge::Left || edge == Edge::BottomLeft;
    const bool moveRight = edge == Edge::TopRight || edge == Edge::Right || edge == Edge::BottomRight;
    const bool moveTop = edge == Edge::TopLeft || edge == Edge::Top || edge == Edge::TopRight;
    const bool moveBottom = edge == Edge::BottomLeft || edge == Edge::Bottom || edge == Edge::BottomRight;
    if (moveLeft)
        left = qBound(right - kMaxFrameWidth, left + delta.x(), right - 1);
    if (moveRight)
        right = qBound(left + 1, right + delta.x(), left + kMaxFrameWidth);
    if (moveTop)
        top = qBound(bottom - kMaxFrameHeight, top + delta.y(), bottom - 1);
    if (moveBottom)
        bottom = qBound(top + 1, bottom + delta.y(), top + kMaxFrameHeight);
    return {left, top, right - left, bottom - top};
}

QRect settleFrame(const QRect& frame)
{
    QRect settled = frame;
    int width = snapToGrid(frame.width());
    if (width < kMinRegionSide)
        width = kMinRegionSide;
    settled.setWidth(width);
    if (settled.height() < kMinRegionSide)
        settled.setHeight(kMinRegionSide);
    return settled;
}

QSize keyStep(int zoomTenths)
{
    return {qMax(kGridStep, ledToCanvas(kGridStep, zoomTenths)), qMax(1, ledToCanvas(1, zoomTenths))};
}

} // namespace ledsign::canvas
