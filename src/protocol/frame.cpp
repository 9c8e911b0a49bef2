#include "protocol/frame.h"

#include <QRandomGenerator>
#include <QtEndian>

#include <cstring>

namespace ledsign::frame {

namespace {
constexpr char kMarker[4] = {char(0xFE), char(0x5C), char(0x4B), char(0x89)};

void appendLe32(QByteArray& out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

void appendBe32(QByteArray& out, quint32 v)
{
    char b[4];
    qToBigEndian(v, b);
    out.append(b, 4);
}
} // namespace

QByteArray marker() { return QByteArray(kMarker, 4); }

bool startsWithMarker(const QByteArray& bytes, qsizetype at)
{
    if (at < 0 || at + 4 > bytes.size())
        return false;
    return memcmp(bytes.constData() + at, kMarker, 4) == 0;
}

quint32 newSerial() { return QRandomGenerator::global()->bounded(kSerialLimit); }

QString serialText(quint32 serial)
{
    return QStringLiteral("%1").arg(serial, 8, 16, QLatin1Char('0')).toUpper();
}

QByteArray build(quint8 command, const QByteArray& data, quint32 serial)
{
    const quint32 total = quint32(data.size()) + kEmptyFrameSize;
    QByteArray out;
    out.reserve(total);
    out.append(kMarker, 4);
    appendLe32(out, total);
    out.append(char(command));
    appendBe32(out, serial);
    appendLe32(out, quint32(data.size()));
    out.append(data);
    out.append(char(0xFF));
    out.append(char(0xFF));
    return out;
}

QByteArray build(quint8 command, const QByteArray& data, QString& frameSerial)
{
    const quint32 serial = newSerial();
    frameSerial = serialText(serial);
    return build(command, data, serial);
}

QByteArray identityQuery()
{
    return build(cmd::kIdentityQuery, {}, 0x01020304u);
}

bool readHead(const QByteArray& bytes, Head& head)
{
    if (bytes.size() < kHeadSize || !startsWithMarker(bytes))
        return false;
    head.totalLength = readLe32(bytes, kTotalLengthOffset);
    head.command = quint8(bytes[kCommandOffset]);
    head.serial = qFromBigEndian<quint32>(bytes.constData() + kSerialOffset);
    head.dataLength = readLe32(bytes, kDataLengthOffset);
    return true;
}

int command(const QByteArray& bytes) { return byteAt(bytes, kCommandOffset); }

bool hasTrailer(const QByteArray& bytes)
{
    const qsizetype n = bytes.size();
    return n >= kTrailerSize && quint8(bytes[n - 1]) == 0xFF && quint8(bytes[n - 2]) == 0xFF;
}

bool isWellFormed(const QByteArray& bytes)
{
    Head head;
    if (!readHead(bytes, head) || bytes.size() < kEmptyFrameSize)
        return false;
    return head.totalLength == quint32(bytes.size())
        && head.dataLength == head.totalLength - kEmptyFrameSize && hasTrailer(bytes);
}

QByteArray data(const QByteArray& bytes)
{
    if (bytes.size() <= kEmptyFrameSize)
        return {};
    return bytes.mid(kDataOffset, bytes.size() - kEmptyFrameSize);
}

quint16 readLe16(const QByteArray& bytes, qsizetype at)
{
    if (at < 0 || at + 2 > bytes.size())
        return 0;
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

quint32 readLe32(const QByteArray& bytes, qsizetype at)
{
    if (at < 0 || at + 4 > bytes.size())
        return 0;
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

int byteAt(const QByteArray& bytes, qsizetype at)
{
    if (at < 0 || at >= bytes.size())
        return -1;
    return quint8(bytes[at]);
}

} // namespace ledsign::frame
