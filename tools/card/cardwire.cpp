#include "cardwire.h"

#include <QRandomGenerator>

namespace ledsign::card::wire {

namespace {

const char kMarker[kMarkerSize] = {char(0xFE), char(0x5C), char(0x4B), char(0x89)};

} // namespace

bool hasMarker(const QByteArray& bytes, qsizetype at)
{
    if (at < 0 || at + kMarkerSize > bytes.size())
        return false;
    for (int k = 0; k < kMarkerSize; ++k) {
        if (bytes[at + k] != kMarker[k])
            return false;
    }
    return true;
}

qsizetype findMarker(const QByteArray& bytes, qsizetype from)
{
    for (qsizetype i = std::max<qsizetype>(0, from); i + kMarkerSize <= bytes.size(); ++i) {
        if (hasMarker(bytes, i))
            return i;
    }
    return -1;
}

qsizetype markerTail(const QByteArray& bytes)
{
    for (qsizetype keep = std::min<qsizetype>(kMarkerSize - 1, bytes.size()); keep > 0; --keep) {
        bool match = true;
        for (qsizetype k = 0; k < keep && match; ++k)
            match = bytes[bytes.size() - keep + k] == kMarker[k];
        if (match)
            return keep;
    }
    return 0;
}

int byteAt(const QByteArray& bytes, qsizetype at)
{
    return at >= 0 && at < bytes.size() ? quint8(bytes[at]) : -1;
}

quint16 le16(const QByteArray& bytes, qsizetype at)
{
    if (at < 0 || at + 2 > bytes.size())
        return 0;
    return quint16(quint8(bytes[at]) | (quint8(bytes[at + 1]) << 8));
}

quint32 le32(const QByteArray& bytes, qsizetype at)
{
    if (at < 0 || at + 4 > bytes.size())
        return 0;
    quint32 v = 0;
    for (int k = 3; k >= 0; --k)
        v = (v << 8) | quint8(bytes[at + k]);
    return v;
}

void appendLe16(QByteArray& out, quint16 v)
{
    out.append(char(v & 0xFF));
    out.append(char(v >> 8));
}

void appendLe32(QByteArray& out, quint32 v)
{
    for (int k = 0; k < 4; ++k)
        out.append(char((v >> (8 * k)) & 0xFF));
}

quint16 modbusCrc(const QByteArray& bytes, qsizetype from, qsizetype to)
{
    quint16 crc = 0xFFFF;
    for (qsizetype i = std::max<qsizetype>(0, from); i < to && i < bytes.size(); ++i) {
        crc ^= quint8(bytes[i]);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? quint16((crc >> 1) ^ 0xA001) : quint16(crc >> 1);
    }
    return crc;
}

QString frameProblem(const QByteArray& f)
{
    if (!hasMarker(f))
        return QStringLiteral("no frame marker");
    if (f.size() < kEmptyFrame)
        return QStringLiteral("frame of %1 bytes, shorter than 19").arg(f.size());
    const quint32 total = le32(f, kTotalAt);
    if (total != quint32(f.size()))
        return QStringLiteral("total length %1 in a frame of %2 bytes").arg(total).arg(f.size());
    const quint32 dataLength = le32(f, kDataLengthAt);
    if (dataLength != total - kEmptyFrame)
        return QStringLiteral("data length %1 where the frame holds %2").arg(dataLength).arg(total - kEmptyFrame);
    if (quint8(f[f.size() - 2]) != 0xFF || quint8(f[f.size() - 1]) != 0xFF)
        return QStringLiteral("frame does not end in FF FF");
    return {};
}

QByteArray buildFrame(quint8 command, const QByteArray& data)
{
    QByteArray f(kMarker, kMarkerSize);
    appendLe32(f, quint32(data.size() + kEmptyFrame));
    f.append(char(command));
    const quint32 serial = QRandomGenerator::global()->bounded(100000u);
    for (int k = 3; k >= 0; --k)
        f.append(char((serial >> (8 * k)) & 0xFF));
    appendLe32(f, quint32(data.size()));
    f.append(data);
    f.append(char(0xFF));
    f.append(char(0xFF));
    return f;
}

qsizetype packetSize(const QByteArray& bytes, qsizetype at)
{
    if (at < 0 || at + 4 > bytes.size())
        return 0;
    return ((quint8(bytes[at + 2]) << 8) | quint8(bytes[at + 3])) + 2;
}

bool readPacket(const QByteArray& b, Packet& out, QString& why)
{
    constexpr int kAddressAt = 7;
    if (b.size() >= kAddressAt + 8) {
        for (int k = 0; k < 8; ++k)
            out.address[k] = quint8(b[kAddressAt + k]);
    }
    if (b.size() < rs485::kOverhead || quint8(b[0]) != rs485::kStart) {
        why = QStringLiteral("485 packet of %1 bytes without its head").arg(b.size());
        return false;
    }
    if (packetSize(b) != b.size()) {
        why = QStringLiteral("485 length field says %1 bytes, the packet has %2").arg(packetSize(b)).arg(b.size());
        return false;
    }
    out.partCount = quint8(b[16]);
    out.partNumber = quint8(b[17]);
    const qsizetype p = b.size() - rs485::kOverhead;
    out.payload = b.mid(rs485::kHead, p);
    if (quint8(b[1]) != rs485::kFromProgram || quint8(b[4]) != 0x97 || quint8(b[5]) != 0x54 || b[6] != 0
        || b[15] != 1) {
        why = QStringLiteral("485 head bytes wrong (kind %1, direction %2 %3, constant %4)")
                  .arg(quint8(b[1]), 2, 16, QLatin1Char('0'))
                  .arg(quint8(b[4]), 2, 16, QLatin1Char('0'))
                  .arg(quint8(b[5]), 2, 16, QLatin1Char('0'))
                  .arg(quint8(b[15]));
        return false;
    }
    const quint16 crc = modbusCrc(b, 1, rs485::kHead + p);
    if (quint8(b[rs485::kHead + p]) != (crc & 0xFF) || quint8(b[rs485::kHead + p + 1]) != (crc >> 8)) {
        why = QStringLiteral("485 CRC wrong in part %1 of %2").arg(out.partNumber).arg(out.partCount);
        return false;
    }
    quint8 x = 0;
    for (qsizetype i = 1; i < b.size() - 1; ++i)
        x ^= quint8(b[i]);
    if (x != quint8(b[b.size() - 1])) {
        why = QStringLiteral("485 check byte wrong in part %1 of %2").arg(out.partNumber).arg(out.partCount);
        return false;
    }
    if (out.partCount < 1 || out.partNumber < 1 || out.partNumber > out.partCount) {
        why = QStringLiteral("485 part %1 of %2").arg(out.partNumber).arg(out.partCount);
        return false;
    }
    return true;
}

QByteArray buildReplyPacket(const Address& address, bool complete, quint8 status, const QByteArray& payload)
{
    const QByteArray body = payload.left(rs485::kMaxPayload);
    QByteArray b;
    b.append(char(rs485::kStart));
    b.append(char(rs485::kFromCard));
    const int length = int(body.size()) + rs485::kOverhead - 2;
    b.append(char(length >> 8));
    b.append(char(length & 0xFF));
    b.append(char(0x97));
    b.append(char(complete ? rs485::kComplete : rs485::kPartial));
    b.append(char(status));
    for (quint8 a : address)
        b.append(char(a));
    b.append(char(1));
    b.append(char(1));
    b.append(char(1));
    b.append(body);
    const quint16 crc = modbusCrc(b, 1, b.size());
    b.append(char(crc & 0xFF));
    b.append(char(crc >> 8));
    quint8 x = 0;
    for (qsizetype i = 1; i < b.size(); ++i)
        x ^= quint8(b[i]);
    b.append(char(x));
    return b;
}

} // namespace ledsign::card::wire
