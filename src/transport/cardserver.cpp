#include "transport/cardserver.h"

#include "transport/cardconnection.h"

namespace ledsign {

void CardServer::Listener::incomingConnection(qintptr fd)
{
    if (!m_poller.isValid()) {
        QTcpServer::incomingConnection(fd);
        return;
    }
    auto* connection = new CardConnection(int(fd), m_poller, this);
    if (connection->state() != QAbstractSocket::ConnectedState) {
        delete connection;
        return;
    }
    addPendingConnection(connection);
}

CardServer::CardServer(QObject* parent)
    : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &CardServer::onNewConnection);
    connect(&m_server, &QTcpServer::acceptError, this, &CardServer::onAcceptError);
    m_acceptRetry.setSingleShot(true);
    m_acceptRetry.setInterval(kAcceptRetryMs);
    connect(&m_acceptRetry, &QTimer::timeout, this, [this] {
        if (m_server.isListening())
            m_server.resumeAccepting();
    });
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
    // Cards reconnect all at once after the PC or the network comes back; a
    // short queue of pending connections drops their connects, and each
    // dropped card retries only after seconds.
    m_server.setListenBacklogSize(kListenBacklog);
    m_limitReported = false;
    return m_server.listen(address, port);
}

void CardServer::close()
{
    m_acceptRetry.stop();
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

void CardServer::onAcceptError(QAbstractSocket::SocketError error)
{
    // The listener stops accepting after an error; without a second try the
    // cards that connect later would never be heard.
    if (error == QAbstractSocket::SocketResourceError && !m_limitReported) {
        m_limitReported = true;
        emit connectionLimitReached();
    }
    m_acceptRetry.start();
}

void CardServer::onDisconnected(QTcpSocket* connection)
{
    if (!m_connections.removeOne(connection))
        return;
    emit connectionClosed(connection);
    connection->deleteLater();
}

} // namespace ledsign
