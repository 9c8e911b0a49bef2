#include "transport/adapters.h"

#include <QHostInfo>
#include <QNetworkInterface>

namespace ledsign {

QList<TAdapterInfo> ListAdapters()
{
    QList<TAdapterInfo> out;
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& iface : interfaces) {
        const auto flags = iface.flags();
        if (!(flags & QNetworkInterface::IsUp) || (flags & QNetworkInterface::IsLoopBack))
            continue;
        QString mac = iface.hardwareAddress().toUpper();
        mac.replace(QLatin1Char(':'), QLatin1Char('-'));
        for (const QNetworkAddressEntry& entry : iface.addressEntries()) {
            const QHostAddress ip = entry.ip();
            if (ip.protocol() != QAbstractSocket::IPv4Protocol)
                continue;
            const QString text = ip.toString();
            if (text.isEmpty() || text == QLatin1String("0.0.0.0"))
                continue;
            TAdapterInfo info;
            info.id = int(out.size()) + 1;
            info.description = iface.humanReadableName();
            info.ipAddress = text;
            info.macAddress = mac;
            info.subnetMask = entry.netmask().toString();
            out.append(info);
        }
    }
    return out;
}

datagram::Ipv4 ReadSubnetMask(const QString& serverIp, const QList<TAdapterInfo>& adapters)
{
    const int index = adapterIndexOf(adapters, serverIp);
    if (index >= 0) {
        if (const auto mask = datagram::ipFromText(adapters[index].subnetMask))
            return *mask;
    }
    return datagram::Ipv4{255, 255, 255, 0};
}

datagram::Ipv4 ReadSubnetMask(const QString& serverIp)
{
    return ReadSubnetMask(serverIp, ListAdapters());
}

QString LastHostAddress()
{
    QString last;
    const QHostInfo info = QHostInfo::fromName(QHostInfo::localHostName());
    for (const QHostAddress& address : info.addresses()) {
        if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback())
            last = address.toString();
    }
    if (last.isEmpty()) {
        const QList<TAdapterInfo> adapters = ListAdapters();
        if (!adapters.isEmpty())
            last = adapters.last().ipAddress;
    }
    return last.isEmpty() ? QString::fromLatin1(kNoAddress) : last;
}

StartupChoice chooseServerIpAtStartup(const QList<TAdapterInfo>& adapters, const QString& storedServerIp,
                                      bool isShowMulNetCard,
                                      const std::function<std::optional<AdapterChoice>()>& choose,
                                      const std::function<QString()>& lastHost,
                                      const std::function<void(int ms)>& pause)
{
    StartupChoice result{storedServerIp, isShowMulNetCard};
    if (adapters.size() > 1 && isShowMulNetCard) {
        if (const auto chosen = choose ? choose() : std::nullopt) {
            result.serverIp = chosen->ipAddress;
            result.isShowMulNetCard = !chosen->notShowAgain;
        }
    } else if (adapters.size() <= 1) {
        result.serverIp = lastHost();
    }
    for (int i = 0; i < kAddressRetries && result.serverIp.trimmed() == QLatin1String(kNoAddress); ++i) {
        if (pause)
            pause(kAddressRetryMs);
        result.serverIp = lastHost();
    }
    return result;
}

int adapterIndexOf(const QList<TAdapterInfo>& adapters, const QString& serverIp)
{
    const QString wanted = serverIp.trimmed();
    for (int i = 0; i < adapters.size(); ++i)
        if (adapters[i].ipAddress.trimmed() == wanted)
            return i;
    return -1;
}

} // namespace ledsign
