// The UDP listener on which cards answer searches and configuration
// requests: one binding on the PC address the cards know, port 4480, with
// broadcast allowed for what the program sends from it.
#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QUdpSocket>

namespace ledsign {

class UdpListener : public QObject {
    Q_OBJECT
public:
    static constexpr quint16 kListenPort = 4480;

    explicit UdpListener(QObject* parent = nullptr);

    // Drops the old binding and binds to the address and port. A failure is
    // not reported to the user; the result says whether the binding holds.
    bool bind(const QHostAddress& localAddress, quint16 port = kListenPort);
    void unbind();
    bool isBound() const { return m_socket.state() == QAbstractSocket::BoundState; }
    QHostAddress localAddress() const { return m_address; }
    quint16 localPort() const { return m_socket.localPort(); }

    // Sends one datagram from the binding (broadcast addresses allowed);
    // -1 on failure.
    qint64 send(const QByteArray& datagram, const QHostAddress& to, quint16 port);

signals:
    // One datagram, with where it came from and the local address of the
    // binding it arrived on.
    void datagramReceived(const QByteArray& datagram, const QHostAddress& sender, quint16 senderPort,
                          const QHostAddress& local);

private:
    void onReadyRead();

    QUdpSocket m_socket;
    QHostAddress m_address;
};

} // namespace ledsign
