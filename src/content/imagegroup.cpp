#include "content/imagegroup.h"

#include "content/bmpfile.h"
#include "content/renderpicture.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace ledsign {

namespace {
// Files up to this size are read at once (a 16 Mi pixel bitmap is 48 MiB).
constexpr qint64 kMaxPlainBmpFile = 64 * 1024 * 1024;
} // namespace

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
    // One read of the file; the common bitmap is taken directly, anything
    // else from the same bytes by Qt's readers.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return {};
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QImageReader reader;
    if (file.size() <= kMaxPlainBmpFile) {
        bytes = file.readAll();
        file.close();
        QString damage;
        const QImage plain = readPlainBmp(bytes, &damage);
        if (!plain.isNull())
            return plain;
        if (!damage.isEmpty()) {
            if (error)
                *error = QStringLiteral("%1: %2").arg(path, damage);
            return {};
        }
        buffer.open(QIODevice::ReadOnly);
        reader.setDevice(&buffer);
        reader.setFormat(QFileInfo(path).suffix().toLatin1()); // a hint; the content decides
    } else {
        file.close();
        reader.setFileName(path);
    }
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
