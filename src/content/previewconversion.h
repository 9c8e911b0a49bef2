// Preview conversion: the pictures the preview plays for a material, made the
// same way as for sending but kept as pictures. Image groups and tables give
// their file names; clocks, counters and acquisitions give one picture of
// their display text.
#pragma once

#include "model/tfodder.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

namespace ledsign {

// The status text shown while converting for the preview.
QString previewConversionStatus();

struct PreviewPictures {
    bool ok = true;
    QList<QImage> pictures;   // texts, internal codes, animations, display texts
    QStringList imageFiles;   // image groups and tables
    int pictureCount = 0;
    QString error;
};

// Pictures of the material on a region of W x H, picture indexes up to
// `maxPictureIndex` (all when negative). `displayText` is the short run
// markup of a date/time, counter or acquisition material (drawn as one
// picture) or of an internal-code material (made from the material when
// empty). Fails only for an animation without a readable file.
PreviewPictures previewConversion(const TFodder& material, int width, int height, int maxPictureIndex,
                                  const QString& displayText = {}, const MessageSink& status = {});

} // namespace ledsign
