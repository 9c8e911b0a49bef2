// The command-line options of the card's UDP side and its LED-panel window.
#pragma once

#include "cardoptions.h"

class QCommandLineParser;

namespace ledsign::card {

void addUdpOptions(QCommandLineParser& parser);
// Reads them into `options`; false with a message for anything unusable.
bool readUdpOptions(const QCommandLineParser& parser, CardOptions& options, QString& error);

// The MAC a card on this address has unless one is given: a locally
// administered 02 00 followed by the four address bytes, so that cards on
// different loopback addresses differ.
datagram::Mac macForAddress(const datagram::Ipv4& address);

} // namespace ledsign::card
