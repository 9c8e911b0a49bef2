#include "content/animationframes.h"

#include "content/renderpicture.h"

#include <QFileInfo>
#include <QImageReader>

namespace ledsign {

QString animationFilePath(const QString& content)
{
    if (content.isEmpty())
        return {};
    if (QFileInfo(content).isFile())
        return content;
    QString slashed = content;
    slashed.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (slashed != content && QFileInfo(slashed).isFile())
        return slashed;
    return {};
}

bool decodeAnimationFrames(const QString& path, QList<QImage>& frames, QString* error, int maxFrames)
{
    frames.clear();
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        if (error)
            *error = QStringLiteral("animation file \"%1\" does not exist").arg(path);
        return false;
    }
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    if (!reader.canRead()) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, reader.errorString());
        return false;
    }
    // Frames are read until the reader has no more; a count the format
    // announces only bounds the loop.
    const int announced = reader.imageCount();
    while (maxFrames < 0 || frames.size() < maxFrames) {
        if (announced > 0 && frames.size() >= announced)
            break;
        const QImage frame = reader.read();
        if (frame.isNull())
            break;
        frames.append(toPicture(frame));
        if (!reader.supportsAnimation() && announced <= 0)
            break;
    }
    if (frames.isEmpty()) {
        if (error)
            *error = QStringLiteral("%1: no frames").arg(path);
        return false;
    }
    return true;
}

QImage firstAnimationFrame(const QString& path)
{
    QList<QImage> frames;
    if (!decodeAnimationFrames(path, frames, nullptr, 1))
        return {};
    return frames.first();
}

} // namespace ledsign
