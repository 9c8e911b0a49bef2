#include "model/datafolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace ledsign {

DataFolder::DataFolder(const QString& path)
    : path_(QDir::cleanPath(path))
{
}

DataFolder DataFolder::resolve(const QStringList& args)
{
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (a == QLatin1String("--home") && i + 1 < args.size())
            return DataFolder(QFileInfo(args.at(i + 1)).absoluteFilePath());
        if (a.startsWith(QLatin1String("--home=")))
            return DataFolder(QFileInfo(a.mid(7)).absoluteFilePath());
    }
    const QString env = qEnvironmentVariable("LEDSIGN_HOME");
    if (!env.isEmpty())
        return DataFolder(QFileInfo(env).absoluteFilePath());
    QString exeDir;
    if (QCoreApplication::instance())
        exeDir = QCoreApplication::applicationDirPath();
    else if (!args.isEmpty())
        exeDir = QFileInfo(args.first()).absolutePath();
    if (!exeDir.isEmpty() && QFileInfo::exists(exeDir + QLatin1String("/SetCfg.ini")))
        return DataFolder(exeDir);
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QLatin1String("/.local/share");
    return DataFolder(base + QLatin1String("/ledsign"));
}

QString DataFolder::filePath(const QString& name) const
{
    return path_ + u'/' + name;
}

QString DataFolder::settingsFile() const { return filePath(QStringLiteral("SetCfg.ini")); }
QString DataFolder::titleFile() const { return filePath(QStringLiteral("Title.ini")); }
QString DataFolder::programFolder() const { return filePath(QStringLiteral("prgFiles")); }
QString DataFolder::pictureFolder() const { return filePath(QStringLiteral("picFiles")); }
QString DataFolder::textFolder() const { return filePath(QStringLiteral("txtFiles")); }
QString DataFolder::tableFolder() const { return filePath(QStringLiteral("tblFiles")); }

bool DataFolder::ensureExists(QString* error) const
{
    QDir dir;
    for (const QString& p : {path_, programFolder(), pictureFolder(), textFolder(), tableFolder()}) {
        if (!dir.mkpath(p)) {
            if (error)
                *error = QStringLiteral("Cannot create the folder %1").arg(p);
            return false;
        }
    }
    return true;
}

} // namespace ledsign
