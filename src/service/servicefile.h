// "ledsignd.json" in the data folder while the service runs there: its
// process, the address of its API and its token file, so that the command
// line finds the service that holds the folder and goes through it instead
// of trying to take the card port itself. Only a file whose process holds
// the folder's lock counts: one left behind by a killed service does not.
#pragma once

#include "model/datafolder.h"

#include <QString>

#include <optional>

namespace ledsign {

inline constexpr char kServiceFileName[] = "ledsignd.json";

struct ServiceAddress {
    qint64 pid = 0;
    QString api;       // "http://127.0.0.1:8901"
    QString tokenFile; // empty: no token is needed
    quint16 cardPort = 0;
};

bool writeServiceFile(const DataFolder& folders, const ServiceAddress& address, QString* error = nullptr);
void removeServiceFile(const DataFolder& folders);
std::optional<ServiceAddress> runningService(const DataFolder& folders);

} // namespace ledsign
