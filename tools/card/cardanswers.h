// What the card says and the commands it reads beyond the download: its
// report (who it is, its size, colours, fonts and speed), confirmations,
// the request for a packet again, the parameter replies, and the time frame
// that sets its clock.
#pragma once

#include "cardwire.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace ledsign::card {

struct CardOptions;

namespace answers {

// The report frame (0x61 on an identity query, 0x91 as heartbeat).
QByteArray report(quint8 command, const CardOptions& options);
// 0x81 confirming `confirmed`.
QByteArray confirmation(quint8 confirmed);
// 0x81 confirming 0x33: send number and block number wanted again.
QByteArray packetRequest(quint16 sendNo, quint16 blockNo);

// A time frame (0x62): "1#", YYYY MM DD WW HH NN SS, "#", and optionally the
// poll time in three digits and "#". False with the reason otherwise.
struct TimeSetting {
    QDateTime time;
    int weekDay = 0;
    int pollTime = -1; // -1: the frame carries none
};
bool readTimeFrame(const QByteArray& frame, TimeSetting& out, QString& why);

} // namespace answers
} // namespace ledsign::card
