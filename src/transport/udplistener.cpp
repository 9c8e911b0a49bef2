#include "transport/udplistener.h"

#include <QNetworkDatagram>
#include <QNetworkInterface>

#include <sys/socket.h>

namespace ledsign {

namespace {

constexpr auto kBindMode = QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint;

void allowBroadcast(QUdpSocket& socket)
{
    // Qt turns broadcast on for its UDP sockets; say so explicitly, the
    // search request to 255.255.255.255 must never depend on a default.
    const int on = 1;
    ::setsockopt(int(socket.socketDescriptor()), SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
}

bool isUnicast(const QHostAddress& a)
{
    return !a.isNull() && a != QHostAddress(QHostAddress::AnyIPv4) && a != QHostAddress(QHostAddress::Any)
        && a != QHostAddress(QHostAddress::Broadcast) && !a.isLoopback() && !a.isMulticast();
}

} // namespace

UdpListener::UdpListener(QObject* parent)
    : QObject(parent)
{
    connect(&m_socket, &QUdpSocket::readyRead, this, &UdpListener::onReadyRead);
    connect(&m_broadcasts, &QUdpSocket::readyRead, this, &UdpListener::onBroadcastReadyRead);
}

bool UdpListener::bind(const QHostAddress& localAddress, quint16 port)
{
    unbind();
    m_address = localAddress.isNull() ? QHostAddress(QHostAddress::AnyIPv4) : localAddress;
    if (!m_socket.bind(m_address, port, kBindMode))
        return false;
    allowBroadcast(m_socket);
    // Broadcasts come in on the any-address only (loopback carries none).
    if (isUnicast(m_address) && m_broadcasts.bind(QHostAddress::AnyIPv4, m_socket.localPort(), kBindMode))
        allowBroadcast(m_broadcasts);
    return true;
}

void UdpListener::unbind()
{
    for (QUdpSocket* s : {&m_socket, &m_broadcasts}) {
        if (s->state() != QAbstractSocket::UnconnectedState)
            s->close();
    }
}

bool UdpListener::receivesBroadcasts() const
{
    return isBound() && (!isUnicast(m_address) || m_broadcasts.state() == QAbstractSocket::BoundState);
}

qint64 UdpListener::send(const QByteArray& datagram, const QHostAddress& to, quint16 port)
{
    if (!isBound())
        return -1;
    // Sent from the server IP's binding, so that broadcasts leave through
    // the chosen adapter.
    return m_socket.writeDatagram(datagram, to, port);
}

bool UdpListener::acceptsBroadcast(const QHostAddress& serverAddress, const QHostAddress& destination,
                                   uint interfaceIndex)
{
    bool isV4 = false;
    const quint32 server = serverAddress.toIPv4Address(&isV4);
    if (!isV4)
        return false;
    for (const QNetworkInterface& nic : QNetworkInterface::allInterfaces()) {
        for (const QNetworkAddressEntry& e : nic.addressEntries()) {
            if (e.ip().toIPv4Address() != server)
                continue;
            // The adapter owning the server IP: its broadcasts, and the
            // limited broadcast when it arrived on that adapter.
            if (!e.broadcast().isNull() && destination == e.broadcast())
                return true;
            if (destination == QHostAddress(QHostAddress::Broadcast))
                return interfaceIndex == 0 || int(interfaceIndex) == nic.index();
            return false;
        }
    }
    return false; // the server IP is on no adapter of this PC
}

void UdpListener::deliver(const QNetworkDatagram& datagram)
{
    emit datagramReceived(datagram.data(), datagram.senderAddress(), quint16(datagram.senderPort()), m_address);
}

void UdpListener::onReadyRead()
{
    while (m_socket.hasPendingDatagrams()) {
        const QNetworkDatagram datagram = m_socket.receiveDatagram();
        if (datagram.isValid())
            deliver(datagram);
    }
}

void UdpListener::onBroadcastReadyRead()
{
    while (m_broadcasts.hasPendingDatagrams()) {
        const QNetworkDatagram datagram = m_broadcasts.receiveDatagram();
        // Unicasts to other addresses of this PC belong to other adapters.
        if (datagram.isValid()
            && acceptsBroadcast(m_address, datagram.destinationAddress(), datagram.interfaceIndex()))
            deliver(datagram);
    }
}

} // namespace ledsign
