#include "model/settings.h"

#include "model/inifile.h"

#include <algorithm>

namespace ledsign {

namespace {
const QString kCommSet = QStringLiteral("CommSet");

// Most single values live in a section named like the key.
QString single(const IniFile& ini, const QString& key, const QString& fallback = {})
{
    return ini.value(key, key, fallback);
}
int singleInt(const IniFile& ini, const QString& key, int fallback)
{
    return ini.intValue(key, key, fallback);
}
bool singleBool(const IniFile& ini, const QString& key, bool fallback)
{
    return ini.boolValue(key, key, fallback);
}
} // namespace

int clampPollTime(int seconds)
{
    return std::clamp(seconds, kMinPollTime, kMaxPollTime);
}

QStringList splitGroupNames(const QString& text)
{
    return text.split(u',', Qt::SkipEmptyParts);
}

AppSettings AppSettings::fromIni(const IniFile& ini, const QString& localAddress)
{
    AppSettings s;
    s.commMode = ini.value(kCommSet, QStringLiteral("CommMode"));
    s.commParam01 = ini.value(kCommSet, QStringLiteral("CommParam01"));
    s.commParam02 = ini.value(kCommSet, QStringLiteral("CommParam02"));
    s.lgType = singleInt(ini, QStringLiteral("LgType"), s.lgType);
    s.serverIP = single(ini, QStringLiteral("ServerIP"), localAddress);
    s.netDelayTime = singleInt(ini, QStringLiteral("NetDelayTime"), s.netDelayTime);
    if (s.netDelayTime < 0)
        s.netDelayTime = AppSettings{}.netDelayTime; // a negative pause cannot be waited
    s.pollTime = clampPollTime(singleInt(ini, QStringLiteral("PollTime"), s.pollTime));
    s.groupNames = splitGroupNames(single(ini, QStringLiteral("GroupName")));
    s.isSendAll = singleBool(ini, QStringLiteral("IsSendAll"), s.isSendAll);
    s.isOpenSearch = singleBool(ini, QStringLiteral("IsOPenSearch"), s.isOpenSearch);
    s.isSearchVisible = singleBool(ini, QStringLiteral("IsSearchVisible"), s.isSearchVisible);
    s.isShowMulNetCard = singleBool(ini, QStringLiteral("IsShowMulNetCard"), s.isShowMulNetCard);
    s.isShowTips = singleBool(ini, QStringLiteral("IsShowTips"), s.isShowTips);
    s.broadcastIP = single(ini, QStringLiteral("BroadcastIP")).trimmed();
    s.window = WindowLayout::fromIni(ini);
    return s;
}

void AppSettings::writeTo(IniFile& ini) const
{
    auto put = [&ini](const QString& key, const QString& value) { ini.setValue(key, key, value); };
    auto putBool = [&ini](const QString& key, bool value) { ini.setBool(key, key, value); };

    ini.setValue(kCommSet, QStringLiteral("CommMode"), commMode);
    ini.setValue(kCommSet, QStringLiteral("CommParam01"), commParam01);
    ini.setValue(kCommSet, QStringLiteral("CommParam02"), commParam02);
    put(QStringLiteral("GroupName"), groupNames.join(u','));
    put(QStringLiteral("NetDelayTime"), QString::number(netDelayTime));
    put(QStringLiteral("PollTime"), QString::number(clampPollTime(pollTime)));
    putBool(QStringLiteral("IsSendAll"), isSendAll);
    putBool(QStringLiteral("IsOPenSearch"), isOpenSearch);
    putBool(QStringLiteral("IsSearchVisible"), isSearchVisible);
    put(QStringLiteral("LgType"), QString::number(lgType));
    putBool(QStringLiteral("IsShowMulNetCard"), isShowMulNetCard);
    put(QStringLiteral("ServerIP"), serverIP);
    window.writeTo(ini);
}

QString readTitle(const QString& path)
{
    IniFile ini;
    if (!ini.load(path))
        return {};
    return ini.value(QStringLiteral("Title"), QStringLiteral("Title")).trimmed();
}

QString captionText(const QString& title, const QString& ownCaption)
{
    const QString base = title.isEmpty() ? ownCaption : title;
    return base + u' ' + QLatin1String(kVersionText);
}

} // namespace ledsign
