// A UDP configuration on loopback with a card socket that receives what the
// program sends to "every card" and can answer on the program's listener.
#pragma once

#include "language/language.h"
#include "model/projectmodel.h"
#include "model/settings.h"
#include "model/tfixmodem.h"
#include "transport/cardlink.h"
#include "transport/channelstartup.h"
#include "transport/commchannels.h"
#include "transport/udpconfig.h"
#include "support/testsupport.h"
#include "transport/waitfor.h"

#include <QNetworkDatagram>
#include <QSet>
#include <QUdpSocket>

namespace ledsign::test {

inline const QString kServerIp = QStringLiteral("127.0.0.10");

struct UdpRig {
    ProjectModel model;
    CardLink link{model};
    QList<TFIXModem>& cards = model.cards();
    CommChannels& channels = link.channels();
    AppSettings settings;
    UdpConfig udp{channels, settings};
    QUdpSocket card;
    QList<QByteArray> toCard;
    QSet<QString> answering; // addresses the prober says answer

    UdpRig()
    {
        setCurrentLanguage(kEnglish);
        settings.commMode = currentCommModeTexts().network;
        settings.serverIP = kServerIp;
        settings.serverPort = 0;
        card.bind(QHostAddress::LocalHost, 0);
        QObject::connect(&card, &QUdpSocket::readyRead, [this] {
            while (card.hasPendingDatagrams())
                toCard.append(card.receiveDatagram().data());
        });
        channels.bindUdpListener(QHostAddress(kServerIp), 0);
        udp.setListenPort(channels.udp().localPort());
        udp.setBroadcastAddress(QHostAddress::LocalHost);
        udp.setServerListenAddress(QHostAddress::LocalHost);
        udp.setCardPort(card.localPort());
        udp.setAddressProber([this](const QString& a) { return answering.contains(a); });
        udp.setArpClearer([this](const QString& a) { arpCleared << a; });
    }

    // A datagram from the card to the program's listener.
    void fromCard(const QByteArray& bytes)
    {
        card.writeDatagram(bytes, QHostAddress(kServerIp), channels.udp().localPort());
    }

    bool waitForCard(int count, int ms = 2000)
    {
        return waitFor([&] { return toCard.size() >= count; }, ms);
    }

    QStringList arpCleared;
};

} // namespace ledsign::test
