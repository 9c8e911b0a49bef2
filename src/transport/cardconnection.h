// A card's connection as the rest of the program sees it: a QTcpSocket,
// connected from the start, whose socket is watched by the server's epoll set
// instead of by notifiers of its own. Reads are taken from the socket when it
// is ready and wait in the connection until read; writes go straight to the
// socket, and what it cannot take yet is sent when it has room.
#pragma once

#include "transport/connectionpoller.h"

#include <QByteArray>
#include <QPointer>
#include <QTcpSocket>

namespace ledsign {

class CardConnection : public QTcpSocket, private ConnectionPoller::Client {
    Q_OBJECT
public:
    // Takes over an accepted socket. When the poller cannot watch it, the
    // connection starts unconnected (and the socket is closed).
    CardConnection(int fd, ConnectionPoller& poller, QObject* parent = nullptr);
    ~CardConnection() override;

    qint64 bytesAvailable() const override;
    qint64 bytesToWrite() const override;
    qintptr socketDescriptor() const override { return m_fd; }
    // Closing from this side: what is waiting to be written gets one more
    // try, the socket closes, and disconnected() follows at once.
    void close() override;
    void disconnectFromHost() override;
    bool waitForReadyRead(int msecs = 30000) override;
    bool waitForBytesWritten(int msecs = 30000) override;

protected:
    qint64 readData(char* data, qint64 maxlen) override;
    qint64 writeData(const char* data, qint64 len) override;

private:
    void socketReady(bool readable, bool writable, bool failed) override;
    // Takes what the socket holds; false when the peer closed or the
    // socket failed.
    bool takeIncoming();
    // Writes what is waiting; false when the socket failed.
    bool sendWaiting();
    // The socket goes: by the peer, by an error, or from this side.
    void shutDown(bool peerGone, SocketError error);

    int m_fd = -1;
    quint64 m_watch = 0;
    QPointer<ConnectionPoller> m_poller;
    QByteArray m_in;
    qsizetype m_inRead = 0; // bytes of m_in already read
    QByteArray m_out;
};

} // namespace ledsign
