#include "protocol/sendscheduler.h"

#include "language/language.h"
#include "protocol/exportfile.h"

#include <QDateTime>
#include <QSet>
#include <QTcpSocket>

namespace ledsign {

namespace {
constexpr double kMsPerDay = 86400000.0;
} // namespace

SendScheduler::SendScheduler(ProjectModel& model, CardSender& sender, QObject* parent)
    : QObject(parent)
    , m_model(model)
    , m_sender(sender)
    , m_download(*this)
{
    for (QTimer* t : {&m_packetTimer, &m_repeatTimer, &m_watchdog})
        t->setSingleShot(true);
    connect(&m_packetTimer, &QTimer::timeout, this, &SendScheduler::packetTick);
    connect(&m_repeatTimer, &QTimer::timeout, this, &SendScheduler::repeatTick);
    connect(&m_watchdog, &QTimer::timeout, this, &SendScheduler::watchdogTick);
    connect(&m_presence, &QTimer::timeout, this, &SendScheduler::presenceTick);
}

// ---------------------------------------------------------------- sending

void SendScheduler::sendCommand(const QString& selectedCardName)
{
    m_state.exportMode = false;
    send(selectedCardName);
}

void SendScheduler::send(const QString& selected)
{
    stopPackets();
    markTree(2);
    m_state.groupSlots.clear();
    m_state.groupNext = 0;

    if (!m_state.groupSend) {
        if (selected.isEmpty())
            showStatus(QStringLiteral("warn_send_program_card"));
        else
            startCard(selected);
        return;
    }

    QString prefix;
    if (!m_state.groupList.isEmpty()) {
        if (selected.isEmpty()) {
            showStatus(QStringLiteral("warn_send_program_card"));
            return;
        }
        for (const QString& group : std::as_const(m_state.groupList)) {
            if (selected.startsWith(group)) {
                prefix = group;
                break;
            }
        }
    }
    // No limit on the number of cards: every card that qualifies is sent to.
    for (const QString& name : treeCards()) {
        if (nodeState(name) > kNodeOffline && (m_state.groupList.isEmpty() || name.startsWith(prefix)))
            m_state.groupSlots.append(name);
    }
    continueGroup();
}

QByteArray SendScheduler::exportData(const QString& cardName, bool rs485, QString* error)
{
    auto fail = [&](const QString& text) {
        showStatusText(text);
        if (error)
            *error = text;
        return QByteArray();
    };
    const Found<TFIXModem> found = m_model.findCard(cardName);
    if (!found)
        return fail(messageText(QStringLiteral("warn_send_program_card")));
    if (isUnsetInternalCode(found.record->internalCode))
        return fail(messageText(QStringLiteral("warn_innercode_error")));
    DownloadOptions options;
    options.rs485 = rs485;
    options.exportFile = true;
    const DownloadBuild build = m_download.prepare(cardName, options);
    if (!build.ok) {
        const QString message = build.failure.message();
        return fail(message.isEmpty() ? messageText(QStringLiteral("warn_contents_empty_Send")) : message);
    }
    const QByteArray bytes = exportDataBytes(build.download);
    return bytes.isEmpty() ? fail(messageText(QStringLiteral("warn_contents_empty_Send"))) : bytes;
}

void SendScheduler::startCard(const QString& cardName)
{
    QMetaObject::invokeMethod(this, [this, cardName] { m_download.startDownload(cardName); }, Qt::QueuedConnection);
}

void SendScheduler::continueGroup()
{
    if (!m_state.groupSend || m_state.groupNext >= m_state.groupSlots.size())
        return;
    startCard(m_state.groupSlots[m_state.groupNext]);
    ++m_state.groupNext;
}

// ---------------------------------------------------------------- tree

QStringList SendScheduler::treeCards() const
{
    if (!m_treeFollowsCards)
        return m_tree;
    QStringList names;
    for (const TFIXModem& card : m_model.cards())
        names.append(card.name);
    return names;
}

void SendScheduler::setTreeCards(const QStringList& names)
{
    m_treeFollowsCards = false;
    m_tree = names;
    emit treeChanged();
}

void SendScheduler::addTreeCard(const QString& name)
{
    if (m_treeFollowsCards || m_tree.contains(name))
        return;
    m_tree.append(name);
    emit treeChanged();
}

int SendScheduler::nodeState(const QString& name) const { return m_states.value(name, kNodeOffline); }

void SendScheduler::setNodeState(const QString& name, int state)
{
    const int old = nodeState(name);
    m_states.insert(name, state);
    if (old != state)
        emit cardStateChanged(name, state);
}

void SendScheduler::markTree(int mode)
{
    for (const QString& name : treeCards()) {
        if (mode == 1)
            setNodeState(name, kNodeOffline);
        else if (mode == 2 && nodeState(name) == kNodeCompleted)
            setNodeState(name, kNodeOnline);
    }
}

void SendScheduler::markCompleted(const QString& cardName) { setNodeState(cardName, kNodeCompleted); }

// ---------------------------------------------------------------- links

void SendScheduler::registerConnection(TFIXModem& card, QTcpSocket* connection)
{
    card.online = 1;
    card.socket = connection;
    m_model.connectionSet(card);
    card.timeoutDays = sendtiming::kPollTimeoutFactor * m_state.pollTime * m_state.timeScale / 86400.0;
}

void SendScheduler::dropConnection(TFIXModem& card) { m_sender.dropConnection(card); }

bool SendScheduler::timedOut(const TFIXModem& card) const { return timedOut(card, QDateTime::currentDateTimeUtc()); }

bool SendScheduler::timedOut(const TFIXModem& card, const QDateTime& now) const
{
    if (!card.lastHeard.isValid())
        return true;
    return now > card.lastHeard.addMSecs(qint64(card.timeoutDays * kMsPerDay));
}

// ---------------------------------------------------------------- timers

void SendScheduler::stopPackets()
{
    m_packetTimer.stop();
    m_packetInterval = m_state.pacingInterval;
    setProgress(0);
    hideProgress();
}

void SendScheduler::startPacketTimer() { m_packetTimer.start(m_state.scaled(m_packetInterval)); }

void SendScheduler::setSendDelay(int ms)
{
    m_state.sendDelay = ms;
    m_packetInterval = m_state.pacingInterval + ms;
    m_repeatInterval += ms;
    m_watchdogInterval += ms;
}

void SendScheduler::setPresenceRunning(bool running)
{
    if (running)
        m_presence.start(m_state.scaled(sendtiming::kPresenceFirst));
    else
        m_presence.stop();
}

void SendScheduler::restartPresenceAfterSearch() { m_presence.start(m_state.scaled(sendtiming::kPresenceAfterSearch)); }

void SendScheduler::packetTick()
{
    m_packetTimer.stop();
    const QList<TFIXModem>& cards = m_model.cards();
    if (m_state.cardUnderSend < 0 || m_state.cardUnderSend >= cards.size())
        return;
    TFIXModem& card = m_model.cards()[m_state.cardUnderSend];
    if (card.sendStep != 1 && card.sendStep != 3) {
        // Queued text-program materials, one per tick.
        if (m_queuedTextTick && m_queuedTextTick())
            startPacketTimer();
        return;
    }

    const PacketSent sent = m_download.sendMaterialPacket(card, 0);
    if (sent.found)
        setProgress(sent.position);
    const int base = m_state.pacingInterval + m_state.sendDelay;
    if (!sent.found || sent.last || sent.written < 1) {
        ++m_state.failureCount;
        m_packetInterval = base + (sent.last ? sendtiming::kSlowPacketExtra : 0);
    } else {
        m_packetInterval = base + (sent.typeCode == '7' ? sendtiming::kSlowPacketExtra : 0);
    }
    if (m_state.failureCount > 3) {
        giveUp();
        return;
    }
    startPacketTimer();
}

void SendScheduler::giveUp()
{
    m_download.abandon();
    m_repeatTimer.stop();
    m_state.failureCount = -1;
    m_state.lastProgress = -1;
    setProgress(0);
    showStatus(QStringLiteral("warn_program_send_failed"));
    const QList<TFIXModem>& cards = m_model.cards();
    if (m_state.cardUnderSend >= 0 && m_state.cardUnderSend < cards.size())
        emit downloadEnded(cards[m_state.cardUnderSend].name, false);
    continueGroup();
}

void SendScheduler::repeatTick()
{
    if (m_state.failureCount > 2) {
        m_repeatTimer.stop();
        giveUp();
        return;
    }
    const QList<TFIXModem>& cards = m_model.cards();
    if (m_state.cardUnderSend < 0 || m_state.cardUnderSend >= cards.size())
        return;
    TFIXModem& card = m_model.cards()[m_state.cardUnderSend];
    int position = -1;
    if (card.sendStep == 1) {
        // An unanswered header piece counts like a material piece, so that
        // a silent line is given up rather than repeated for ever.
        position = m_download.resendHeaderPacket(card);
    } else if (card.sendStep == 2) {
        // The piece that stays unanswered goes again, not the one after it.
        const PacketSent sent = m_download.resendLastPiece(card);
        position = sent.found ? sent.position : 0;
        setProgress(position);
        if (!sent.found)
            startRepeatTimer(); // nothing left to repeat: let the count run out
    } else {
        return;
    }
    if (position == m_state.lastProgress)
        ++m_state.failureCount;
    else
        m_state.lastProgress = position;
}

void SendScheduler::watchdogTick()
{
    if (m_state.exportMode)
        return;
    showStatus(QStringLiteral("warn_comm_send_exception"));
    m_watchdog.stop();
    // The failure is told now: nothing the card says later completes this
    // download (on the network the header goes once more below, and the
    // card's confirmation of it starts the download again).
    m_download.abandon();
    m_repeatTimer.stop();
    const QList<TFIXModem>& cards = m_model.cards();
    const bool valid = m_state.cardUnderSend >= 0 && m_state.cardUnderSend < cards.size();
    if (valid)
        emit downloadEnded(cards[m_state.cardUnderSend].name, false);
    continueGroup();
    if (valid && !m_state.keptDescription.isEmpty())
        m_download.sendPlaybillHeader(m_model.cards()[m_state.cardUnderSend]);
}

void SendScheduler::presenceTick()
{
    if (!m_state.networkMode || m_state.searchRunning || m_state.groupNext < m_state.groupSlots.size())
        return;
    m_presence.setInterval(m_state.scaled(sendtiming::kPresence));
    // One look at the clock and one set of tree names for the whole fleet;
    // times in UTC compare without asking the time zone.
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QSet<QString> tree;
    if (!m_treeFollowsCards)
        tree = QSet<QString>(m_tree.cbegin(), m_tree.cend());
    for (const TFIXModem& card : m_model.cards()) {
        if (m_treeFollowsCards || tree.contains(card.name))
            setNodeState(card.name, timedOut(card, now) ? kNodeOffline : kNodeOnline);
    }
}

// ---------------------------------------------------------------- progress, messages

void SendScheduler::showProgress(int maximum)
{
    m_progressMax = maximum;
    m_progressPos = 0;
    m_progressVisible = true;
    emit progressShown(maximum);
}

void SendScheduler::setProgress(int position)
{
    m_progressPos = position;
    emit progressMoved(position);
}

void SendScheduler::hideProgress()
{
    m_progressPos = 0;
    m_progressVisible = false;
    emit progressHidden();
}

void SendScheduler::showStatus(const QString& key) { emit statusMessage(messageText(key)); }

void SendScheduler::showMessageBox(const QString& key) { emit messageBox(messageText(key)); }

} // namespace ledsign
