// The recently opened playbill files shown in the File menu: at most three
// full paths, oldest first. Stored as the keys of "PrgFilePathList".
#pragma once

#include <QString>
#include <QStringList>

namespace ledsign {

class IniFile;

inline constexpr char kRecentFilesSection[] = "PrgFilePathList";

class RecentFiles {
public:
    static constexpr int kMaxEntries = 3;

    RecentFiles() = default;
    explicit RecentFiles(const QStringList& paths);

    QStringList entries() const { return paths_; }
    bool isEmpty() const { return paths_.isEmpty(); }

    // The file becomes the newest entry; an entry already listed moves there
    // and the oldest drop out beyond three.
    void add(const QString& path);

    static RecentFiles fromIni(const IniFile& ini);
    // Replaces the section with the entries (key = path, empty value).
    void writeTo(IniFile& ini) const;

private:
    QStringList paths_;
};

} // namespace ledsign
