#include "transport/cardserver.h"

namespace ledsign {

CardServer::CardServer(QObject* parent)
    : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &CardServer::onNewConnection);
}

CardServer::~CardServer()
{
    // The connections are children of the server object and go with it;
    // nobody is told any more.
    for (QTcpSocket* connection : std::as_const(m_connections))
        connection->disconnect(this);
}

bool CardServer::open(quint16 port, const QHostAddress& address)
{
    if (m_server.isListening())
        return true;
    m_server.close();
    // Cards reconnect together after a network or power cut; the default
    // queue of 50 drops the rest, which then retry only seconds later.
    m_server.setListenBacklogSize(kListenBacklog);
    return m_server.listen(address, port);
}

void CardServer::close()
{
    if (m_server.isListening())
        m_server.close();
}

void CardServer::closeAllConnections()
{
    const QList<QTcpSocket*> all = m_connections;
    for (QTcpSocket* connection : all)
        connection->abort();
}

void CardServer::onNewConnection()
{
    while (QTcpSocket* connection = m_server.nextPendingConnection()) {
        m_connections.append(connection);
        connect(connection, &QTcpSocket::readyRead, this, [this, connection] { emit dataWaiting(connection); });
        connect(connection, &QTcpSocket::disconnected, this, [this, connection] { onDisconnected(connection); });
        // Errors are not shown; a connection that broke is closed so that
        // it leaves the list like any other.
        connect(connection, &QTcpSocket::errorOccurred, this, [connection](QAbstractSocket::SocketError error) {
            if (error != QAbstractSocket::SocketTimeoutError && error != QAbstractSocket::TemporaryError
                && connection->state() == QAbstractSocket::ConnectedState)
                QMetaObject::invokeMethod(connection, &QTcpSocket::abort, Qt::QueuedConnection);
        });
        emit connectionAccepted(connection);
    }
}

void CardServer::onDisconnected(QTcpSocket* connection)
{
    if (!m_connections.removeOne(connection))
        return;
    emit connectionClosed(connection);
    connection->deleteLater();
}

} // namespace ledsign
