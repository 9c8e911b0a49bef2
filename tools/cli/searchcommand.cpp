// search: the network card search of the search window, from the command
// line. The search request is broadcast once a second; every card that
// answers is printed once, with its MAC, address and version. Nothing is
// configured: the cards are only listed.
#include "argparser.h"
#include "cardsession.h"
#include "clioptions.h"
#include "commands.h"
#include "networkoptions.h"
#include "output.h"

#include "model/settings.h"
#include "transport/commchannels.h"
#include "transport/datagram.h"
#include "transport/udpconfig.h"

#include <QSet>
#include <QTimer>

namespace ledsign::cli {

namespace {

constexpr int kRepeatMs = 1000;

QString searchUsage()
{
    return QStringLiteral("usage: ledsign-cli search [--wait S] [--broadcast ADDR] [--card-port N]"
                          " [--listen-port N]\n\n"
                          "Broadcasts the card search for S seconds (default 5) and prints a line for every\n"
                          "card that answers: MAC address, IP address, firmware version.\n\n"
                          "  --wait S           seconds to search (default 5)\n"
                          "  --broadcast ADDR   where the search goes (default 255.255.255.255)\n"
                          "  --card-port N      the cards' UDP port (default %1)\n"
                          "  --listen-port N    the local UDP port answers come to (default %2)\n")
               .arg(datagram::kCardPort)
               .arg(UdpListener::kListenPort)
        + exitStatusHelp();
}

} // namespace

int runSearch(const QStringList& args)
{
    ParsedArgs parsed;
    QString error;
    int waitSeconds = 5;
    int cardPort = datagram::kCardPort;
    int listenPort = UdpListener::kListenPort;
    QHostAddress broadcast(QHostAddress::Broadcast);
    bool ok = parseArgs(args,
                        {QStringLiteral("wait"), QStringLiteral("broadcast"), QStringLiteral("card-port"),
                         QStringLiteral("listen-port")},
                        {}, parsed, error);
    if (ok && !parsed.help) {
        ok = intOption(parsed, QStringLiteral("wait"), 1, 600, waitSeconds, waitSeconds, error)
            && intOption(parsed, QStringLiteral("card-port"), 1, 65535, cardPort, cardPort, error)
            && intOption(parsed, QStringLiteral("listen-port"), 0, 65535, listenPort, listenPort, error);
        if (ok && parsed.has(QStringLiteral("broadcast"))
            && !broadcast.setAddress(parsed.value(QStringLiteral("broadcast")))) {
            error = QStringLiteral("--broadcast needs an IP address");
            ok = false;
        }
        if (ok && !parsed.positional.isEmpty()) {
            error = QStringLiteral("unexpected %1").arg(parsed.positional.first());
            ok = false;
        }
    }
    if (!ok) {
        printError(QStringLiteral("ledsign-cli search: ") + error);
        printError(searchUsage());
        return kExitUsage;
    }
    if (parsed.help) {
        printLine(searchUsage());
        return kExitOk;
    }

    ProjectModel model;
    CommChannels channels(model.cards());
    AppSettings settings;
    UdpConfig udp(channels, settings);
    udp.setBroadcastAddress(broadcast);
    udp.setCardPort(quint16(cardPort));
    if (!channels.bindUdpListener(QHostAddress::AnyIPv4, quint16(listenPort))) {
        printError(QStringLiteral("ledsign-cli search: cannot listen on UDP port %1").arg(listenPort));
        return kExitFailure;
    }
    QSet<QString> seen;
    QObject::connect(&channels, &CommChannels::datagramReceived, &channels,
                     [&](const QByteArray& bytes, const QHostAddress&, quint16, const QHostAddress&) {
                         const std::optional<datagram::SearchReply> reply = datagram::parseSearchReply(bytes);
                         if (!reply)
                             return;
                         const QString mac = datagram::macHexText(reply->mac);
                         if (seen.contains(mac))
                             return;
                         seen.insert(mac);
                         printLine(QStringLiteral("%1  %2  version %3")
                                       .arg(mac, datagram::ipText(reply->cardIp))
                                       .arg(reply->version));
                     });
    QTimer repeat;
    QObject::connect(&repeat, &QTimer::timeout, &channels, [&] { udp.sendSearchRequest(); });
    if (!udp.sendSearchRequest()) {
        printError(QStringLiteral("ledsign-cli search: cannot send the search to %1").arg(broadcast.toString()));
        return kExitFailure;
    }
    repeat.start(kRepeatMs);
    waitUntil([] { return false; }, waitSeconds * 1000);
    if (seen.isEmpty()) {
        printError(QStringLiteral("ledsign-cli search: no card answered within %1 s").arg(waitSeconds));
        return kExitNoCard;
    }
    return kExitOk;
}

} // namespace ledsign::cli
