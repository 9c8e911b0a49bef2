#include "transport/cardconnection.h"

#include <QHostAddress>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace ledsign {

namespace {

constexpr qsizetype kReadChunk = 16384;
// The most taken from one socket per ready event: a card that floods the
// program waits for the next turn of the loop like everybody else.
constexpr qsizetype kReadPerTurn = 16 * kReadChunk;

bool wouldBlock(int error) { return error == EAGAIN || error == EWOULDBLOCK; }

void addressOf(const sockaddr_storage& a, QHostAddress& address, quint16& port)
{
    address = QHostAddress(reinterpret_cast<const sockaddr*>(&a));
    port = 0;
    if (a.ss_family == AF_INET)
        port = ntohs(reinterpret_cast<const sockaddr_in*>(&a)->sin_port);
    else if (a.ss_family == AF_INET6)
        port = ntohs(reinterpret_cast<const sockaddr_in6*>(&a)->sin6_port);
}

} // namespace

CardConnection::CardConnection(int fd, ConnectionPoller& poller, QObject* parent)
    : QTcpSocket(parent)
    , m_fd(fd)
    , m_poller(&poller)
{
    if (m_fd >= 0 && fcntl(m_fd, F_SETFL, fcntl(m_fd, F_GETFL) | O_NONBLOCK) == 0)
        m_watch = poller.add(m_fd, this);
    if (m_watch == 0) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
        setSocketError(SocketResourceError);
        return;
    }
    sockaddr_storage a {};
    socklen_t length = sizeof a;
    QHostAddress address;
    quint16 port = 0;
    if (getpeername(m_fd, reinterpret_cast<sockaddr*>(&a), &length) == 0) {
        addressOf(a, address, port);
        setPeerAddress(address);
        setPeerPort(port);
    }
    length = sizeof a;
    if (getsockname(m_fd, reinterpret_cast<sockaddr*>(&a), &length) == 0) {
        addressOf(a, address, port);
        setLocalAddress(address);
        setLocalPort(port);
    }
    setSocketState(ConnectedState);
    QIODevice::open(QIODevice::ReadWrite | QIODevice::Unbuffered);
}

CardConnection::~CardConnection()
{
    if (m_fd >= 0) {
        if (m_poller)
            m_poller->remove(m_watch);
        ::close(m_fd);
        m_fd = -1;
    }
    // The base class would otherwise try to abort a socket it never had.
    setSocketState(UnconnectedState);
}

qint64 CardConnection::bytesAvailable() const
{
    return QIODevice::bytesAvailable() + (m_in.size() - m_inRead);
}

qint64 CardConnection::bytesToWrite() const { return m_out.size(); }

qint64 CardConnection::readData(char* data, qint64 maxlen)
{
    const qint64 n = std::min<qint64>(maxlen, m_in.size() - m_inRead);
    if (n <= 0)
        return state() == ConnectedState ? 0 : -1;
    std::memcpy(data, m_in.constData() + m_inRead, size_t(n));
    m_inRead += n;
    if (m_inRead == m_in.size()) {
        // An idle connection keeps no buffer.
        m_in = QByteArray();
        m_inRead = 0;
    }
    return n;
}

qint64 CardConnection::writeData(const char* data, qint64 len)
{
    if (m_fd < 0) {
        setErrorString(QStringLiteral("The connection is closed"));
        return -1;
    }
    qint64 done = 0;
    if (m_out.isEmpty()) {
        ssize_t n = -1;
        do {
            n = ::send(m_fd, data, size_t(len), MSG_NOSIGNAL);
        } while (n < 0 && errno == EINTR);
        if (n < 0 && !wouldBlock(errno)) {
            setErrorString(QString::fromLocal8Bit(std::strerror(errno)));
            // Reported on a later turn of the loop, as a socket reports it.
            QMetaObject::invokeMethod(
                this, [this] { shutDown(true, RemoteHostClosedError); }, Qt::QueuedConnection);
            return -1;
        }
        done = std::max<qint64>(0, n);
    }
    if (done < len) {
        m_out.append(data + done, len - done);
        if (m_poller)
            m_poller->setWantWrite(m_watch, true);
    }
    return len;
}

