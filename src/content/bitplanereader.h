// Display data read back into a picture, facing bitplanes.h: the pixels of
// W x H walked row by row as one sequence, 8 pixels per byte of each plane
// (first pixel in bit 7, a 0 bit lights the LED), the plane bytes of a group
// red, green, blue. A lit red LED is drawn pure red, green pure green, blue
// pure blue; together they mix (red and green give yellow). Pixels past
// the last whole group, and any the data does not reach, stay dark.
#pragma once

#include <QByteArray>
#include <QImage>

namespace ledsign {

// The picture that starts at `offset` in the display data.
QImage pictureFromBitPlanes(const QByteArray& data, qsizetype offset, int width, int height, int planes);

} // namespace ledsign
