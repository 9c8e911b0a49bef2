#include "transport/addressprobe.h"

#include <QElapsedTimer>
#include <QHostAddress>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/ip_icmp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace ledsign {

namespace {

bool parseAddress(const QString& text, sockaddr_in& out)
{
    std::memset(&out, 0, sizeof out);
    out.sin_family = AF_INET;
    const QByteArray latin = text.trimmed().toLatin1();
    if (latin.isEmpty() || inet_pton(AF_INET, latin.constData(), &out.sin_addr) != 1)
        return false;
    return out.sin_addr.s_addr != 0;
}

int remaining(const QElapsedTimer& clock, int timeoutMs)
{
    return std::max(0, timeoutMs - int(clock.elapsed()));
}

} // namespace

int icmpEchoAnswers(const QString& address, int timeoutMs)
{
    sockaddr_in to{};
    if (!parseAddress(address, to))
        return 0;
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_ICMP);
    if (fd < 0)
        return -1;

    // The kernel fills in the identifier and the checksum of an echo sent
    // over this kind of socket.
    icmphdr echo{};
    echo.type = ICMP_ECHO;
    echo.un.echo.sequence = htons(1);
    char packet[sizeof echo + 16] = {};
    std::memcpy(packet, &echo, sizeof echo);
    std::memcpy(packet + sizeof echo, "ledsign-probe...", 16);

    int result = 0;
    if (::sendto(fd, packet, sizeof packet, 0, reinterpret_cast<sockaddr*>(&to), sizeof to) < 0) {
        ::close(fd);
        return 0;
    }
    QElapsedTimer clock;
    clock.start();
    while (true) {
        pollfd p{fd, POLLIN, 0};
        const int wait = remaining(clock, timeoutMs);
        if (wait <= 0 || ::poll(&p, 1, wait) <= 0)
            break;
        char reply[512];
        sockaddr_in from{};
        socklen_t fromLength = sizeof from;
        const ssize_t n = ::recvfrom(fd, reply, sizeof reply, 0, reinterpret_cast<sockaddr*>(&from), &fromLength);
        if (n < ssize_t(sizeof(icmphdr)))
            continue;
        icmphdr answer{};
        std::memcpy(&answer, reply, sizeof answer);
        if (answer.type == ICMP_ECHOREPLY && from.sin_addr.s_addr != 0) {
            result = 1;
            break;
        }
    }
    ::close(fd);
    return result;
}

bool tcpConnectAnswers(const QString& address, int timeoutMs, quint16 port)
{
    sockaddr_in to{};
    if (!parseAddress(address, to))
        return false;
    to.sin_port = htons(port);
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    bool answered = false;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0) {
        answered = true;
    } else if (errno == ECONNREFUSED) {
        answered = true;
    } else if (errno == EINPROGRESS) {
        pollfd p{fd, POLLOUT, 0};
        if (::poll(&p, 1, std::max(0, timeoutMs)) > 0) {
            int error = 0;
            socklen_t length = sizeof error;
            ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length);
            // A refusal comes from the host itself; unreachable does not.
            answered = error == 0 || error == ECONNREFUSED;
        }
    }
    ::close(fd);
    return answered;
}

bool addressAnswers(const QString& address, int timeoutMs)
{
    const int icmp = icmpEchoAnswers(address, timeoutMs);
    if (icmp >= 0)
        return icmp == 1;
    return tcpConnectAnswers(address, timeoutMs);
}

} // namespace ledsign
