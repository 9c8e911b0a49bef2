#include "serviceoptions.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

namespace ledsign::service {

bool parseListenAddress(const QString& text, QHostAddress& address, quint16& port)
{
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0)
        return false;
    QString host = text.left(colon);
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
        host = host.mid(1, host.size() - 2);
    else if (host.contains(QLatin1Char(':')))
        return false; // an IPv6 address goes in brackets
    bool ok = false;
    const uint number = text.mid(colon + 1).toUInt(&ok);
    if (!ok || number > 65535 || !address.setAddress(host))
        return false;
    port = quint16(number);
    return true;
}

DataFolder serviceDataFolder(const QStringList& arguments)
{
    for (const QString& a : arguments) {
        if (a == QLatin1String("--home") || a.startsWith(QLatin1String("--home=")))
            return DataFolder::resolve(arguments);
    }
    if (!qEnvironmentVariableIsEmpty("LEDSIGN_HOME"))
        return DataFolder::resolve(arguments);
    // systemd names the unit's StateDirectory here (several are separated by ':').
    const QString state = qEnvironmentVariable("STATE_DIRECTORY").section(QLatin1Char(':'), 0, 0);
    if (!state.isEmpty())
        return DataFolder(QFileInfo(state).absoluteFilePath());
    return DataFolder::resolve(arguments);
}

ParseResult parseServiceOptions(const QStringList& arguments, ServiceOptions& options, QString& out, QString& message)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "The fleet of LED cards as a service: holds the card server (or the serial line), registers the cards,\n"
        "keeps their clocks and presence, and serves an HTTP/JSON API on which other systems read the cards,\n"
        "set texts, replace playbills and send them."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Print this help and exit."));
    const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("Print the version and exit."));
    const QCommandLineOption home(QStringLiteral("home"),
                                  QStringLiteral("The data folder (default: $LEDSIGN_HOME, under systemd its state "
                                                 "directory, else ~/.local/share/ledsign)."),
                                  QStringLiteral("DIR"));
    const QCommandLineOption cardPort(QStringLiteral("card-port"),
                                      QStringLiteral("The TCP port the cards connect to (default 8900; 0: any free port)."),
                                      QStringLiteral("PORT"));
    const QCommandLineOption listen(QStringLiteral("listen"),
                                    QStringLiteral("Where the HTTP API listens (default 127.0.0.1:8901). Any address "
                                                   "but loopback needs --token-file."),
                                    QStringLiteral("ADDR:PORT"));
    const QCommandLineOption serial(QStringLiteral("serial"),
                                    QStringLiteral("The cards are on this serial line instead of the network."),
                                    QStringLiteral("DEVICE"));
    const QCommandLineOption baud(QStringLiteral("baud"), QStringLiteral("The serial line's baud rate (default 9600)."),
                                  QStringLiteral("N"));
    const QCommandLineOption rs485(QStringLiteral("rs485"),
                                   QStringLiteral("The serial line is an RS-485 line of cards addressed by internal code."));
    const QCommandLineOption token(QStringLiteral("token-file"),
                                   QStringLiteral("Every request must carry \"Authorization: Bearer\" and the token in "
                                                  "FILE."),
                                   QStringLiteral("FILE"));
    const QCommandLineOption mqtt(QStringLiteral("mqtt"),
                                  QStringLiteral("Bridge the fleet to the MQTT broker at HOST:PORT (card states, jobs, "
                                                 "texts and sends; Home Assistant discovery)."),
                                  QStringLiteral("HOST:PORT"));
    const QCommandLineOption mqttPrefix(QStringLiteral("mqtt-prefix"),
                                        QStringLiteral("The topics' first levels (default ledsign)."), QStringLiteral("PREFIX"));
    const QCommandLineOption mqttUser(QStringLiteral("mqtt-user"), QStringLiteral("The user name given to the broker."),
                                      QStringLiteral("USER"));
    const QCommandLineOption mqttPasswordFile(QStringLiteral("mqtt-password-file"),
                                              QStringLiteral("The broker password is the first line of FILE."),
                                              QStringLiteral("FILE"));
    parser.addOptions({help, version, home, cardPort, listen, serial, baud, rs485, token, mqtt, mqttPrefix, mqttUser,
                       mqttPasswordFile});
    if (!parser.parse(arguments)) {
        message = parser.errorText();
        return ParseResult::Refused;
    }
    if (parser.isSet(help)) {
        out = parser.helpText();
        return ParseResult::Answered;
    }
    if (parser.isSet(version)) {
        out = QStringLiteral("ledsignd %1\n").arg(QStringLiteral(LEDSIGN_VERSION_TEXT));
        return ParseResult::Answered;
    }
    if (!parser.positionalArguments().isEmpty()) {
        message = QStringLiteral("unexpected argument %1").arg(parser.positionalArguments().first());
        return ParseResult::Refused;
    }

    options.fleet.folders = serviceDataFolder(arguments);
    if (parser.isSet(cardPort)) {
        bool ok = false;
        const uint port = parser.value(cardPort).toUInt(&ok);
        if (!ok || port > 65535) {
            message = QStringLiteral("--card-port must be a port number, 0 to 65535");
            return ParseResult::Refused;
        }
        options.fleet.cardPort = quint16(port);
    }
    if (parser.isSet(listen) && !parseListenAddress(parser.value(listen), options.listenAddress, options.listenPort)) {
        message = QStringLiteral("--listen must be ADDR:PORT, such as 127.0.0.1:8901 or [::1]:8901");
        return ParseResult::Refused;
    }
    if (parser.isSet(serial)) {
        options.fleet.serialDevice = parser.value(serial);
        if (parser.isSet(cardPort)) {
            message = QStringLiteral("give either --card-port (the network) or --serial (a serial line), not both");
            return ParseResult::Refused;
        }
    } else if (parser.isSet(baud) || parser.isSet(rs485)) {
        message = QStringLiteral("--baud and --rs485 go with --serial DEVICE");
        return ParseResult::Refused;
    }
    if (parser.isSet(baud)) {
        bool ok = false;
        const int rate = parser.value(baud).toInt(&ok);
        if (!ok || rate < 50 || rate > 4000000) {
            message = QStringLiteral("--baud must be a baud rate, 50 to 4000000");
            return ParseResult::Refused;
        }
        options.fleet.baudRate = rate;
    }
    options.fleet.rs485 = parser.isSet(rs485);
    if (parser.isSet(mqtt)) {
        MqttOptions bridge;
        bridge.address = parser.value(mqtt);
        if (parser.isSet(mqttPrefix))
            bridge.prefix = parser.value(mqttPrefix);
        bridge.user = parser.value(mqttUser);
        bridge.passwordFile = parser.value(mqttPasswordFile);
        options.mqtt = bridge;
    } else if (parser.isSet(mqttPrefix) || parser.isSet(mqttUser) || parser.isSet(mqttPasswordFile)) {
        message = QStringLiteral("--mqtt-prefix, --mqtt-user and --mqtt-password-file go with --mqtt HOST:PORT");
        return ParseResult::Refused;
    }
    options.tokenFile = parser.value(token);
    if (options.tokenFile.isEmpty() && !options.listenAddress.isLoopback()) {
        message = QStringLiteral("listening on %1 needs --token-file: only loopback is served without a token")
                      .arg(options.listenAddress.toString());
        return ParseResult::Refused;
    }
    return ParseResult::Run;
}

} // namespace ledsign::service
