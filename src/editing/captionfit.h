// How a region's caption is drawn so that it fits its panel: the zoom gives
// the caption its point size, but a small region shows its name smaller
// rather than cut at both ends.
#pragma once

#include <QFont>
#include <QSize>
#include <QString>

namespace ledsign::canvas {

inline constexpr int kMinCaptionPoints = 6;

struct FittedCaption {
    QString text;  // the caption, elided only when even the smallest size is too wide
    int points = 0;
};

// The largest point size up to `points` at which `caption`, in `font` (its
// other attributes kept), fits `box` on one line; never below 6 points. At
// 6 points a caption still too wide is elided at its end.
FittedCaption fitCaption(const QString& caption, QFont font, int points, QSize box);

} // namespace ledsign::canvas
