#include "udpresponder.h"

#include "virtualcard.h"

#include "config/screenparams.h"

#include <QNetworkDatagram>

namespace ledsign::card {

namespace {

constexpr auto kShare = QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint;

} // namespace

UdpResponder::UdpResponder(const CardOptions& options, VirtualCard& card, QObject* parent)
    : QObject(parent)
    , m_options(options)
    , m_card(card)
{
    if (const auto ip = datagram::ipFromText(options.udpAddress))
        m_ip = *ip;
    if (!options.tcpHost.isEmpty()) {
        m_serverHost = options.tcpHost;
        m_serverPort = options.tcpPort;
        if (const auto server = datagram::ipFromText(options.tcpHost))
            m_serverIp = *server;
    }
    connect(&m_shared, &QUdpSocket::readyRead, this, [this] { onReadyRead(m_shared); });
    connect(&m_own, &QUdpSocket::readyRead, this, [this] { onReadyRead(m_own); });
}

bool UdpResponder::start(QString& error)
{
    if (!m_shared.bind(QHostAddress::AnyIPv4, m_options.udpPort, kShare)) {
        error = QStringLiteral("cannot listen on UDP port %1: %2").arg(m_options.udpPort).arg(m_shared.errorString());
        return false;
    }
    if (!bindOwn(error))
        return false;
    m_card.logEvent(QStringLiteral("ready udp %1:%2 mac=%3")
                        .arg(datagram::ipText(m_ip))
                        .arg(m_options.udpPort)
                        .arg(datagram::macDecimalText(m_options.mac)));
    return true;
}

bool UdpResponder::bindOwn(QString& error)
{
    m_own.close();
    if (!m_own.bind(QHostAddress(datagram::ipText(m_ip)), m_options.udpPort, kShare)) {
        error = QStringLiteral("cannot listen on %1:%2: %3")
                    .arg(datagram::ipText(m_ip))
                    .arg(m_options.udpPort)
                    .arg(m_own.errorString());
        return false;
    }
    return true;
}

QString UdpResponder::serverText() const
{
    return QStringLiteral("%1:%2").arg(m_serverHost).arg(m_serverPort);
}

void UdpResponder::onReadyRead(QUdpSocket& socket)
{
    while (socket.hasPendingDatagrams()) {
        const QNetworkDatagram in = socket.receiveDatagram(64 * 1024);
        const QByteArray answer = handle(in.data());
        if (answer.isEmpty() || in.senderAddress().isNull())
            continue;
        // Answers leave from the card's own address, as from a real card.
        QUdpSocket& out = m_own.state() == QAbstractSocket::BoundState ? m_own : m_shared;
        out.writeDatagram(answer, in.senderAddress(), quint16(in.senderPort()));
    }
}

QByteArray UdpResponder::detail() const
{
    datagram::DetailReply r;
    r.name = m_options.name.isEmpty() ? m_options.cardType : m_options.name;
    r.mac = m_options.mac;
    r.cardIp = m_ip;
    r.mask = m_mask;
    r.serverPort = m_serverPort;
    r.internalCode = m_options.internalCode;
    r.block = m_card.parameters();
    return datagram::detailReply(r);
}

QByteArray UdpResponder::handle(const QByteArray& bytes)
{
    const auto request = datagram::parseCardRequest(bytes);
    if (!request) {
        m_card.logEvent(QStringLiteral("udp ignored %1 bytes").arg(bytes.size()));
        return {};
    }
    using datagram::RequestKind;
    switch (request->kind) {
    case RequestKind::Search: {
        m_card.logEvent(QStringLiteral("udp search"));
        datagram::SearchReply r;
        r.cardIp = m_ip;
        r.mac = m_options.mac;
        r.version = m_options.version;
        return datagram::searchReply(r);
    }
    case RequestKind::Detail:
        m_card.logEvent(QStringLiteral("udp detail"));
        return detail();
    default:
        break;
    }
    if (!forMe(request->mac))
        return {}; // a broadcast meant for another card
    switch (request->kind) {
    case RequestKind::DetailByMac:
        m_card.logEvent(QStringLiteral("udp detail by mac"));
        return detail();
    case RequestKind::ParameterWrite:
        // The program expects no answer: it reads the block back when it
        // wants to see it.
        m_card.setParameters(request->block);
        m_card.logEvent(QStringLiteral("udp params written flag=%1").arg(quint8(request->block.at(screenblock::kInterfaceFlag))));
        return {};
    case RequestKind::NetworkSetting: {
        const datagram::Ipv4 previous = m_ip;
        m_ip = request->cardIp;
        m_mask = request->mask;
        m_serverIp = request->serverIp;
        m_serverPort = request->serverPort;
        m_serverHost = datagram::ipText(m_serverIp);
        QString why;
        if (m_ip != previous && !bindOwn(why)) {
            // An address this machine does not have: keep answering on the old one.
            m_card.logEvent(QStringLiteral("udp keeps %1 (%2)").arg(datagram::ipText(previous), why));
            m_ip = previous;
            bindOwn(why);
        }
        m_card.logEvent(QStringLiteral("udp network ip=%1 mask=%2 server=%3")
                            .arg(datagram::ipText(m_ip), datagram::ipText(m_mask), serverText()));
        m_card.connectToServer(m_serverHost, m_serverPort, datagram::ipText(m_ip));
        return {};
    }
    case RequestKind::Release:
        m_card.logEvent(QStringLiteral("udp released"));
        m_card.dropServer();
        return {};
    default:
        return {};
    }
}

} // namespace ledsign::card
