// What the files of the main window share: its status panels and captions.
#pragma once

#include <QString>

namespace ledsign::mainwindowparts {
inline constexpr int kWindowCategory = 0;
inline constexpr int kCardNamePanel = 1;
inline constexpr int kCommModePanel = 3;
inline constexpr int kImageGroupPanelHeight = 240;

// A file path as a menu caption: "&" in the path must not become a mnemonic.
inline QString recentCaption(const QString& path)
{
    QString shown = path;
    shown.replace(u'&', QStringLiteral("&&"));
    return QStringLiteral("& ") + shown;
}

} // namespace ledsign::mainwindowparts
