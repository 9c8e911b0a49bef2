// Where the preview's pictures come from in the program: the renderer's
// preview conversion for the pictures of a material, and the display-text
// builders with the renderer for the live materials (date and time, counts,
// acquisition), redrawn on every step.
#pragma once

#include "preview/previewplayer.h"

namespace ledsign {

PreviewConversion standardPreviewConversion();
LiveRenderer standardLiveRenderer();

} // namespace ledsign
