#include "content/renderer.h"

#include "content/animationframes.h"
#include "content/canvasrendering.h"
#include "content/sendconversion.h"

namespace ledsign {

Renderer::Renderer(QObject* parent) : QObject(parent) {}

bool Renderer::sendConversion(TFodder& material, int width, int height, const QString& cardName,
                              int colorType, QByteArray& displayData)
{
    error_.clear();
    return ledsign::sendConversion(material, width, height, cardName, colorType, displayData,
                                   [this](const QString& text) { emit statusText(text); }, &error_);
}

PreviewPictures Renderer::previewConversion(const TFodder& material, int width, int height,
                                            int maxPictureIndex, const QString& displayText)
{
    PreviewPictures result = ledsign::previewConversion(material, width, height, maxPictureIndex, displayText,
                                                        [this](const QString& text) { emit statusText(text); });
    error_ = result.error;
    return result;
}

QImage Renderer::canvasPicture(const TFodder& material, int panelWidth, int panelHeight, int zoom,
                               const QString& displayText) const
{
    return ledsign::canvasPicture(material, panelWidth, panelHeight, zoom, displayText);
}

QImage Renderer::firstAnimationFrame(const QString& path)
{
    return ledsign::firstAnimationFrame(path);
}

} // namespace ledsign
