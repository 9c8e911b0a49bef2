// What a material panel of the canvas shows: the placeholder picture of a
// new material, the first image of an image group or table and the first
// frame of an animation at their own size, and the eight selection marks
// drawn over the panel of the current material.
#pragma once

#include "model/tfodder.h"

#include <QImage>
#include <QSize>
#include <QString>

class QPainter;

namespace ledsign::canvas {

// Pictures are made at 96 dots per inch, so that 12 points are 16 pixels.
inline constexpr int kDotsPerMeter96 = 3780;
inline constexpr int kPlaceholderPoints = 12;

struct MaterialPicture {
    QImage image;
    // True: drawn over the whole panel. False: drawn at (0, 0) in the
    // image's size times the zoom factor.
    bool stretched = true;
};

// A black picture of the given LED size with the name written at (0, 0) in
// red, 12 points.
QImage placeholderPicture(const QString& name, QSize ledSize);

// True for the kinds whose picture keeps its own size (image group, table,
// animation); the others are stretched over the panel.
bool keepsNaturalSize(int kind);

// The picture of a material whose content is not rendered: the first image
// file of an image group or table, the first frame of an animation file, and
// the placeholder for every other kind or when the file does not load.
MaterialPicture naturalPicture(const TFodder& material, QSize ledSize);

// The eight 5 x 5 selection marks, white with a black outline, over a panel
// of the given size.
void drawSelectionMarks(QPainter& painter, QSize panel);

} // namespace ledsign::canvas
