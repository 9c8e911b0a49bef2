// A small blocking client of a running ledsignd's HTTP API, for the commands
// that go through the service instead of holding the card server
// themselves.
#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QString>

namespace ledsign::cli {

struct ServiceReply {
    int status = 0;      // 0: no answer
    QByteArray body;
    QString transportError; // why there was no answer

    QJsonObject json() const;
    // The service's {"error": ...}, else what went wrong on the way.
    QString reason() const;
};

class ServiceClient {
public:
    // `api` is "http://host:port"; `token` empty when none is needed.
    ServiceClient(QString api, QByteArray token);

    ServiceReply get(const QString& path);
    ServiceReply put(const QString& path, const QByteArray& body, const QByteArray& contentType);
    ServiceReply post(const QString& path, const QByteArray& body = "{}");

    QString api() const { return m_api; }

private:
    ServiceReply call(const QByteArray& method, const QString& path, const QByteArray& body, const QByteArray& type);

    QString m_api;
    QByteArray m_token;
    QNetworkAccessManager m_net;
};

// "/api/cards/{name}{rest}" with the name percent-encoded.
QString cardPath(const QString& name, const QString& rest = {});

} // namespace ledsign::cli
