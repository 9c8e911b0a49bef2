// Simulated cards for the fleet benchmarks: plain sockets on one epoll set,
// each card answering the identity query with its report, so that thousands
// of them cost the benchmark next to nothing.
#pragma once

#include "model/codec.h"
#include "protocol/cardreport.h"
#include "protocol/frame.h"
#include "transport/filelimit.h"

#include <QByteArray>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace ledsign::bench {

struct SimCard {
    int fd = -1;
    bool connected = false;
    QByteArray report;
    QByteArray heartbeat;
};

// The internal code of simulated card `n`: 7_7_7_7_0 and the number in three bytes.
inline convert::InternalCode simulatedCardCode(int n)
{
    return {7, 7, 7, 7, 0, quint8(n >> 16), quint8(n >> 8), quint8(n)};
}

inline qint64 monotonicUs()
{
    timespec t {};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return qint64(t.tv_sec) * 1000000 + t.tv_nsec / 1000;
}

inline bool sendAll(int fd, const QByteArray& bytes)
{
    return ::send(fd, bytes.constData(), size_t(bytes.size()), MSG_NOSIGNAL) == bytes.size();
}

// One round over the epoll set: a finished connect counts down
// `connecting`, a card whose connection failed or ended goes to `lose`, and
// every identity query gets the card's report.
namespace detail {

template <typename Lose>
void pollSimulatedCards(int ep, std::vector<SimCard>& cards, std::vector<epoll_event>& events, int timeoutMs,
                        int& connecting, Lose&& lose)
{
    char buffer[4096];
    const int n = epoll_wait(ep, events.data(), int(events.size()), timeoutMs);
    for (int k = 0; k < n; ++k) {
        const int i = int(events[size_t(k)].data.u32);
        SimCard& card = cards[size_t(i)];
        const quint32 what = events[size_t(k)].events;
        if (card.fd < 0)
            continue;
        if (what & (EPOLLERR | EPOLLHUP)) {
            lose(i);
            continue;
        }
        if (!card.connected && (what & EPOLLOUT)) {
            card.connected = true;
            --connecting;
            epoll_event e {};
            e.events = EPOLLIN;
            e.data.u32 = quint32(i);
            epoll_ctl(ep, EPOLL_CTL_MOD, card.fd, &e);
        }
        if (what & EPOLLIN) {
            const ssize_t got = ::recv(card.fd, buffer, sizeof buffer, 0);
            if (got == 0 || (got < 0 && errno != EAGAIN)) {
                lose(i);
                continue;
            }
            const QByteArray in = QByteArray::fromRawData(buffer, got > 0 ? qsizetype(got) : 0);
            // Every identity query gets the report; the time frame needs nothing.
            if (in.size() > 12 && frame::startsWithMarker(in) && frame::command(in) == frame::cmd::kIdentityQuery)
                sendAll(card.fd, card.report);
        }
    }
}

} // namespace detail

// `count` cards on 127.0.0.1:`port`: each connects (at most 256 connects at
// once, again after a lost connection), answers every identity query with its
// report and sends a heartbeat once a period, the fleet's heartbeats spread
// evenly over the period. Ends after `lifetimeSeconds` or when the parent is gone.
inline int runSimulatedCards(int count, quint16 port, int periodMs, int lifetimeSeconds)
{
    // A burst of connects larger than the listen queue would be dropped by
    // the system and retried seconds later.
    constexpr int kConnectsAtOnce = 256;
    raiseOpenFileLimit();
    std::vector<SimCard> cards(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        CardReportContent c;
        c.internalCode = simulatedCardCode(i);
        c.cardType = QStringLiteral("SIM");
        cards[size_t(i)].report = buildCardReport(c, quint32(i));
        c.command = frame::reply::kHeartbeat;
        cards[size_t(i)].heartbeat = buildCardReport(c, quint32(i));
    }
    const int ep = epoll_create1(EPOLL_CLOEXEC);
    sockaddr_in server {};
    server.sin_family = AF_INET;
    server.sin_port = htons(port);
    server.sin_addr.s_addr = htonl(INADDR_LOOPBACK);

    std::vector<int> waiting; // cards to (re)connect
    for (int i = count - 1; i >= 0; --i)
        waiting.push_back(i);
    int connecting = 0;
    auto startConnect = [&](int i) {
        SimCard& card = cards[size_t(i)];
        card.fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (card.fd < 0)
            return false;
        if (::connect(card.fd, reinterpret_cast<sockaddr*>(&server), sizeof server) != 0 && errno != EINPROGRESS) {
            ::close(card.fd);
            card.fd = -1;
            return false;
        }
        epoll_event e {};
        e.events = EPOLLOUT | EPOLLIN;
        e.data.u32 = quint32(i);
        epoll_ctl(ep, EPOLL_CTL_ADD, card.fd, &e);
        ++connecting;
        return true;
    };
    auto lose = [&](int i) {
        SimCard& card = cards[size_t(i)];
        if (card.fd >= 0)
            ::close(card.fd);
        if (!card.connected)
            --connecting;
        card.fd = -1;
        card.connected = false;
        waiting.push_back(i);
    };

    const qint64 start = monotonicUs();
    const qint64 lifetimeUs = qint64(lifetimeSeconds) * 1000000;
    const qint64 periodUs = qint64(periodMs) * 1000;
    qint64 beats = 0;
    std::vector<epoll_event> events(512);
    while (monotonicUs() - start < lifetimeUs && getppid() != 1) {
        while (!waiting.empty() && connecting < kConnectsAtOnce) {
            const int i = waiting.back();
            waiting.pop_back();
            if (!startConnect(i)) {
                waiting.push_back(i);
                break;
            }
        }
        detail::pollSimulatedCards(ep, cards, events, 2, connecting, lose);
        // The heartbeats that are due by now, one card after another.
        const qint64 due = (monotonicUs() - start) * count / std::max<qint64>(periodUs, 1);
        for (; beats < due; ++beats) {
            SimCard& card = cards[size_t(beats % count)];
            if (card.connected)
                sendAll(card.fd, card.heartbeat);
        }
    }
    return 0;
}

} // namespace ledsign::bench
