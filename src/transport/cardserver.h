// The TCP server that cards connect to. It keeps the accepted connections in
// order of arrival and reports arrivals, departures and waiting data; errors
// of a connection are silenced (a broken connection simply closes).
#pragma once

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QTcpServer>
#include <QTcpSocket>

namespace ledsign {

class CardServer : public QObject {
    Q_OBJECT
public:
    static constexpr quint16 kDefaultPort = 8900;
    // Connections the system queues before the program accepts them: room
    // for a thousand cards connecting at the same moment (the kernel caps it
    // at net.core.somaxconn).
    static constexpr int kListenBacklog = 1024;

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

private:
    void onNewConnection();
    void onDisconnected(QTcpSocket* connection);

    QTcpServer m_server;
    QList<QTcpSocket*> m_connections;
};

} // namespace ledsign
