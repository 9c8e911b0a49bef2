// An MQTT client on the program's one event loop: libmosquitto's socket is
// watched by socket notifiers and its keep-alive work runs on a timer, so no
// thread of libmosquitto's own runs and nothing blocks the card server. A
// broker that cannot be reached or is lost is tried again with a growing
// delay (said once in the log, and once more when it is back); the
// subscriptions are made again after every connect.
#pragma once

#include <QByteArray>
#include <QList>
#include <QLoggingCategory>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <memory>

struct mosquitto;
struct mosquitto_message;
class QSocketNotifier;

namespace ledsign {

Q_DECLARE_LOGGING_CATEGORY(lcMqtt)

struct MqttEndpoint {
    QString host;
    quint16 port = 1883;
    QString user;     // empty: no user name
    QString password;
    QString clientId; // empty: a random one
};

class MqttClient : public QObject {
    Q_OBJECT
public:
    explicit MqttClient(QObject* parent = nullptr);
    ~MqttClient() override;

    // The message the broker publishes when this client goes without saying
    // goodbye. Set before start().
    void setWill(const QString& topic, const QByteArray& payload, bool retain);
    // The delay before the first retry and the largest one (1 s and 30 s).
    void setRetryDelays(int firstMs, int largestMs);

    // Starts connecting; from here on the broker is tried until stop().
    void start(const MqttEndpoint& endpoint);
    // Leaves the broker (without its will) and stops trying.
    void stop();

    bool isConnected() const { return m_connected; }
    QString brokerText() const;

    // False (nothing queued) while not connected or when libmosquitto refuses.
    bool publish(const QString& topic, const QByteArray& payload, bool retain, int qos = 1);
    // Kept, and made again after every connect.
    void subscribe(const QString& filter, int qos = 1);

signals:
    void connected();
    void disconnected();
    // `retained`: the broker kept the message and hands it to a new
    // subscription; it was not published just now.
    void messageReceived(const QString& topic, const QByteArray& payload, bool retained);

private:
    enum class EventKind { Connected, Refused, Disconnected, Message };
    struct Event {
        EventKind kind;
        int code = 0;
        QString topic;
        QByteArray payload;
        bool retained = false;
    };

    static void onConnect(mosquitto*, void* self, int rc);
    static void onDisconnect(mosquitto*, void* self, int rc);
    static void onMessage(mosquitto*, void* self, const mosquitto_message* message);

    void attempt();
    void connectTo(const QString& address);
    void afterCall(int rc);
    void syncNotifiers();
    void dropNotifiers();
    void handleEvents();
    void failed(const QString& reason);
    void scheduleRetry();

    mosquitto* m_mosq = nullptr;
    MqttEndpoint m_endpoint;
    QString m_willTopic;
    QByteArray m_willPayload;
    bool m_willRetain = false;
    QStringList m_filters;
    QList<int> m_filterQos;

    std::unique_ptr<QSocketNotifier> m_readNotifier;
    std::unique_ptr<QSocketNotifier> m_writeNotifier;
    int m_fd = -1;
    QTimer m_misc;     // keep-alive and retries of unacknowledged messages
    QTimer m_retry;    // next connect attempt
    QTimer m_connectTimeout;
    QList<Event> m_events;
    bool m_handling = false;

    bool m_running = false;
    bool m_connected = false;
    bool m_everConnected = false;
    bool m_failureSaid = false; // the lost or unreachable broker was logged
    int m_firstDelayMs = 1000;
    int m_largestDelayMs = 30000;
    int m_delayMs = 1000;
    int m_lookupId = -1;
};

} // namespace ledsign
