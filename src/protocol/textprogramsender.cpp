#include "protocol/textprogramsender.h"

#include "model/codec.h"
#include "protocol/downloadheader.h"
#include "protocol/frame.h"
#include "protocol/materialencoder.h"
#include "protocol/sendscheduler.h"
#include "protocol/textprogram.h"

namespace ledsign {

QByteArray textProgramMaterialFrame(TFodder& material, bool last)
{
    material.downloadFlags[1] = last ? 1 : 0;
    const EncodedMaterial encoded = MaterialEncoder().frames(material, MaterialFrameOptions{});
    QByteArray out;
    for (const rSendFdrContent& p : encoded.packets)
        out += p.bytes;
    return out;
}

TextProgramSender::TextProgramSender(ProjectModel& model, Write write, EncodeMaterial encode, QObject* parent)
    : QObject(parent)
    , model_(model)
    , write_(std::move(write))
    , encode_(std::move(encode))
{
}

TFIXModem* TextProgramSender::card(const QString& name)
{
    return name.isEmpty() ? nullptr : model_.findCard(name).record;
}

int TextProgramSender::cardIndex(const QString& name) const
{
    const Found<TFIXModem> found = model_.findCard(name);
    return found ? int(found.index) : -1;
}

TextProgramSender::Start TextProgramSender::start(const QString& cardName, const QStringList& pageIds, bool rs485)
{
    if (TextProgram(model_).allMaterials().isEmpty())
        return Start::NoMaterials;
    TFIXModem* target = card(cardName);
    if (!target)
        return Start::NoCard;
    const TextProgramDescription d = buildTextProgramDescription(model_, pageIds);
    if (!d.ok)
        return Start::EmptyPage;
    description_ = d.text;
    rs485_ = rs485;
    // A new send replaces whatever send was under way.
    pendingCard_.clear();
    cardUnderSend_.clear();
    materialsSent_ = 0;
    materialCount_ = int(d.materialIds.size());
    idleTicks_ = 0;

    if (scheduler_) {
        SendState& st = scheduler_->state();
        scheduler_->stopPackets();
        scheduler_->stopRepeatTimer();
        scheduler_->stopHeaderWatchdog();
        scheduler_->download().cancelPendingStep();
        st.failureCount = -1;
        st.lastProgress = -1;
        st.keptDescription.clear(); // the watchdog must not send a playbill header
        st.selectedCardName = cardName;
        st.cardUnderSend = cardIndex(cardName);
    }

    if (rs485)
        return startRs485(*target, d);

    const QByteArray bytes = textProgramDescriptionFrame(d.text, frame::newSerial());
    if (bytes.isEmpty())
        return Start::TooLong; // no message: the card would refuse it anyway
    if (write_(*target, bytes) < 0) {
        if (scheduler_)
            scheduler_->showStatus(QStringLiteral("warn_program_send_failed"));
        return Start::WriteFailed;
    }
    target->sendStep = kTextSendDescription;
    target->sendCounter = 0;
    pendingCard_ = cardName;
    if (scheduler_) {
        scheduler_->showStatus(QStringLiteral("tip_program_send_start"));
        scheduler_->startHeaderWatchdog();
    }
    return Start::Sent;
}

TextProgramSender::Start TextProgramSender::startRs485(TFIXModem& target, const TextProgramDescription& d)
{
    // On the RS-485 line the materials are encoded at once, each frame cut
    // into pieces, and the description travels as addressed header packets;
    // the download's RS-485 exchange then carries them reply by reply.
    target.materialPackets.clear();
    target.materialPacketsItem = 0;
    int sendNo = 0;
    for (const QString& id : d.materialIds) {
        for (TFodder& m : model_.materials()) {
            if (m.kind != kTextProgramKind || m.id != id || !encode_)
                continue;
            ++sendNo;
            const QByteArray whole = encode_(m, m.downloadFlags[1] == 1);
            const QList<QByteArray> pieces = cutFor485(whole);
            for (int k = 0; k < pieces.size(); ++k) {
                rSendFdrContent packet;
                packet.sendNo = sendNo;
                packet.blockCount = 1;
                packet.blockNo = 1;
                packet.partCount = int(pieces.size());
                packet.partNo = k + 1;
                packet.typeCode = m.typeCode;
                packet.bytes = pieces[k];
                packet.byteCount = int(pieces[k].size());
                target.materialPackets.append(packet);
            }
            m.downloadFlags[0] = 1;
        }
    }
    convert::InternalCode address{};
    if (!convert::internalCodeToBytes(target.internalCode, address))
        return Start::WriteFailed;
    quint32 serial = frame::newSerial();
    target.headerParts = download::headerPackets485(codec::encode(d.text), download::kHeaderTextProgram, address,
                                                    [&serial] { return serial++; });
    if (target.headerParts.isEmpty())
        return Start::TooLong;
    target.headerPartsItem = 0;
    target.sendStep = kTextSendDescription;
    target.sendCounter = 0;

    if (scheduler_) {
        scheduler_->showStatus(QStringLiteral("tip_program_send_start"));
        scheduler_->download().beginExchange();
        if (!scheduler_->download().sendHeaderPacket(target, download::kHeaderTextProgram, 1))
            return Start::WriteFailed;
        scheduler_->startHeaderWatchdog();
        return Start::Sent;
    }
    pendingCard_ = target.name;
    return write_(target, target.headerParts.first().bytes) < 0 ? Start::WriteFailed : Start::Sent;
}

bool TextProgramSender::confirmed(const QString& cardName)
{
    TFIXModem* target = card(cardName);
    if (!target || cardName != pendingCard_ || target->sendStep != kTextSendDescription ||
        target->sendCounter != 0)
        return false;
    cardUnderSend_ = cardName;
    pendingCard_.clear();
    if (scheduler_) {
        scheduler_->stopHeaderWatchdog();
        scheduler_->state().cardUnderSend = cardIndex(cardName);
        scheduler_->showStatus(QStringLiteral("tip_program_sending"));
        scheduler_->showProgress(materialCount_);
        scheduler_->startPacketTimer();
    }
    emit ticksWanted(true);
    return true;
}

bool TextProgramSender::tick()
{
    TFIXModem* target = card(cardUnderSend_);
    if (!target)
        return false;
    TFodder* next = nextWaitingTextMaterial(model_);
    if (!next)
        return false;
    next->downloadFlags[0] = 1;
    const QByteArray bytes = encode_ ? encode_(*next, next->downloadFlags[1] == 1) : QByteArray();
    if (!bytes.isEmpty())
        write_(*target, bytes);
    target->sendStep = kTextSendMaterials;
    ++materialsSent_;
    if (scheduler_)
        scheduler_->setProgress(materialsSent_);
    return true;
}

bool TextProgramSender::packetTimerTick()
{
    if (cardUnderSend_.isEmpty())
        return false;
    const bool sent = tick();
    if (scheduler_) {
        // While the card owes confirmations the ticks slow down as they do
        // for a download's repeated last packet.
        const SendState& st = scheduler_->state();
        scheduler_->setPacketInterval(st.pacingInterval + st.sendDelay + (sent ? 0 : sendtiming::kSlowPacketExtra));
    }
    if (sent) {
        idleTicks_ = 0;
        return true;
    }
    if (++idleTicks_ > kIdleTicksAllowed) {
        giveUp();
        return false;
    }
    return true;
}

bool TextProgramSender::materialConfirmed(const QString& cardName)
{
    TFIXModem* target = card(cardName);
    if (!target || cardName != cardUnderSend_ || target->sendStep != kTextSendMaterials)
        return false;
    // The send is complete with a confirmation that comes once every
    // material has gone out; one that comes earlier must not cut off the
    // rest. A card need not confirm each material.
    if (nextWaitingTextMaterial(model_) || materialsSent_ < materialCount_)
        return false;
    emit ticksWanted(false);
    cardUnderSend_.clear();
    target->sendStep = -1;
    if (scheduler_) {
        scheduler_->stopPacketTimer();
        scheduler_->hideProgress();
        scheduler_->showStatus(QStringLiteral("tip_program_sent"));
        scheduler_->markCompleted(cardName);
        emit scheduler_->downloadEnded(cardName, true);
    }
    emit finished(cardName, true);
    return true;
}

bool TextProgramSender::takeConfirmation(int cardIndex, const Confirmation& confirmation)
{
    const QList<TFIXModem>& cards = model_.cards();
    if (cardIndex < 0 || cardIndex >= cards.size())
        return false;
    const QString name = cards[cardIndex].name;
    if (name == pendingCard_ && cards[cardIndex].sendStep == kTextSendDescription)
        return confirmed(name);
    if (name == cardUnderSend_ && cards[cardIndex].sendStep == kTextSendMaterials) {
        // Material confirmations end the send; a text material cannot be
        // asked for again, so anything else is only taken off the download.
        if (confirmation.isMaterialConfirmation())
            materialConfirmed(name);
        return true;
    }
    return false;
}

void TextProgramSender::giveUp()
{
    const QString name = cardUnderSend_;
    cardUnderSend_.clear();
    emit ticksWanted(false);
    if (TFIXModem* target = card(name))
        target->sendStep = -1;
    if (scheduler_) {
        scheduler_->stopPacketTimer();
        scheduler_->setProgress(0);
        scheduler_->hideProgress();
        scheduler_->showStatus(QStringLiteral("warn_program_send_failed"));
        emit scheduler_->downloadEnded(name, false);
    }
    emit finished(name, false);
}

void TextProgramSender::abandon(const QString& cardName)
{
    if (cardName.isEmpty() || (cardName != pendingCard_ && cardName != cardUnderSend_))
        return;
    if (cardName == cardUnderSend_)
        emit ticksWanted(false);
    pendingCard_.clear();
    cardUnderSend_.clear();
    emit finished(cardName, false);
}

} // namespace ledsign
