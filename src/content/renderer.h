// The one rendering service the send, the preview and the canvas call: send
// conversion, preview conversion, canvas pictures and first animation frames.
// Status texts go out through the statusText signal; the last failure's
// reason is kept for the caller.
#pragma once

#include "content/previewconversion.h"
#include "model/tfodder.h"

#include <QByteArray>
#include <QImage>
#include <QObject>
#include <QString>

namespace ledsign {

class Renderer : public QObject {
    Q_OBJECT
public:
    explicit Renderer(QObject* parent = nullptr);

    // See sendConversion(): the display data comes back in `displayData`,
    // the counts in the material.
    bool sendConversion(TFodder& material, int width, int height, const QString& cardName, int colorType,
                        QByteArray& displayData);

    // See previewConversion().
    PreviewPictures previewConversion(const TFodder& material, int width, int height, int maxPictureIndex,
                                      const QString& displayText = {});

    // See canvasPicture().
    QImage canvasPicture(const TFodder& material, int panelWidth, int panelHeight, int zoom,
                         const QString& displayText = {}) const;

    // Frame 0 of an animation file, for the canvas; null when there is none.
    static QImage firstAnimationFrame(const QString& path);

    // Why the last conversion failed; empty after a success.
    QString errorText() const { return error_; }

signals:
    void statusText(const QString& text);

private:
    QString error_;
};

} // namespace ledsign
