// The card's UDP side: answers searches and detail requests on port 8800,
// takes parameter writes, network settings and release notices addressed
// to its MAC. Several virtual cards share the port on one machine: each
// listens for broadcasts on every address (the port is shared) and for
// datagrams meant for it alone on its own address (127.0.0.2, 127.0.0.3 ...),
// which the system prefers over the shared binding. Replies go back to
// whoever asked.
#pragma once

#include "cardoptions.h"
#include "transport/datagram.h"

#include <QHostAddress>
#include <QObject>
#include <QUdpSocket>

namespace ledsign::card {

class VirtualCard;

class UdpResponder : public QObject {
    Q_OBJECT
public:
    UdpResponder(const CardOptions& options, VirtualCard& card, QObject* parent = nullptr);

    bool start(QString& error);

    datagram::Ipv4 cardIp() const { return m_ip; }
    datagram::Ipv4 mask() const { return m_mask; }
    QString serverText() const;

    // What one datagram from the program does; the answer (if any) is
    // returned so that it can be sent back to the sender.
    QByteArray handle(const QByteArray& bytes);

private:
    void onReadyRead(QUdpSocket& socket);
    bool bindOwn(QString& error);
    QByteArray detail() const;
    bool forMe(const datagram::Mac& mac) const { return mac == m_options.mac; }

    CardOptions m_options;
    VirtualCard& m_card;
    QUdpSocket m_shared;   // broadcasts, on every address
    QUdpSocket m_own;      // unicasts, on the card's address
    datagram::Ipv4 m_ip{};
    datagram::Ipv4 m_mask{255, 255, 255, 0};
    datagram::Ipv4 m_serverIp{};
    quint16 m_serverPort = 0;
    QString m_serverHost;
};

} // namespace ledsign::card
