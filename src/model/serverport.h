// The channel mode as stored in the settings and the choice of the TCP
// server's port at start-up: the first port, counting up from the stored
// one, that no other program holds.
#pragma once

#include <QString>

#include <functional>

namespace ledsign {

struct AppSettings;

// Mode texts of the current language ("comm_param_network",
// "comm_param_network_ex", "comm_param_serial_port").
struct CommModeTexts {
    QString network;
    QString networkEx;
    QString serial;
};

inline constexpr char kRs485ModeText[] = "485";

enum class CommModeKind { Network, Serial, Rs485 };

// The mode re-derived from the stored values, at start-up and whenever the
// language changes: no serial port name means network; otherwise "485"
// stays, anything else is serial.
QString deriveCommMode(const QString& mode, const QString& commParam01, const CommModeTexts& texts);
// The server side of network mode and an empty mode both mean network.
QString serverModeText(const QString& mode, const CommModeTexts& texts);
CommModeKind commModeKind(const QString& mode, const CommModeTexts& texts);

enum class BindResult { Bound, InUse, Failed };
using PortBinder = std::function<BindResult(int port)>;

// Binds a TCP listener on all local addresses for a moment.
BindResult tryBindTcpPort(int port);

// The first port from `first` whose bind is not refused as in use. Any other
// failure ends the search at that port (the server reports it when it
// listens). When every port up to 65535 is in use, `first` is returned.
int findFreePort(int first, const PortBinder& bind = tryBindTcpPort);

// A stored port text: a whole number 1..65535, otherwise 8900.
int portFromText(const QString& text);

// Start-up choice of the server port. An empty mode or the server side of
// network mode becomes the network text. In network mode the search starts
// at "CommParam02" (empty or not a port: 8900) and the port found is written
// back into it; in the serial modes the search starts at 8900 and the port is
// kept for a later switch to network. Returns the port, also in serverPort.
int chooseServerPort(AppSettings& settings, const CommModeTexts& texts,
                     const PortBinder& bind = tryBindTcpPort);

} // namespace ledsign
