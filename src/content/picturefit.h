// Fitting a picture to its region: the picture keeps its top-left corner, is
// cut to the region's size, and a smaller picture is extended on the right
// and at the bottom with unlit (black) pixels.
#pragma once

#include <QImage>

namespace ledsign {

// The picture as a 24-bit picture of exactly W x H; null when W or H is not
// positive. A null picture gives an all-black one.
QImage fitPictureToRegion(const QImage& picture, int width, int height);

} // namespace ledsign
