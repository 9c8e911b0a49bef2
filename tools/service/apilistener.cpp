#include "apilistener.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

namespace ledsign::service {

namespace {

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 400: return "Bad Request";
    case 401: return "Unauthorized";
    case 404: return "Not Found";
    case 409: return "Conflict";
    case 413: return "Payload Too Large";
    case 503: return "Service Unavailable";
    default: return "Error";
    }
}

} // namespace

QByteArray jsonErrorAnswer(int status, const QString& error)
{
    const QByteArray body = QJsonDocument(QJsonObject{{QStringLiteral("error"), error}}).toJson(QJsonDocument::Compact);
    return "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonPhrase(status) + "\r\n"
         + "Content-Type: application/json\r\n"
         + "Content-Length: " + QByteArray::number(body.size()) + "\r\n"
         + "Connection: close\r\n\r\n" + body;
}

GatedConnection::GatedConnection(int fd, ConnectionPoller& poller, RequestGate::Limit limit, QObject* parent)
    : CardConnection(fd, poller, parent)
    , m_gate(std::move(limit))
{
    // An answer leaves in several writes (status, headers, body); with Nagle's
    // rule the last of them would wait for the client's delayed ACK, 40 ms
    // on every request.
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    m_drain.setSingleShot(true);
    m_drain.setInterval(kDrainMs);
    connect(&m_drain, &QTimer::timeout, this, [this] { disconnectFromHost(); });
    m_idle.setSingleShot(true);
    m_idle.setInterval(kIdleMs);
    connect(&m_idle, &QTimer::timeout, this, [this] { disconnectFromHost(); });
    m_idle.start();
}

qint64 GatedConnection::writeData(const char* data, qint64 len)
{
    m_idle.start();
    return CardConnection::writeData(data, len);
}

void GatedConnection::refuse(int status, const QString& error)
{
    if (m_refused)
        return;
    m_refused = true;
    write(jsonErrorAnswer(status, error));
    m_drain.start();
}

qint64 GatedConnection::readData(char* data, qint64 maxlen)
{
    if (m_refused) {
        // Dropped, so that the client's rest costs no memory.
        char scratch[16384];
        while (CardConnection::readData(scratch, sizeof scratch) > 0) {
        }
        return state() == ConnectedState ? 0 : -1;
    }
    const qint64 n = CardConnection::readData(data, maxlen);
    if (n <= 0)
        return n;
    m_idle.start();
    if (!m_gate.take(data, n)) {
        refuse(m_gate.refusal().status, m_gate.refusal().error);
        return readData(data, maxlen);
    }
    if (m_gate.takeContinueWanted())
        write("HTTP/1.1 100 Continue\r\n\r\n");
    return n;
}

ApiListener::ApiListener(RequestGate::Limit limit, QObject* parent)
    : QTcpServer(parent)
    , m_limit(std::move(limit))
{
}

void ApiListener::incomingConnection(qintptr fd)
{
    auto* connection = new GatedConnection(int(fd), m_poller, m_limit, this);
    if (connection->state() != QAbstractSocket::ConnectedState) {
        delete connection;
        return;
    }
    ++m_clients;
    connect(connection, &QTcpSocket::disconnected, this, [this] { --m_clients; });
    if (m_clients > kMaxClients)
        connection->refuse(503, QStringLiteral("the service has %1 clients already").arg(kMaxClients));
    addPendingConnection(connection);
}

} // namespace ledsign::service
