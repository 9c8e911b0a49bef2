// Pictures: 24-bit images exactly as large as a material's region, black when
// made, at 96 dots per inch. The picture layouts make at most 2048 of them.
#pragma once

#include <QImage>
#include <QList>

namespace ledsign {

// Picture indexes of a material run from 0 to 2047.
inline constexpr int kMaxPictures = 2048;

// The format of every picture: 8 bits each of red, green and blue.
inline constexpr QImage::Format kPictureFormat = QImage::Format_RGB888;

// A new picture of W x H filled black; a null image when W or H is not positive.
QImage newPicture(int width, int height);

// The image as a 24-bit picture at 96 dpi (alpha dropped, palettes resolved).
QImage toPicture(const QImage& image);

} // namespace ledsign
