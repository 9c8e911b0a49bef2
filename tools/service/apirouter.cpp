#include "apirouter.h"

#include <QUrl>

namespace ledsign::service {

QStringList pathSegments(const QByteArray& encodedTarget)
{
    QByteArray path = encodedTarget;
    const qsizetype query = path.indexOf('?');
    if (query >= 0)
        path.truncate(query);
    QStringList segments;
    for (const QByteArray& piece : path.split('/')) {
        if (!piece.isEmpty())
            segments << QUrl::fromPercentEncoding(piece);
    }
    return segments;
}

void ApiRouter::add(const QByteArray& method, const QString& pattern, ApiHandler handler, qint64 bodyLimit)
{
    m_routes.append(ApiRoute{method, pattern, std::move(handler), {}, bodyLimit});
}

void ApiRouter::addStream(const QByteArray& method, const QString& pattern, ApiStreamHandler handler)
{
    m_routes.append(ApiRoute{method, pattern, {}, std::move(handler), kBodyLimit});
}

bool ApiRouter::matchSegments(const QString& pattern, const QStringList& path, QHash<QString, QString>& params)
{
    const QStringList wanted = pattern.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (wanted.size() != path.size())
        return false;
    QHash<QString, QString> found;
    for (qsizetype i = 0; i < wanted.size(); ++i) {
        const QString& w = wanted[i];
        const qsizetype open = w.indexOf(QLatin1Char('{'));
        const qsizetype close = w.indexOf(QLatin1Char('}'));
        if (open != 0 || close < 0) {
            if (w != path[i])
                return false;
            continue;
        }
        const QString suffix = w.mid(close + 1);
        const QString& given = path[i];
        if (!given.endsWith(suffix) || given.size() == suffix.size())
            return false;
        found.insert(w.mid(1, close - 1), given.left(given.size() - suffix.size()));
    }
    params = found;
    return true;
}

ApiRouter::Match ApiRouter::match(const QByteArray& method, const QByteArray& encodedPath) const
{
    Match m;
    const QStringList path = pathSegments(encodedPath);
    for (const ApiRoute& route : m_routes) {
        QHash<QString, QString> params;
        if (!matchSegments(route.pattern, path, params))
            continue;
        if (route.method == method) {
            m.route = &route;
            m.params = params;
            return m;
        }
        m.methodsOfPath << QString::fromLatin1(route.method);
    }
    return m;
}

qint64 ApiRouter::bodyLimit(const QByteArray& method, const QByteArray& target) const
{
    const Match m = match(method, target);
    return m.route ? m.route->bodyLimit : kBodyLimit;
}

} // namespace ledsign::service
