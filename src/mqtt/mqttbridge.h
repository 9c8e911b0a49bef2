// The fleet on MQTT: each card's state retained on PREFIX/cards/C/state, the
// end of each job on PREFIX/jobs/ID, the Home Assistant discovery messages,
// and the commands PREFIX/cards/C/texts/M/set (the payload is the text) and
// PREFIX/cards/C/send handed to the fleet. Commands that cannot be carried
// out are refused with a logged reason and a message on PREFIX/refused.
// PREFIX/status says "online" while the bridge is connected ("offline" is
// its will).
#pragma once

#include "mqtt/mqttclient.h"

#include <QDateTime>
#include <QHash>
#include <QJsonObject>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTimer>

namespace ledsign {

// What the bridge needs of the fleet; the service answers it.
class MqttFleet {
public:
    struct Answer {
        QString jobId;
        QString error; // empty: accepted
    };
    virtual ~MqttFleet() = default;
    virtual QStringList cardNames() const = 0;
    // The card as the service describes it (name, online, lastHeard, send,
    // width, height, colors); empty when there is no such card.
    virtual QJsonObject cardState(const QString& card) const = 0;
    virtual QStringList textMaterials(const QString& card) const = 0;
    virtual Answer setText(const QString& card, const QString& material, const QString& text) = 0;
    virtual Answer send(const QString& card) = 0;
};

class MqttBridge : public QObject {
    Q_OBJECT
public:
    MqttBridge(MqttFleet& fleet, const QString& prefix, QObject* parent = nullptr);

    void start(const MqttEndpoint& endpoint);
    void stop();
    MqttClient& client() { return m_client; }
    QString prefix() const { return m_prefix; }

    // A card's state changed: published within half a second (a change of
    // the last contact alone at most once a minute).
    void cardChanged(const QString& card);
    // Cards came or went, or their materials changed: discovery follows.
    void cardsChanged();
    void jobEnded(const QString& id, const QJsonObject& job);

private:
    struct Published {
        QJsonObject withoutContact;
        QDateTime at;
    };

    void publishEverything();
    void publishDiscovery();
    void publishState(const QString& card, bool evenIfSame);
    void flushChanged();
    void received(const QString& topic, const QByteArray& payload, bool retained);
    void refuse(const QString& topic, const QString& reason);

    MqttFleet& m_fleet;
    QString m_prefix;
    MqttClient m_client;
    QSet<QString> m_changed;
    QTimer m_flush;
    QHash<QString, Published> m_published;       // card -> its last state message
    QHash<QString, QByteArray> m_discovery;      // config topic -> payload published
};

} // namespace ledsign
