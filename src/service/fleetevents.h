// The service's events, in the order they happened, for every front end
// that follows the fleet (the HTTP event stream, a bridge): a card on-line
// or off-line, a registration, a job's progress and its end, a playbill
// replaced, the card list read again. Each event has
// a number that grows by one, a type and a JSON body.
#pragma once

#include <QJsonObject>
#include <QObject>
#include <QString>

namespace ledsign {

struct FleetEvent {
    qint64 id = 0;
    QString type; // "online", "offline", "registered", "job-progress", "job-end", "playbill", "cards"
    QJsonObject data;
};

class FleetEvents : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    void publish(const QString& type, const QJsonObject& data);
    qint64 lastId() const { return m_lastId; }

signals:
    void published(const ledsign::FleetEvent& event);

private:
    qint64 m_lastId = 0;
};

} // namespace ledsign
