#include "protocol/replydispatcher.h"

#include "protocol/cardcommandsender.h"
#include "protocol/frame.h"
#include "protocol/registrations.h"
#include "protocol/sendscheduler.h"

#include <QDateTime>
#include <QPointer>
#include <QTcpSocket>

namespace ledsign {

ReplyDispatcher::ReplyDispatcher(SendScheduler& scheduler, Registrations& registrations, CardCommandSender& commands,
                                 QObject* parent)
    : QObject(parent)
    , m_s(scheduler)
    , m_registrations(registrations)
    , m_commands(commands)
{
    m_quietFlush.setSingleShot(true);
    connect(&m_quietFlush, &QTimer::timeout, this, &ReplyDispatcher::flushQuietConnections);
}

int ReplyDispatcher::cardOfConnection(QTcpSocket* connection) const
{
    const QList<qsizetype> on = m_s.model().findCardsOnConnection(connection);
    return on.isEmpty() ? -1 : int(on.first());
}

void ReplyDispatcher::takeTcpBytes(QTcpSocket* connection, const QByteArray& bytes)
{
    TcpFrameSplitter& splitter = m_splitters[connection];
    const QList<QByteArray> frames = splitter.feed(bytes);
    if (splitter.pendingSize() > 0 && !m_quietFlush.isActive())
        m_quietFlush.start(TcpFrameSplitter::kQuietFlushMs);
    handTcpFrames(connection, frames);
}

void ReplyDispatcher::flushQuietConnections()
{
    QList<QPair<QTcpSocket*, QList<QByteArray>>> flushed;
    qint64 nextCheck = -1;
    for (auto it = m_splitters.begin(); it != m_splitters.end(); ++it) {
        if (it->pendingSize() == 0)
            continue;
        const qint64 quiet = it->quietMs();
        if (quiet >= TcpFrameSplitter::kQuietFlushMs) {
            flushed.append({it.key(), it->flush()});
        } else {
            const qint64 left = TcpFrameSplitter::kQuietFlushMs - quiet;
            nextCheck = nextCheck < 0 ? left : std::min(nextCheck, left);
        }
    }
    if (nextCheck >= 0)
        m_quietFlush.start(int(nextCheck));
    // Handing on may close connections: only those still known get theirs.
    for (const auto& [connection, frames] : std::as_const(flushed)) {
        if (m_splitters.contains(connection))
            handTcpFrames(connection, frames);
    }
}

void ReplyDispatcher::handTcpFrames(QTcpSocket* connection, const QList<QByteArray>& frames)
{
    int index = cardOfConnection(connection);
    // A registration may wait for the operator, and the card may leave then.
    const QPointer<QTcpSocket> alive(connection);
    for (const QByteArray& frame : frames) {
        if (index < 0) {
            const Registrations::Result r = m_registrations.registerTcp(connection, frame);
            if (connection && !alive)
                return;
            if (r.accepted)
                index = r.cardIndex;
            continue;
        }
        // In UTC: a local time asks the system's time zone on every frame.
        m_s.model().cards()[index].lastHeard = QDateTime::currentDateTimeUtc();
        dispatch(index, readFrameMessage(frame));
        // Handling may have changed the card list or dropped the connection.
        index = cardOfConnection(connection);
    }
}

void ReplyDispatcher::forgetConnection(QTcpSocket* connection) { m_splitters.remove(connection); }

void ReplyDispatcher::takeSerialBlock(const QByteArray& block)
{
    const QList<SerialItem> items = m_serial.feed(block);
    if (items.isEmpty())
        return;
    const Found<TFIXModem> selected = m_s.model().findCard(m_s.state().selectedCardName);
    const int index = selected ? int(selected.index) : -1;
    if (index >= 0)
        m_s.state().cardUnderSend = index;

    for (const SerialItem& item : items) {
        if (item.kind == SerialItem::Kind::Frame) {
            emit cardAnsweredOnSerial();
            const CardMessage message = readFrameMessage(item.bytes);
            const int command = frame::command(item.bytes);
            if (command == frame::reply::kReport || command == frame::reply::kSerialReport
                || command == frame::reply::kMaterialReport) {
                if (const CardReport* r = std::get_if<CardReport>(&message))
                    m_registrations.registerSerial(*r, false);
            }
            if (!m_s.model().cards().isEmpty())
                dispatch(index < 0 ? 0 : index, message);
            continue;
        }
        const CardMessage message = readRs485Message(item.bytes);
        if (const CardReport* r = std::get_if<CardReport>(&message)) {
            m_registrations.registerSerial(*r, true);
        } else if (const ParameterReply* p = std::get_if<ParameterReply>(&message)) {
            emit parametersReceived(*p);
        } else if (std::holds_alternative<ParametersWritten>(message)) {
            if (m_parameterWindow)
                emit parametersWritten();
        } else if (const Rs485Reply* reply = std::get_if<Rs485Reply>(&message)) {
            if (index >= 0)
                m_s.download().on485Reply(index, *reply);
        }
    }
}

void ReplyDispatcher::dispatch(int cardIndex, const CardMessage& message)
{
    QList<TFIXModem>& cards = m_s.model().cards();
    if (cardIndex < 0 || cardIndex >= cards.size())
        return;
    if (const CardReport* r = std::get_if<CardReport>(&message)) {
        // A card that reports itself again is told the time again.
        if (r->command == frame::reply::kReport)
            m_commands.sendTimeAndPoll(cards[cardIndex]);
    } else if (const Confirmation* c = std::get_if<Confirmation>(&message)) {
        if (!m_confirmationHook || !m_confirmationHook(cardIndex, *c))
            m_s.download().onConfirmation(cardIndex, *c);
    } else if (const ParameterReply* p = std::get_if<ParameterReply>(&message)) {
        emit parametersReceived(*p);
    } else if (std::holds_alternative<ParametersWritten>(message)) {
        if (m_parameterWindow)
            emit parametersWritten();
    } else if (std::holds_alternative<DownloadException>(message)) {
        m_s.download().onException(cardIndex);
    } else if (const Rs485Reply* reply = std::get_if<Rs485Reply>(&message)) {
        m_s.download().on485Reply(cardIndex, *reply);
    }
    // Upload notices, heartbeats and unknown frames need nothing.
}

} // namespace ledsign
