#include "fleetmqtt.h"

#include "service/fleetservice.h"

#include <QJsonArray>

namespace ledsign::service {

FleetMqtt::FleetMqtt(FleetService& fleet, const MqttSettings& settings, QObject* parent)
    : QObject(parent), m_fleet(fleet), m_settings(settings), m_bridge(*this, settings.prefix)
{
    connect(&fleet.events(), &FleetEvents::published, this, &FleetMqtt::eventHappened);
}

void FleetMqtt::start()
{
    qCInfo(lcMqtt).noquote() << QStringLiteral("MQTT bridge to %1:%2 under %3")
                                    .arg(m_settings.endpoint.host)
                                    .arg(m_settings.endpoint.port)
                                    .arg(m_settings.prefix);
    m_bridge.start(m_settings.endpoint);
}

void FleetMqtt::stop() { m_bridge.stop(); }

QStringList FleetMqtt::cardNames() const
{
    QStringList names;
    for (const CardStatus& card : m_fleet.cards())
        names << card.name;
    return names;
}

QJsonObject FleetMqtt::cardState(const QString& card) const
{
    const std::optional<CardStatus> status = m_fleet.card(card);
    return status ? toJson(*status) : QJsonObject();
}

QStringList FleetMqtt::textMaterials(const QString& card) const
{
    CardTextMaterials texts;
    m_fleet.textMaterials(card, &texts);
    QStringList names;
    for (const TextMaterial& t : texts.texts) {
        if (!names.contains(t.name)) // the fleet refuses a name two materials share
            names << t.name;
    }
    return names;
}

MqttFleet::Answer FleetMqtt::setText(const QString& card, const QString& material, const QString& text)
{
    TextChange change;
    change.text = text;
    QString jobId;
    const Outcome done = m_fleet.setText(card, material, change, &jobId);
    return {jobId, done ? QString() : done.message};
}

MqttFleet::Answer FleetMqtt::send(const QString& card)
{
    QString jobId;
    const Outcome done = m_fleet.sendCard(card, &jobId);
    return {jobId, done ? QString() : done.message};
}

void FleetMqtt::eventHappened(const FleetEvent& event)
{
    const QString name = event.data.value(QLatin1String("name")).toString();
    if (event.type == QLatin1String("job-end")) {
        m_bridge.jobEnded(event.data.value(QLatin1String("id")).toString(), event.data);
        for (const QJsonValue& card : event.data.value(QLatin1String("cards")).toArray())
            m_bridge.cardChanged(card[QLatin1String("name")].toString());
    } else if (event.type == QLatin1String("cards") || event.type == QLatin1String("playbill") ||
               (event.type == QLatin1String("registered") && event.data.value(QLatin1String("new")).toBool())) {
        m_bridge.cardsChanged();
        if (!name.isEmpty())
            m_bridge.cardChanged(name);
    } else if (!name.isEmpty()) {
        m_bridge.cardChanged(name);
    }
}

} // namespace ledsign::service
