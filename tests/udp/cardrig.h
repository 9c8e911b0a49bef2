// The program's side of the network as the main window wires it — channels,
// UDP configuration, card search, registrations and the parameter logic —
// on loopback, facing virtual cards (ledsign-card) that share one UDP port
// on addresses 127.0.0.2, 127.0.0.3 ... Datagrams "to every card" go to the
// loopback broadcast address, which reaches every card on the shared port.
#pragma once

#include "config/paramconfig.h"
#include "language/language.h"
#include "model/projectmodel.h"
#include "model/settings.h"
#include "transport/cardlink.h"
#include "support/cardprocess.h"
#include "transport/cardsearch.h"
#include "transport/channelstartup.h"
#include "transport/commchannels.h"
#include "transport/udpconfig.h"
#include "transport/waitfor.h"

#include <QFileInfo>
#include <QUdpSocket>

#include <memory>

namespace ledsign::test {

inline const QString kRigServerIp = QStringLiteral("127.0.0.10");
inline const QHostAddress kLoopbackBroadcast(QStringLiteral("127.255.255.255"));

// A UDP port nobody holds right now.
inline quint16 freeUdpPort()
{
    QUdpSocket probe;
    probe.bind(QHostAddress::AnyIPv4, 0);
    return probe.localPort();
}

struct CardRig {
    ProjectModel model;
    CardLink link{model};
    QList<TFIXModem>& cards = model.cards();
    CommChannels& channels = link.channels();
    AppSettings settings;
    UdpConfig udp{channels, settings};
    CardSearch search{channels, settings, udp};
    ParamConfig config{link, settings, udp};
    quint16 cardPort = freeUdpPort();
    std::vector<std::unique_ptr<CardProcess>> virtualCards;
    QStringList status;
    QList<ParamFill> fills;

    CardRig()
    {
        setCurrentLanguage(kEnglish);
        settings.commMode = currentCommModeTexts().network;
        settings.serverIP = kRigServerIp;
        settings.serverPort = 0;
        link.setCommMode(CommModeKind::Network);
        channels.bindUdpListener(QHostAddress(kRigServerIp), 0);
        udp.setListenPort(channels.udp().localPort());
        udp.setBroadcastAddress(kLoopbackBroadcast);
        udp.setCardPort(cardPort);
        udp.setServerListenAddress(QHostAddress(kRigServerIp));
        // Nothing else lives on the loopback addresses the cards use.
        udp.setAddressProber([](const QString&) { return false; });
        udp.setArpClearer([](const QString&) {});
        connectUdpRegistration(udp, link.registrations());
        search.setTimeUnit(40);

        config.setScanModes(ScanModeTable(QStringLiteral("S")));
        config.setTimings({3000, 10, 10});
        QObject::connect(&config, &ParamConfig::statusText, [this](const QString& s) { status << s; });
        QObject::connect(&config, &ParamConfig::filled, [this](const ParamFill& f) { fills << f; });
    }

    bool openServer() { return channels.openServer(0, QHostAddress(kRigServerIp)); }

    // Starts a virtual card; null when it did not come up.
    CardProcess* startCard(QStringList arguments)
    {
        auto card = std::make_unique<CardProcess>();
        if (!card->start(arguments))
            return nullptr;
        if (arguments.contains(QStringLiteral("--udp")) && !card->waitForLine(QStringLiteral("ready udp")))
            return nullptr;
        virtualCards.push_back(std::move(card));
        return virtualCards.back().get();
    }

    CardProcess* startUdpCard(const QString& address, QStringList extra = {})
    {
        extra << QStringLiteral("--udp") << QStringLiteral("%1:%2").arg(address).arg(cardPort);
        return startCard(extra);
    }

    // The card record with this internal code, or null.
    TFIXModem* cardWithCode(const QString& code)
    {
        for (TFIXModem& c : cards)
            if (c.internalCode == code)
                return &c;
        return nullptr;
    }
};

} // namespace ledsign::test
