// The picture a material's panel shows in the editor: its content rendered
// at the region's size in LED pixels, with the text the card would show for
// the kinds whose content the card computes (date and time, counters,
// real-time acquisition). Null where there is nothing to draw, also when
// the picture would light no LED (the panel then shows the material's name).
#pragma once

#include "model/tfodder.h"

#include <QImage>
#include <QSize>

namespace ledsign {

QImage panelPicture(const TFodder& material, QSize ledSize);

} // namespace ledsign
