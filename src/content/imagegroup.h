// The pictures of an image group or a table: every file of the material's
// image list, in order, loaded and converted to a 24-bit picture.
#pragma once

#include "model/tfodder.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

namespace ledsign {

// The paths of the material's image list, in play order.
QStringList imageGroupFiles(const TFodder& material);

// Loads every listed file. Fails (with an error text naming the file) when
// the list is empty or a file cannot be read as an image: a picture is never
// left out silently.
bool loadImageGroup(const TFodder& material, QList<QImage>& pictures, QString* error = nullptr);

// One image file as a 24-bit picture; a null image when it cannot be read.
QImage loadPictureFile(const QString& path, QString* error = nullptr);

} // namespace ledsign
