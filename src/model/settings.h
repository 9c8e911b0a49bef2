// The program-wide settings held in memory while the program runs: the
// channel mode and its two parameters, language, server address and port,
// send pacing, group prefixes and the switches of the main window. They are
// read from "SetCfg.ini" at start-up and written back on exit.
#pragma once

#include "model/windowlayout.h"

#include <QString>
#include <QStringList>

namespace ledsign {

class IniFile;

#ifdef LEDSIGN_VERSION_TEXT
inline constexpr char kVersionText[] = LEDSIGN_VERSION_TEXT;
#else
inline constexpr char kVersionText[] = "V2.50";
#endif

inline constexpr int kDefaultServerPort = 8900;
inline constexpr int kMinPollTime = 30;
inline constexpr int kMaxPollTime = 999;

struct AppSettings {
    QString commMode;      // language text of the mode, or "485"
    QString commParam01;   // serial port name; empty in network mode
    QString commParam02;   // network: server port; serial modes: baud rate
    int lgType = 1;        // 0 simplified Chinese, 1 traditional Chinese, 2 English
    QString serverIP;
    int serverPort = kDefaultServerPort; // the port chosen at start-up, not stored
    int netDelayTime = 100;              // ms between network frames
    int pollTime = kMinPollTime;         // heartbeat period in seconds
    QStringList groupNames;              // card-name prefixes of group sends
    bool isSendAll = false;
    bool isOpenSearch = true;
    bool isSearchVisible = true;
    bool isShowMulNetCard = true;
    bool isShowTips = false;             // the remote-text tip was dismissed for good
    // "BroadcastIP": where searches and release notices go (a directed
    // broadcast, or 127.255.255.255 for cards on this machine); empty means
    // 255.255.255.255. Read only, never written, so the stored file stays
    // as the program writes it unless the operator adds the key.
    QString broadcastIP;
    // Where the main window was and how its columns were divided.
    WindowLayout window;

    // Not stored: start values of the main window.
    int zoom = 10;                       // canvas zoom in tenths
    int defaultCardWidth = 256;          // size of cards that report themselves
    int defaultCardHeight = 128;
    double screenScale = 1.0;            // horizontal pixels per inch / 96

    // Reads every key, with its default when missing or not a number.
    // localAddress is the default of "ServerIP".
    static AppSettings fromIni(const IniFile& ini, const QString& localAddress);
    // Writes the settings the program writes on exit, in that order.
    void writeTo(IniFile& ini) const;
};

int clampPollTime(int seconds);

// "GroupName": a comma-separated list; empty items are dropped, since an
// empty prefix would match every card.
QStringList splitGroupNames(const QString& text);

// Text of "Title.ini" (section and key "Title"); empty when there is none.
QString readTitle(const QString& path);
// The main window's caption: the title, or the window's own caption when
// there is no title, followed by one blank and the version text.
QString captionText(const QString& title, const QString& ownCaption);

} // namespace ledsign
