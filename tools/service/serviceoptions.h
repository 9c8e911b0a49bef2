// ledsignd's command line: the data folder, the card channel (the card port,
// or a serial line with its baud rate and RS-485), the HTTP API's address
// the token file and the MQTT bridge. Only loopback is served without a
// token.
#pragma once

#include "mqtt/mqttoptions.h"
#include "service/fleetservice.h"

#include <QHostAddress>
#include <QString>
#include <QStringList>

#include <optional>

namespace ledsign::service {

inline constexpr quint16 kDefaultApiPort = 8901;

struct ServiceOptions {
    FleetService::Options fleet;
    QHostAddress listenAddress = QHostAddress::LocalHost;
    quint16 listenPort = kDefaultApiPort;
    QString tokenFile;
    std::optional<MqttOptions> mqtt; // set: the MQTT bridge runs
};

enum class ParseResult { Run, Answered, Refused };

// Reads the arguments (argv[0] first). Answered: --help or --version was
// printed to `out`. Refused: `message` says why.
ParseResult parseServiceOptions(const QStringList& arguments, ServiceOptions& options, QString& out, QString& message);

// "ADDR:PORT" with an IPv4 or bracketed IPv6 address; false when it is not one.
bool parseListenAddress(const QString& text, QHostAddress& address, quint16& port);

// The data folder when --home is not given: LEDSIGN_HOME, then the state
// directory systemd hands the service, then the user's data folder.
DataFolder serviceDataFolder(const QStringList& arguments);

} // namespace ledsign::service
