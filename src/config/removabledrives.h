// The removable drives a USB-disk export can write to: mounted volumes whose
// block device says it is removable, listed in mount-point order, and a
// watch on the folders where the desktop mounts media, so that plugging in
// or pulling out a disk refreshes the list without a restart. Extra folders
// can stand in for drives (tests, or a user who exports to a folder).
#pragma once

#include <QFileSystemWatcher>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

namespace ledsign {

struct RemovableDrive {
    QString root;   // mount point, ending in "/"
    QString label;  // volume label (may be empty)

    // The list entry: the root followed by the label (the root alone when
    // the mount point already carries the label's name).
    QString entry() const
    {
        if (label.isEmpty() || root.endsWith(label + QLatin1Char('/')))
            return root;
        return root + label;
    }
    bool operator==(const RemovableDrive&) const = default;
};

// True when /sys/block/<disk>/removable holds 1 for the disk that holds the
// partition device (such as "/dev/sdb1"); `sysBlock` is the folder to look in.
bool isRemovableDevice(const QString& device, const QString& sysBlock = QStringLiteral("/sys/block"));

class RemovableDrives : public QObject {
    Q_OBJECT
public:
    explicit RemovableDrives(QObject* parent = nullptr);

    // Folders that count as drives as long as they exist.
    void setStandIns(const QStringList& folders);
    // Folders watched for media appearing and going.
    void setWatchedFolders(const QStringList& folders);

    const QList<RemovableDrive>& drives() const { return drives_; }
    bool any() const { return !drives_.isEmpty(); }

    // Lists the drives again; emits changed() when the list differs.
    void refresh();

    // The mounted removable volumes, by mount point.
    static QList<RemovableDrive> scanMounted();

signals:
    void changed();

private:
    void rewatch();

    QStringList standIns_;
    QStringList watched_;
    QList<RemovableDrive> drives_;
    QFileSystemWatcher watcher_;
};

} // namespace ledsign
