// The data folder: where "SetCfg.ini", "Title.ini" and the four working
// folders live. Chosen, in order, by the --home option, the LEDSIGN_HOME
// variable, the executable's folder when it holds a "SetCfg.ini" (portable
// use), and otherwise the user's data folder (~/.local/share/ledsign).
#pragma once

#include <QString>
#include <QStringList>

namespace ledsign {

class DataFolder {
public:
    DataFolder() = default;
    explicit DataFolder(const QString& path);

    // args are the program's arguments (argv[0] first).
    static DataFolder resolve(const QStringList& args);

    QString path() const { return path_; }
    QString settingsFile() const;   // "SetCfg.ini"
    QString titleFile() const;      // "Title.ini"
    QString programFolder() const;  // "prgFiles"
    QString pictureFolder() const;  // "picFiles"
    QString textFolder() const;     // "txtFiles"
    QString tableFolder() const;    // "tblFiles"
    QString filePath(const QString& name) const;

    // Creates the folder and its four working folders when missing.
    bool ensureExists(QString* error = nullptr) const;

private:
    QString path_;
};

} // namespace ledsign
