// Canvas rendering: the one picture a material's panel shows on the layout
// canvas, its first picture in LED pixels (the canvas stretches it to the
// panel).
#pragma once

#include "model/tfodder.h"

#include <QImage>
#include <QString>

namespace ledsign {

// The picture for a panel of `panelWidth` x `panelHeight` canvas pixels at
// the canvas zoom `zoom` (tenths: 10 is 1.0): the material is laid out on
// panel size x 10 / zoom LED pixels. Texts take the canvas's choice of layout;
// date/time, counter and acquisition materials draw `displayText` centred as
// one picture; internal-code materials their own display text (or
// `displayText` when given); image groups, tables and animations show their
// first image or frame fitted to the region. Null for the kinds that have
// nothing to draw (remote text, queue) and when a file cannot be read.
QImage canvasPicture(const TFodder& material, int panelWidth, int panelHeight, int zoom,
                     const QString& displayText = {});

// LED pixels of a canvas length at a zoom in tenths (a zoom of 0 or less counts as 10).
int ledLengthOfCanvas(int canvasLength, int zoom);

} // namespace ledsign
