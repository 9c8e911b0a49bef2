// The API's routes: a method and a path pattern whose segments are literal
// ("cards"), a parameter ("{name}") or a parameter with a literal end
// ("{n}.png"). Path segments are percent-decoded before they are matched, so
// a card name may hold any character ("%2F" for "/"). The table is also what
// the OpenAPI description is checked against.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QHttpServerRequest;
class QHttpServerResponder;

namespace ledsign::service {

// Request bodies: 1 MiB, a playbill 16 MiB.
inline constexpr qint64 kBodyLimit = qint64(1) << 20;
inline constexpr qint64 kPlaybillBodyLimit = qint64(16) << 20;

struct ApiAnswer {
    int status = 200;
    QByteArray body;
    QByteArray contentType = "application/json";
};

struct ApiCall {
    const QHttpServerRequest& request;
    QHash<QString, QString> params;
};

using ApiHandler = std::function<ApiAnswer(const ApiCall& call)>;
// A handler that answers by itself, over time (the event stream).
using ApiStreamHandler = std::function<void(const ApiCall& call, QHttpServerResponder&& responder)>;

struct ApiRoute {
    QByteArray method; // "GET", "PUT", "POST"
    QString pattern;   // "/api/cards/{name}"
    ApiHandler handler;
    ApiStreamHandler stream;
    qint64 bodyLimit = kBodyLimit;
};

class ApiRouter {
public:
    void add(const QByteArray& method, const QString& pattern, ApiHandler handler, qint64 bodyLimit = kBodyLimit);
    void addStream(const QByteArray& method, const QString& pattern, ApiStreamHandler handler);

    struct Match {
        const ApiRoute* route = nullptr;
        QHash<QString, QString> params;
        QStringList methodsOfPath; // when the path is known but not with this method
    };
    // `encodedPath` as it came, with its percent escapes.
    Match match(const QByteArray& method, const QByteArray& encodedPath) const;
    // The most a request body may hold there: the route's limit, 1 MiB for
    // an unknown route (which is then answered 404).
    qint64 bodyLimit(const QByteArray& method, const QByteArray& target) const;

    const QList<ApiRoute>& routes() const { return m_routes; }

private:
    static bool matchSegments(const QString& pattern, const QStringList& path, QHash<QString, QString>& params);

    QList<ApiRoute> m_routes;
};

// The decoded path segments of a request target (query cut off).
QStringList pathSegments(const QByteArray& encodedTarget);

} // namespace ledsign::service
