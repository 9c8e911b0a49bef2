#include "mqtt/mqttclient.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QSocketNotifier>
#include <QUuid>

#include <mosquitto.h>

namespace ledsign {

Q_LOGGING_CATEGORY(lcMqtt, "ledsign.mqtt", QtInfoMsg)

namespace {

constexpr int kKeepAliveSeconds = 30;
constexpr int kConnectTimeoutMs = 10000;

void initLibraryOnce()
{
    static const bool done = [] {
        mosquitto_lib_init();
        return true;
    }();
    Q_UNUSED(done);
}

QString errorText(int rc)
{
    if (rc == MOSQ_ERR_ERRNO)
        return QString::fromLocal8Bit(strerror(errno));
    return QString::fromUtf8(mosquitto_strerror(rc));
}

} // namespace

MqttClient::MqttClient(QObject* parent) : QObject(parent)
{
    initLibraryOnce();
    m_misc.setInterval(1000);
    connect(&m_misc, &QTimer::timeout, this, [this] {
        if (m_mosq)
            afterCall(mosquitto_loop_misc(m_mosq));
    });
    m_retry.setSingleShot(true);
    connect(&m_retry, &QTimer::timeout, this, &MqttClient::attempt);
    m_connectTimeout.setSingleShot(true);
    m_connectTimeout.setInterval(kConnectTimeoutMs);
    connect(&m_connectTimeout, &QTimer::timeout, this, [this] {
        dropNotifiers();
        failed(QStringLiteral("no answer"));
    });
}

MqttClient::~MqttClient()
{
    if (m_lookupId >= 0)
        QHostInfo::abortHostLookup(m_lookupId);
    dropNotifiers();
    if (m_mosq)
        mosquitto_destroy(m_mosq);
}

void MqttClient::setWill(const QString& topic, const QByteArray& payload, bool retain)
{
    m_willTopic = topic;
    m_willPayload = payload;
    m_willRetain = retain;
}

void MqttClient::setRetryDelays(int firstMs, int largestMs)
{
    m_firstDelayMs = qMax(1, firstMs);
    m_largestDelayMs = qMax(m_firstDelayMs, largestMs);
    m_delayMs = m_firstDelayMs;
}

QString MqttClient::brokerText() const
{
    return QStringLiteral("%1:%2").arg(m_endpoint.host).arg(m_endpoint.port);
}

void MqttClient::start(const MqttEndpoint& endpoint)
{
    m_endpoint = endpoint;
    if (m_endpoint.clientId.isEmpty())
        m_endpoint.clientId = QStringLiteral("ledsign-") + QUuid::createUuid().toString(QUuid::Id128).left(12);
    if (m_mosq)
        mosquitto_destroy(m_mosq);
    m_mosq = mosquitto_new(m_endpoint.clientId.toUtf8().constData(), true, this);
    if (!m_mosq) {
        qCWarning(lcMqtt).noquote() << "MQTT client cannot be made:" << errorText(MOSQ_ERR_ERRNO);
        return;
    }
    mosquitto_connect_callback_set(m_mosq, &MqttClient::onConnect);
    mosquitto_disconnect_callback_set(m_mosq, &MqttClient::onDisconnect);
    mosquitto_message_callback_set(m_mosq, &MqttClient::onMessage);
    if (!m_endpoint.user.isEmpty())
        mosquitto_username_pw_set(m_mosq, m_endpoint.user.toUtf8().constData(),
                                  m_endpoint.password.isEmpty() ? nullptr : m_endpoint.password.toUtf8().constData());
    if (!m_willTopic.isEmpty())
        mosquitto_will_set(m_mosq, m_willTopic.toUtf8().constData(), int(m_willPayload.size()),
                           m_willPayload.constData(), 1, m_willRetain);
    m_running = true;
    m_delayMs = m_firstDelayMs;
    m_misc.start();
    attempt();
}

void MqttClient::stop()
{
    m_running = false;
    m_retry.stop();
    m_connectTimeout.stop();
    m_misc.stop();
    if (m_mosq && m_connected) {
        mosquitto_disconnect(m_mosq);
        // One write turn puts the goodbye on the wire; what does not go the
        // broker learns from the closed socket.
        mosquitto_loop_write(m_mosq, 1);
    }
    m_connected = false;
    dropNotifiers();
    m_events.clear();
}

void MqttClient::attempt()
{
    if (!m_running || !m_mosq)
        return;
    const QHostAddress literal(m_endpoint.host);
    if (!literal.isNull()) {
        connectTo(literal.toString());
        return;
    }
    // A name is looked up without blocking the loop.
    m_lookupId = QHostInfo::lookupHost(m_endpoint.host, this, [this](const QHostInfo& info) {
        m_lookupId = -1;
        if (!m_running)
            return;
        if (info.error() != QHostInfo::NoError || info.addresses().isEmpty()) {
            failed(info.errorString());
            return;
        }
        connectTo(info.addresses().constFirst().toString());
    });
}

void MqttClient::connectTo(const QString& address)
{
    dropNotifiers(); // libmosquitto closes its old socket now
    const int rc = mosquitto_connect_async(m_mosq, address.toUtf8().constData(), m_endpoint.port, kKeepAliveSeconds);
    if (rc != MOSQ_ERR_SUCCESS) {
        failed(errorText(rc));
        return;
    }
    m_connectTimeout.start();
    afterCall(MOSQ_ERR_SUCCESS);
}

bool MqttClient::publish(const QString& topic, const QByteArray& payload, bool retain, int qos)
{
    if (!m_mosq || !m_connected)
        return false;
    const int rc = mosquitto_publish(m_mosq, nullptr, topic.toUtf8().constData(), int(payload.size()),
                                     payload.constData(), qos, retain);
    if (rc != MOSQ_ERR_SUCCESS)
        qCDebug(lcMqtt).noquote() << "MQTT publish to" << topic << "refused:" << errorText(rc);
    if (!m_handling)
        afterCall(MOSQ_ERR_SUCCESS);
    return rc == MOSQ_ERR_SUCCESS;
}

void MqttClient::subscribe(const QString& filter, int qos)
{
    m_filters.append(filter);
    m_filterQos.append(qos);
    if (m_mosq && m_connected) {
        mosquitto_subscribe(m_mosq, nullptr, filter.toUtf8().constData(), qos);
        if (!m_handling)
            afterCall(MOSQ_ERR_SUCCESS);
    }
}

void MqttClient::onConnect(mosquitto*, void* self, int rc)
{
    auto* client = static_cast<MqttClient*>(self);
    client->m_events.append({rc == 0 ? EventKind::Connected : EventKind::Refused, rc, {}, {}});
}

void MqttClient::onDisconnect(mosquitto*, void* self, int rc)
{
    static_cast<MqttClient*>(self)->m_events.append({EventKind::Disconnected, rc, {}, {}});
}

void MqttClient::onMessage(mosquitto*, void* self, const mosquitto_message* message)
{
    static_cast<MqttClient*>(self)->m_events.append(
        {EventKind::Message, 0, QString::fromUtf8(message->topic),
         QByteArray(static_cast<const char*>(message->payload), message->payloadlen), message->retain});
}

// libmosquitto calls back from inside its calls; what it reported is acted on
// afterwards, so a slot may publish or stop without re-entering it.
void MqttClient::afterCall(int)
{
    syncNotifiers();
    handleEvents();
    syncNotifiers();
}

void MqttClient::syncNotifiers()
{
    const int fd = m_mosq && m_running ? mosquitto_socket(m_mosq) : -1;
    if (fd != m_fd)
        dropNotifiers();
    if (fd < 0)
        return;
    if (!m_readNotifier) {
        m_fd = fd;
        m_readNotifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
        connect(m_readNotifier.get(), &QSocketNotifier::activated, this,
                [this] { afterCall(mosquitto_loop_read(m_mosq, 1)); });
        m_writeNotifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Write);
        connect(m_writeNotifier.get(), &QSocketNotifier::activated, this,
                [this] { afterCall(mosquitto_loop_write(m_mosq, 1)); });
    }
    m_writeNotifier->setEnabled(mosquitto_want_write(m_mosq));
}

