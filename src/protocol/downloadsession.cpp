#include "protocol/downloadsession.h"

#include "language/language.h"
#include "protocol/conversions.h"
#include "protocol/frame.h"
#include "protocol/rs485packet.h"
#include "protocol/sendscheduler.h"

#include <QTimer>

#include <algorithm>

namespace ledsign {

namespace {
constexpr quint8 kConfirmedRequest = 0x33;
constexpr quint8 kConfirmedMaterial = 0x31;

bool isIgnored485Command(int command)
{
    return command == 0x21 || command == 0x74 || command == 0x32 || command == 0x91;
}
} // namespace

DownloadSession::DownloadSession(SendScheduler& scheduler)
    : m_s(scheduler)
{
    m_pace.setSingleShot(true);
    // The delay is a least wait for the line: it must not end early.
    m_pace.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_pace, &QTimer::timeout, &m_s, [this] { runPacedStep(); });
}

TFIXModem* DownloadSession::card(int index)
{
    QList<TFIXModem>& cards = m_s.model().cards();
    return index >= 0 && index < cards.size() ? &cards[index] : nullptr;
}

DownloadBuild DownloadSession::prepare(const QString& cardName, const DownloadOptions& options)
{
    return m_prepare ? m_prepare(m_s.model(), cardName, options) : DownloadBuild();
}

void DownloadSession::startDownload(const QString& cardName)
{
    SendState& st = m_s.state();
    ProjectModel& model = m_s.model();
    st.failureCount = -1;
    st.lastProgress = -1;
    st.keptDescription.clear();
    m_keptHeader.clear();
    m_lastPiece = -1;
    m_active = false;
    m_awaiting.clear();
    m_asked.clear();
    cancelPendingStep();
    st.selectedCardName = cardName;
    m_s.stopPacketTimer();

    // A card that cannot be sent to never stops a group send: the next card
    // is started.
    auto refuse = [&](const QString& key) {
        if (!key.isEmpty())
            m_s.showStatus(key);
        emit m_s.downloadEnded(cardName, false);
        m_s.continueGroup();
    };
    if (m_s.nodeState(cardName) <= kNodeOffline && !st.exportMode)
        return refuse(QStringLiteral("warn_card_offline"));
    if (model.pages().isEmpty() || model.regions().isEmpty() || model.materials().isEmpty())
        return refuse(QStringLiteral("warn_contents_empty_Send"));
    const Found<TFIXModem> found = model.findCard(cardName);
    if (!found)
        return refuse(QString());
    if (found.record->linkKind == 2 && !found.record->socket)
        return refuse(QString());
    if (isUnsetInternalCode(found.record->internalCode))
        return refuse(QStringLiteral("warn_innercode_error"));

    st.cardUnderSend = int(found.index);
    if (!st.exportMode)
        buildAndSend(int(found.index));
}

void DownloadSession::buildAndSend(int cardIndex)
{
    TFIXModem* c = card(cardIndex);
    if (!c)
        return;
    SendState& st = m_s.state();
    const QString name = c->name;
    auto refuse = [&](const QString& key, bool box) {
        if (box)
            m_s.showMessageBox(key);
        else
            m_s.showStatus(key);
        emit m_s.downloadEnded(name, false);
        m_s.continueGroup();
    };

    c->counters[0] = c->counters[1] = c->counters[2] = 0;
    c->materialPackets.clear();
    if (c->version < kMinimumVersion)
        return refuse(QStringLiteral("warn_card_version_low_send"), true);
    const QList<TFodder>& materials = m_s.model().materials();
    if (std::none_of(materials.cbegin(), materials.cend(), [&](const TFodder& m) { return m.cardName == name; }))
        return refuse(QStringLiteral("warn_contents_empty_Send"), false);

    m_s.showStatus(QStringLiteral("tip_load_send_contents"));
    // The communication mode decides the form: on the RS-485 line every card
    // is addressed, whatever link it was registered with (a plain frame
    // there would reach every card on the wire).
    const bool rs485 = st.rs485Mode;
    DownloadOptions options;
    options.rs485 = rs485;
    const DownloadBuild build = m_prepare ? m_prepare(m_s.model(), name, options) : DownloadBuild();
    if (!build.ok) {
        const QString text = build.failure.message();
        const bool box = build.failure.messageKey == QLatin1String("warn_card_version_low_send");
        if (box)
            m_s.showMessageBoxText(text);
        else
            m_s.showStatusText(text.isEmpty() ? messageText(QStringLiteral("warn_material_empty_send")) : text);
        emit m_s.downloadEnded(name, false);
        m_s.continueGroup();
        return;
    }
    c = card(cardIndex); // the build may have touched the lists
    if (!c)
        return;
    build.download.installInto(*c);

    m_s.showStatus(QStringLiteral("tip_program_send_start"));
    m_active = true;
    if (!rs485) {
        st.keptDescription = build.download.description.text;
        m_keptHeader = build.download.headerFrame;
        sendPlaybillHeader(*c);
    } else {
        sendHeaderPacket(*c, 0, 1);
    }
    m_s.startHeaderWatchdog();
}

