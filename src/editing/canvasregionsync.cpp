#include "editing/canvasregionsync.h"

#include "editing/canvasgeometry.h"

namespace ledsign::canvas {

namespace {

// Keeps a span [start, start + length) inside [0, limit); a limit of 0 or
// less means the card's size is not known and nothing is bounded.
void keepInside(int& start, int& length, int limit)
{
    if (limit <= 0)
        return;
    length = qMin(length, limit);
    start = qMax(0, start);
    if (start + length > limit)
        start = limit - length;
}

} // namespace

QRect regionFromCanvas(const QRect& canvasRect, int zoomTenths, int cardWidth, int cardHeight)
{
    int left = snapToGrid(canvasToLed(canvasRect.left(), zoomTenths));
    int width = snapToGrid(canvasToLed(canvasRect.width(), zoomTenths));
    int top = canvasToLed(canvasRect.top(), zoomTenths);
    int height = canvasToLed(canvasRect.height(), zoomTenths);
    // A frame settled at 12 canvas pixels stands for a width that the grid
    // rounds below the smallest region; the smallest region wins.
    width = qMax(width, kMinRegionSide);
    height = qMax(height, kMinRegionSide);
    // A region that reaches beyond its card makes the saved playbill
    // unreadable, so a drag or resize never leaves one there.
    keepInside(left, width, cardWidth);
    keepInside(top, height, cardHeight);
    return {left, top, width, height};
}

Found<TRegion> syncRegionGeometry(ProjectModel& model, SyncMode mode, const QString& panelName,
                                  QRect& canvasRect, int zoomTenths)
{
    Found<TRegion> found;
    for (qsizetype i = 0; i < model.regions().size(); ++i) {
        if (!panelName.isEmpty() && model.regions()[i].panelName == panelName) {
            found = {&model.regions()[i], i};
            break;
        }
    }
    if (!found || mode == SyncMode::FrameMade)
        return found;

    int cardWidth = 0;
    int cardHeight = 0;
    if (const auto card = model.findCard(found.record->cardName)) {
        cardWidth = card.record->width;
        cardHeight = card.record->height;
    }
    const QRect led = regionFromCanvas(canvasRect, zoomTenths, cardWidth, cardHeight);
    TRegion& region = *found.record;
    region.left = led.left();
    region.top = led.top();
    region.width = led.width();
    region.height = led.height();

    const int top = led.top() == canvasToLed(canvasRect.top(), zoomTenths) ? canvasRect.top()
                                                                            : ledToCanvas(led.top(), zoomTenths);
    const int height = led.height() == canvasToLed(canvasRect.height(), zoomTenths)
                           ? canvasRect.height()
                           : ledToCanvas(led.height(), zoomTenths);
    canvasRect = QRect(ledToCanvas(led.left(), zoomTenths), top, ledToCanvas(led.width(), zoomTenths), height);
    return found;
}

} // namespace ledsign::canvas
