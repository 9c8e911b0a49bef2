// The link between the drag frame and the region records: a frame over a
// region panel stores what the user dragged, converted to LED pixels and
// snapped to the grid, and gets back where the panel now stands.
#pragma once

#include "model/projectmodel.h"

#include <QRect>
#include <QString>

namespace ledsign::canvas {

enum class SyncMode {
    FrameMade = 0, // a frame was put on the region: nothing is stored
    Pressed = 1,   // press, release or an arrow key
    Resized = 2,   // a size change of the frame
};

// Finds the region whose `panelName` is the given name (nothing happens when
// there is none). In the Pressed and Resized modes the canvas rectangle is
// converted to LED pixels at zoom z (left and width snapped to the grid, top
// and height not), kept at least 12 by 12 and inside the card, stored in
// the region, and `canvasRect` is set to where the panel now stands: left
// and width converted back; top and height as given unless they had to
// change.
Found<TRegion> syncRegionGeometry(ProjectModel& model, SyncMode mode, const QString& panelName,
                                  QRect& canvasRect, int zoomTenths);

// The LED rectangle a canvas rectangle stands for on a card of the given
// size, by the rules above.
QRect regionFromCanvas(const QRect& canvasRect, int zoomTenths, int cardWidth, int cardHeight);

} // namespace ledsign::canvas
