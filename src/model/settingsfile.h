// The settings file "SetCfg.ini" as a whole: loaded once at start-up, it
// hands out the program-wide settings, the recent-files list and the card
// list, and on exit takes them back and is saved. Sections it does not know
// (written by other windows) are kept as they were.
#pragma once

#include "model/cardlist.h"
#include "model/inifile.h"
#include "model/recentfiles.h"
#include "model/settings.h"

#include <QList>
#include <QString>

namespace ledsign {

class SettingsFile {
public:
    explicit SettingsFile(const QString& path);

    // A missing file gives the defaults. A file that exists but cannot be
    // read or understood (bytes that are no text of a known encoding) also
    // gives the defaults and returns false; it is then never overwritten, so
    // that the card list in it is not lost: saves go to savePath() instead.
    bool load();
    bool isLoaded() const { return loaded_; }

    QString path() const { return path_; }
    // Where saves go: the file itself, or a new name beside it when the file
    // could not be read.
    QString savePath() const;
    QString errorString() const { return error_; }

    // The file's content, for windows that keep their own sections here.
    IniFile& ini() { return ini_; }
    const IniFile& ini() const { return ini_; }

    AppSettings settings(const QString& localAddress) const;
    RecentFiles recentFiles() const;
    QList<CardListLine> cardList(const QString& playbillFolder) const;

    // "IsShowTips" is written as soon as the tip window closes.
    bool storeShowTips(bool dismissed);

    // Puts the recent files, the card list and the settings into the
    // content, in that order, without saving.
    void store(const AppSettings& settings, const RecentFiles& recent, const QList<CardListLine>& cards);
    // Stores them and saves the file.
    bool saveSettings(const AppSettings& settings, const RecentFiles& recent,
                      const QList<CardListLine>& cards);

    // Saves the content as it is.
    bool save();
    // Saves only when the content differs from what was last loaded or
    // saved; `wrote` tells whether it did.
    bool saveIfChanged(bool* wrote = nullptr);

private:
    bool saveBytes(const QByteArray& bytes);

    QString path_;
    QByteArray lastSaved_;
    IniFile ini_;
    QString error_;
    bool loaded_ = true;
};

} // namespace ledsign
