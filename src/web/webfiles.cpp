#include "web/webfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace ledsign {

namespace {

constexpr qint64 kLargestFile = 4 << 20;

QByteArray contentType(const QString& name)
{
    const QString suffix = QFileInfo(name).suffix().toLower();
    if (suffix == QLatin1String("html"))
        return "text/html; charset=utf-8";
    if (suffix == QLatin1String("js"))
        return "text/javascript; charset=utf-8";
    if (suffix == QLatin1String("css"))
        return "text/css; charset=utf-8";
    if (suffix == QLatin1String("json"))
        return "application/json";
    if (suffix == QLatin1String("svg"))
        return "image/svg+xml";
    if (suffix == QLatin1String("png"))
        return "image/png";
    return "application/octet-stream";
}

} // namespace

QStringList WebFiles::folders(const QString& programFolder)
{
    const QDir bin(programFolder);
    return {QDir::cleanPath(bin.filePath(QStringLiteral("../share/ledsign/web"))),
            QDir::cleanPath(bin.filePath(QStringLiteral("web")))};
}

bool WebFiles::load(const QStringList& folders)
{
    m_files.clear();
    for (const QString& folder : folders) {
        const QDir dir(folder);
        if (!QFileInfo(dir.filePath(QStringLiteral("index.html"))).isFile())
            continue;
        for (const QFileInfo& info : dir.entryInfoList(QDir::Files | QDir::Readable)) {
            QFile file(info.filePath());
            if (info.size() > kLargestFile || !file.open(QIODevice::ReadOnly))
                continue;
            m_files.insert(info.fileName(), {file.readAll(), contentType(info.fileName())});
        }
        m_folder = folder;
        m_error.clear();
        return true;
    }
    m_error = QStringLiteral("the fleet page is not installed (no index.html in %1)").arg(folders.join(QStringLiteral(", ")));
    return false;
}

const WebFiles::File* WebFiles::find(const QString& urlPath) const
{
    if (!urlPath.startsWith(u'/'))
        return nullptr;
    const QString name = urlPath == QLatin1String("/") ? QStringLiteral("index.html") : urlPath.mid(1);
    // Only the names read at start; "a/b", ".." and the like are none of them.
    const auto it = m_files.constFind(name);
    return it == m_files.cend() ? nullptr : &*it;
}

} // namespace ledsign