bool DownloadSession::sendPlaybillHeader(TFIXModem& c)
{
    // A header too long for the card is not sent; the watchdog reports it.
    if (m_keptHeader.isEmpty() || m_keptHeader.size() > kMaxHeaderFrame)
        return false;
    const qint64 written = m_s.sender().sendBytesToCard(c, m_keptHeader);
    c.sendStep = 1;
    c.sendCounter = 0;
    return written > 0;
}

bool DownloadSession::sendHeaderPacket(TFIXModem& c, int kind, int partNo)
{
    for (const rPackSendProgram& h : std::as_const(c.headerParts)) {
        if (h.sent != 0 || h.partNo != partNo || h.headerKind != kind)
            continue;
        write485(h.bytes);
        c.sendStep = 1;
        c.sendCounter = 0;
        m_headerPartSending = partNo;
        m_headerKindSending = kind;
        m_s.startRepeatTimer();
        return true;
    }
    return false;
}

int DownloadSession::resendHeaderPacket(TFIXModem& c)
{
    if (!sendHeaderPacket(c, m_headerKindSending, m_headerPartSending))
        m_s.startRepeatTimer();
    return m_headerPartSending;
}

PacketSent DownloadSession::sendMaterialPacket(TFIXModem& c, int mode, int sendNo, int blockNo)
{
    if (m_s.state().rs485Mode)
        return mode == 1 ? sendMaterialPacket485(c, sendNo, blockNo, true) : sendMaterialPacket485(c, -1, -1, true);
    PacketSent r;
    QList<rSendFdrContent>& list = c.materialPackets;
    qsizetype i = 0;
    for (; i < list.size(); ++i) {
        if (mode == 0 ? list[i].sent == 0 : (list[i].sendNo == sendNo && list[i].blockNo == blockNo))
            break;
    }
    if (i == list.size())
        return r;
    r.found = true;
    if (mode == 1) {
        for (qsizetype k = i; k < list.size(); ++k)
            list[k].sent = 0;
    }
    rSendFdrContent& p = list[i];
    r.written = m_s.sender().sendBytesToCard(c, p.bytes);
    if (r.written > 0)
        m_awaiting.append(int(i));
    if (c.linkKind == 0 && r.written > 0) {
        // The serial line needs the time the bytes take: 12 bit times each.
        const int bytesPerSecond = std::max(1, m_s.sender().serialBaudRate() / 12);
        m_s.state().pacingInterval = std::max(sendtiming::kSerialPacingMin, int(qint64(p.byteCount) * 1000 / bytesPerSecond));
    }
    r.typeCode = p.typeCode;
    r.last = i == list.size() - 1;
    if (!r.last && r.written > 0)
        p.sent = 1;
    c.sendStep = 3;
    c.sendCounter = 0;
    r.position = int(r.written > 0 ? i + 1 : i);
    return r;
}

PacketSent DownloadSession::sendMaterialPacket485(TFIXModem& c, int sendNo, int partNo, bool markSent)
{
    PacketSent r;
    QList<rSendFdrContent>& list = c.materialPackets;
    const bool given = sendNo >= 0 && partNo >= 0;
    qsizetype i = 0;
    for (; i < list.size(); ++i) {
        if (given ? (list[i].sendNo == sendNo && list[i].partNo == partNo) : list[i].sent == 0)
            break;
    }
    if (i == list.size())
        return r;
    r.found = true;
    if (given) {
        for (qsizetype k = i; k < list.size(); ++k)
            list[k].sent = 0;
    }
    rSendFdrContent& p = list[i];
    convert::InternalCode address {};
    convert::internalCodeToBytes(c.internalCode, address);
    const QByteArray packet = rs485::buildPacket(address, p.partCount, p.partNo, p.bytes);
    const bool ok = !packet.isEmpty() && write485(packet);
    r.written = ok ? packet.size() : -1;
    c.sendStep = 2;
    if (markSent)
        p.sent = 1;
    m_s.startRepeatTimer();
    m_lastPiece = int(i);
    r.typeCode = p.typeCode;
    r.last = i == list.size() - 1;
    r.position = int(ok ? i + 1 : i);
    return r;
}

