// Send conversion: a material's pictures reduced to the card's bit planes just
// before the material is encoded for sending. Texts are laid out, image
// groups and tables loaded, animations decoded; kinds the card draws itself
// give no display data. The picture, byte and block counts go into the
// material.
#pragma once

#include "model/tfodder.h"

#include <QByteArray>
#include <QString>

namespace ledsign {

// The status text shown while converting for a card: "[" card "]" and the
// language text of "tip_transform_send_content".
QString sendConversionStatus(const QString& cardName);

// Converts the material for a card of `colorType` ('8', '9', ':') whose
// region is W x H. `displayData` receives the bit planes of every picture in
// order; the material's `frameCount`, `byteCount` and `partCount` are set.
// An internal-code material with empty content gets one space. Returns false
// (display data empty, counts 0, `error` says why) when there is nothing to
// send: a text with no picture, an image group or table without files or
// with a file that cannot be read, an animation without a readable file.
bool sendConversion(TFodder& material, int width, int height, const QString& cardName, int colorType,
                    QByteArray& displayData, const MessageSink& status = {}, QString* error = nullptr);

} // namespace ledsign
