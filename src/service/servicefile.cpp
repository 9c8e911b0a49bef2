#include "service/servicefile.h"

#include "model/atomicfile.h"
#include "model/instancelock.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QSysInfo>

#include <cerrno>
#include <csignal>

namespace ledsign {

namespace {

QString servicePath(const DataFolder& folders)
{
    return folders.filePath(QLatin1String(kServiceFileName));
}

bool processAlive(qint64 pid)
{
    return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

} // namespace

bool writeServiceFile(const DataFolder& folders, const ServiceAddress& address, QString* error)
{
    const QJsonObject o{{QStringLiteral("pid"), address.pid},
                        {QStringLiteral("api"), address.api},
                        {QStringLiteral("tokenFile"), address.tokenFile},
                        {QStringLiteral("cardPort"), address.cardPort}};
    return writeFileAtomically(servicePath(folders), QJsonDocument(o).toJson(), error);
}

void removeServiceFile(const DataFolder& folders)
{
    QFile::remove(servicePath(folders));
}

std::optional<ServiceAddress> runningService(const DataFolder& folders)
{
    QFile file(servicePath(folders));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QJsonObject o = QJsonDocument::fromJson(file.read(64 * 1024)).object();
    ServiceAddress a;
    a.pid = qint64(o.value(QStringLiteral("pid")).toDouble());
    a.api = o.value(QStringLiteral("api")).toString();
    a.tokenFile = o.value(QStringLiteral("tokenFile")).toString();
    a.cardPort = quint16(o.value(QStringLiteral("cardPort")).toInt());
    if (a.api.isEmpty() || !processAlive(a.pid))
        return std::nullopt;
    // The process must be the one that holds the folder, on this host.
    QLockFile lock(QDir(folders.path()).filePath(QLatin1String(InstanceLock::kFileName)));
    qint64 holder = 0;
    QString host;
    QString program;
    if (!lock.getLockInfo(&holder, &host, &program) || holder != a.pid
        || (!host.isEmpty() && host != QSysInfo::machineHostName()))
        return std::nullopt;
    return a;
}

} // namespace ledsign
