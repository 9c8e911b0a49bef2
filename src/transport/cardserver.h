// The TCP server that cards connect to. It keeps the accepted connections in
// order of arrival and reports arrivals, departures and waiting data; errors
// of a connection are silenced (a broken connection simply closes). The
// connections share one epoll set (see connectionpoller.h), so that the
// cost of a card's frame does not grow with the number of cards.
#pragma once

#include "transport/connectionpoller.h"

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace ledsign {

class CardServer : public QObject {
    Q_OBJECT
public:
    static constexpr quint16 kDefaultPort = 8900;
    // Connections the system queues before the program accepts them: room
    // for a thousand cards connecting at the same moment (the kernel caps it
    // at net.core.somaxconn).
    static constexpr int kListenBacklog = 1024;
    // After a failed accept (most often the limit of open files) the server
    // tries again this much later: closed connections make room.
    static constexpr int kAcceptRetryMs = 1000;

    explicit CardServer(QObject* parent = nullptr);
    ~CardServer() override;

    // Starts listening on the port; does nothing when already listening.
    // False when the port cannot be taken.
    bool open(quint16 port, const QHostAddress& address = QHostAddress::Any);
    // Stops accepting; connections already accepted stay.
    void close();
    bool isListening() const { return m_server.isListening(); }
    quint16 port() const { return m_server.serverPort(); }
    QString errorString() const { return m_server.errorString(); }

    const QList<QTcpSocket*>& connections() const { return m_connections; }
    // Closes every accepted connection (each reports connectionClosed).
    void closeAllConnections();

signals:
    void connectionAccepted(QTcpSocket* connection);
    // The connection is about to be deleted; it is no longer in the list.
    void connectionClosed(QTcpSocket* connection);
    void dataWaiting(QTcpSocket* connection);
    // No more connections can be accepted because the program or the system
    // has no file left for them; said once per opening of the server.
    void connectionLimitReached();

private:
    // Accepted sockets become connections on the server's epoll set.
    class Listener : public QTcpServer {
    public:
        explicit Listener(ConnectionPoller& poller)
            : m_poller(poller)
        {
        }

    protected:
        void incomingConnection(qintptr fd) override;

    private:
        ConnectionPoller& m_poller;
    };

    void onNewConnection();
    void onDisconnected(QTcpSocket* connection);
    void onAcceptError(QAbstractSocket::SocketError error);

    // Declared before the listener, whose children the connections are, so
    // that it outlives them.
    ConnectionPoller m_poller;
    Listener m_server {m_poller};
    QList<QTcpSocket*> m_connections;
    QTimer m_acceptRetry;
    bool m_limitReported = false;
};

} // namespace ledsign
