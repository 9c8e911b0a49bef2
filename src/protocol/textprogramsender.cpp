#include "protocol/textprogramsender.h"

#include "content/materialencoder.h"
#include "model/codec.h"
#include "protocol/frame.h"
#include "protocol/rs485packet.h"
#include "protocol/textprogram.h"

namespace ledsign {

namespace {
constexpr int kTextHeaderKind = 1;
}

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
    return model_.findCard(name).record;
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

    if (rs485) {
        // On the RS-485 line the materials are encoded at once and the
        // description travels as addressed header packets.
        target->materialPackets.clear();
        target->materialPacketsItem = 0;
        for (const QString& id : d.materialIds) {
            for (TFodder& m : model_.materials()) {
                if (m.kind == kTextProgramKind && m.id == id && encode_) {
                    rSendFdrContent packet;
                    packet.bytes = encode_(m, m.downloadFlags[1] == 1);
                    packet.byteCount = int(packet.bytes.size());
                    packet.typeCode = m.typeCode;
                    target->materialPackets.append(packet);
                }
            }
        }
        convert::InternalCode address{};
        if (!convert::internalCodeToBytes(target->internalCode, address))
            return Start::WriteFailed;
        QString serial;
        const QByteArray header = frame::build(frame::cmd::kHeader, codec::encode(d.text), serial);
        const QList<QByteArray> pieces = rs485::cutFrame(header, address);
        if (pieces.isEmpty())
            return Start::TooLong;
        target->headerParts.clear();
        for (int i = 0; i < pieces.size(); ++i)
            target->headerParts.append({0, kTextHeaderKind, int(pieces.size()), i + 1, int(pieces[i].size()), pieces[i]});
        target->headerPartsItem = 0;
        target->sendStep = kTextSendDescription;
        target->sendCounter = 0;
        pendingCard_ = cardName;
        return write_(*target, pieces.first()) < 0 ? Start::WriteFailed : Start::Sent;
    }

    const QByteArray bytes = textProgramDescriptionFrame(d.text, frame::newSerial());
    if (bytes.isEmpty())
        return Start::TooLong;
    if (write_(*target, bytes) < 0)
        return Start::WriteFailed;
    target->sendStep = kTextSendDescription;
    target->sendCounter = 0;
    pendingCard_ = cardName;
    return Start::Sent;
}

bool TextProgramSender::confirmed(const QString& cardName)
{
    TFIXModem* target = card(cardName);
    if (!target || cardName != pendingCard_ || target->sendStep != kTextSendDescription ||
        target->sendCounter != 0)
        return false;
    cardUnderSend_ = cardName;
    pendingCard_.clear();
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
    return true;
}

bool TextProgramSender::materialConfirmed(const QString& cardName)
{
    TFIXModem* target = card(cardName);
    if (!target || cardName != cardUnderSend_ || target->sendStep != kTextSendMaterials)
        return false;
    if (nextWaitingTextMaterial(model_))
        return false;
    emit ticksWanted(false);
    cardUnderSend_.clear();
    target->sendStep = -1;
    return true;
}

} // namespace ledsign
