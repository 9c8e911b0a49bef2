#include "transport/commchannels.h"

#include "protocol/frame.h"

namespace ledsign {

CommChannels::CommChannels(QList<TFIXModem>& cards, QObject* parent)
    : QObject(parent)
    , m_cards(cards)
{
    connect(&m_server, &CardServer::connectionAccepted, this, &CommChannels::onConnectionAccepted);
    connect(&m_server, &CardServer::connectionClosed, this, &CommChannels::onConnectionClosed);
    connect(&m_server, &CardServer::dataWaiting, this, &CommChannels::onDataWaiting);
    connect(&m_server, &CardServer::connectionLimitReached, this,
            [this] { emit statusMessage(channeltext::connectionLimitReached()); });
    connect(&m_serial, &SerialLink::blockReceived, this, &CommChannels::onSerialBlock);
    connect(&m_serial, &SerialLink::written, this, [this](const QByteArray& bytes) { emit bytesSent(nullptr, bytes); });
    connect(&m_udp, &UdpListener::datagramReceived, this, &CommChannels::onDatagram);
}

bool CommChannels::openSerialPort(int afterOpenAction, const QString& portName, int baudRate)
{
    m_lastPort = portName;
    m_lastBaud = baudRate;
    m_channel = ReceiveChannel::Serial;
    const QString port = portName.trimmed();

    if (!m_serial.open(port, baudRate)) {
        setStatus([port] { return channeltext::serialOpenFailed(port); });
        return false;
    }
    emit presenceTimerWanted(false);
    setStatus([port, baudRate] { return channeltext::serialOpened(port, baudRate); });
    if (afterOpenAction == kAfterOpenIdentityQuery)
        sendIdentityQueryOnSerial();
    else if (afterOpenAction == kAfterOpenCardSearch)
        emit cardSearchRequested();
    setControls(channeltext::kCloseSerialCaption, true, false);
    return true;
}

void CommChannels::closeSerialPort()
{
    const bool ok = m_serial.close();
    setControls(channeltext::kOpenSerialCaption, true, false);
    setStatus(ok ? &channeltext::serialClosed : &channeltext::serialCloseFailed);
}

void CommChannels::toggleSerialPort()
{
    if (m_buttonCaption == channeltext::kCloseSerialCaption)
        closeSerialPort();
    else
        openSerialPort(kAfterOpenFromButton, m_lastPort, m_lastBaud);
}

bool CommChannels::openServer(quint16 port, const QHostAddress& address)
{
    m_channel = ReceiveChannel::Network;
    if (m_server.isListening())
        return true;
    if (!m_server.open(port, address)) {
        setStatus(&channeltext::serverOpenFailed);
        return false;
    }
    // Port 0 asks the system for any free port; report the real one.
    m_serverPort = m_server.port();
    emit presenceTimerWanted(true);
    emit serverPortChosen(m_serverPort);
    setStatus([port = m_serverPort] { return channeltext::serverOpened(port); });
    setControls(m_buttonCaption, false, true);
    return true;
}

void CommChannels::closeServer()
{
    m_server.close();
}

bool CommChannels::bindUdpListener(const QHostAddress& localAddress, quint16 port)
{
    return m_udp.bind(localAddress, port);
}

bool CommChannels::sendIdentityQuery(QTcpSocket* connection)
{
    if (!connection || connection->state() != QAbstractSocket::ConnectedState)
        return false;
    const QByteArray query = frame::identityQuery();
    const bool ok = connection->write(query) == query.size();
    if (ok)
        emit bytesSent(connection, query);
    return ok;
}

bool CommChannels::sendIdentityQueryOnSerial()
{
    return m_serial.write(frame::identityQuery());
}

bool CommChannels::sendIdentityQueryToCard(const TFIXModem& card)
{
    if (card.linkKind == 0)
        return sendIdentityQueryOnSerial();
    if (card.linkKind == 2)
        return sendIdentityQuery(card.socket.data());
    return false;
}

qint64 CommChannels::sendBytesToCard(TFIXModem& card, const QByteArray& bytes)
{
    if (card.linkKind != 2)
        return m_serial.write(bytes) ? bytes.size() : -1;

    QTcpSocket* connection = card.socket.data();
    if (!connection)
        return -1;
    const qint64 written = connection->state() == QAbstractSocket::ConnectedState ? connection->write(bytes) : -1;
    if (written < 0) {
        dropConnection(card);
        return -1;
    }
    emit bytesSent(connection, bytes.left(written));
    return written;
}

void CommChannels::dropConnection(TFIXModem& card)
{
    card.online = 0;
    QPointer<QTcpSocket> connection = card.socket;
    card.socket = nullptr;
    if (connection)
        connection->abort(); // reports itself closed to the server
}

void CommChannels::setStatus(std::function<QString()> text)
{
    m_statusText = std::move(text);
    emit channelStatusChanged(m_statusText());
}

void CommChannels::setControls(const QString& caption, bool buttonVisible, bool groupBoxVisible)
{
    m_buttonCaption = caption;
    m_buttonVisible = buttonVisible;
    m_groupBoxVisible = groupBoxVisible;
    emit controlsChanged();
}

void CommChannels::onConnectionAccepted(QTcpSocket* connection)
{
    sendIdentityQuery(connection);
    emit connectionAccepted(connection);
}

void CommChannels::onConnectionClosed(QTcpSocket* connection)
{
    // Every card that used this connection loses it: a card list may hold
    // two records of one internal code, both registered on it.
    for (qsizetype i = 0; i < m_cards.size(); ++i) {
        TFIXModem& card = m_cards[i];
        if (card.socket.data() != connection)
            continue;
        card.socket = nullptr;
        card.online = 0;
        emit cardOffline(int(i));
    }
    emit connectionClosed(connection);
}

void CommChannels::onDataWaiting(QTcpSocket* connection)
{
    if (m_channel == ReceiveChannel::Serial) {
        // Ignored, but not left to pile up in the socket.
        connection->readAll();
        return;
    }
    QPointer<QTcpSocket> guarded(connection);
    QMetaObject::invokeMethod(this, [this, guarded] {
        if (!guarded)
            return;
        const QByteArray bytes = guarded->readAll();
        if (!bytes.isEmpty())
            emit tcpBytesReceived(guarded.data(), bytes);
    }, Qt::QueuedConnection);
}

void CommChannels::onSerialBlock(const QByteArray& block)
{
    QMetaObject::invokeMethod(this, [this, block] { emit serialBlockReceived(block); }, Qt::QueuedConnection);
}

void CommChannels::onDatagram(const QByteArray& datagram, const QHostAddress& sender, quint16 senderPort,
                              const QHostAddress& local)
{
    if (m_channel == ReceiveChannel::Serial)
        return;
    QMetaObject::invokeMethod(this, [=, this] { emit datagramReceived(datagram, sender, senderPort, local); },
                              Qt::QueuedConnection);
}

} // namespace ledsign
