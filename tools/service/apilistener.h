// The API's listening socket. Accepted clients share one epoll set, as the
// cards do (see connectionpoller.h), and every byte they send passes a
// request gate before the HTTP server reads it: a refused request is
// answered here with its JSON error and the connection closes once the
// answer is out, while what the client still sends is read and dropped.
// At most kMaxClients connections are kept; more are answered 503. A
// connection on which nothing was read or written for kIdleMs is closed.
#pragma once

#include "requestgate.h"

#include "transport/cardconnection.h"
#include "transport/connectionpoller.h"

#include <QTcpServer>
#include <QTimer>

namespace ledsign::service {

class GatedConnection : public CardConnection {
    Q_OBJECT
public:
    // How long what a refused client still sends is read and dropped, so
    // that it can read the answer before the connection closes.
    static constexpr int kDrainMs = 2000;
    static constexpr int kIdleMs = 120000;

    GatedConnection(int fd, ConnectionPoller& poller, RequestGate::Limit limit, QObject* parent = nullptr);

    // Answers `status` with {"error": text} and closes after the drain.
    void refuse(int status, const QString& error);

protected:
    qint64 readData(char* data, qint64 maxlen) override;
    qint64 writeData(const char* data, qint64 len) override;

private:
    RequestGate m_gate;
    QTimer m_drain;
    QTimer m_idle;
    bool m_refused = false;
};

class ApiListener : public QTcpServer {
    Q_OBJECT
public:
    static constexpr int kMaxClients = 512;

    explicit ApiListener(RequestGate::Limit limit, QObject* parent = nullptr);

protected:
    void incomingConnection(qintptr fd) override;

private:
    ConnectionPoller m_poller;
    RequestGate::Limit m_limit;
    int m_clients = 0;
};

// The bytes of an HTTP answer with a JSON error body that closes the connection.
QByteArray jsonErrorAnswer(int status, const QString& error);

} // namespace ledsign::service
