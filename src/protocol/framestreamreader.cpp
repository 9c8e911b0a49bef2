#include "protocol/framestreamreader.h"

#include "protocol/crc16.h"
#include "protocol/frame.h"
#include "protocol/rs485packet.h"

#include <QtEndian>

namespace ledsign::framestream {

using namespace ledsign::material;

namespace {

constexpr char kEndMarker[] = "-1,";
constexpr int kEndMarkerSize = 3;

// Text-program descriptor, offsets from the byte after the id.
constexpr int kProgramMark = 16;       // 0x03
constexpr int kProgramLength = 23;     // LE32: card text bytes + 1
constexpr int kProgramSemicolon = 27;  // ";"
constexpr int kProgramText = 28;

// Internal-code text slice block.
constexpr int kSliceLength = 7;        // LE32: text bytes + 10

quint16 le16(const QByteArray& b, qsizetype at)
{
    return at >= 0 && at + 2 <= b.size() ? qFromLittleEndian<quint16>(b.constData() + at) : 0;
}

quint32 le32(const QByteArray& b, qsizetype at)
{
    return at >= 0 && at + 4 <= b.size() ? qFromLittleEndian<quint32>(b.constData() + at) : 0;
}

int byteAt(const QByteArray& b, qsizetype at)
{
    return at >= 0 && at < b.size() ? quint8(b.at(at)) : -1;
}

// The check value stored low byte first at `at` against the CRC of [from, at).
bool checkHolds(const QByteArray& b, qsizetype from, qsizetype at)
{
    if (from < 0 || at + 2 > b.size() || from >= at)
        return false;
    const crc16::CrcBytes crc = crc16::modbus(b, from, at);
    return quint8(b.at(at)) == crc.low && quint8(b.at(at + 1)) == crc.high;
}

// Reads the 8-byte trailer FF 00, send number, count, number at `at`.
bool readTrailer(const QByteArray& b, qsizetype at, MaterialInfo& m)
{
    if (byteAt(b, at) != 0xFF || byteAt(b, at + 1) != 0x00 || at + kTrailerSize > b.size()) {
        m.problem = QStringLiteral("no block trailer (FF 00) at byte %1").arg(at);
        return false;
    }
    m.sendNo = le16(b, at + 2);
    m.blockCount = le16(b, at + 4);
    m.blockNo = le16(b, at + 6);
    return true;
}

int oneFrameBlockSize(BlockKind kind)
{
    switch (kind) {
    case BlockKind::EmptyAttribute: return kEmptyAttributeBlockSize;
    case BlockKind::Time: return kTimeBlockSize;
    case BlockKind::Count: return kCountBlockSize;
    case BlockKind::Queue: return kQueueBlockSize;
    case BlockKind::Acquisition: return kAcquisitionBlockSize;
    default: return 0;
    }
}

// Where the block ends, or -1 with m.problem set.
qsizetype readBlock(const QByteArray& f, qsizetype b, MaterialInfo& m)
{
    const qsizetype end = f.size() - frame::kTrailerSize;
    switch (m.blockKind) {
    case BlockKind::EmptyAttribute:
    case BlockKind::Time:
    case BlockKind::Count:
    case BlockKind::Queue:
    case BlockKind::Acquisition: {
        // LE32 length of what follows; the check value covers everything
        // from the byte after the length up to itself.
        const qsizetype length = le32(f, b);
        const qsizetype size = 4 + length;
        if (size != oneFrameBlockSize(m.blockKind) || b + size > end) {
            m.problem = QStringLiteral("block length %1 does not fit this kind").arg(length);
            return -1;
        }
        const qsizetype check = b + size - kCheckSize;
        if (!readTrailer(f, check - kTrailerSize, m))
            return -1;
        m.hasCheck = true;
        m.checkOk = checkHolds(f, b + 4, check);
        return b + size;
    }
    case BlockKind::DisplayData: {
        // LE32 d + 10, d bytes, trailer, check value over the last data byte
        // and the trailer.
        const qsizetype length = le32(f, b);
        const qsizetype d = length - 10;
        if (length < 10 || b + 4 + d + kTrailerSize + kCheckSize > end) {
            m.problem = QStringLiteral("block length %1 runs past the frame").arg(length);
            return -1;
        }
        m.payloadLength = int(d);
        const qsizetype trailer = b + 4 + d;
        if (!readTrailer(f, trailer, m))
            return -1;
        m.hasCheck = true;
        m.checkOk = checkHolds(f, trailer - 1, trailer + kTrailerSize);
        return trailer + kTrailerSize + kCheckSize;
    }
    case BlockKind::TextSlice: {
        // Width / 8, height, colour, font and size, 0, LE32 t + 10, t bytes
        // of text, trailer, check value over the last text byte and the trailer.
        const qsizetype length = le32(f, b + kSliceLength);
        const qsizetype t = length - 10;
        if (length < 10 || b + kTextSliceHead + t + kTrailerSize + kCheckSize > end) {
            m.problem = QStringLiteral("text length %1 runs past the frame").arg(length);
            return -1;
        }
        m.payloadLength = int(t);
        const qsizetype trailer = b + kTextSliceHead + t;
        if (!readTrailer(f, trailer, m))
            return -1;
        m.hasCheck = true;
        m.checkOk = checkHolds(f, trailer - 1, trailer + kTrailerSize);
        return trailer + kTrailerSize + kCheckSize;
    }
    default:
        m.problem = QStringLiteral("type %1 carries no known block").arg(m.typeCode);
        return -1;
    }
}

// The content-attribute code at the start of a card text ("#^N#^...").
int attributeCodeOf(const QByteArray& cardText)
{
    if (!cardText.startsWith("#^"))
        return -1;
    const qsizetype next = cardText.indexOf("#^", 2);
    if (next < 0)
        return -1;
    bool ok = false;
    const int code = cardText.mid(2, next - 2).toInt(&ok);
    return ok ? code : -1;
}

// After the block: the optional end marker, then the frame's trailer.
void readEnd(const QByteArray& f, qsizetype at, MaterialInfo& m)
{
    const qsizetype end = f.size() - frame::kTrailerSize;
    if (at + kEndMarkerSize <= end && f.mid(at, kEndMarkerSize) == QByteArray(kEndMarker)) {
        m.endMarker = true;
        at += kEndMarkerSize;
    }
    if (at != end && m.problem.isEmpty())
        m.problem = QStringLiteral("%1 byte(s) between the block and the trailer").arg(end - at);
}

} // namespace

MaterialInfo readMaterial(const QByteArray& f)
{
    MaterialInfo m;
    const qsizetype end = f.size() - frame::kTrailerSize;
    const qsizetype comma = f.indexOf(',', frame::kDataOffset);
    if (comma < 0 || comma >= end) {
        m.problem = QStringLiteral("no material id");
        return m;
    }
    m.id = f.mid(frame::kDataOffset, comma - frame::kDataOffset);
    const qsizetype t = comma; // the descriptor starts with the ","
    const int mark = byteAt(f, t + kTailKindMark);

    if (mark == kTextProgramMark && byteAt(f, t + kProgramSemicolon) == ';') {
        m.blockKind = BlockKind::TextProgram;
        const qsizetype length = le32(f, t + kProgramLength);
        const qsizetype c = length - 1;
        if (length < 1 || t + kProgramText + c > end) {
            m.problem = QStringLiteral("card text length %1 runs past the frame").arg(length);
            return m;
        }
        m.payloadLength = int(c);
        m.typeCode = attributeCodeOf(f.mid(t + kProgramText, c));
        readEnd(f, t + kProgramText + c, m);
        return m;
    }
    qsizetype tailSize = 0;
    if (mark == kKindMark)
        tailSize = kTailSize;
    else if (mark == kInternalCodeKindMark)
        tailSize = kInternalCodeTailSize;
    else {
        m.problem = QStringLiteral("unknown descriptor mark %1").arg(mark);
        return m;
    }
    if (t + tailSize > end) {
        m.problem = QStringLiteral("descriptor cut short");
        return m;
    }
    m.typeCode = byteAt(f, t + kTailTypeCode);
    m.frameOrder = byteAt(f, t + kTailFrameOrder);
    m.blockKind = blockKindOf(m.typeCode);
    if (m.blockKind == BlockKind::TextProgram)
        m.blockKind = BlockKind::None; // a number type code belongs to the other descriptor
    if (mark == kKindMark)
        m.pictureCount = le16(f, t + kTailPictureCount);
    const qsizetype blockEnd = readBlock(f, t + tailSize, m);
    if (blockEnd >= 0)
        readEnd(f, blockEnd, m);
    return m;
}

Frame readFrame(const QByteArray& bytes)
{
    Frame fr;
    fr.bytes = bytes;
    if (bytes.size() < frame::kHeadSize || !frame::startsWithMarker(bytes)) {
        fr.problem = QStringLiteral("not a frame");
        return fr;
    }
    fr.totalLength = le32(bytes, frame::kTotalLengthOffset);
    fr.command = quint8(bytes.at(frame::kCommandOffset));
    fr.serial = qFromBigEndian<quint32>(bytes.constData() + frame::kSerialOffset);
    fr.dataLength = le32(bytes, frame::kDataLengthOffset);
    const bool trailer = bytes.size() >= frame::kEmptyFrameSize && bytes.endsWith(QByteArray(2, char(0xFF)));
    if (fr.totalLength != quint32(bytes.size()))
        fr.problem = QStringLiteral("length field %1, %2 bytes there").arg(fr.totalLength).arg(bytes.size());
    else if (fr.dataLength + frame::kEmptyFrameSize != fr.totalLength)
        fr.problem = QStringLiteral("data length %1 does not match the total %2").arg(fr.dataLength).arg(fr.totalLength);
    else if (!trailer)
        fr.problem = QStringLiteral("no FF FF trailer");
    fr.wellFormed = fr.problem.isEmpty();
    if (fr.wellFormed && fr.command == frame::cmd::kMaterial) {
        fr.isMaterial = true;
        fr.material = readMaterial(bytes);
    }
    return fr;
}

Stream readStream(const QByteArray& bytes)
{
    Stream s;
    const QByteArray marker = frame::marker();
    qsizetype at = 0;
    while (at < bytes.size()) {
        if (!frame::startsWithMarker(bytes, at)) {
            qsizetype next = bytes.indexOf(marker, at);
            if (next < 0)
                next = bytes.size();
            s.gaps.append({at, next - at});
            at = next;
            continue;
        }
        const qsizetype remaining = bytes.size() - at;
        const quint32 total = remaining >= frame::kHeadSize ? le32(bytes, at + frame::kTotalLengthOffset) : 0;
        if (remaining < frame::kHeadSize || total < quint32(frame::kEmptyFrameSize) || total > quint64(remaining)) {
            // Cut short or nonsense: report it and look for the next marker.
            qsizetype next = bytes.indexOf(marker, at + 1);
            if (next < 0)
                next = bytes.size();
            Frame fr = readFrame(bytes.mid(at, next - at));
            fr.offset = at;
            fr.wellFormed = false;
            fr.isMaterial = false;
            fr.problem = remaining < frame::kHeadSize
                ? QStringLiteral("frame head cut short (%1 bytes)").arg(remaining)
                : QStringLiteral("length field %1, only %2 bytes there").arg(total).arg(next - at);
            s.frames.append(fr);
            at = next;
            continue;
        }
        Frame fr = readFrame(bytes.mid(at, total));
        fr.offset = at;
        s.frames.append(fr);
        at += total;
    }
    return s;
}

bool looksLikePacket(const QByteArray& bytes)
{
    return !bytes.isEmpty() && quint8(bytes.at(0)) == rs485::kStart && !frame::startsWithMarker(bytes);
}

PacketStream readPackets(const QByteArray& bytes)
{
    PacketStream s;
    qsizetype at = 0;
    while (at < bytes.size()) {
        const qsizetype remaining = bytes.size() - at;
        const qsizetype size = remaining >= 4 && quint8(bytes.at(at)) == rs485::kStart
            ? qsizetype(qFromBigEndian<quint16>(bytes.constData() + at + rs485::kLengthOffset)) + 2
            : 0;
        if (size < rs485::kOverhead || size > remaining) {
            s.gaps.append({at, remaining});
            break;
        }
        const QByteArray b = bytes.mid(at, size);
        Packet p;
        p.offset = at;
        p.size = size;
        p.kind = quint8(b.at(rs485::kKindOffset));
        p.direction = quint8(b.at(rs485::kReplyDirectionOffset));
        p.status = quint8(b.at(rs485::kStatusOffset));
        p.fromProgram = p.kind == rs485::kKindFromProgram;
        for (int i = 0; i < 8; ++i)
            p.address[size_t(i)] = quint8(b.at(rs485::kAddressOffset + i));
        p.partCount = quint8(b.at(rs485::kPartCountOffset));
        p.partNumber = quint8(b.at(rs485::kPartNumberOffset));
        const qsizetype crcAt = size - 3;
        p.payload = b.mid(rs485::kPayloadOffset, crcAt - rs485::kPayloadOffset);
        p.crcOk = checkHolds(b, 1, crcAt);
        quint8 x = 0;
        for (qsizetype i = 1; i < size - 1; ++i)
            x ^= quint8(b.at(i));
        p.xorOk = x == quint8(b.at(size - 1));
        if (p.partNumber < 1 || p.partNumber > p.partCount)
            p.problem = QStringLiteral("part %1 of %2").arg(p.partNumber).arg(p.partCount);
        s.packets.append(p);
        at += size;
    }
    return s;
}

QString PacketJoiner::drop(const QString& why)
{
    m_pending.clear();
    m_expected = 1;
    m_count = 0;
    return why;
}

bool PacketJoiner::add(const Packet& packet, QByteArray& frame, QString* broken)
{
    QString problem;
    const bool pending = m_count > 0 && m_expected > 1;
    if (m_skipping && packet.partNumber != 1)
        return false;
    m_skipping = false;
    if (packet.partNumber == 1) {
        // Piece 1 again right after piece 1 is a repeat; later it is a restart.
        if (pending && !(m_expected == 2 && packet.partCount == m_count))
            problem = drop(QStringLiteral("a frame of %1 part(s) restarted after part %2").arg(m_count).arg(m_expected - 1));
        m_pending.clear();
        m_expected = 1;
        m_count = packet.partCount;
    }
    if (packet.partNumber != m_expected || packet.partCount != m_count) {
        // A repeat of the piece just taken (or of the last piece of the frame
        // just joined) changes nothing; anything else drops the frame.
        const bool repeat = m_count > 0 ? packet.partNumber == m_expected - 1 && packet.partCount == m_count
                                        : packet.partNumber == m_lastCount && packet.partCount == m_lastCount;
        if (!repeat && problem.isEmpty()) {
            m_skipping = true;
            problem = m_count > 0
                ? drop(QStringLiteral("part %1/%2 where part %3/%4 was due: the frame does not join")
                           .arg(packet.partNumber)
                           .arg(packet.partCount)
                           .arg(m_expected)
                           .arg(m_count))
                : drop(QStringLiteral("part %1/%2 without the parts before it").arg(packet.partNumber).arg(packet.partCount));
        }
        if (broken)
            *broken = problem;
        return false;
    }
    if (broken)
        *broken = problem;
    m_pending += packet.payload;
    if (++m_expected <= m_count)
        return false;
    frame = m_pending;
    m_lastCount = m_count;
    m_pending.clear();
    m_expected = 1;
    m_count = 0;
    return true;
}

QString PacketJoiner::finish()
{
    if (m_count == 0 || m_expected <= 1)
        return {};
    return drop(QStringLiteral("a frame of %1 part(s) ends after part %2").arg(m_count).arg(m_expected - 1));
}

} // namespace ledsign::framestream
