#include "transport/connectionpoller.h"

#include <QSocketNotifier>

#include <sys/epoll.h>
#include <unistd.h>

#include <array>

namespace ledsign {

namespace {
// Ready sockets handled per turn of the loop; more wait for the next turn,
// so that timers and the window keep their share.
constexpr int kBatch = 256;

epoll_event eventFor(quint64 id, bool write)
{
    epoll_event e {};
    e.events = EPOLLIN | EPOLLRDHUP | (write ? EPOLLOUT : 0u);
    e.data.u64 = id;
    return e;
}
} // namespace

ConnectionPoller::ConnectionPoller(QObject* parent)
    : QObject(parent)
    , m_epoll(epoll_create1(EPOLL_CLOEXEC))
{
    if (m_epoll < 0)
        return;
    m_notifier = new QSocketNotifier(m_epoll, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &ConnectionPoller::onReady);
}

ConnectionPoller::~ConnectionPoller()
{
    delete m_notifier;
    if (m_epoll >= 0)
        ::close(m_epoll);
}

quint64 ConnectionPoller::add(int fd, Client* client)
{
    if (m_epoll < 0 || fd < 0 || !client)
        return 0;
    const quint64 id = m_nextId++;
    epoll_event e = eventFor(id, false);
    if (epoll_ctl(m_epoll, EPOLL_CTL_ADD, fd, &e) != 0)
        return 0;
    m_watches.insert(id, Watch {fd, client, false});
    return id;
}

void ConnectionPoller::setWantWrite(quint64 id, bool wanted)
{
    const auto it = m_watches.find(id);
    if (it == m_watches.end() || it->write == wanted)
        return;
    epoll_event e = eventFor(id, wanted);
    if (epoll_ctl(m_epoll, EPOLL_CTL_MOD, it->fd, &e) == 0)
        it->write = wanted;
}

void ConnectionPoller::remove(quint64 id)
{
    const auto it = m_watches.find(id);
    if (it == m_watches.end())
        return;
    epoll_ctl(m_epoll, EPOLL_CTL_DEL, it->fd, nullptr);
    m_watches.erase(it);
}

void ConnectionPoller::onReady()
{
    std::array<epoll_event, kBatch> events;
    const int n = epoll_wait(m_epoll, events.data(), kBatch, 0);
    for (int i = 0; i < n; ++i) {
        // A client handled before may have closed another one in between.
        const auto it = m_watches.constFind(events[size_t(i)].data.u64);
        if (it == m_watches.constEnd())
            continue;
        const quint32 what = events[size_t(i)].events;
        Client* client = it->client;
        client->socketReady((what & (EPOLLIN | EPOLLRDHUP)) != 0, (what & EPOLLOUT) != 0,
                                (what & (EPOLLERR | EPOLLHUP)) != 0);
    }
}

} // namespace ledsign
