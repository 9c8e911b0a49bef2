// What the send logic needs from the channels: bytes to a card by its link
// kind, bytes to the serial port, and closing a card's connection. The
// channels implement it; tests may put a recorder in their place.
#pragma once

#include "model/tfixmodem.h"

#include <QByteArray>
#include <QHostAddress>

class QTcpSocket;

namespace ledsign {

class CardSender {
public:
    virtual ~CardSender() = default;
    // Link kind 2: the card's connection (a failure closes it and marks the
    // card off-line); otherwise the serial port. Bytes taken, or -1.
    virtual qint64 sendBytesToCard(TFIXModem& card, const QByteArray& bytes) = 0;
    virtual bool writeSerial(const QByteArray& bytes) = 0;
    virtual bool sendIdentityQuery(QTcpSocket* connection) = 0;
    virtual void dropConnection(TFIXModem& card) = 0;
    // Baud rate of the serial port, for the pacing of serial packets.
    virtual int serialBaudRate() const = 0;
};

} // namespace ledsign
