#include "transport/channelstartup.h"

#include "language/language.h"
#include "model/inifile.h"
#include "model/settings.h"
#include "transport/commchannels.h"

namespace ledsign {

CommModeTexts currentCommModeTexts()
{
    return {messageText(QStringLiteral("comm_param_network")),
            messageText(QStringLiteral("comm_param_network_ex")),
            messageText(QStringLiteral("comm_param_serial_port"))};
}

int baudRateFromText(const QString& text)
{
    int baud = 0;
    if (!parseWholeInt(text.trimmed(), &baud) || baud <= 0)
        return SerialLink::kDefaultBaud;
    return baud;
}

bool openChannelsAtStartup(CommChannels& channels, AppSettings& settings, const QHostAddress& udpAddress,
                           const CommModeTexts& texts, const PortBinder& bind, quint16 udpPort,
                           const QHostAddress& listenAddress)
{
    settings.commMode = deriveCommMode(serverModeText(settings.commMode, texts), settings.commParam01, texts);
    const CommModeKind mode = commModeKind(settings.commMode, texts);
    if (mode == CommModeKind::Network && settings.commParam02.trimmed().isEmpty())
        settings.commParam02 = QString::number(kDefaultServerPort);
    chooseServerPort(settings, texts, bind);
    channels.setServerPort(quint16(settings.serverPort));

    channels.bindUdpListener(udpAddress, udpPort);

    switch (mode) {
    case CommModeKind::Serial:
        return channels.openSerialPort(kAfterOpenIdentityQuery, settings.commParam01,
                                       baudRateFromText(settings.commParam02));
    case CommModeKind::Rs485:
        return channels.openSerialPort(kAfterOpenCardSearch, settings.commParam01,
                                       baudRateFromText(settings.commParam02));
    case CommModeKind::Network:
        break;
    }
    const bool ok = channels.openServer(quint16(portFromText(settings.commParam02.trimmed())), listenAddress);
    if (ok) {
        settings.serverPort = channels.serverPort();
        settings.commParam02 = QString::number(channels.serverPort());
    }
    return ok;
}

bool switchChannelMode(CommChannels& channels, AppSettings& settings, CommModeKind mode,
                       const QString& param01, const QString& param02, const CommModeTexts& texts,
                       const QHostAddress& listenAddress)
{
    channels.closeServer();
    channels.closeSerialPort();

    bool ok = false;
    switch (mode) {
    case CommModeKind::Network:
        ok = channels.openServer(quint16(portFromText(param02.trimmed())), listenAddress);
        settings.commMode = texts.network;
        settings.commParam01.clear();
        settings.commParam02 = ok ? QString::number(channels.serverPort()) : param02.trimmed();
        if (ok)
            settings.serverPort = channels.serverPort();
        return ok;
    case CommModeKind::Serial:
        ok = channels.openSerialPort(kAfterOpenIdentityQuery, param01, baudRateFromText(param02));
        settings.commMode = texts.serial;
        break;
    case CommModeKind::Rs485:
        ok = channels.openSerialPort(kAfterOpenNothing, param01, baudRateFromText(param02));
        settings.commMode = QString::fromLatin1(kRs485ModeText);
        break;
    }
    settings.commParam01 = param01.trimmed();
    settings.commParam02 = QString::number(baudRateFromText(param02));
    return ok;
}

} // namespace ledsign
