#include "config/removabledrives.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStorageInfo>

#include <algorithm>

namespace ledsign {

namespace {

QString withSlash(QString path)
{
    if (!path.endsWith(u'/'))
        path += u'/';
    return path;
}

// "sdb1" -> "sdb", "mmcblk0p1" -> "mmcblk0", "nvme0n1p2" -> "nvme0n1".
QString diskOf(const QString& name)
{
    static const QRegularExpression partitioned(QStringLiteral("^((?:mmcblk|nvme\\d+n|loop)\\d+)p\\d+$"));
    const auto m = partitioned.match(name);
    if (m.hasMatch())
        return m.captured(1);
    QString disk = name;
    while (!disk.isEmpty() && disk.back().isDigit() && !disk.startsWith(QLatin1String("mmcblk")))
        disk.chop(1);
    return disk;
}

} // namespace

bool isRemovableDevice(const QString& device, const QString& sysBlock)
{
    if (!device.startsWith(QLatin1String("/dev/")))
        return false;
    const QString name = QFileInfo(device).fileName();
    for (const QString& candidate : {name, diskOf(name)}) {
        QFile flag(sysBlock + u'/' + candidate + QStringLiteral("/removable"));
        if (flag.open(QIODevice::ReadOnly))
            return flag.readAll().trimmed() == "1";
    }
    return false;
}

RemovableDrives::RemovableDrives(QObject* parent)
    : QObject(parent)
{
    watched_ = {QStringLiteral("/media"), QStringLiteral("/run/media")};
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this] { refresh(); });
    rewatch();
    drives_ = scanMounted();
}

void RemovableDrives::setStandIns(const QStringList& folders)
{
    standIns_ = folders;
    refresh();
}

void RemovableDrives::setWatchedFolders(const QStringList& folders)
{
    watched_ = folders;
    rewatch();
    refresh();
}

void RemovableDrives::rewatch()
{
    if (!watcher_.directories().isEmpty())
        watcher_.removePaths(watcher_.directories());
    QStringList paths;
    for (const QString& folder : std::as_const(watched_)) {
        if (!QFileInfo(folder).isDir())
            continue;
        paths << folder;
        // Desktops mount below a folder per user: /media/<user>/<label>.
        const QFileInfoList users = QDir(folder).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot);
        for (const QFileInfo& u : users)
            paths << u.absoluteFilePath();
    }
    if (!paths.isEmpty())
        watcher_.addPaths(paths);
}

QList<RemovableDrive> RemovableDrives::scanMounted()
{
    QList<RemovableDrive> out;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady())
            continue;
        if (!isRemovableDevice(QString::fromLocal8Bit(volume.device())))
            continue;
        QString label = volume.name();
        if (label.isEmpty())
            label = QFileInfo(volume.rootPath()).fileName();
        out.append({withSlash(volume.rootPath()), label});
    }
    std::sort(out.begin(), out.end(), [](const auto& a, const auto& b) { return a.root < b.root; });
    return out;
}

void RemovableDrives::refresh()
{
    rewatch();
    QList<RemovableDrive> now = scanMounted();
    for (const QString& folder : std::as_const(standIns_)) {
        const QFileInfo info(folder);
        if (info.isDir())
            now.append({withSlash(info.absoluteFilePath()), info.fileName()});
    }
    if (now == drives_)
        return;
    drives_ = now;
    emit changed();
}

} // namespace ledsign
