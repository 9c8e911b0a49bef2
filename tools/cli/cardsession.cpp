#include "cardsession.h"

#include "language/language.h"
#include "protocol/cardcommands.h"
#include "protocol/frame.h"
#include "protocol/sendstate.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTcpSocket>
#include <QTimer>

namespace ledsign::cli {

namespace {

constexpr int kPollMs = 20;
// How often a serial line is asked again for its card.
constexpr int kQueryRepeatMs = 2000;
// Quiet time between a serial registration and the download.
constexpr int kSettleMs = 1000;

} // namespace

bool waitUntil(const std::function<bool()>& done, int timeoutMs)
{
    if (done())
        return true;
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer tick;
    bool result = false;
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        if (done()) {
            result = true;
            loop.quit();
        } else if (clock.elapsed() >= timeoutMs) {
            loop.quit();
        }
    });
    tick.start(kPollMs);
    loop.exec();
    return result;
}

CardSession::CardSession(ProjectModel& model, QObject* parent)
    : QObject(parent)
    , m_model(model)
    , m_link(model)
{
    m_link.setCommMode(CommModeKind::Network);
}

bool CardSession::listen(const QHostAddress& address, quint16 port, QString& error)
{
    if (m_link.channels().openServer(port, address))
        return true;
    error = QStringLiteral("cannot listen on %1 port %2: %3")
                .arg(address.toString())
                .arg(port)
                .arg(m_link.channels().server().errorString());
    return false;
}

quint16 CardSession::port() const { return const_cast<CardLink&>(m_link).channels().serverPort(); }

QString CardSession::onlineCard(const QString& code) const
{
    SendScheduler& scheduler = const_cast<CardLink&>(m_link).scheduler();
    for (const TFIXModem& card : m_model.cards()) {
        if (!code.isEmpty() && card.internalCode != code)
            continue;
        if (m_serial) {
            // A card on the line is on-line once its report registered it.
            if (card.linkKind == (m_rs485 ? 1 : 0) && scheduler.nodeState(card.name) == kNodeOnline)
                return card.name;
        } else if (card.online == 1 && card.linkKind == 2 && !card.socket.isNull()) {
            return card.name;
        }
    }
    return {};
}

bool CardSession::openSerial(const QString& device, int baudRate, bool rs485, QString& error)
{
    m_serial = true;
    m_rs485 = rs485;
    m_device = device;
    m_lineGone.clear();
    // Named at once: no repeats into a device that is no more.
    connect(&m_link.channels().serial(), &SerialLink::wentAway, this, [this](const QString&) {
        m_lineGone = QStringLiteral("the line %1 went away").arg(m_device);
    });
    m_link.setCommMode(rs485 ? CommModeKind::Rs485 : CommModeKind::Serial);
    if (m_link.channels().openSerialPort(kAfterOpenNothing, device, baudRate))
        return true;
    error = QStringLiteral("cannot open the serial port %1: %2").arg(device, m_link.channels().serial().errorString());
    return false;
}

QString CardSession::waitForSerialCard(const QString& code, int timeoutMs)
{
    const QByteArray query = m_rs485 ? commands::in485Packet(frame::identityQuery(), code) : frame::identityQuery();
    if (query.isEmpty())
        return {};
    QElapsedTimer sinceQuery;
    QString name;
    auto ask = [&] {
        m_link.channels().serial().write(query);
        sinceQuery.start();
    };
    ask();
    waitUntil([&] {
        name = onlineCard(code);
        if (name.isEmpty() && sinceQuery.elapsed() >= kQueryRepeatMs)
            ask();
        return !name.isEmpty() || !m_lineGone.isEmpty();
    }, timeoutMs);
    if (!m_lineGone.isEmpty())
        return {};
    if (name.isEmpty())
        return {};
    // The registration asked the card for its time and parameters; let those
    // answers go by before the download starts, so that none of them is
    // taken for the confirmation of the playbill header.
    QElapsedTimer settle;
    settle.start();
    waitUntil([&] { return settle.elapsed() >= kSettleMs; }, kSettleMs + kPollMs);
    return name;
}

