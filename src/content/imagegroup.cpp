#include "content/imagegroup.h"

#include "content/renderpicture.h"

#include <QImageReader>

namespace ledsign {

QStringList imageGroupFiles(const TFodder& material)
{
    QStringList files;
    files.reserve(material.fileList.size());
    for (const TFileInfo& file : material.fileList)
        files << file.path;
    return files;
}

QImage loadPictureFile(const QString& path, QString* error)
{
    QImageReader reader(path);
    const QImage image = reader.read();
    if (image.isNull()) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, reader.errorString());
        return {};
    }
    return toPicture(image);
}

bool loadImageGroup(const TFodder& material, QList<QImage>& pictures, QString* error)
{
    pictures.clear();
    const QStringList files = imageGroupFiles(material);
    if (files.isEmpty()) {
        if (error)
            *error = QStringLiteral("no image file in \"%1\"").arg(material.name);
        return false;
    }
    for (const QString& path : files) {
        const QImage picture = loadPictureFile(path, error);
        if (picture.isNull()) {
            pictures.clear();
            return false;
        }
        pictures.append(picture);
    }
    return true;
}

} // namespace ledsign
