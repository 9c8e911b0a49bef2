#include "udpoptions.h"

#include <QCommandLineParser>
#include <QStringList>

namespace ledsign::card {

namespace {

// Six numbers joined by ":" (decimal, as the program writes MACs) or six
// hexadecimal pairs joined by "-".
std::optional<datagram::Mac> macFromText(const QString& text)
{
    if (text.contains(u'-')) {
        const QStringList parts = text.trimmed().split(u'-');
        if (parts.size() != 6)
            return std::nullopt;
        datagram::Mac mac{};
        for (int i = 0; i < 6; ++i) {
            bool ok = false;
            const uint v = parts[i].toUInt(&ok, 16);
            if (!ok || v > 255 || parts[i].size() > 2)
                return std::nullopt;
            mac[std::size_t(i)] = quint8(v);
        }
        return mac;
    }
    return datagram::macFromDecimalText(text);
}

} // namespace

datagram::Mac macForAddress(const datagram::Ipv4& a)
{
    return {0x02, 0x00, a[0], a[1], a[2], a[3]};
}

void addUdpOptions(QCommandLineParser& p)
{
    p.addOption({QStringLiteral("udp"),
                 QStringLiteral("Answer searches and configuration on UDP as the card at ADDRESS "
                                "(several cards share the port on 127.0.0.x addresses)."),
                 QStringLiteral("address[:port]")});
    p.addOption({QStringLiteral("mac"), QStringLiteral("MAC address: six decimal numbers joined by : or hex pairs joined by -."),
                 QStringLiteral("mac")});
    p.addOption({QStringLiteral("name"), QStringLiteral("Card name in the detail reply (up to ten bytes)."),
                 QStringLiteral("name")});
    p.addOption({QStringLiteral("window"), QStringLiteral("Show the LED panel playing what the card holds.")});
    p.addOption({QStringLiteral("beside"),
                 QStringLiteral("Open the LED panel beside this screen area (x,y,width,height), within the screen."),
                 QStringLiteral("x,y,w,h")});
}

bool readUdpOptions(const QCommandLineParser& p, CardOptions& o, QString& error)
{
    o.window = p.isSet(QStringLiteral("window"));
    if (p.isSet(QStringLiteral("beside"))) {
        const QStringList parts = p.value(QStringLiteral("beside")).split(u',');
        QList<int> n;
        bool ok = parts.size() == 4;
        for (qsizetype i = 0; ok && i < parts.size(); ++i)
            n << parts[i].trimmed().toInt(&ok);
        if (!ok || n[2] <= 0 || n[3] <= 0) {
            error = QStringLiteral("--beside needs four numbers x,y,width,height with a positive width and height");
            return false;
        }
        o.beside = QRect(n[0], n[1], n[2], n[3]);
    }
    o.name = p.value(QStringLiteral("name")); // empty: the type name
    if (p.isSet(QStringLiteral("mac"))) {
        const auto mac = macFromText(p.value(QStringLiteral("mac")));
        if (!mac) {
            error = QStringLiteral("--mac needs six numbers joined by : or six hex pairs joined by -");
            return false;
        }
        o.mac = *mac;
        o.macGiven = true;
    }
    if (!p.isSet(QStringLiteral("udp")))
        return true;
    QString value = p.value(QStringLiteral("udp")).trimmed();
    const qsizetype colon = value.indexOf(u':');
    if (colon >= 0) {
        bool ok = false;
        const int port = value.mid(colon + 1).toInt(&ok);
        if (!ok || port < 1 || port > 65535) {
            error = QStringLiteral("--udp needs ADDRESS or ADDRESS:PORT");
            return false;
        }
        o.udpPort = quint16(port);
        value = value.left(colon);
    }
    const auto address = datagram::ipFromText(value);
    if (!address) {
        error = QStringLiteral("--udp needs an IPv4 address such as 127.0.0.2");
        return false;
    }
    o.udpAddress = datagram::ipText(*address);
    if (!o.macGiven)
        o.mac = macForAddress(*address);
    return true;
}

} // namespace ledsign::card
