// The OpenAPI description names exactly the routes the service serves.
#include "apiroutes.h"
#include "apirouter.h"
#include "eventstreams.h"

#include "service/fleetservice.h"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTemporaryDir>

namespace ledsign::service {
namespace {

TEST(OpenApi, DescribesEveryRouteAndNoOther)
{
    QTemporaryDir home;
    FleetService fleet(FleetService::Options{DataFolder(home.path())});
    EventStreams streams(fleet.events());
    ApiRouter router;
    addApiRoutes(router, fleet, streams);

    QSet<QString> served;
    for (const ApiRoute& route : router.routes())
        served.insert(QString::fromLatin1(route.method).toLower() + QLatin1Char(' ') + route.pattern);

    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(openApiDocument(), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    EXPECT_TRUE(doc.object().value(QStringLiteral("openapi")).toString().startsWith(QLatin1String("3.")));
    QSet<QString> described;
    const QJsonObject paths = doc.object().value(QStringLiteral("paths")).toObject();
    for (auto p = paths.begin(); p != paths.end(); ++p) {
        const QJsonObject operations = p.value().toObject();
        for (auto op = operations.begin(); op != operations.end(); ++op) {
            described.insert(op.key() + QLatin1Char(' ') + p.key());
            EXPECT_TRUE(op.value().toObject().value(QStringLiteral("responses")).toObject().contains(QStringLiteral("401")))
                << op.key().toStdString() << ' ' << p.key().toStdString() << " says what a missing token gets";
        }
    }
    EXPECT_EQ(described - served, QSet<QString>()) << "described but not served";
    EXPECT_EQ(served - described, QSet<QString>()) << "served but not described";
}

} // namespace
} // namespace ledsign::service