PacketSent DownloadSession::resendLastPiece(TFIXModem& c)
{
    if (m_lastPiece < 0 || m_lastPiece >= c.materialPackets.size())
        return sendMaterialPacket485(c, -1, -1, false);
    PacketSent r;
    const rSendFdrContent& p = c.materialPackets[m_lastPiece];
    convert::InternalCode address {};
    convert::internalCodeToBytes(c.internalCode, address);
    const QByteArray packet = rs485::buildPacket(address, p.partCount, p.partNo, p.bytes);
    const bool ok = !packet.isEmpty() && write485(packet);
    r.found = true;
    r.written = ok ? packet.size() : -1;
    r.typeCode = p.typeCode;
    r.last = m_lastPiece == c.materialPackets.size() - 1;
    r.position = ok ? m_lastPiece + 1 : m_lastPiece;
    c.sendStep = 2;
    m_s.startRepeatTimer();
    return r;
}

void DownloadSession::handleRequest(int cardIndex, int sendNo, int blockNo, bool rs485)
{
    const int materialCount = int(m_s.model().materials().size());
    if (sendNo > materialCount)
        sendNo = materialCount;
    const TFIXModem* c = card(cardIndex);
    if (!c)
        return;
    const QString name = c->name;
    QTimer::singleShot(m_s.state().scaled(sendtiming::kRequestWait), &m_s, [this, name, sendNo, blockNo, rs485] {
        const Found<TFIXModem> found = m_s.model().findCard(name);
        if (!found || !m_active)
            return;
        const PacketSent r = rs485 ? sendMaterialPacket485(*found.record, sendNo, blockNo, true)
                                   : sendMaterialPacket(*found.record, 1, sendNo, blockNo);
        if (r.found)
            m_s.setProgress(r.position);
        if (!rs485) {
            m_s.startPacketTimer();
            m_s.showStatus(QStringLiteral("tip_program_sending"));
        }
    });
}

void DownloadSession::onConfirmation(int cardIndex, const Confirmation& confirmation)
{
    TFIXModem* c = card(cardIndex);
    if (!c || c->sendCounter != 0)
        return;
    if (confirmation.confirmedCommand == kConfirmedRequest) {
        if (!confirmation.requestComplete || !m_active)
            return;
        m_s.stopPacketTimer();
        // The card takes nothing after the frame it asks for: what was in
        // flight behind it goes again and is answered then.
        m_awaiting.clear();
        if (countAsked(cardIndex, confirmation.sendNo, confirmation.blockNo, "asked for"))
            handleRequest(cardIndex, confirmation.sendNo, confirmation.blockNo, false);
        return;
    }
    if (confirmation.confirmedCommand == kConfirmedMaterial) {
        // Each confirmation answers the oldest frame not yet answered; the
        // download is complete only when the last frame's own answer comes
        // (a late answer to the frame before it is not that).
        if (!m_active || (c->sendStep != 3 && c->sendStep != 4) || m_awaiting.isEmpty())
            return;
        if (m_awaiting.takeFirst() == c->materialPackets.size() - 1)
            finishSuccessfully(cardIndex);
        return;
    }
    // Only the header's own confirmation starts the materials: a late answer
    // to a time or parameter frame confirms another command.
    const bool header = confirmation.confirmedCommand < 0 || confirmation.confirmedCommand == frame::cmd::kHeader;
    if (c->sendStep == 1 && header) {
        m_active = true;
        m_awaiting.clear();
        m_s.stopHeaderWatchdog();
        m_s.state().cardUnderSend = cardIndex;
        m_s.startPacketTimer();
        m_s.showStatus(QStringLiteral("tip_program_sending"));
        m_s.showProgress(int(c->materialPackets.size()));
    }
}

void DownloadSession::finishSuccessfully(int cardIndex)
{
    TFIXModem* c = card(cardIndex);
    if (!c)
        return;
    m_s.stopPacketTimer();
    m_s.stopRepeatTimer();
    cancelPendingStep();
    m_active = false;
    m_awaiting.clear();
    m_s.hideProgress();
    m_s.showStatus(QStringLiteral("tip_program_sent"));
    c->materialPackets.clear();
    const QString name = c->name;
    m_s.markCompleted(name);
    emit m_s.downloadEnded(name, true);
    m_s.continueGroup();
}