bool CardConnection::takeIncoming()
{
    char buffer[kReadChunk];
    qsizetype taken = 0;
    while (taken < kReadPerTurn) {
        const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, 0);
        if (n > 0) {
            m_in.append(buffer, n);
            taken += n;
            // A short read took everything there was.
            if (n < qsizetype(sizeof buffer))
                return true;
            continue;
        }
        if (n == 0)
            return false;
        if (errno == EINTR)
            continue;
        return wouldBlock(errno);
    }
    return true;
}

bool CardConnection::sendWaiting()
{
    qsizetype sent = 0;
    bool ok = true;
    while (sent < m_out.size()) {
        const ssize_t n = ::send(m_fd, m_out.constData() + sent, size_t(m_out.size() - sent), MSG_NOSIGNAL);
        if (n > 0) {
            sent += n;
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            ok = n < 0 && wouldBlock(errno);
            break;
        }
    }
    m_out.remove(0, sent);
    if (m_out.isEmpty() && m_poller)
        m_poller->setWantWrite(m_watch, false);
    return ok;
}

void CardConnection::socketReady(bool readable, bool writable, bool failed)
{
    QPointer<CardConnection> self(this);
    if (writable) {
        const qint64 before = m_out.size();
        if (!sendWaiting()) {
            shutDown(true, RemoteHostClosedError);
            return;
        }
        if (before > m_out.size())
            emit bytesWritten(before - m_out.size());
        if (!self || m_fd < 0)
            return;
    }
    if (!readable && !failed)
        return;
    const qsizetype before = m_in.size() - m_inRead;
    const bool open = takeIncoming();
    if (m_in.size() - m_inRead > before) {
        emit readyRead();
        if (!self)
            return;
    }
    if (!open && m_fd >= 0)
        shutDown(true, RemoteHostClosedError);
}

void CardConnection::shutDown(bool peerGone, SocketError error)
{
    if (m_fd < 0)
        return;
    QPointer<CardConnection> self(this);
    if (peerGone) {
        setSocketError(error);
        setErrorString(QStringLiteral("The remote host closed the connection"));
        emit errorOccurred(error);
        if (!self || m_fd < 0)
            return;
    } else {
        sendWaiting();
    }
    if (m_poller)
        m_poller->remove(m_watch);
    m_watch = 0;
    ::close(m_fd);
    m_fd = -1;
    m_out.clear();
    setSocketState(UnconnectedState);
    emit stateChanged(UnconnectedState);
    if (!self)
        return;
    if (peerGone) {
        emit readChannelFinished();
        if (!self)
            return;
    }
    emit disconnected();
}

void CardConnection::close()
{
    QPointer<CardConnection> self(this);
    m_in = QByteArray();
    m_inRead = 0;
    QIODevice::close();
    if (self)
        shutDown(false, UnknownSocketError);
}

void CardConnection::disconnectFromHost() { shutDown(false, UnknownSocketError); }

bool CardConnection::waitForReadyRead(int msecs)
{
    if (m_fd < 0)
        return false;
    pollfd p {m_fd, POLLIN, 0};
    if (::poll(&p, 1, msecs) <= 0)
        return false;
    const qint64 before = bytesAvailable();
    socketReady(true, false, (p.revents & (POLLERR | POLLHUP)) != 0);
    return bytesAvailable() > before;
}

bool CardConnection::waitForBytesWritten(int msecs)
{
    if (m_fd < 0 || m_out.isEmpty())
        return false;
    pollfd p {m_fd, POLLOUT, 0};
    if (::poll(&p, 1, msecs) <= 0)
        return false;
    socketReady(false, true, false);
    return true;
}

} // namespace ledsign
