#include "model/instancelock.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>

namespace ledsign {

InstanceLock::InstanceLock(const QString& dataFolder)
    : path_(QDir(dataFolder).filePath(QLatin1String(kFileName)))
    , lock_(std::make_unique<QLockFile>(path_))
{
    // A lock counts as stale only when its process is gone, never by age:
    // an instance may run for weeks.
    lock_->setStaleLockTime(0);
}

InstanceLock::~InstanceLock() = default;

InstanceLock::Status InstanceLock::tryLock()
{
    error_.clear();
    if (lock_->isLocked())
        return Status::Acquired;
    QDir().mkpath(QFileInfo(path_).absolutePath());
    if (lock_->tryLock(0))
        return Status::Acquired;
    switch (lock_->error()) {
    case QLockFile::LockFailedError:
        return Status::AlreadyRunning;
    case QLockFile::PermissionError:
        error_ = QStringLiteral("No permission to create the lock file %1").arg(path_);
        return Status::Error;
    default:
        error_ = QStringLiteral("Cannot create the lock file %1").arg(path_);
        return Status::Error;
    }
}

QString InstanceLock::holderText() const
{
    qint64 pid = 0;
    QString host;
    QString program;
    if (lock_->isLocked() || !lock_->getLockInfo(&pid, &host, &program) || pid <= 0)
        return {};
    QString text = QStringLiteral("%1 (process %2").arg(program.isEmpty() ? QStringLiteral("a program") : program).arg(pid);
    if (!host.isEmpty() && host != QSysInfo::machineHostName())
        text += QStringLiteral(" on %1").arg(host);
    return text + QLatin1Char(')');
}

void InstanceLock::unlock()
{
    lock_->unlock();
}

bool InstanceLock::isLocked() const
{
    return lock_->isLocked();
}

} // namespace ledsign