void DownloadSession::on485Reply(int cardIndex, const Rs485Reply& reply)
{
    // A step still waits for its send delay: this reply is taken after it,
    // as it would be on a line where the program waits before it reads on.
    if (m_pace.isActive()) {
        m_heldReplies.append({cardIndex, reply});
        return;
    }
    handle485Reply(cardIndex, reply);
}

bool DownloadSession::isCardsAddress(const TFIXModem& c, const Rs485Reply& reply) const
{
    convert::InternalCode address {};
    convert::internalCodeToBytes(c.internalCode, address);
    return reply.packet.address == address;
}

void DownloadSession::handle485Reply(int cardIndex, const Rs485Reply& reply)
{
    TFIXModem* c = card(cardIndex);
    // Another card's answer on the shared wire, or a notice that answers
    // nothing: the packet under way stays unanswered.
    if (!c || !isCardsAddress(*c, reply) || isIgnored485Command(reply.frameCommand))
        return;
    const bool carriesFrame = frame::startsWithMarker(reply.packet.payload);
    if (carriesFrame && reply.frameCommand == frame::reply::kException) {
        onException(cardIndex);
        return;
    }
    // After the end (given up, or sent) a late answer changes nothing.
    if (!m_active)
        return;
    const QString name = c->name;
    // Steps below run later; they find the card again by name.
    auto onCard = [this, name](auto step) {
        return [this, name, step] {
            const Found<TFIXModem> found = m_s.model().findCard(name);
            if (found && m_active)
                step(int(found.index), *found.record);
        };
    };
    const bool confirmation = carriesFrame && reply.frameCommand == frame::reply::kConfirmation;

    if (c->sendStep == 1) {
        if (reply.negative()) {
            // The card refused the header packet: the same packet once more.
            m_s.stopRepeatTimer();
            pace(false, onCard([this](int, TFIXModem& card) {
                if (!sendHeaderPacket(card, m_headerKindSending, m_headerPartSending))
                    m_s.startRepeatTimer();
            }));
            return;
        }
        const int confirmed = reply.confirmation.confirmedCommand;
        const bool header = confirmation && (confirmed < 0 || confirmed == frame::cmd::kHeader);
        int unacknowledged = 0;
        for (const rPackSendProgram& h : std::as_const(c->headerParts))
            unacknowledged += h.sent == 0 && h.headerKind == m_headerKindSending;
        // The whole header is confirmed only as the answer to its last piece;
        // a frame that answers another command (a late time calibration) or
        // comes while pieces remain is not the answer to this piece.
        if (carriesFrame && !(header && reply.complete() && unacknowledged == 1))
            return;
        m_s.stopRepeatTimer();
        if (carriesFrame) {
            // The card holds the whole header (the watchdog has its answer
            // now): after its turnaround, the first material piece.
            m_s.stopHeaderWatchdog();
            pace(true, onCard([this](int, TFIXModem& card) {
                m_s.showStatus(QStringLiteral("tip_program_sending"));
                m_s.showProgress(int(card.materialPackets.size()));
                card.headerParts.clear();
                m_s.state().lastProgress = -1;
                const PacketSent r = sendMaterialPacket485(card, -1, -1, true);
                if (r.found)
                    m_s.setProgress(r.position);
            }));
            return;
        }
        for (rPackSendProgram& h : c->headerParts) {
            if (h.sent == 0 && h.partNo == m_headerPartSending && h.headerKind == m_headerKindSending) {
                h.sent = 1;
                break;
            }
        }
        // A header that moves on piece by piece is not stuck: the watchdog
        // counts from its last acknowledged piece.
        m_s.startHeaderWatchdog();
        const int wanted = reply.wantedPart();
        pace(false, onCard([this, wanted](int, TFIXModem& card) {
            // A part the header does not have: the repeat count decides.
            if (!sendHeaderPacket(card, m_headerKindSending, wanted))
                m_s.startRepeatTimer();
        }));
        return;
    }
    if (c->sendStep != 2 || c->materialPackets.isEmpty())
        return;
    const bool request = confirmation && reply.confirmation.isPacketRequest();
    // A confirmation of another command answers something else.
    if (confirmation && !request && reply.confirmation.confirmedCommand != kConfirmedMaterial)
        return;
    m_s.stopRepeatTimer();
    if (reply.negative()) {
        // The card refused the piece: the same piece again, not the next one.
        if (countAsked(cardIndex, -1, m_lastPiece, "refused"))
            pace(true, onCard([this](int, TFIXModem& card) { m_s.setProgress(resendLastPiece(card).position); }));
        return;
    }
    const bool finalPiece = m_lastPiece == c->materialPackets.size() - 1;
    if (confirmation && !request && reply.complete() && finalPiece) {
        // The bar is hidden at its last position: the count that was sent.
        finishSuccessfully(cardIndex);
        return;
    }
    // Any other answer to a piece: after the card's turnaround, the piece
    // asked for, or the next one not yet sent.
    const Confirmation asked = reply.confirmation;
    if (request && !countAsked(cardIndex, asked.sendNo, asked.blockNo, "asked for"))
        return;
    pace(true, onCard([this, request, asked](int index, TFIXModem& card) {
        if (request) {
            handleRequest(index, asked.sendNo, asked.blockNo, true);
            return;
        }
        const PacketSent r = sendMaterialPacket485(card, -1, -1, true);
        if (r.found)
            m_s.setProgress(r.position);
        else
            m_s.startRepeatTimer(); // nothing left: the repeat count ends the download
    }));
}

