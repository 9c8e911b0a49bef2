#include "mqtt/mqttoptions.h"

#include <QFile>

namespace ledsign {

namespace {

bool readAddress(const QString& address, MqttEndpoint* endpoint, QString* error)
{
    QString host;
    QString port;
    if (address.startsWith(u'[')) {
        const qsizetype close = address.indexOf(QLatin1String("]:"));
        if (close > 1) {
            host = address.mid(1, close - 1);
            port = address.mid(close + 2);
        }
    } else {
        const qsizetype colon = address.lastIndexOf(u':');
        if (colon > 0 && address.indexOf(u':') == colon) {
            host = address.left(colon);
            port = address.mid(colon + 1);
        }
    }
    bool ok = false;
    const uint number = port.toUInt(&ok);
    if (host.isEmpty() || !ok || number < 1 || number > 65535) {
        *error = QStringLiteral("--mqtt %1: give the broker as HOST:PORT (for example 127.0.0.1:1883)").arg(address);
        return false;
    }
    endpoint->host = host;
    endpoint->port = quint16(number);
    return true;
}

bool readPrefix(const QString& prefix, QString* error)
{
    const bool bad = prefix.isEmpty() || prefix.startsWith(u'/') || prefix.endsWith(u'/') || prefix.contains(u'+') ||
                     prefix.contains(u'#') || prefix.contains(QChar(0)) || prefix.contains(QLatin1String("//")) ||
                     prefix.startsWith(u'$');
    if (bad)
        *error = QStringLiteral("--mqtt-prefix %1: give one or more topic levels joined by \"/\", without \"+\", \"#\" "
                                "or a leading \"$\"").arg(prefix);
    return !bad;
}

} // namespace

bool readMqttOptions(const MqttOptions& options, MqttSettings* settings, QString* error)
{
    MqttSettings read;
    if (!readAddress(options.address, &read.endpoint, error) || !readPrefix(options.prefix, error))
        return false;
    read.prefix = options.prefix;
    if (!options.passwordFile.isEmpty() && options.user.isEmpty()) {
        *error = QStringLiteral("--mqtt-password-file needs --mqtt-user");
        return false;
    }
    read.endpoint.user = options.user;
    if (!options.passwordFile.isEmpty()) {
        QFile file(options.passwordFile);
        if (!file.open(QIODevice::ReadOnly)) {
            *error = QStringLiteral("--mqtt-password-file %1: %2").arg(options.passwordFile, file.errorString());
            return false;
        }
        QByteArray line = file.readLine(4096);
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty()) {
            *error = QStringLiteral("--mqtt-password-file %1: the first line holds no password").arg(options.passwordFile);
            return false;
        }
        read.endpoint.password = QString::fromUtf8(line);
    }
    *settings = read;
    return true;
}

} // namespace ledsign
