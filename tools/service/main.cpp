// ledsignd: the fleet of LED cards as a service with an HTTP API.
//
//   ledsignd [--home DIR] [--card-port PORT] [--listen ADDR:PORT]
//            [--serial DEVICE [--baud N] [--rs485]] [--token-file FILE]
//            [--mqtt HOST:PORT [--mqtt-prefix P] [--mqtt-user U --mqtt-password-file F]]
#include "apiroutes.h"
#include "apiserver.h"
#include "bearertoken.h"
#include "eventstreams.h"
#include "fleetmqtt.h"
#include "serviceoptions.h"
#include "systemdnotify.h"

#include "service/fleetservice.h"
#include "service/servicefile.h"
#include "service/servicelog.h"
#include "session/terminationsignals.h"
#include "transport/filelimit.h"
#include "web/webfiles.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QTextStream>

#include <memory>

#include <unistd.h>

using namespace ledsign;
using namespace ledsign::service;

namespace {

// Under systemd every line carries its priority for the journal.
void setUpLogging()
{
    if (systemd::underJournal())
        qSetMessagePattern(QStringLiteral("%{if-debug}<7>%{endif}%{if-info}<6>%{endif}%{if-warning}<4>%{endif}"
                                          "%{if-critical}<3>%{endif}%{if-fatal}<2>%{endif}%{category}: %{message}"));
    else
        qSetMessagePattern(QStringLiteral("%{time yyyy-MM-dd hh:mm:ss.zzz} %{category}: %{message}"));
    if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
        QLoggingCategory::setFilterRules(QStringLiteral("ledsign.*.debug=false"));
}

QString apiUrl(const QHostAddress& address, quint16 port)
{
    QHostAddress shown = address;
    if (address == QHostAddress::Any || address == QHostAddress::AnyIPv4)
        shown = QHostAddress::LocalHost;
    else if (address == QHostAddress::AnyIPv6)
        shown = QHostAddress::LocalHostIPv6;
    const QString host = shown.protocol() == QAbstractSocket::IPv6Protocol ? QStringLiteral("[%1]").arg(shown.toString())
                                                                           : shown.toString();
    return QStringLiteral("http://%1:%2").arg(host).arg(port);
}

} // namespace

int main(int argc, char** argv)
{
    // Texts are drawn with fonts, which needs a Gui application; no window is shown.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("QT_FONT_DPI"))
        qputenv("QT_FONT_DPI", "96");
    // Every card on the network holds a connection, and a connection is an open file.
    raiseOpenFileLimit();
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ledsignd"));
    QCoreApplication::setApplicationVersion(QStringLiteral(LEDSIGN_VERSION_TEXT));
    setUpLogging();

    ServiceOptions options;
    QString out;
    QString message;
    switch (parseServiceOptions(QCoreApplication::arguments(), options, out, message)) {
    case ParseResult::Answered:
        QTextStream(stdout) << out;
        return 0;
    case ParseResult::Refused:
        QTextStream(stderr) << "ledsignd: " << message << "\n(ledsignd --help lists the options)\n";
        return 2;
    case ParseResult::Run:
        break;
    }
    QByteArray token;
    if (!options.tokenFile.isEmpty() && !readTokenFile(options.tokenFile, token, message)) {
        QTextStream(stderr) << "ledsignd: " << message << '\n';
        return 2;
    }

    MqttSettings mqtt;
    if (options.mqtt && !readMqttOptions(*options.mqtt, &mqtt, &message)) {
        QTextStream(stderr) << "ledsignd: " << message << '\n';
        return 2;
    }

    FleetService fleet(options.fleet);
    if (!fleet.start()) {
        qCCritical(lcService).noquote() << fleet.errorString();
        return 1;
    }
    EventStreams streams(fleet.events());
    ApiServer server(token);
    addApiRoutes(server.router(), fleet, streams);
    WebFiles page;
    if (!page.load(WebFiles::folders(QCoreApplication::applicationDirPath())))
        qCWarning(lcService).noquote() << page.error();
    server.setPage(&page);
    if (!server.listenOn(options.listenAddress, options.listenPort, message)) {
        qCCritical(lcService).noquote() << message;
        fleet.stop();
        return 1;
    }
    const QString url = apiUrl(options.listenAddress, server.port());
    if (!writeServiceFile(options.fleet.folders, {qint64(::getpid()), url, options.tokenFile, fleet.cardPort()}, &message))
        qCWarning(lcService).noquote() << QStringLiteral("the command line will not find this service: %1").arg(message);
    qCInfo(lcService).noquote() << QStringLiteral("HTTP API on %1%2").arg(url, token.isEmpty() ? QString() : QStringLiteral(" (token needed)"));

    std::unique_ptr<FleetMqtt> bridge;
    if (options.mqtt) {
        bridge = std::make_unique<FleetMqtt>(fleet, mqtt);
        bridge->start();
    }

    int status = 0;
    TerminationSignals requests(TerminationSignals::Reload::Requested);
    QObject::connect(&requests, &TerminationSignals::terminationRequested, &app, [&](int, int count) {
        if (count > 1)
            return;
        systemd::stopping();
        removeServiceFile(options.fleet.folders);
        if (bridge)
            bridge->stop();
        status = fleet.stop() ? 0 : 1;
        app.quit();
    });
    QObject::connect(&requests, &TerminationSignals::reloadRequested, &app, [&] {
        systemd::reloading();
        fleet.reloadCards();
        systemd::status(QStringLiteral("%1 card(s); API on %2").arg(fleet.cards().size()).arg(url));
    });
    systemd::ready(QStringLiteral("%1 card(s); API on %2").arg(fleet.cards().size()).arg(url));
    app.exec();
    return status;
}
