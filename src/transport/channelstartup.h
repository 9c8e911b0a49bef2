// Opening the configured channel: at start-up from the settings, and when
// the parameter window switches the channel mode. Both keep the mode and its
// two parameters in the settings as the settings file stores them.
#pragma once

#include "model/serverport.h"

#include <QHostAddress>
#include <QString>

namespace ledsign {

struct AppSettings;
class CommChannels;

// The mode texts of the current language.
CommModeTexts currentCommModeTexts();

// Start-up: normalises the mode text, chooses the server port (the first
// free one from "CommParam02" in network mode, from 8900 otherwise, kept for
// a later switch), binds the UDP listener to `udpAddress` and opens the
// channel of the mode: the serial port asking the card to report itself, the
// serial port starting a card search on an RS-485 line, or the server.
// `listenAddress` is where the server listens (every local address unless
// given). Returns whether the channel opened.
bool openChannelsAtStartup(CommChannels& channels, AppSettings& settings, const QHostAddress& udpAddress,
                           const CommModeTexts& texts, const PortBinder& bind = tryBindTcpPort,
                           quint16 udpPort = 4480, const QHostAddress& listenAddress = QHostAddress::Any);

// The parameter window's switch: closes the server and the serial port, then
// opens the chosen channel (network: `param02` is the port; serial and 485:
// `param01` the port name and `param02` the baud rate) and stores the mode
// and its parameters. Returns whether the channel opened.
bool switchChannelMode(CommChannels& channels, AppSettings& settings, CommModeKind mode,
                       const QString& param01, const QString& param02, const CommModeTexts& texts,
                       const QHostAddress& listenAddress = QHostAddress::Any);

// A stored baud rate: a whole positive number after trimming, else 9600.
int baudRateFromText(const QString& text);

} // namespace ledsign
