#include "service/fleetevents.h"

namespace ledsign {

void FleetEvents::publish(const QString& type, const QJsonObject& data)
{
    emit published(FleetEvent{++m_lastId, type, data});
}

} // namespace ledsign
