// The clients of GET /api/events: each gets the service's events as
// Server-Sent Events ("id:", "event:" and "data:" with the event's JSON), a
// comment line every 15 s so that a dead client is found and a proxy keeps
// the line, and is dropped when it goes or falls more than 1 MiB behind.
#pragma once

#include "service/fleetevents.h"

#include <QObject>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

#include <memory>
#include <vector>

class QHttpServerResponder;

namespace ledsign::service {

class EventStreams : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxStreams = 64;
    static constexpr int kKeepAliveMs = 15000;
    static constexpr qint64 kMaxBehind = qint64(1) << 20;

    explicit EventStreams(FleetEvents& events, QObject* parent = nullptr);
    ~EventStreams() override;

    // Starts a stream on the responder; 503 when there are too many.
    void open(QHttpServerResponder&& responder);
    int count() const { return int(m_streams.size()); }

    // One event as the stream carries it.
    static QByteArray format(const FleetEvent& event);

private:
    struct Stream {
        std::unique_ptr<QHttpServerResponder> responder;
        QPointer<QTcpSocket> socket;
    };
    void write(const QByteArray& bytes);

    std::vector<Stream> m_streams;
    QTimer m_keepAlive;
};

} // namespace ledsign::service
