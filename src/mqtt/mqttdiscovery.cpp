#include "mqtt/mqttdiscovery.h"

#include "mqtt/mqtttopics.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>

namespace ledsign::mqttdiscovery {

namespace {

// Home Assistant keeps at most 255 characters of an entity's state.
constexpr int kEntityTextMax = 255;

QString configTopic(const QString& component, const QString& node, const QString& object)
{
    return QLatin1String(kDiscoveryPrefix) + u'/' + component + u'/' + node + u'/' + object + QStringLiteral("/config");
}

QByteArray json(const QJsonObject& object) { return QJsonDocument(object).toJson(QJsonDocument::Compact); }

} // namespace

QString objectId(const QString& name)
{
    QString id;
    for (const QChar c : name) {
        const bool plain = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'-';
        id += plain ? c : u'_';
    }
    const QByteArray hash = QCryptographicHash::hash(name.toUtf8(), QCryptographicHash::Sha1).toHex().left(8);
    return id + u'_' + QString::fromLatin1(hash);
}

QList<Message> cardMessages(const QString& prefix, const QJsonObject& card, const QStringList& textMaterials)
{
    const QString name = card.value(QLatin1String("name")).toString();
    const QString node = objectId(prefix) + u'_' + objectId(name);
    const QString availability = mqtttopics::status(prefix);
    const QJsonObject device{
        {QStringLiteral("identifiers"), QJsonArray{node}},
        {QStringLiteral("name"), name},
        {QStringLiteral("manufacturer"), QStringLiteral("ledsign")},
        {QStringLiteral("model"), QStringLiteral("%1 x %2, %3 colour(s)")
                                      .arg(card.value(QLatin1String("width")).toInt())
                                      .arg(card.value(QLatin1String("height")).toInt())
                                      .arg(card.value(QLatin1String("colors")).toInt())},
    };
    auto entity = [&](const QString& entityName, const QString& uniqueId) {
        return QJsonObject{{QStringLiteral("name"), entityName},
                           {QStringLiteral("unique_id"), uniqueId},
                           {QStringLiteral("availability_topic"), availability},
                           {QStringLiteral("device"), device}};
    };

    QList<Message> messages;
    QJsonObject online = entity(QStringLiteral("Online"), node + QStringLiteral("_online"));
    online.insert(QStringLiteral("device_class"), QStringLiteral("connectivity"));
    online.insert(QStringLiteral("state_topic"), mqtttopics::cardState(prefix, name));
    online.insert(QStringLiteral("value_template"), QStringLiteral("{{ 'ON' if value_json.online else 'OFF' }}"));
    messages.append({configTopic(QStringLiteral("binary_sensor"), node, QStringLiteral("online")), json(online)});

    QJsonObject send = entity(QStringLiteral("Send"), node + QStringLiteral("_send"));
    send.insert(QStringLiteral("command_topic"), mqtttopics::cardSend(prefix, name));
    messages.append({configTopic(QStringLiteral("button"), node, QStringLiteral("send")), json(send)});

    for (const QString& material : textMaterials) {
        const QString object = QStringLiteral("text_") + objectId(material);
        QJsonObject text = entity(material, node + u'_' + object);
        text.insert(QStringLiteral("command_topic"), mqtttopics::textSet(prefix, name, material));
        text.insert(QStringLiteral("max"), kEntityTextMax);
        text.insert(QStringLiteral("mode"), QStringLiteral("text"));
        messages.append({configTopic(QStringLiteral("text"), node, object), json(text)});
    }
    return messages;
}

} // namespace ledsign::mqttdiscovery
