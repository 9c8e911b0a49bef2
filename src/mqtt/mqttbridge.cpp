#include "mqtt/mqttbridge.h"

#include "model/logline.h"
#include "content/textbudget.h"
#include "mqtt/mqttdiscovery.h"
#include "mqtt/mqtttopics.h"

#include <QJsonDocument>
#include <QStringDecoder>

namespace ledsign {

namespace {

constexpr int kFlushMs = 500;
constexpr qint64 kContactRepeatSeconds = 60;

QByteArray compact(const QJsonObject& object) { return QJsonDocument(object).toJson(QJsonDocument::Compact); }


} // namespace

MqttBridge::MqttBridge(MqttFleet& fleet, const QString& prefix, QObject* parent)
    : QObject(parent), m_fleet(fleet), m_prefix(prefix)
{
    m_flush.setSingleShot(true);
    m_flush.setInterval(kFlushMs);
    connect(&m_flush, &QTimer::timeout, this, &MqttBridge::flushChanged);
    connect(&m_client, &MqttClient::connected, this, &MqttBridge::publishEverything);
    connect(&m_client, &MqttClient::messageReceived, this, &MqttBridge::received);
}

void MqttBridge::start(const MqttEndpoint& endpoint)
{
    m_client.setWill(mqtttopics::status(m_prefix), QByteArrayLiteral("offline"), true);
    m_client.subscribe(mqtttopics::textSetFilter(m_prefix));
    m_client.subscribe(mqtttopics::sendFilter(m_prefix));
    m_client.start(endpoint);
}

void MqttBridge::stop()
{
    m_client.publish(mqtttopics::status(m_prefix), QByteArrayLiteral("offline"), true);
    m_client.stop();
}

// A broker that was restarted may have lost what it kept: everything again.
void MqttBridge::publishEverything()
{
    m_client.publish(mqtttopics::status(m_prefix), QByteArrayLiteral("online"), true);
    m_discovery.clear();
    m_published.clear();
    m_changed.clear();
    publishDiscovery();
    for (const QString& card : m_fleet.cardNames())
        publishState(card, true);
}

void MqttBridge::publishDiscovery()
{
    QHash<QString, QByteArray> now;
    for (const QString& card : m_fleet.cardNames()) {
        const QJsonObject state = m_fleet.cardState(card);
        for (const auto& message : mqttdiscovery::cardMessages(m_prefix, state, m_fleet.textMaterials(card)))
            now.insert(message.topic, message.payload);
    }
    for (auto it = m_discovery.cbegin(); it != m_discovery.cend(); ++it) {
        if (!now.contains(it.key()))
            m_client.publish(it.key(), QByteArray(), true);
    }
    for (auto it = now.cbegin(); it != now.cend(); ++it) {
        if (m_discovery.value(it.key()) != it.value())
            m_client.publish(it.key(), it.value(), true);
    }
    m_discovery = now;
}

void MqttBridge::cardsChanged()
{
    if (!m_client.isConnected())
        return;
    publishDiscovery();
    const QStringList names = m_fleet.cardNames();
    const QSet<QString> present(names.cbegin(), names.cend());
    for (auto it = m_published.begin(); it != m_published.end();) {
        if (present.contains(it.key())) {
            ++it;
            continue;
        }
        m_client.publish(mqtttopics::cardState(m_prefix, it.key()), QByteArray(), true);
        it = m_published.erase(it);
    }
    for (const QString& card : names) {
        if (!m_published.contains(card))
            publishState(card, true);
    }
}

void MqttBridge::cardChanged(const QString& card)
{
    m_changed.insert(card);
    if (!m_flush.isActive())
        m_flush.start();
}

void MqttBridge::flushChanged()
{
    const QSet<QString> changed = std::exchange(m_changed, {});
    if (!m_client.isConnected())
        return; // the next connect publishes every card
    for (const QString& card : changed)
        publishState(card, false);
}

void MqttBridge::publishState(const QString& card, bool evenIfSame)
{
    const QJsonObject state = m_fleet.cardState(card);
    if (state.isEmpty())
        return;
    QJsonObject withoutContact = state;
    withoutContact.remove(QLatin1String("lastHeard"));
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const auto last = m_published.constFind(card);
    if (!evenIfSame && last != m_published.cend() && last->withoutContact == withoutContact &&
        last->at.secsTo(now) < kContactRepeatSeconds)
        return;
    if (m_client.publish(mqtttopics::cardState(m_prefix, card), compact(state), true))
        m_published.insert(card, {withoutContact, now});
}

void MqttBridge::jobEnded(const QString& id, const QJsonObject& job)
{
    m_client.publish(mqtttopics::job(m_prefix, id), compact(job), false);
}

void MqttBridge::received(const QString& topic, const QByteArray& payload, bool retained)
{
    const mqtttopics::Command command = mqtttopics::parseCommand(m_prefix, topic);
    if (command.kind == mqtttopics::Command::None)
        return refuse(topic, QStringLiteral("not a command topic"));
    // A command kept by the broker would be carried out again at every
    // connect.
    if (retained)
        return refuse(topic, QStringLiteral("a retained command is not carried out"));
    MqttFleet::Answer answer;
    if (command.kind == mqtttopics::Command::Send) {
        answer = m_fleet.send(command.card);
    } else {
        if (payload.size() > kMaxTextContentBytes)
            return refuse(topic, QStringLiteral("the text has %1 bytes, more than the %2 a text may have")
                                     .arg(payload.size())
                                     .arg(kMaxTextContentBytes));
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = utf8.decode(payload);
        if (utf8.hasError())
            return refuse(topic, QStringLiteral("the text is not UTF-8"));
        answer = m_fleet.setText(command.card, command.material, text);
    }
    if (!answer.error.isEmpty())
        return refuse(topic, answer.error);
    qCInfo(lcMqtt).noquote() << "MQTT command on" << logLine(topic) << "accepted as job" << answer.jobId;
}

void MqttBridge::refuse(const QString& topic, const QString& reason)
{
    qCWarning(lcMqtt).noquote() << "MQTT message on" << logLine(topic) << "refused:" << logLine(reason);
    m_client.publish(mqtttopics::refusals(m_prefix),
                     compact({{QStringLiteral("topic"), topic}, {QStringLiteral("error"), reason}}), false, 0);
}

} // namespace ledsign
