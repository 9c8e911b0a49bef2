// The fleet page at "/": its files and "texts.json" (the page's texts in the
// service's language) for GET requests outside /api/. They are public: the
// page must load to ask for the token, and holds nothing of the fleet.
#pragma once

#include "apirouter.h"

#include <QByteArray>
#include <QString>

namespace ledsign {
class WebFiles;
}

namespace ledsign::service {

// Whether a request path belongs to the page rather than to the API.
bool isPagePath(const QString& path);
ApiAnswer fleetPageAnswer(const WebFiles& files, const QByteArray& method, const QString& path);

} // namespace ledsign::service
