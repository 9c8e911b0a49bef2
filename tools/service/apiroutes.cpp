#include "apiroutes.h"

#include "apirouter.h"
#include "apiserver.h"
#include "eventstreams.h"

#include "service/cardjson.h"
#include "service/fleetservice.h"

#include <QBuffer>
#include <QFile>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QJsonArray>
#include <QJsonObject>

// The API description is compiled into the parts library, whose resources
// a program must ask for.
static void initServiceResources()
{
    Q_INIT_RESOURCE(service);
}

namespace ledsign::service {

namespace {

QString param(const ApiCall& call, const char* name)
{
    return call.params.value(QLatin1String(name));
}

// The request body as a JSON object; false with the answer to give.
bool bodyObject(const ApiCall& call, QJsonObject& object, ApiAnswer& refusal)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(call.request.body(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        refusal = errorAnswer(400, error.error != QJsonParseError::NoError
                                       ? QStringLiteral("the body is not JSON: %1 at byte %2").arg(error.errorString()).arg(error.offset)
                                       : QStringLiteral("the body must be a JSON object"));
        return false;
    }
    object = document.object();
    return true;
}

ApiAnswer jobAnswer(const FleetService& fleet, const Outcome& outcome, const QString& jobId)
{
    if (!outcome)
        return refusalAnswer(outcome);
    const SendJob* job = fleet.job(jobId);
    return job ? jsonAnswer(QJsonDocument(toJson(*job)), 202)
               : jsonAnswer(QJsonDocument(QJsonObject{{QStringLiteral("id"), jobId}}), 202);
}

ApiAnswer doneAnswer(const Outcome& outcome, const QString& card, const QString& command)
{
    if (!outcome)
        return refusalAnswer(outcome);
    return jsonAnswer(QJsonDocument(QJsonObject{{QStringLiteral("name"), card}, {QStringLiteral("command"), command}}));
}

ApiAnswer sendGroup(FleetService& fleet, const ApiCall& call)
{
    QJsonObject body;
    ApiAnswer refusal;
    if (!bodyObject(call, body, refusal))
        return refusal;
    const bool byCards = body.contains(QStringLiteral("cards"));
    const bool byPrefix = body.contains(QStringLiteral("prefix"));
    if (byCards == byPrefix || body.size() != 1)
        return errorAnswer(400, QStringLiteral("the body is {\"cards\": [names]} or {\"prefix\": \"text\"}"));
    QString jobId;
    if (byPrefix) {
        const QJsonValue prefix = body.value(QStringLiteral("prefix"));
        if (!prefix.isString())
            return errorAnswer(400, QStringLiteral("\"prefix\" must be a string"));
        return jobAnswer(fleet, fleet.sendPrefix(prefix.toString(), &jobId), jobId);
    }
    const QJsonValue cards = body.value(QStringLiteral("cards"));
    if (!cards.isArray())
        return errorAnswer(400, QStringLiteral("\"cards\" must be an array of card names"));
    QStringList names;
    for (const QJsonValue& name : cards.toArray()) {
        if (!name.isString())
            return errorAnswer(400, QStringLiteral("\"cards\" must hold card names (strings) only"));
        names << name.toString();
    }
    return jobAnswer(fleet, fleet.sendGroup(names, &jobId), jobId);
}

ApiAnswer pagePng(const FleetService& fleet, const ApiCall& call)
{
    bool ok = false;
    const int page = param(call, "n").toInt(&ok);
    if (!ok || page < 1)
        return errorAnswer(400, QStringLiteral("the page is a number from 1"));
    QImage picture;
    if (const Outcome done = fleet.pagePicture(param(call, "name"), page, &picture); !done)
        return refusalAnswer(done);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return ApiAnswer{200, png, "image/png"};
}

} // namespace

QByteArray openApiDocument()
{
    initServiceResources();
    QFile file(QStringLiteral(":/ledsignd/openapi.json"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void addApiRoutes(ApiRouter& router, FleetService& fleet, EventStreams& streams)
{
    router.add("GET", QStringLiteral("/api/cards"), [&fleet](const ApiCall&) {
        return ApiAnswer{200, cardListJson(fleet.cards()), "application/json"};
    });
    router.add("GET", QStringLiteral("/api/cards/{name}"), [&fleet](const ApiCall& call) {
        const std::optional<CardStatus> card = fleet.card(param(call, "name"));
        if (!card)
            return errorAnswer(404, QStringLiteral("no card named %1").arg(param(call, "name")));
        QByteArray body;
        appendCardJson(body, *card);
        return ApiAnswer{200, body, "application/json"};
    });
    router.add("GET", QStringLiteral("/api/cards/{name}/playbill"), [&fleet](const ApiCall& call) {
        QByteArray bytes;
        const Outcome done = fleet.playbill(param(call, "name"), &bytes);
        return done ? ApiAnswer{200, bytes, "text/plain; charset=GB18030"} : refusalAnswer(done);
    });
    router.add(
        "PUT", QStringLiteral("/api/cards/{name}/playbill"),
        [&fleet](const ApiCall& call) {
            const QString name = param(call, "name");
            const Outcome done = fleet.replacePlaybill(name, call.request.body());
            if (!done)
                return refusalAnswer(done);
            return jsonAnswer(QJsonDocument(toJson(*fleet.card(name))));
        },
        kPlaybillBodyLimit);
    router.add("GET", QStringLiteral("/api/cards/{name}/texts"), [&fleet](const ApiCall& call) {
        CardTextMaterials texts;
        const Outcome done = fleet.textMaterials(param(call, "name"), &texts);
        return done ? jsonAnswer(QJsonDocument(toJson(param(call, "name"), texts))) : refusalAnswer(done);
    });
    router.add("PUT", QStringLiteral("/api/cards/{name}/texts/{material}"), [&fleet](const ApiCall& call) {
        QJsonObject body;
        ApiAnswer refusal;
        if (!bodyObject(call, body, refusal))
            return refusal;
        TextChange change;
        if (const Outcome read = readTextChange(body, change); !read)
            return refusalAnswer(read);
        QString jobId;
        return jobAnswer(fleet, fleet.setText(param(call, "name"), param(call, "material"), change, &jobId), jobId);
    });
    router.add("POST", QStringLiteral("/api/cards/{name}/send"), [&fleet](const ApiCall& call) {
        QString jobId;
        return jobAnswer(fleet, fleet.sendCard(param(call, "name"), &jobId), jobId);
    });
    router.add("POST", QStringLiteral("/api/send"), [&fleet](const ApiCall& call) { return sendGroup(fleet, call); });
    router.add("GET", QStringLiteral("/api/jobs/{id}"), [&fleet](const ApiCall& call) {
        const SendJob* job = fleet.job(param(call, "id"));
        return job ? jsonAnswer(QJsonDocument(toJson(*job)))
                   : errorAnswer(404, QStringLiteral("no job %1").arg(param(call, "id")));
    });
    router.add("POST", QStringLiteral("/api/cards/{name}/time"), [&fleet](const ApiCall& call) {
        return doneAnswer(fleet.setTime(param(call, "name")), param(call, "name"), QStringLiteral("time"));
    });
    router.add("POST", QStringLiteral("/api/cards/{name}/play"), [&fleet](const ApiCall& call) {
        return doneAnswer(fleet.play(param(call, "name"), true), param(call, "name"), QStringLiteral("play"));
    });
    router.add("POST", QStringLiteral("/api/cards/{name}/stop"), [&fleet](const ApiCall& call) {
        return doneAnswer(fleet.play(param(call, "name"), false), param(call, "name"), QStringLiteral("stop"));
    });
    router.add("GET", QStringLiteral("/api/cards/{name}/pages/{n}.png"),
               [&fleet](const ApiCall& call) { return pagePng(fleet, call); });
    router.addStream("GET", QStringLiteral("/api/events"),
                     [&streams](const ApiCall&, QHttpServerResponder&& responder) { streams.open(std::move(responder)); });
    router.add("GET", QStringLiteral("/api/openapi.json"), [](const ApiCall&) {
        const QByteArray document = openApiDocument();
        return document.isEmpty() ? errorAnswer(503, QStringLiteral("the API description is missing from this build"))
                                  : ApiAnswer{200, document, "application/json"};
    });
}

} // namespace ledsign::service
