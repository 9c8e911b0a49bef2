#include "serviceclient.h"

#include <QEventLoop>
#include <QJsonDocument>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

namespace ledsign::cli {

namespace {

// A service on this machine answers at once; this only bounds one that hangs.
constexpr int kRequestTimeoutMs = 20000;

} // namespace

QJsonObject ServiceReply::json() const
{
    return QJsonDocument::fromJson(body).object();
}

QString ServiceReply::reason() const
{
    if (status == 0)
        return transportError;
    const QString error = json().value(QStringLiteral("error")).toString();
    return error.isEmpty() ? QStringLiteral("HTTP status %1").arg(status) : error;
}

ServiceClient::ServiceClient(QString api, QByteArray token)
    : m_api(std::move(api))
    , m_token(std::move(token))
{
    // The service is local; a proxy from the environment must not get in between.
    m_net.setProxy(QNetworkProxy::NoProxy);
}

ServiceReply ServiceClient::get(const QString& path)
{
    return call("GET", path, {}, {});
}

ServiceReply ServiceClient::put(const QString& path, const QByteArray& body, const QByteArray& contentType)
{
    return call("PUT", path, body, contentType);
}

ServiceReply ServiceClient::post(const QString& path, const QByteArray& body)
{
    return call("POST", path, body, "application/json");
}

ServiceReply ServiceClient::call(const QByteArray& method, const QString& path, const QByteArray& body,
                                 const QByteArray& type)
{
    QNetworkRequest request(QUrl(m_api + path));
    request.setTransferTimeout(kRequestTimeoutMs);
    if (!type.isEmpty())
        request.setHeader(QNetworkRequest::ContentTypeHeader, type);
    if (!m_token.isEmpty())
        request.setRawHeader("Authorization", "Bearer " + m_token);
    QNetworkReply* reply = m_net.sendCustomRequest(request, method, body);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec();
    ServiceReply out;
    out.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    out.body = reply->readAll();
    if (out.status == 0)
        out.transportError = reply->errorString();
    reply->deleteLater();
    return out;
}

QString cardPath(const QString& name, const QString& rest)
{
    return QStringLiteral("/api/cards/") + QString::fromLatin1(QUrl::toPercentEncoding(name)) + rest;
}

} // namespace ledsign::cli
