// What a preview region shows at one moment: up to two pictures (the front
// and back picture controls), each with its place inside the region, an
// optional revealed part and a visibility. The window paints exactly this.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRegion>
#include <QSize>

namespace ledsign {

struct SceneLayer {
    QImage image;
    QPoint pos;          // top-left corner inside the region
    QRegion reveal;      // the part drawn so far; the whole picture when empty
    bool limited = false; // true: only `reveal` is drawn (expanding and blind effects)
    bool visible = false;
};

struct RegionScene {
    SceneLayer back;
    SceneLayer front;
};

// The region as it looks: black, then the back and the front layer.
QImage composeScene(const RegionScene& scene, const QSize& size);

} // namespace ledsign