bool DownloadSession::countAsked(int cardIndex, int sendNo, int blockNo, const char* what)
{
    const quint32 key = (sendNo < 0 ? 0x80000000u : quint32(sendNo) << 16) | quint32(blockNo & 0xFFFF);
    const int times = ++m_asked[key];
    if (times <= kMaxAsked)
        return true;
    const QString packet = sendNo < 0 ? QStringLiteral("piece %1").arg(blockNo + 1)
                                      : QStringLiteral("material %1 block %2").arg(sendNo).arg(blockNo);
    fail(cardIndex, QStringLiteral("warn_program_send_failed"),
         QStringLiteral("the card %1 %2 %3 times").arg(QLatin1String(what), packet).arg(times));
    return false;
}

void DownloadSession::fail(int cardIndex, const QString& key, const QString& why)
{
    m_s.stopPackets();
    m_s.stopRepeatTimer();
    m_s.stopHeaderWatchdog();
    abandon();
    m_s.state().failureCount = -1;
    m_s.state().lastProgress = -1;
    if (key.isEmpty())
        m_s.showStatusText(why);
    else
        m_s.showStatusText(why.isEmpty() ? messageText(key) : messageText(key) + QStringLiteral(" (") + why + u')');
    if (const TFIXModem* c = card(cardIndex))
        emit m_s.downloadEnded(c->name, false);
    m_s.continueGroup();
}

void DownloadSession::beginExchange()
{
    cancelPendingStep();
    m_lastPiece = -1;
    m_awaiting.clear();
    m_asked.clear();
    m_active = true;
}

void DownloadSession::failRunning(const QString& text)
{
    if (m_active)
        fail(m_s.state().cardUnderSend, QString(), text);
}

void DownloadSession::abandon()
{
    m_active = false;
    m_awaiting.clear();
    cancelPendingStep();
}

bool DownloadSession::write485(const QByteArray& packet)
{
    m_lastWrite485.start();
    return m_s.sender().writeSerial(packet);
}

void DownloadSession::pace(bool extraDelay, std::function<void()> step)
{
    const SendState& st = m_s.state();
    const qint64 delay = st.scaled(st.sendDelay);
    qint64 wait = extraDelay ? delay : 0;
    if (m_lastWrite485.isValid())
        wait += std::max<qint64>(0, delay - m_lastWrite485.elapsed());
    m_pacedStep = std::move(step);
    if (wait <= 0) {
        runPacedStep();
        return;
    }
    m_pace.start(int(wait));
}

void DownloadSession::runPacedStep()
{
    m_pace.stop();
    std::function<void()> step = std::move(m_pacedStep);
    m_pacedStep = nullptr;
    if (step)
        step();
    while (!m_pace.isActive() && !m_heldReplies.isEmpty()) {
        const HeldReply held = m_heldReplies.takeFirst();
        handle485Reply(held.cardIndex, held.reply);
    }
}

void DownloadSession::cancelPendingStep()
{
    m_pace.stop();
    m_pacedStep = nullptr;
    m_heldReplies.clear();
}

void DownloadSession::onException(int cardIndex)
{
    TFIXModem* c = card(cardIndex);
    m_s.stopPackets();
    m_s.stopRepeatTimer();
    m_s.stopHeaderWatchdog();
    abandon();
    m_s.showStatus(QStringLiteral("tip_except"));
    if (c) {
        c->materialPackets.clear();
        emit m_s.downloadEnded(c->name, false);
    }
    m_s.continueGroup();
}

} // namespace ledsign
