#include "content/imagelist.h"

#include "model/imagefiles.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>

namespace ledsign {

QList<ImageListRow> imageListRows(const TFodder& material)
{
    QList<ImageListRow> rows;
    int n = 0;
    for (const TFileInfo& f : material.fileList)
        rows.append(ImageListRow{++n, f.path});
    return rows;
}

bool isImageFileName(const QString& name)
{
    static const QStringList readable = [] {
        QStringList formats;
        const QList<QByteArray> installed = QImageReader::supportedImageFormats();
        for (const char* f : {"bmp", "png", "jpg", "jpeg", "gif"})
            if (installed.contains(QByteArray(f == QByteArray("jpg") ? "jpeg" : f)))
                formats << QString::fromLatin1(f);
        return formats;
    }();
    const QString suffix = QFileInfo(name).suffix().toLower();
    return readable.contains(suffix);
}

QStringList imageFilesIn(const QString& folder)
{
    QDir dir(folder);
    dir.setFilter(QDir::Files | QDir::Readable);
    dir.setSorting(QDir::Name | QDir::IgnoreCase);
    QStringList names = dir.entryList();
    names.removeIf([](const QString& n) { return !isImageFileName(n); });
    return names;
}

QStringList imageFilesOf(const QList<QUrl>& urls)
{
    QStringList files;
    for (const QUrl& url : urls) {
        const QString path = url.toLocalFile();
        if (!path.isEmpty() && isImageFileName(path) && QFileInfo(path).isFile())
            files << path;
    }
    return files;
}

bool imageListContains(const TFodder& material, const QString& path)
{
    return std::any_of(material.fileList.begin(), material.fileList.end(),
                       [&](const TFileInfo& f) { return f.path == path; });
}

QStringList appendImageFiles(TFodder& material, const QString& folder, const QStringList& names,
                             const MessageSink& report)
{
    QStringList added;
    for (const QString& name : names) {
        const QString path = pathInFolder(folder, name);
        if (imageListContains(material, path))
            continue;
        if (addImageFile(material, path, report))
            added << material.fileList.last().path;
    }
    // The operator has the list in hand: files that were missing when the
    // playbill was read are no longer asked for.
    if (!added.isEmpty())
        material.missingImages.clear();
    return added;
}

QStringList insertImageFiles(TFodder& material, int row, const QString& folder, const QStringList& names,
                             const MessageSink& report, int* lastRow)
{
    QStringList added;
    int at = std::clamp(row, 0, int(material.fileList.size()));
    if (lastRow)
        *lastRow = -1;
    for (const QString& name : names) {
        const QString path = pathInFolder(folder, name);
        if (imageListContains(material, path))
            continue;
        if (insertImageFile(material, at, path, report)) {
            added << material.fileList.at(at).path;
            if (lastRow)
                *lastRow = at;
            ++at;
        }
    }
    if (!added.isEmpty())
        material.missingImages.clear();
    return added;
}

int deleteImageRows(TFodder& material, QList<int> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    int removed = 0;
    for (auto it = rows.crbegin(); it != rows.crend(); ++it) {
        if (*it >= 0 && *it < material.fileList.size()) {
            material.fileList.removeAt(*it);
            ++removed;
        }
    }
    if (removed > 0)
        material.missingImages.clear();
    return removed;
}

void clearImageList(TFodder& material)
{
    material.fileList.clear();
    material.missingImages.clear();
}

} // namespace ledsign
