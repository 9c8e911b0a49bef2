// The receive side of the program: takes what the channels received (a TCP
// read with its connection, a serial block), cuts it into frames and 485
// packets, finds the card they come from, and hands each one on: to the
// registration when the connection belongs to no card, to the download for
// confirmations and 485 replies, to the parameter window for parameter
// replies. Every frame from a card's connection refreshes its last-heard time.
#pragma once

#include "protocol/cardmessage.h"
#include "protocol/serialsplitter.h"
#include "protocol/tcpframesplitter.h"

#include <QHash>
#include <QObject>
#include <QTimer>

#include <functional>

class QTcpSocket;

namespace ledsign {

class CardCommandSender;
class Registrations;
class SendScheduler;

class ReplyDispatcher : public QObject {
    Q_OBJECT
public:
    ReplyDispatcher(SendScheduler& scheduler, Registrations& registrations, CardCommandSender& commands,
                    QObject* parent = nullptr);

    // A read of a TCP connection (TCP reception).
    void takeTcpBytes(QTcpSocket* connection, const QByteArray& bytes);
    // The connection closed: what it left unfinished is dropped.
    void forgetConnection(QTcpSocket* connection);
    // A block from the serial port (serial reception).
    void takeSerialBlock(const QByteArray& block);

    // Whether the parameter window is open: only then are its replies
    // handed on.
    void setParameterWindowShowing(bool showing) { m_parameterWindow = showing; }

    // Sees every confirmation before the download does; true when it was
    // taken (a text program under way takes its own).
    using ConfirmationHook = std::function<bool(int cardIndex, const Confirmation& confirmation)>;
    void setConfirmationHook(ConfirmationHook hook) { m_confirmationHook = std::move(hook); }

    // Acts on one message from the card at `cardIndex`.
    void dispatch(int cardIndex, const CardMessage& message);

signals:
    // A long parameter reply (0x51, 0xF1, 0xF2) with its screen parameter
    // block, for the parameter window.
    void parametersReceived(const ParameterReply& reply);
    // The card took the screen parameters (short 0xF1), while the parameter
    // window is showing.
    void parametersWritten();
    // A plain frame arrived on the serial line (the search window listens).
    void cardAnsweredOnSerial();

private:
    int cardOfConnection(QTcpSocket* connection) const;
    void handTcpFrames(QTcpSocket* connection, const QList<QByteArray>& frames);
    // Hands on what connections that went quiet left unfinished.
    void flushQuietConnections();

    SendScheduler& m_s;
    Registrations& m_registrations;
    CardCommandSender& m_commands;
    QHash<QTcpSocket*, TcpFrameSplitter> m_splitters;
    QTimer m_quietFlush;
    SerialSplitter m_serial;
    bool m_parameterWindow = false;
    ConfirmationHook m_confirmationHook;
};

} // namespace ledsign
