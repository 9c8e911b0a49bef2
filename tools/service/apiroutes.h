// The routes of the fleet API, each a thin handler over the FleetService:
// it reads the request, asks the service, and turns the result into JSON.
#pragma once

#include <QByteArray>

namespace ledsign {
class FleetService;
}

namespace ledsign::service {

class ApiRouter;
class EventStreams;

void addApiRoutes(ApiRouter& router, FleetService& fleet, EventStreams& streams);

// The OpenAPI description served at /api/openapi.json.
QByteArray openApiDocument();

} // namespace ledsign::service
