#include "eventstreams.h"

#include "apiserver.h"

#include <QHttpServerResponder>
#include <QJsonDocument>

namespace ledsign::service {

EventStreams::EventStreams(FleetEvents& events, QObject* parent)
    : QObject(parent)
{
    connect(&events, &FleetEvents::published, this, [this](const FleetEvent& event) { write(format(event)); });
    m_keepAlive.setInterval(kKeepAliveMs);
    connect(&m_keepAlive, &QTimer::timeout, this, [this] { write(QByteArrayLiteral(":\n\n")); });
    m_keepAlive.start();
}

EventStreams::~EventStreams() = default;

QByteArray EventStreams::format(const FleetEvent& event)
{
    return "id: " + QByteArray::number(event.id) + "\nevent: " + event.type.toUtf8()
         + "\ndata: " + QJsonDocument(event.data).toJson(QJsonDocument::Compact) + "\n\n";
}

void EventStreams::open(QHttpServerResponder&& responder)
{
    if (count() >= kMaxStreams) {
        writeAnswer(responder, errorAnswer(503, QStringLiteral("%1 event streams are open already").arg(kMaxStreams)));
        return;
    }
    Stream stream{std::make_unique<QHttpServerResponder>(std::move(responder)), nullptr};
    stream.socket = stream.responder->socket();
    stream.responder->writeStatusLine(QHttpServerResponder::StatusCode::Ok);
    stream.responder->writeHeader("Content-Type", "text/event-stream");
    stream.responder->writeHeader("Cache-Control", "no-store");
    // The stream has no length: it ends when either side closes.
    stream.responder->writeHeader("Connection", "close");
    stream.responder->writeBody(QByteArrayLiteral("retry: 2000\n\n"));
    m_streams.push_back(std::move(stream));
}

void EventStreams::write(const QByteArray& bytes)
{
    for (auto it = m_streams.begin(); it != m_streams.end();) {
        QTcpSocket* socket = it->socket.data();
        if (!socket || socket->state() != QAbstractSocket::ConnectedState) {
            it = m_streams.erase(it);
            continue;
        }
        if (socket->bytesToWrite() > kMaxBehind) {
            socket->disconnectFromHost();
            it = m_streams.erase(it);
            continue;
        }
        it->responder->writeBody(bytes);
        ++it;
    }
}

} // namespace ledsign::service
