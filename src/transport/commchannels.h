// The three channels of the program to its cards: the serial port (one card,
// or an RS-485 line), the TCP server the cards connect to, and the UDP
// listener. Opens and closes them, keeps the current receive channel, sends
// bytes to a card by its link kind, and hands received data on, always on a
// later turn of the event loop. What the user sees (panel 3 of the status
// bar, the serial button, the group-send box) is reported by signals.
#pragma once

#include "model/tfixmodem.h"
#include "protocol/cardsender.h"
#include "transport/cardserver.h"
#include "transport/channeltexts.h"
#include "transport/seriallink.h"
#include "transport/udplistener.h"

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>

#include <functional>
#include <QPointer>
#include <QString>

namespace ledsign {

enum class ReceiveChannel { None, Serial, Network };

// What happens right after the serial port opened.
enum AfterOpenAction : int {
    kAfterOpenIdentityQuery = 0, // ask the card on the line to report itself
    kAfterOpenCardSearch = 1,    // start a card search (RS-485 line)
    kAfterOpenNothing = 2,
    kAfterOpenFromButton = 3,    // the open/close button: nothing either
};

class CommChannels : public QObject, public CardSender {
    Q_OBJECT
public:
    // The card list is the program's; it must outlive this object.
    explicit CommChannels(QList<TFIXModem>& cards, QObject* parent = nullptr);

    SerialLink& serial() { return m_serial; }
    CardServer& server() { return m_server; }
    UdpListener& udp() { return m_udp; }

    // --- serial port
    bool openSerialPort(int afterOpenAction, const QString& portName, int baudRate);
    void closeSerialPort();
    // The open/close button: reopens the last port or closes it.
    void toggleSerialPort();
    QString lastSerialPort() const { return m_lastPort; }
    int lastBaudRate() const { return m_lastBaud; }

    // --- TCP server
    // Listens on the port (any local address unless given); nothing happens
    // when the server already listens.
    bool openServer(quint16 port, const QHostAddress& address = QHostAddress::Any);
    void closeServer();
    quint16 serverPort() const { return m_serverPort; }
    void setServerPort(quint16 port) { m_serverPort = port; }
    const QList<QTcpSocket*>& connections() const { return m_server.connections(); }

    // --- UDP listener
    bool bindUdpListener(const QHostAddress& localAddress, quint16 port = UdpListener::kListenPort);

    // --- current receive channel
    ReceiveChannel receiveChannel() const { return m_channel; }
    void setReceiveChannel(ReceiveChannel channel) { m_channel = channel; }

    // --- sending
    // The fixed identity query; send errors are ignored.
    bool sendIdentityQuery(QTcpSocket* connection) override;
    bool sendIdentityQueryOnSerial();
    // A card being removed from the list is asked to report over its own
    // link: the serial port (link kind 0) or its connection (2); nothing is
    // sent on an RS-485 line, where the query would reach every card.
    bool sendIdentityQueryToCard(const TFIXModem& card);
    bool writeSerial(const QByteArray& bytes) override { return m_serial.write(bytes); }
    int serialBaudRate() const override { return m_lastBaud; }
    // Link kind 2: one write to the card's connection; no connection sends
    // nothing. Link kinds 0 and 1: the serial port. Returns the number of
    // bytes taken, or -1. A failed write on a connection closes it and marks
    // the card off-line.
    qint64 sendBytesToCard(TFIXModem& card, const QByteArray& bytes) override;
    // Marks the card off-line and closes its connection.
    void dropConnection(TFIXModem& card) override;

    // --- what the window shows
    // In the language of the moment: the text is made again on each call.
    QString channelStatusText() const { return m_statusText ? m_statusText() : QString(); }
    QString serialButtonCaption() const { return m_buttonCaption; }
    bool serialButtonVisible() const { return m_buttonVisible; }
    bool groupSendBoxVisible() const { return m_groupBoxVisible; }

signals:
    // Panel 3 of the status bar.
    void channelStatusChanged(const QString& text);
    // A notice for the message panel of the status bar.
    void statusMessage(const QString& text);
    // The serial button's caption or either control's visibility changed.
    void controlsChanged();
    // The presence supervision runs in network mode only.
    void presenceTimerWanted(bool running);
    // After-open action 1.
    void cardSearchRequested();
    // The server listens on this port (stored as "CommParam02").
    void serverPortChosen(quint16 port);

    // Received data, always one turn of the event loop after it arrived.
    void serialBlockReceived(const QByteArray& block);
    void tcpBytesReceived(QTcpSocket* connection, const QByteArray& bytes);
    void datagramReceived(const QByteArray& datagram, const QHostAddress& sender, quint16 senderPort,
                          const QHostAddress& local);
    void connectionAccepted(QTcpSocket* connection);
    // Bytes written to a card: to a connection, or to the serial port when
    // `connection` is null (for a trace of the exchange).
    void bytesSent(QTcpSocket* connection, const QByteArray& bytes);
    // A connection closed; the cards that used it are already off-line.
    void connectionClosed(QTcpSocket* connection);
    // A card lost its connection (index in the card list).
    void cardOffline(int cardIndex);

private:
    void setStatus(std::function<QString()> text);
    void setControls(const QString& caption, bool buttonVisible, bool groupBoxVisible);
    void onConnectionAccepted(QTcpSocket* connection);
    void onConnectionClosed(QTcpSocket* connection);
    void onDataWaiting(QTcpSocket* connection);
    void onSerialBlock(const QByteArray& block);
    void onDatagram(const QByteArray& datagram, const QHostAddress& sender, quint16 senderPort,
                    const QHostAddress& local);

    QList<TFIXModem>& m_cards;
    SerialLink m_serial;
    CardServer m_server;
    UdpListener m_udp;

    ReceiveChannel m_channel = ReceiveChannel::None;
    QString m_lastPort = SerialLink::kDefaultPort;
    int m_lastBaud = SerialLink::kDefaultBaud;
    quint16 m_serverPort = CardServer::kDefaultPort;

    std::function<QString()> m_statusText;
    QString m_buttonCaption = channeltext::kOpenSerialCaption;
    bool m_buttonVisible = false;
    bool m_groupBoxVisible = false;
};

} // namespace ledsign
