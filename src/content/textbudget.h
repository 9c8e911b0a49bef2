// How much a text material may cost to render: its stored text is at most
// 1 MiB (a card shows at most 2048 pictures of it; no sign needs more), and
// the pictures of one material hold at most 16 Mi pixels (64 MiB), so that a
// huge text or region is refused before the work instead of exhausting
// memory half-way.
#pragma once

#include "model/tfodder.h"

#include <QString>

namespace ledsign {

inline constexpr qsizetype kMaxTextContentBytes = qsizetype(1) << 20;
inline constexpr qint64 kMaxMaterialPixels = qint64(16) << 20;

// Pictures of W x H that fit the pixel budget (at least 1).
int pictureBudget(int width, int height);

// Empty when the text of a text material may be rendered; otherwise the
// message refusing it, naming the material and the limit. Checks only what
// is known before the layout: the size of the stored text.
QString textContentRefusal(const TFodder& material);

// Empty when `pictures` pictures of W x H fit the pixel budget; otherwise the
// message refusing the material, naming it, the pictures and the limit. For
// image groups, tables and animations, before any picture is read.
QString pictureRefusal(const TFodder& material, int width, int height, qint64 pictures);

// The message for a text whose pictures reached the budget before its end.
QString textTooLongMessage(const TFodder& material, int width, int height, int pictures);

} // namespace ledsign
