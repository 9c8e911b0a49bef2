#include "protocol/rs485packet.h"

#include "protocol/crc16.h"

#include <QtEndian>

namespace ledsign::rs485 {

QByteArray checkBytes(const QByteArray& headAndPayload)
{
    // Both checks cover everything after the start byte.
    const crc16::CrcBytes crc = crc16::modbus(headAndPayload, 1, headAndPayload.size());
    quint8 x = 0;
    for (qsizetype k = 1; k < headAndPayload.size(); ++k)
        x ^= quint8(headAndPayload[k]);
    x ^= crc.low;
    x ^= crc.high;
    QByteArray out;
    out.append(char(crc.low));
    out.append(char(crc.high));
    out.append(char(x));
    return out;
}

QByteArray buildPacket(const convert::InternalCode& address, int partCount, int partNumber,
                       const QByteArray& payload)
{
    if (payload.size() > kMaxPayload || partCount < 1 || partCount > kMaxParts || partNumber < 1
        || partNumber > kMaxParts)
        return {};
    QByteArray out;
    out.reserve(payload.size() + kOverhead);
    out.append(char(kStart));
    out.append(char(kKindFromProgram));
    char len[2];
    qToBigEndian(quint16(payload.size() + 19), len);
    out.append(len, 2);
    out.append(char(0x97));
    out.append(char(0x54));
    out.append(char(0x00));
    for (quint8 b : address)
        out.append(char(b));
    out.append(char(0x01));
    out.append(char(partCount));
    out.append(char(partNumber));
    out.append(payload);
    out.append(checkBytes(out));
    return out;
}

QByteArray buildReply(const convert::InternalCode& address, bool complete, quint8 status,
                      const QByteArray& payload, int partCount, int partNumber)
{
    QByteArray out = buildPacket(address, partCount, partNumber, payload);
    if (out.isEmpty())
        return out;
    out[kKindOffset] = char(kKindFromCard);
    out[kReplyDirectionOffset] = char(complete ? kReplyComplete : kReplyPartial);
    out[kStatusOffset] = char(status);
    out.chop(3);
    out.append(checkBytes(out));
    return out;
}

QList<QByteArray> cutFrame(const QByteArray& frame, const convert::InternalCode& address)
{
    QList<QByteArray> packets;
    const qsizetype m = frame.size();
    const qsizetype count = (m + kMaxPayload - 1) / kMaxPayload;
    if (count < 1 || count > kMaxParts)
        return packets;
    for (qsizetype j = 0; j < count; ++j)
        packets << buildPacket(address, int(count), int(j + 1), frame.mid(j * kMaxPayload, kMaxPayload));
    return packets;
}

qsizetype packetSizeAt(const QByteArray& bytes, qsizetype at)
{
    if (at < 0 || at + 4 > bytes.size() || quint8(bytes[at]) != kStart)
        return 0;
    return qsizetype(qFromBigEndian<quint16>(bytes.constData() + at + kLengthOffset)) + 2;
}

bool startsCardReply(const QByteArray& bytes, qsizetype at)
{
    if (at < 0 || at + kReplyDirectionOffset >= bytes.size() || quint8(bytes[at]) != kStart)
        return false;
    const quint8 d = quint8(bytes[at + kReplyDirectionOffset]);
    return d == kReplyPartial || d == kReplyComplete;
}

bool read(const QByteArray& bytes, Packet& packet)
{
    if (bytes.size() < kOverhead || quint8(bytes[kStartOffset]) != kStart)
        return false;
    if (packetSizeAt(bytes) != bytes.size())
        return false;
    packet.kind = quint8(bytes[kKindOffset]);
    packet.length = qFromBigEndian<quint16>(bytes.constData() + kLengthOffset);
    packet.direction[0] = quint8(bytes[kDirectionOffset]);
    packet.direction[1] = quint8(bytes[kDirectionOffset + 1]);
    packet.status = quint8(bytes[kStatusOffset]);
    for (int k = 0; k < 8; ++k)
        packet.address[k] = quint8(bytes[kAddressOffset + k]);
    packet.constant = quint8(bytes[kConstantOffset]);
    packet.partCount = quint8(bytes[kPartCountOffset]);
    packet.partNumber = quint8(bytes[kPartNumberOffset]);
    const qsizetype payloadEnd = bytes.size() - 3;
    packet.payload = bytes.mid(kPayloadOffset, payloadEnd - kPayloadOffset);
    const crc16::CrcBytes crc = crc16::modbus(bytes, 1, payloadEnd);
    packet.crcOk = quint8(bytes[payloadEnd]) == crc.low && quint8(bytes[payloadEnd + 1]) == crc.high;
    quint8 x = 0;
    for (qsizetype k = 1; k < payloadEnd + 2; ++k)
        x ^= quint8(bytes[k]);
    packet.checkByteOk = quint8(bytes[payloadEnd + 2]) == x;
    return true;
}

} // namespace ledsign::rs485
