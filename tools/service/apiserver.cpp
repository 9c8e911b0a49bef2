#include "apiserver.h"

#include "apilistener.h"
#include "bearertoken.h"
#include "fleetpage.h"

#include "model/logline.h"
#include "service/outcome.h"
#include "service/servicelog.h"

#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QJsonObject>

namespace ledsign::service {

QByteArray methodName(const QHttpServerRequest& request)
{
    switch (request.method()) {
    case QHttpServerRequest::Method::Get: return "GET";
    case QHttpServerRequest::Method::Put: return "PUT";
    case QHttpServerRequest::Method::Post: return "POST";
    case QHttpServerRequest::Method::Delete: return "DELETE";
    case QHttpServerRequest::Method::Head: return "HEAD";
    case QHttpServerRequest::Method::Options: return "OPTIONS";
    case QHttpServerRequest::Method::Patch: return "PATCH";
    default: return "OTHER";
    }
}

QByteArray headerValue(const QHttpServerRequest& request, const QByteArray& name)
{
    for (const auto& [key, value] : request.headers()) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

void writeAnswer(QHttpServerResponder& responder, const ApiAnswer& answer)
{
    responder.writeStatusLine(QHttpServerResponder::StatusCode(answer.status));
    responder.writeHeader("Content-Type", answer.contentType);
    responder.writeHeader("Content-Length", QByteArray::number(answer.body.size()));
    responder.writeHeader("Cache-Control", "no-store");
    responder.writeBody(answer.body);
}

ApiAnswer jsonAnswer(const QJsonDocument& document, int status)
{
    return ApiAnswer{status, document.toJson(QJsonDocument::Compact), "application/json"};
}

ApiAnswer errorAnswer(int status, const QString& error)
{
    return jsonAnswer(QJsonDocument(QJsonObject{{QStringLiteral("error"), error}}), status);
}

ApiAnswer refusalAnswer(const Outcome& outcome)
{
    switch (outcome.refusal) {
    case Refusal::BadInput: return errorAnswer(400, outcome.message);
    case Refusal::NotFound: return errorAnswer(404, outcome.message);
    case Refusal::Conflict: return errorAnswer(409, outcome.message);
    case Refusal::Unavailable: return errorAnswer(503, outcome.message);
    case Refusal::None: break;
    }
    return errorAnswer(503, QStringLiteral("the request was neither done nor refused"));
}

ApiServer::ApiServer(const QByteArray& token, QObject* parent)
    : QAbstractHttpServer(parent)
    , m_token(token)
{
}

bool ApiServer::listenOn(const QHostAddress& address, quint16 port, QString& error)
{
    m_listener = new ApiListener([this](QByteArrayView method, QByteArrayView target) {
        return m_router.bodyLimit(method.toByteArray(), target.toByteArray());
    }, this);
    if (!m_listener->listen(address, port)) {
        error = QStringLiteral("cannot listen on %1 port %2: %3").arg(address.toString()).arg(port).arg(m_listener->errorString());
        return false;
    }
    bind(m_listener);
    return true;
}

quint16 ApiServer::port() const
{
    return m_listener ? m_listener->serverPort() : 0;
}

bool ApiServer::authorised(const QHttpServerRequest& request) const
{
    return m_token.isEmpty() || bearerMatches(headerValue(request, "Authorization"), m_token);
}

bool ApiServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket)
{
    QHttpServerResponder responder = makeResponder(request, socket);
    if (m_page && isPagePath(request.url().path())) {
        writeAnswer(responder, fleetPageAnswer(*m_page, methodName(request), request.url().path()));
        return true;
    }
    if (!authorised(request)) {
        responder.writeStatusLine(QHttpServerResponder::StatusCode::Unauthorized);
        responder.writeHeader("WWW-Authenticate", "Bearer");
        const ApiAnswer answer = errorAnswer(401, QStringLiteral("this service needs \"Authorization: Bearer\" with its token"));
        responder.writeHeader("Content-Type", answer.contentType);
        responder.writeHeader("Content-Length", QByteArray::number(answer.body.size()));
        responder.writeBody(answer.body);
        return true;
    }
    const QByteArray method = methodName(request);
    const ApiRouter::Match match = m_router.match(method, request.url().path(QUrl::FullyEncoded).toUtf8());
    if (!match.route) {
        const QString path = request.url().path();
        writeAnswer(responder, match.methodsOfPath.isEmpty()
                                   ? errorAnswer(404, QStringLiteral("nothing is served at %1").arg(path))
                                   : errorAnswer(404, QStringLiteral("%1 is not served at %2 (%3 is)")
                                                          .arg(QString::fromLatin1(method), path,
                                                               match.methodsOfPath.join(QStringLiteral(", ")))));
        return true;
    }
    const ApiCall call{request, match.params};
    if (match.route->stream) {
        match.route->stream(call, std::move(responder));
        return true;
    }
    const ApiAnswer answer = match.route->handler(call);
    // A refused request is one line of the log: the path as it came (still
    // percent-encoded) and the reason with its control characters written
    // out, so that no name sent can start a line of its own.
    if (answer.status >= 400)
        qCInfo(lcService).noquote() << QStringLiteral("%1 %2 refused (%3): %4")
                                           .arg(QString::fromLatin1(method), request.url().path(QUrl::FullyEncoded),
                                                QString::number(answer.status),
                                                logLine(QJsonDocument::fromJson(answer.body)[QLatin1String("error")].toString()));
    writeAnswer(responder, answer);
    return true;
}

void ApiServer::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket)
{
    QHttpServerResponder responder = makeResponder(request, socket);
    writeAnswer(responder, errorAnswer(404, QStringLiteral("nothing is served at %1").arg(request.url().path())));
}

} // namespace ledsign::service