void CardSession::setTrace(TraceWriter* trace)
{
    CommChannels& channels = m_link.channels();
    connect(&channels, &CommChannels::bytesSent, this, [trace](QTcpSocket* connection, const QByteArray& bytes) {
        trace->record(true, connection ? QStringLiteral("tcp") : QStringLiteral("serial"), bytes);
    });
    connect(&channels, &CommChannels::serialBlockReceived, this,
            [trace](const QByteArray& bytes) { trace->record(false, QStringLiteral("serial"), bytes); });
    connect(&channels, &CommChannels::tcpBytesReceived, this,
            [trace](QTcpSocket*, const QByteArray& bytes) { trace->record(false, QStringLiteral("tcp"), bytes); });
}

QString CardSession::waitForCard(const QString& code, int timeoutMs)
{
    QString name;
    waitUntil([&] {
        name = onlineCard(code);
        return !name.isEmpty();
    }, timeoutMs);
    return name;
}

CardSession::SendResult CardSession::sendPlaybill(const QString& cardName, int timeoutMs, const Progress& progress)
{
    SendResult result;
    SendScheduler& scheduler = m_link.scheduler();
    bool ended = false;
    bool sent = false;
    int maximum = 0;
    QString lastStatus;
    QList<QMetaObject::Connection> connections;
    connections << connect(&scheduler, &SendScheduler::statusMessage, this,
                           [&](const QString& text) { lastStatus = text; });
    connections << connect(&scheduler, &SendScheduler::messageBox, this,
                           [&](const QString& text) { lastStatus = text; });
    connections << connect(&scheduler, &SendScheduler::progressShown, this, [&](int max) {
        maximum = max;
        result.packets = max;
        if (progress)
            progress(0, max);
    });
    connections << connect(&scheduler, &SendScheduler::progressMoved, this, [&](int position) {
        if (progress && maximum > 0)
            progress(position, maximum);
    });
    connections << connect(&scheduler, &SendScheduler::downloadEnded, this,
                           [&](const QString& name, bool ok) {
                               if (name != cardName)
                                   return;
                               ended = true;
                               sent = ok;
                           });
    QElapsedTimer clock;
    clock.start();
    scheduler.sendCommand(cardName);
    const bool finished = waitUntil([&] { return ended || !m_lineGone.isEmpty(); }, timeoutMs);
    result.elapsedMs = clock.elapsed();
    for (const QMetaObject::Connection& c : std::as_const(connections))
        disconnect(c);

    // Success is the download's end with the card's last confirmation; the
    // status text then reads "Playbill been sent.".
    const QString sentText = GetLgText(3, QStringLiteral("tip_program_sent"));
    if (!m_lineGone.isEmpty() && !(ended && sent)) {
        scheduler.stopPackets();
        scheduler.download().abandon();
        result.message = m_lineGone;
        return result;
    }
    if (!finished) {
        scheduler.stopPackets();
        result.message = QStringLiteral("the card did not finish the download within %1 s").arg(timeoutMs / 1000);
        if (!lastStatus.isEmpty())
            result.message += QStringLiteral(" (last status: %1)").arg(lastStatus);
        return result;
    }
    result.ok = sent && lastStatus == sentText;
    result.message = lastStatus;
    if (!result.ok && result.message.isEmpty())
        result.message = QStringLiteral("the playbill was not sent");
    return result;
}

bool CardSession::flush(const QString& cardName, int timeoutMs)
{
    const Found<TFIXModem> card = m_model.findCard(cardName);
    if (!card || card.record->socket.isNull())
        return false;
    QPointer<QTcpSocket> socket = card.record->socket;
    return waitUntil([&] { return socket.isNull() || socket->bytesToWrite() == 0; }, timeoutMs) && !socket.isNull();
}

} // namespace ledsign::cli