void MqttClient::dropNotifiers()
{
    m_readNotifier.reset();
    m_writeNotifier.reset();
    m_fd = -1;
}

void MqttClient::handleEvents()
{
    if (m_handling)
        return;
    m_handling = true;
    while (!m_events.isEmpty()) {
        const Event event = m_events.takeFirst();
        switch (event.kind) {
        case EventKind::Connected:
            m_connectTimeout.stop();
            m_connected = true;
            m_delayMs = m_firstDelayMs;
            if (m_failureSaid || !m_everConnected)
                qCInfo(lcMqtt).noquote() << "MQTT broker" << brokerText() << "connected";
            m_failureSaid = false;
            m_everConnected = true;
            for (int i = 0; i < m_filters.size(); ++i)
                mosquitto_subscribe(m_mosq, nullptr, m_filters.at(i).toUtf8().constData(), m_filterQos.at(i));
            emit connected();
            break;
        case EventKind::Refused:
            failed(QString::fromUtf8(mosquitto_connack_string(event.code)));
            break;
        case EventKind::Disconnected:
            if (m_connected) {
                m_connected = false;
                emit disconnected();
            }
            if (m_running)
                failed(errorText(event.code));
            break;
        case EventKind::Message:
            emit messageReceived(event.topic, event.payload, event.retained);
            break;
        }
    }
    m_handling = false;
}

void MqttClient::failed(const QString& reason)
{
    m_connectTimeout.stop();
    if (!m_running || m_retry.isActive())
        return;
    if (!m_failureSaid) {
        m_failureSaid = true;
        if (m_everConnected)
            qCWarning(lcMqtt).noquote() << "MQTT broker" << brokerText() << "lost (" + reason + "); trying again";
        else
            qCWarning(lcMqtt).noquote() << "MQTT broker" << brokerText() << "not reached (" + reason + "); trying again";
    } else {
        qCDebug(lcMqtt).noquote() << "MQTT broker" << brokerText() << "still not reached:" << reason;
    }
    scheduleRetry();
}

void MqttClient::scheduleRetry()
{
    m_retry.start(m_delayMs);
    m_delayMs = qMin(m_largestDelayMs, m_delayMs * 2);
}

} // namespace ledsign
