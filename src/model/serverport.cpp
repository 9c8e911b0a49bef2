#include "model/serverport.h"

#include "model/inifile.h"
#include "model/settings.h"

#include <QHostAddress>
#include <QTcpServer>

namespace ledsign {

namespace {
constexpr int kLastPort = 65535;
}

QString deriveCommMode(const QString& mode, const QString& commParam01, const CommModeTexts& texts)
{
    if (commParam01.trimmed().isEmpty())
        return texts.network;
    if (mode == QLatin1String(kRs485ModeText))
        return mode;
    return texts.serial;
}

QString serverModeText(const QString& mode, const CommModeTexts& texts)
{
    if (mode.isEmpty() || mode == texts.networkEx)
        return texts.network;
    return mode;
}

CommModeKind commModeKind(const QString& mode, const CommModeTexts& texts)
{
    if (mode == QLatin1String(kRs485ModeText))
        return CommModeKind::Rs485;
    if (mode == texts.serial)
        return CommModeKind::Serial;
    return CommModeKind::Network;
}

BindResult tryBindTcpPort(int port)
{
    QTcpServer server;
    if (server.listen(QHostAddress::Any, quint16(port))) {
        server.close();
        return BindResult::Bound;
    }
    return server.serverError() == QAbstractSocket::AddressInUseError ? BindResult::InUse
                                                                       : BindResult::Failed;
}

int findFreePort(int first, const PortBinder& bind)
{
    if (first < 1 || first > kLastPort)
        first = kDefaultServerPort;
    for (int port = first; port <= kLastPort; ++port) {
        if (bind(port) != BindResult::InUse)
            return port;
    }
    return first;
}

int portFromText(const QString& text)
{
    int port = 0;
    if (!parseWholeInt(text, &port) || port < 1 || port > kLastPort)
        return kDefaultServerPort;
    return port;
}

int chooseServerPort(AppSettings& settings, const CommModeTexts& texts, const PortBinder& bind)
{
    settings.commMode = serverModeText(settings.commMode, texts);
    if (settings.commMode == texts.network) {
        settings.serverPort = findFreePort(portFromText(settings.commParam02), bind);
        settings.commParam02 = QString::number(settings.serverPort);
    } else {
        settings.serverPort = findFreePort(kDefaultServerPort, bind);
    }
    return settings.serverPort;
}

} // namespace ledsign
