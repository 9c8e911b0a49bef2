#include "model/settingsfile.h"

namespace ledsign {

SettingsFile::SettingsFile(const QString& path)
    : path_(path)
{
}

bool SettingsFile::load()
{
    error_.clear();
    loaded_ = ini_.load(path_);
    if (!loaded_) {
        error_ = QStringLiteral("Cannot read %1: %2").arg(path_, ini_.errorString());
        ini_.clear();
    }
    return loaded_;
}

AppSettings SettingsFile::settings(const QString& localAddress) const
{
    return AppSettings::fromIni(ini_, localAddress);
}

RecentFiles SettingsFile::recentFiles() const
{
    return RecentFiles::fromIni(ini_);
}

QList<CardListLine> SettingsFile::cardList(const QString& playbillFolder) const
{
    return readCardList(ini_, playbillFolder);
}

bool SettingsFile::storeShowTips(bool dismissed)
{
    ini_.setBool(QStringLiteral("IsShowTips"), QStringLiteral("IsShowTips"), dismissed);
    return save();
}

bool SettingsFile::saveSettings(const AppSettings& settings, const RecentFiles& recent,
                                const QList<CardListLine>& cards)
{
    recent.writeTo(ini_);
    writeCardList(ini_, cards);
    settings.writeTo(ini_);
    return save();
}

bool SettingsFile::save()
{
    if (!loaded_) {
        error_ = QStringLiteral("%1 was not saved because it could not be read at start-up").arg(path_);
        return false;
    }
    if (!ini_.save(path_)) {
        error_ = QStringLiteral("Cannot save %1: %2").arg(path_, ini_.errorString());
        return false;
    }
    error_.clear();
    return true;
}

} // namespace ledsign
