// Display data: pictures reduced to the card's bit planes. Pixels are walked
// row by row as one sequence; every 8 pixels give one byte per plane (first
// pixel in bit 7, a 0 bit lights the LED), the plane bytes of a group written
// red, green, blue. A picture is fitted to the region first: cut to it, or
// extended on the right and at the bottom by unlit pixels.
#pragma once

#include <QByteArray>
#include <QImage>

namespace ledsign {

// Thresholds: a colour component at or below its threshold is an unlit bit.
inline constexpr int kRedThreshold = 90;
inline constexpr int kGreenThreshold = 70;
inline constexpr int kBlueThreshold = 80;

// Display data is cut into blocks of this many bytes.
inline constexpr int kDisplayBlockSize = 2048;

// Planes of a card's `colorType`: '8' one (red), '9' two (red, green), ':'
// three (red, green, blue); any other value one.
int planeCountOfColorType(int colorType);

// Bytes one picture of W x H gives in p planes: one byte per plane for every
// whole group of 8 pixels (a last group of fewer than 8 is not written).
qint64 bitPlaneByteCount(int width, int height, int planes);

// Blocks of display data: its length divided by 2048, rounded up.
int displayBlockCount(qint64 byteCount);

// Appends the bit planes of the picture fitted to W x H. Any image format is
// accepted; 24-bit pictures are read directly.
void appendBitPlanes(const QImage& picture, int width, int height, int planes, QByteArray& out);

// The bit planes of one picture.
QByteArray bitPlanes(const QImage& picture, int width, int height, int planes);

} // namespace ledsign
