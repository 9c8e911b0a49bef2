// Home Assistant MQTT discovery: the retained configuration messages that
// make each card a device with an on-line sensor and a send button, and each
// of its text materials a text entity whose commands go to the bridge's set
// topic. An empty retained message on the same topic takes an entity away.
#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

namespace ledsign::mqttdiscovery {

inline constexpr const char* kDiscoveryPrefix = "homeassistant";

// A name as an identifier discovery accepts ([A-Za-z0-9_-]): the name's
// letters and digits, others as "_", and a short hash of the whole name so
// that two names never meet.
QString objectId(const QString& name);

struct Message {
    QString topic;
    QByteArray payload; // JSON
};

// `card` is the card as the service describes it (name, width, height, colors).
QList<Message> cardMessages(const QString& prefix, const QJsonObject& card, const QStringList& textMaterials);

} // namespace ledsign::mqttdiscovery
