#include "content/materialencoder.h"

#include "content/cardtextcoder.h"
#include "content/counttarget.h"
#include "content/materialblocks.h"
#include "model/codec.h"
#include "protocol/frame.h"
#include "protocol/rs485packet.h"

namespace ledsign {

namespace {

constexpr char kEndMarker[] = "-1,";
constexpr int kLastOfCardFlag = 1; // index into downloadFlags

QString materialLabel(const TFodder& m)
{
    return m.name.isEmpty() ? m.id : m.name;
}

} // namespace

MaterialEncoder::MaterialEncoder()
    : MaterialEncoder(SerialSource(), Clock(), QLocale())
{
}

MaterialEncoder::MaterialEncoder(SerialSource serials, Clock clock, QLocale locale)
    : serials_(serials ? std::move(serials) : SerialSource([] { return frame::newSerial(); }))
    , clock_(clock ? std::move(clock) : Clock([] { return QDateTime::currentDateTime(); }))
    , locale_(std::move(locale))
{
}

QByteArray MaterialEncoder::materialFrame(const TFodder& m, const QByteArray& tailAndBlock, bool endMarker,
                                          QString& serialText) const
{
    QByteArray data = codec::encode(m.id);
    data.append(tailAndBlock);
    if (endMarker)
        data.append(kEndMarker);
    const quint32 serial = serials_() % frame::kSerialLimit;
    serialText = frame::serialText(serial);
    return frame::build(frame::cmd::kMaterial, data, serial);
}

EncodedMaterial MaterialEncoder::frames(TFodder& m, const MaterialFrameOptions& options) const
{
    EncodedMaterial out;
    const bool lastOfCard = m.downloadFlags[kLastOfCardFlag] != 0;
    QList<QByteArray> built;

    auto oneFrame = [&](const QByteArray& block) {
        built << materialFrame(m, material::descriptorTail(m, options.colorType, true, 1) + block, lastOfCard,
                               out.lastSerial);
    };

    switch (material::blockKindOf(m.typeCode)) {
    case material::BlockKind::None:
        out.ok = true;
        return out;
    case material::BlockKind::TextProgram: {
        const QByteArray text = codec::encode(cardTextCodes(m.content, m.typeCode));
        built << materialFrame(m, material::textProgramBody(m, text), lastOfCard, out.lastSerial);
        break;
    }
    case material::BlockKind::EmptyAttribute:
        oneFrame(material::emptyAttributeBlock(m.sendNo));
        break;
    case material::BlockKind::Time:
        oneFrame(material::timeBlock(m));
        break;
    case material::BlockKind::Count: {
        const CountTarget target = readCountTarget(m, clock_(), locale_);
        if (!target.ok) {
            out.failure.messageKey = QStringLiteral("warn_count_time_invalid");
            out.failure.detail = QStringLiteral("The time \"%1\" of material %2 is not a date and time.")
                                     .arg(m.content, materialLabel(m));
            return out;
        }
        oneFrame(material::countBlock(m, target.value));
        break;
    }
    case material::BlockKind::Queue:
        oneFrame(material::queueBlock(m));
        break;
    case material::BlockKind::Acquisition:
        oneFrame(material::acquisitionBlock(m));
        break;
    case material::BlockKind::TextSlice: {
        const QStringList slices = internalCodeSlices(m.content);
        const int count = int(slices.size());
        for (int i = 0; i < count; ++i) {
            const QByteArray block = material::textSliceBlock(m, options.regionWidth, options.regionHeight,
                                                              codec::encode(slices.at(i)), count, i + 1);
            built << materialFrame(m, material::descriptorTail(m, options.colorType, i == 0, 0) + block,
                                   lastOfCard && i == count - 1, out.lastSerial);
        }
        break;
    }
    case material::BlockKind::DisplayData: {
        const QByteArray& data = options.displayData;
        if (data.isEmpty()) {
            out.failure.messageKey = QStringLiteral("warn_material_empty_send");
            out.failure.detail = QStringLiteral("Material %1 has no display data.").arg(materialLabel(m));
            return out;
        }
        const int count = int((data.size() + material::kDisplayDataChunk - 1) / material::kDisplayDataChunk);
        for (int i = 0; i < count; ++i) {
            const QByteArray chunk = data.mid(qsizetype(i) * material::kDisplayDataChunk,
                                              material::kDisplayDataChunk);
            const QByteArray block = material::displayDataBlock(m.sendNo, chunk, count, i + 1);
            built << materialFrame(m, material::descriptorTail(m, options.colorType, i == 0, m.frameCount) + block,
                                   lastOfCard && i == count - 1, out.lastSerial);
        }
        break;
    }
    }

    out.frameCount = int(built.size());
    for (int i = 0; i < out.frameCount; ++i) {
        rSendFdrContent p;
        p.sendNo = m.sendNo;
        p.blockCount = out.frameCount;
        p.blockNo = i + 1;
        p.typeCode = m.typeCode;
        p.bytes = built.at(i);
        p.byteCount = int(p.bytes.size());
        out.packets << p;
    }
    out.ok = true;
    return out;
}

EncodedMaterial MaterialEncoder::encode(TFodder& m, const MaterialFrameOptions& options) const
{
    EncodedMaterial whole = frames(m, options);
    if (!whole.ok || !options.rs485)
        return whole;

    // Every frame that does not fit one 485 payload is cut, whatever its
    // kind: a piece larger than a payload could not be wrapped at all.
    EncodedMaterial cut = whole;
    cut.packets.clear();
    for (const rSendFdrContent& frame : whole.packets) {
        const QList<QByteArray> pieces = cutFor485(frame.bytes);
        if (pieces.size() > rs485::kMaxParts) {
            EncodedMaterial failed;
            failed.failure.messageKey = QStringLiteral("warn_material_485_maximum");
            failed.failure.detail = QStringLiteral("Material %1 is too long for the RS-485 line.")
                                        .arg(materialLabel(m));
            return failed;
        }
        for (int j = 0; j < pieces.size(); ++j) {
            rSendFdrContent p = frame;
            p.partCount = int(pieces.size());
            p.partNo = j + 1;
            p.bytes = pieces.at(j);
            p.byteCount = int(p.bytes.size());
            cut.packets << p;
        }
    }
    return cut;
}

QList<QByteArray> cutFor485(const QByteArray& frame)
{
    QList<QByteArray> pieces;
    for (qsizetype at = 0; at < frame.size(); at += rs485::kMaxPayload)
        pieces << frame.mid(at, rs485::kMaxPayload);
    return pieces;
}

QStringList internalCodeSlices(const QString& content)
{
    const QString text = content.isEmpty() ? QStringLiteral(" ") : content;
    QStringList slices;
    qsizetype at = 0;
    while (at < text.size()) {
        qsizetype n = qMin<qsizetype>(material::kTextSliceUnits, text.size() - at);
        // Keep a surrogate pair together so that the character survives the
        // conversion to the card's encoding.
        if (at + n < text.size() && n > 1 && text.at(at + n - 1).isHighSurrogate())
            --n;
        slices << text.mid(at, n);
        at += n;
    }
    return slices;
}

} // namespace ledsign
