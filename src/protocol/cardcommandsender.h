// Sends the short commands to a card by its link: play control, time
// calibration, the current time with the poll time, and the screen
// parameter read and write. On an RS-485 line the frame travels in one 485
// packet addressed by the card's internal code.
#pragma once

#include "model/tfixmodem.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <functional>

namespace ledsign {

class SendScheduler;

class CardCommandSender {
public:
    // Parameter read and write: where the frame goes.
    enum ParameterMode : int { kSerialPlain = 0, kSerial485 = 1, kConnection = 10 };
    // Card command kinds.
    enum CommandKind : int { kPlayControl = 0, kTimeCalibration = 1 };

    explicit CardCommandSender(SendScheduler& scheduler);

    // Clock of the time frames (tests set a fixed one).
    void setClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }

    // The main window's play and calibration actions for the selected card:
    // value 0 starts, 1 stops play. The status text is shown in any case
    // once a card was found; false when nothing was sent.
    bool cardCommand(int kind, int value, const QString& selectedCardName);

    bool sendPlayControl(TFIXModem& card, bool rs485, int value);
    bool sendTimeCalibration(TFIXModem& card, bool rs485);
    // Never wrapped: the card's connection (link kind 2) or the serial port.
    bool sendTimeAndPoll(TFIXModem& card);
    bool readParameters(TFIXModem& card, int mode);
    bool writeParameters(TFIXModem& card, const QString& internalCode, int mode, const QByteArray& block);

private:
    bool sendShort(TFIXModem& card, const QByteArray& frame, bool rs485, const QString& address);
    bool sendByMode(TFIXModem& card, const QByteArray& frame, int mode, const QString& address);

    SendScheduler& m_s;
    std::function<QDateTime()> m_clock = [] { return QDateTime::currentDateTime(); };
};

} // namespace ledsign
