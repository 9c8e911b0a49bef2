#include "model/settingsfile.h"

#include "model/atomicfile.h"

#include <QDir>
#include <QFileInfo>

namespace ledsign {

SettingsFile::SettingsFile(const QString& path)
    : path_(path)
{
}

QString SettingsFile::savePath() const
{
    if (loaded_)
        return path_;
    const QFileInfo info(path_);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".new.") + info.suffix());
}

bool SettingsFile::load()
{
    error_.clear();
    loaded_ = ini_.load(path_);
    if (!loaded_) {
        error_ = QStringLiteral("Cannot read %1: %2").arg(path_, ini_.errorString());
    } else if (!ini_.parseProblem().isEmpty()) {
        loaded_ = false;
        error_ = QStringLiteral("%1 cannot be understood: it holds %2").arg(path_, ini_.parseProblem());
    }
    if (!loaded_) {
        ini_.clear();
        error_ += QStringLiteral(". It is kept as it is; the settings are saved to %1.").arg(savePath());
    }
    lastSaved_ = ini_.toBytes();
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

void SettingsFile::store(const AppSettings& settings, const RecentFiles& recent, const QList<CardListLine>& cards)
{
    recent.writeTo(ini_);
    writeCardList(ini_, cards);
    settings.writeTo(ini_);
}

bool SettingsFile::saveSettings(const AppSettings& settings, const RecentFiles& recent,
                                const QList<CardListLine>& cards)
{
    store(settings, recent, cards);
    return save();
}

bool SettingsFile::save()
{
    return saveBytes(ini_.toBytes());
}

bool SettingsFile::saveBytes(const QByteArray& bytes)
{
    const QString target = savePath();
    QString error;
    if (!writeFileAtomically(target, bytes, &error)) {
        error_ = QStringLiteral("Cannot save %1: %2").arg(target, error);
        return false;
    }
    lastSaved_ = bytes;
    if (loaded_)
        error_.clear();
    return true;
}

bool SettingsFile::saveIfChanged(bool* wrote)
{
    if (wrote)
        *wrote = false;
    const QByteArray bytes = ini_.toBytes();
    if (bytes == lastSaved_)
        return true;
    if (wrote)
        *wrote = true;
    return saveBytes(bytes);
}

} // namespace ledsign
