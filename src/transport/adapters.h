// The PC's network adapters and addresses: the adapter list the chooser
// shows, the subnet mask of the server address, the host's own address, and
// the choice of the server address at start-up.
#pragma once

#include "transport/datagram.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace ledsign {

inline constexpr char kNoAddress[] = "127.0.0.1";

// One address of one adapter.
struct TAdapterInfo {
    int id = 0;             // running number from 1
    QString description;
    QString ipAddress;
    QString macAddress;     // "00-1A-2B-3C-4D-5E"
    QString subnetMask;     // dotted
};

// Every IPv4 address of the adapters that are up, loopback left out, and
// addresses 0.0.0.0 and empty ones too.
QList<TAdapterInfo> ListAdapters();

// The mask of the adapter address equal to the server IP, 255.255.255.0 when
// none matches or the mask is not a dotted address.
datagram::Ipv4 ReadSubnetMask(const QString& serverIp, const QList<TAdapterInfo>& adapters);
datagram::Ipv4 ReadSubnetMask(const QString& serverIp);

// The last IPv4 address the host's name resolves to, loopback addresses
// skipped; failing that, the last adapter address; failing that "127.0.0.1",
// the text that stands for no usable address.
QString LastHostAddress();

// The server IP at start-up. `choose` shows the chooser and returns the
// chosen address and whether not to show it again (nothing when the chooser
// was not answered). `lastHost` gives LastHostAddress; `pause` waits between
// the retries while the address is still "127.0.0.1".
struct StartupChoice {
    QString serverIp;
    bool isShowMulNetCard = true;
};
struct AdapterChoice {
    QString ipAddress;
    bool notShowAgain = false;
};
StartupChoice chooseServerIpAtStartup(const QList<TAdapterInfo>& adapters, const QString& storedServerIp,
                                      bool isShowMulNetCard,
                                      const std::function<std::optional<AdapterChoice>()>& choose,
                                      const std::function<QString()>& lastHost,
                                      const std::function<void(int ms)>& pause);

inline constexpr int kAddressRetries = 9;
inline constexpr int kAddressRetryMs = 500;

// The row of the chooser to preselect: the entry whose trimmed IP equals the
// trimmed server IP, or -1.
int adapterIndexOf(const QList<TAdapterInfo>& adapters, const QString& serverIp);

} // namespace ledsign
