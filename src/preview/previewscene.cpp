#include "preview/previewscene.h"

#include <QPainter>

namespace ledsign {

namespace {

void drawLayer(QPainter& painter, const SceneLayer& layer)
{
    if (!layer.visible || layer.image.isNull())
        return;
    if (layer.limited) {
        if (layer.reveal.isEmpty())
            return;
        painter.save();
        painter.setClipRegion(layer.reveal.translated(layer.pos));
        painter.drawImage(layer.pos, layer.image);
        painter.restore();
        return;
    }
    painter.drawImage(layer.pos, layer.image);
}

} // namespace

QImage composeScene(const RegionScene& scene, const QSize& size)
{
    QImage out(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    out.fill(Qt::black);
    QPainter painter(&out);
    drawLayer(painter, scene.back);
    drawLayer(painter, scene.front);
    return out;
}

} // namespace ledsign
