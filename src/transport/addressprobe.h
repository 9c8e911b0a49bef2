// Whether something answers on an IPv4 address: one ICMP echo over an
// unprivileged datagram socket, with a TCP connect as the fallback where the
// system does not allow such sockets (a refused connection also answers).
// Either way the caller waits at most the given time.
#pragma once

#include <QString>

namespace ledsign {

inline constexpr int kAddressProbeTimeoutMs = 300;

// False for a text that is not a dotted IPv4 address, for 0.0.0.0 and when
// nothing answers in time.
bool addressAnswers(const QString& address, int timeoutMs = kAddressProbeTimeoutMs);

// The two ways, for callers and tests that want one of them. The ICMP probe
// returns -1 when the system refuses the socket, else 0 or 1.
int icmpEchoAnswers(const QString& address, int timeoutMs);
bool tcpConnectAnswers(const QString& address, int timeoutMs, quint16 port = 80);

} // namespace ledsign
