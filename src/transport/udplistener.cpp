#include "transport/udplistener.h"

#include <QNetworkDatagram>

#include <sys/socket.h>

namespace ledsign {

UdpListener::UdpListener(QObject* parent)
    : QObject(parent)
{
    connect(&m_socket, &QUdpSocket::readyRead, this, &UdpListener::onReadyRead);
}

bool UdpListener::bind(const QHostAddress& localAddress, quint16 port)
{
    unbind();
    m_address = localAddress.isNull() ? QHostAddress(QHostAddress::AnyIPv4) : localAddress;
    if (!m_socket.bind(m_address, port, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint))
        return false;
    // Qt turns broadcast on for its UDP sockets; say so explicitly, the
    // search request to 255.255.255.255 must never depend on a default.
    const int on = 1;
    ::setsockopt(int(m_socket.socketDescriptor()), SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    return true;
}

void UdpListener::unbind()
{
    if (m_socket.state() != QAbstractSocket::UnconnectedState)
        m_socket.close();
}

qint64 UdpListener::send(const QByteArray& datagram, const QHostAddress& to, quint16 port)
{
    if (!isBound())
        return -1;
    return m_socket.writeDatagram(datagram, to, port);
}

void UdpListener::onReadyRead()
{
    while (m_socket.hasPendingDatagrams()) {
        const QNetworkDatagram datagram = m_socket.receiveDatagram();
        if (!datagram.isValid())
            continue;
        emit datagramReceived(datagram.data(), datagram.senderAddress(), quint16(datagram.senderPort()),
                              m_address);
    }
}

} // namespace ledsign
