// The UDP listener on which cards answer searches and configuration
// requests: port 4480 on the PC address the cards know (the server IP), with
// broadcast allowed for what the program sends from it.
//
// A socket bound to a unicast address never sees broadcasts on Linux, yet a
// card whose own address lies outside the PC's subnet can only answer by
// broadcast. So a second socket on the any-address takes broadcasts, and
// keeps only those that arrived on the adapter owning the server IP: cards
// behind other adapters stay out, as with a binding to that adapter alone.
#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QUdpSocket>

class QNetworkDatagram;

namespace ledsign {

class UdpListener : public QObject {
    Q_OBJECT
public:
    static constexpr quint16 kListenPort = 4480;

    explicit UdpListener(QObject* parent = nullptr);

    // Drops the old binding and binds to the address and port. A failure is
    // not reported to the user; the result says whether the binding holds
    // (the broadcast socket is a bonus: without it unicast still works).
    bool bind(const QHostAddress& localAddress, quint16 port = kListenPort);
    void unbind();
    bool isBound() const { return m_socket.state() == QAbstractSocket::BoundState; }
    // Whether broadcasts reach the listener as well.
    bool receivesBroadcasts() const;
    QHostAddress localAddress() const { return m_address; }
    quint16 localPort() const { return m_socket.localPort(); }

    // Sends one datagram from the binding (broadcast addresses allowed);
    // -1 on failure.
    qint64 send(const QByteArray& datagram, const QHostAddress& to, quint16 port);

    // Whether a broadcast that arrived on the interface `interfaceIndex`
    // (0: unknown) is meant for a listener on `serverAddress`.
    static bool acceptsBroadcast(const QHostAddress& serverAddress, const QHostAddress& destination,
                                 uint interfaceIndex);

signals:
    // One datagram, with where it came from and the local address of the
    // binding it arrived on.
    void datagramReceived(const QByteArray& datagram, const QHostAddress& sender, quint16 senderPort,
                          const QHostAddress& local);

private:
    void onReadyRead();
    void onBroadcastReadyRead();
    void deliver(const QNetworkDatagram& datagram);

    QUdpSocket m_socket;     // the server IP (or the any-address)
    QUdpSocket m_broadcasts; // the any-address, when the server IP is a unicast address
    QHostAddress m_address;
};

} // namespace ledsign
