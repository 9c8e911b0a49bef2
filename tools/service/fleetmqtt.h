// The service's fleet on MQTT: answers the bridge from the FleetService
// (card states as the API gives them, text materials, texts set and sends
// as jobs) and hands it what the service's events say.
#pragma once

#include "mqtt/mqttbridge.h"
#include "mqtt/mqttoptions.h"

#include <QObject>

namespace ledsign {
class FleetService;
struct FleetEvent;
}

namespace ledsign::service {

class FleetMqtt : public QObject, public MqttFleet {
    Q_OBJECT
public:
    FleetMqtt(FleetService& fleet, const MqttSettings& settings, QObject* parent = nullptr);

    void start();
    void stop();
    MqttBridge& bridge() { return m_bridge; }

    QStringList cardNames() const override;
    QJsonObject cardState(const QString& card) const override;
    QStringList textMaterials(const QString& card) const override;
    Answer setText(const QString& card, const QString& material, const QString& text) override;
    Answer send(const QString& card) override;

private:
    void eventHappened(const FleetEvent& event);

    FleetService& m_fleet;
    MqttSettings m_settings;
    MqttBridge m_bridge;
};

} // namespace ledsign::service
