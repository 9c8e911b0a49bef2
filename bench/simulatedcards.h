// Simulated cards for the fleet benchmarks: plain sockets on one epoll set,
// each card answering the identity query with its report, so that thousands
// of them cost the benchmark next to nothing.
#pragma once

#include "protocol/frame.h"

#include <QByteArray>

#include <sys/epoll.h>
#include <sys/socket.h>

#include <cerrno>
#include <vector>

namespace ledsign::bench {

struct SimCard {
    int fd = -1;
    bool connected = false;
    QByteArray report;
    QByteArray heartbeat;
};

inline bool sendAll(int fd, const QByteArray& bytes)
{
    return ::send(fd, bytes.constData(), size_t(bytes.size()), MSG_NOSIGNAL) == bytes.size();
}

// One round over the epoll set: a finished connect counts down
// `connecting`, a card whose connection failed or ended goes to `lose`, and
// every identity query gets the card's report.
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

} // namespace ledsign::bench
