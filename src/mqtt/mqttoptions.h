// The service's MQTT options read into a broker endpoint and a topic prefix:
// --mqtt HOST:PORT ([v6 address]:PORT), --mqtt-prefix (one or more topic
// levels, no wildcards), --mqtt-user and --mqtt-password-file (the password
// is the file's first line, so that it never shows in the process list).
#pragma once

#include "mqtt/mqttclient.h"

#include <QString>

namespace ledsign {

inline constexpr const char* kDefaultMqttPrefix = "ledsign";

struct MqttOptions {
    QString address;      // HOST:PORT
    QString prefix = QString::fromLatin1(kDefaultMqttPrefix);
    QString user;
    QString passwordFile;
};

struct MqttSettings {
    MqttEndpoint endpoint;
    QString prefix;
};

// False with the reason in `error` when an option cannot be used.
bool readMqttOptions(const MqttOptions& options, MqttSettings* settings, QString* error);

} // namespace ledsign
