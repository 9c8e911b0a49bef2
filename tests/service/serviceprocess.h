// The real ledsignd as a child process for the service tests, on its own
// data folder with the card port and the API on free loopback ports, and a
// small blocking HTTP client for talking to it. The process is always ended
// when the object goes.
#pragma once

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QPair>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <functional>

namespace ledsign::test {

struct HttpReply {
    int status = 0; // 0: no answer
    QByteArray body;
    QList<QPair<QByteArray, QByteArray>> headers;
    QJsonObject json() const { return QJsonDocument::fromJson(body).object(); }
    QString error() const { return json().value(QStringLiteral("error")).toString(); }
};

using HttpHeaders = QList<QPair<QByteArray, QByteArray>>;
HttpReply http(const QByteArray& method, const QString& url, const QByteArray& body = {},
               const HttpHeaders& headers = {}, int timeoutMs = 15000);

// Runs the event loop until `done` holds; false when the time ran out.
bool waitUntil(const std::function<bool()>& done, int timeoutMs);

// A playbill of one page with one region of W x H holding the single-line
// text material "title" that shows `text` in red, written out as a file
// would hold it.
QByteArray titlePlaybill(const QString& text, int width, int height);

class ServiceProcess {
public:
    ServiceProcess() = default;
    ~ServiceProcess();
    ServiceProcess(const ServiceProcess&) = delete;
    ServiceProcess& operator=(const ServiceProcess&) = delete;

    static QString program();
    // Starts ledsignd on `home` (--card-port 0 and --listen 127.0.0.1:0
    // unless `arguments` name them) and waits until it serves.
    bool start(const QString& home, const QStringList& arguments = {});
    // Starts it expecting it not to serve; its exit status.
    int runToExit(const QStringList& arguments, int timeoutMs = 15000);

    QString api() const { return m_api; }
    quint16 cardPort() const { return m_cardPort; }
    qint64 pid() const { return m_process.processId(); }
    QString output();
    bool waitForOutput(const QString& text, int timeoutMs = 10000);

    HttpReply get(const QString& path, const HttpHeaders& headers = {}) { return http("GET", m_api + path, {}, headers); }
    HttpReply put(const QString& path, const QByteArray& body) { return http("PUT", m_api + path, body); }
    HttpReply post(const QString& path, const QByteArray& body = {}) { return http("POST", m_api + path, body); }

    // The card of that name is on-line in GET /api/cards/{name}.
    bool waitForOnline(const QString& card, bool online = true, int timeoutMs = 15000);
    // Polls the job until it ends; the last answer.
    QJsonObject waitForJob(const QString& id, int timeoutMs = 30000);

    // SIGTERM, then the exit status (-1 when it did not end in time).
    int terminate(int timeoutMs = 15000);
    void kill();
    // SIGHUP: the card list is read again.
    void hangUp();

private:
    QProcess m_process;
    QByteArray m_output;
    QString m_api;
    quint16 m_cardPort = 0;
};

} // namespace ledsign::test
