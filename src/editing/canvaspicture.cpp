#include "editing/canvaspicture.h"

#include "content/fontresolver.h"
#include "editing/canvasgeometry.h"
#include "model/materialkinds.h"

#include <QFont>
#include <QImageReader>
#include <QPainter>

namespace ledsign::canvas {

namespace {

QImage loadFirstFrame(const QString& path)
{
    if (path.isEmpty())
        return {};
    QImageReader reader(path);
    QImage image = reader.read();
    if (image.isNull())
        return {};
    return image.convertToFormat(QImage::Format_RGB32);
}

} // namespace

QImage placeholderPicture(const QString& name, QSize ledSize)
{
    QImage image(ledSize.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    image.setDotsPerMeterX(kDotsPerMeter96);
    image.setDotsPerMeterY(kDotsPerMeter96);
    image.fill(Qt::black);
    QPainter painter(&image);
    // Drawn as a card would draw it, not in the window's font.
    QFont font;
    font.setFamilies(cardFontFamilies(QStringLiteral("Arial")));
    font.setPointSize(kPlaceholderPoints);
    font.setStyleStrategy(QFont::NoAntialias);
    painter.setFont(font);
    painter.setPen(QColor(255, 0, 0));
    painter.drawText(QRect(QPoint(0, 0), image.size()), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, name);
    return image;
}

bool keepsNaturalSize(int kind)
{
    return kind == kImageGroup || kind == kTable || kind == kAnimation;
}

MaterialPicture naturalPicture(const TFodder& material, QSize ledSize)
{
    QImage image;
    if (material.kind == kImageGroup || material.kind == kTable) {
        if (!material.fileList.isEmpty())
            image = loadFirstFrame(material.fileList.first().path);
    } else if (material.kind == kAnimation) {
        image = loadFirstFrame(material.content);
    }
    if (image.isNull())
        return {placeholderPicture(material.name, ledSize), true};
    return {image, false};
}

void drawSelectionMarks(QPainter& painter, QSize panel)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const Handle& handle : frameHandles(panel)) {
        painter.fillRect(handle.rect, Qt::black);
        painter.fillRect(handle.rect.adjusted(1, 1, -1, -1), Qt::white);
    }
    painter.restore();
}

} // namespace ledsign::canvas
