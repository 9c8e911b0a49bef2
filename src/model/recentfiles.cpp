#include "model/recentfiles.h"

#include "model/inifile.h"

namespace ledsign {

RecentFiles::RecentFiles(const QStringList& paths)
{
    for (const QString& p : paths)
        add(p);
}

void RecentFiles::add(const QString& path)
{
    if (path.isEmpty())
        return;
    paths_.removeAll(path);
    paths_.append(path);
    while (paths_.size() > kMaxEntries)
        paths_.removeFirst();
}

RecentFiles RecentFiles::fromIni(const IniFile& ini)
{
    RecentFiles files;
    for (const auto& [key, value] : ini.keyValues(QLatin1String(kRecentFilesSection))) {
        // Entries are written as "path=": a value means the path held "="
        // and the reader split it there, leaving the written "=" at its end.
        QString path = key;
        if (!value.isEmpty()) {
            path += u'=' + value;
            if (path.endsWith(u'='))
                path.chop(1);
        }
        files.add(path);
    }
    return files;
}

void RecentFiles::writeTo(IniFile& ini) const
{
    const QString section = QLatin1String(kRecentFilesSection);
    ini.eraseSection(section);
    for (const QString& p : paths_)
        ini.appendValue(section, p, QString());
}

} // namespace ledsign
