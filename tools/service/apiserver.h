// The HTTP side of the service, on Qt's HTTP server: the listening socket
// with its request gate, the bearer token when one is set, and the routes.
// Every answer that is not a success is JSON {"error": "..."}; a request
// nobody serves is answered 404, one without the token 401.
#pragma once

#include "apirouter.h"

#include <QAbstractHttpServer>
#include <QHostAddress>
#include <QJsonDocument>

namespace ledsign {
struct Outcome;
class WebFiles;
}

namespace ledsign::service {

class ApiListener;

class ApiServer : public QAbstractHttpServer {
    Q_OBJECT
public:
    // An empty token serves every request.
    explicit ApiServer(const QByteArray& token, QObject* parent = nullptr);

    ApiRouter& router() { return m_router; }
    // The fleet page, served outside /api/ without the token.
    void setPage(const WebFiles* files) { m_page = files; }
    bool listenOn(const QHostAddress& address, quint16 port, QString& error);
    quint16 port() const;

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    bool authorised(const QHttpServerRequest& request) const;

    ApiRouter m_router;
    ApiListener* m_listener = nullptr;
    QByteArray m_token;
    const WebFiles* m_page = nullptr;
};

QByteArray methodName(const QHttpServerRequest& request);
QByteArray headerValue(const QHttpServerRequest& request, const QByteArray& name);
void writeAnswer(QHttpServerResponder& responder, const ApiAnswer& answer);

ApiAnswer jsonAnswer(const QJsonDocument& document, int status = 200);
ApiAnswer errorAnswer(int status, const QString& error);
// 400, 404, 409 or 503 for a refusal.
ApiAnswer refusalAnswer(const Outcome& outcome);

} // namespace ledsign::service
