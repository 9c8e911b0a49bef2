// A reader of frames, material blocks and 485 packets written for the tests
// alone, the way a card would read them: every length field, trailer, check
// value, count and number is checked against the bytes themselves. It shares
// no code with the builders (its CRC is the plain bitwise routine).
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace ledsign::test {

inline quint16 bitwiseModbus(const QByteArray& bytes, qsizetype from, qsizetype to)
{
    quint16 crc = 0xFFFF;
    for (qsizetype i = from; i < to; ++i) {
        crc ^= quint8(bytes.at(i));
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? quint16((crc >> 1) ^ 0xA001) : quint16(crc >> 1);
    }
    return crc;
}

inline quint32 le(const QByteArray& b, qsizetype at, int n)
{
    quint32 v = 0;
    for (int k = n - 1; k >= 0; --k)
        v = (v << 8) | quint8(b.at(at + k));
    return v;
}

struct ReadFrame {
    bool ok = false;
    QString error;
    int command = -1;
    quint32 serial = 0;
    QByteArray data;
};

inline ReadFrame readFrame(const QByteArray& f)
{
    ReadFrame r;
    if (f.size() < 19) {
        r.error = QStringLiteral("shorter than 19 bytes");
        return r;
    }
    if (f.left(4) != QByteArray::fromHex("FE5C4B89")) {
        r.error = QStringLiteral("no marker");
        return r;
    }
    const quint32 total = le(f, 4, 4);
    const quint32 dataLength = le(f, 13, 4);
    if (total != quint32(f.size()) || dataLength != total - 19) {
        r.error = QStringLiteral("length fields %1/%2 for %3 bytes").arg(total).arg(dataLength).arg(f.size());
        return r;
    }
    if (f.right(2) != QByteArray::fromHex("FFFF")) {
        r.error = QStringLiteral("no FF FF trailer");
        return r;
    }
    r.command = quint8(f.at(8));
    r.serial = (quint32(quint8(f.at(9))) << 24) | (quint32(quint8(f.at(10))) << 16)
        | (quint32(quint8(f.at(11))) << 8) | quint8(f.at(12));
    if (r.serial >= 100000) {
        r.error = QStringLiteral("serial out of range");
        return r;
    }
    r.data = f.mid(17, dataLength);
    r.ok = true;
    return r;
}

// A content block with a trailer: FF 00, send number, count, number, check.
struct ReadBlock {
    bool ok = false;
    QString error;
    QByteArray payload;   // between the head and the trailer
    QByteArray head;      // the bytes before the payload (length field, text slice head)
    int sendNo = 0;
    int count = 0;
    int number = 0;
    qsizetype size = 0;   // bytes of the whole block
};

enum class BlockForm { OneFrame, DisplayData, TextSlice };

inline ReadBlock readBlock(const QByteArray& b, BlockForm form)
{
    ReadBlock r;
    const int headSize = form == BlockForm::TextSlice ? 11 : 4;
    const int lengthAt = form == BlockForm::TextSlice ? 7 : 0;
    if (b.size() < headSize + 10) {
        r.error = QStringLiteral("block too short");
        return r;
    }
    const quint32 following = le(b, lengthAt, 4);
    r.size = lengthAt + 4 + following;
    if (r.size > b.size() || following < 10) {
        r.error = QStringLiteral("length field %1 does not fit %2 bytes").arg(following).arg(b.size());
        return r;
    }
    const qsizetype trailerAt = r.size - 10;
    if (quint8(b.at(trailerAt)) != 0xFF || quint8(b.at(trailerAt + 1)) != 0x00) {
        r.error = QStringLiteral("no FF 00 at the trailer");
        return r;
    }
    r.sendNo = int(le(b, trailerAt + 2, 2));
    r.count = int(le(b, trailerAt + 4, 2));
    r.number = int(le(b, trailerAt + 6, 2));
    // One-frame blocks check everything after the length; the multi-frame
    // blocks the nine bytes before the check value.
    const qsizetype crcFrom = form == BlockForm::OneFrame ? 4 : r.size - 2 - 9;
    const quint16 crc = bitwiseModbus(b, crcFrom, r.size - 2);
    if (quint8(b.at(r.size - 2)) != (crc & 0xFF) || quint8(b.at(r.size - 1)) != (crc >> 8)) {
        r.error = QStringLiteral("check value differs");
        return r;
    }
    if (form == BlockForm::OneFrame && (r.count != 1 || r.number != 1)) {
        r.error = QStringLiteral("one-frame trailer not 01 00 01 00");
        return r;
    }
    if (form != BlockForm::OneFrame && (r.number < 1 || r.number > r.count)) {
        r.error = QStringLiteral("block number %1 of %2").arg(r.number).arg(r.count);
        return r;
    }
    r.head = b.left(headSize);
    r.payload = b.mid(headSize, trailerAt - headSize);
    r.ok = true;
    return r;
}

// A material frame (command 0x31) whose id has `idLength` bytes.
struct ReadMaterialFrame {
    bool ok = false;
    QString error;
    ReadFrame frame;
    QByteArray id;
    QByteArray tail;      // descriptor tail (34 or 32 bytes)
    ReadBlock block;
    bool endMarker = false;
};

inline BlockForm formOfTypeCode(int typeCode)
{
    if (typeCode == '7')
        return BlockForm::TextSlice;
    if ((typeCode >= '8' && typeCode <= ':') || (typeCode >= ';' && typeCode <= '='))
        return BlockForm::DisplayData;
    return BlockForm::OneFrame;
}

inline ReadMaterialFrame readMaterialFrame(const QByteArray& bytes, int idLength = 9)
{
    ReadMaterialFrame r;
    r.frame = readFrame(bytes);
    if (!r.frame.ok) {
        r.error = r.frame.error;
        return r;
    }
    if (r.frame.command != 0x31) {
        r.error = QStringLiteral("command is not 0x31");
        return r;
    }
    const QByteArray& d = r.frame.data;
    if (d.size() < idLength + 32) {
        r.error = QStringLiteral("no room for the descriptor");
        return r;
    }
    r.id = d.left(idLength);
    const bool internalCode = quint8(d.at(idLength + 16)) == 0x13;
    const int tailSize = internalCode ? 32 : 34;
    r.tail = d.mid(idLength, tailSize);
    if (r.tail.at(0) != ',') {
        r.error = QStringLiteral("descriptor does not start with a comma");
        return r;
    }
    const QByteArray rest = d.mid(idLength + tailSize);
    r.block = readBlock(rest, formOfTypeCode(quint8(r.tail.at(24))));
    if (!r.block.ok) {
        r.error = r.block.error;
        return r;
    }
    const QByteArray after = rest.mid(r.block.size);
    if (after == "-1,") {
        r.endMarker = true;
    } else if (!after.isEmpty()) {
        r.error = QStringLiteral("%1 stray bytes after the block").arg(after.size());
        return r;
    }
    r.ok = true;
    return r;
}

// One 485 packet from the program.
struct ReadPacket {
    bool ok = false;
    QString error;
    QByteArray address;
    int partCount = 0;
    int partNo = 0;
    QByteArray payload;
};

inline ReadPacket readPacket(const QByteArray& p)
{
    ReadPacket r;
    if (p.size() < 21 || quint8(p.at(0)) != 0xFE || quint8(p.at(1)) != 0x98) {
        r.error = QStringLiteral("not a packet");
        return r;
    }
    const int length = (quint8(p.at(2)) << 8) | quint8(p.at(3));
    if (length + 2 != p.size()) {
        r.error = QStringLiteral("length field");
        return r;
    }
    if (quint8(p.at(4)) != 0x97 || quint8(p.at(5)) != 0x54 || p.at(6) != 0 || p.at(15) != 1) {
        r.error = QStringLiteral("fixed bytes");
        return r;
    }
    const qsizetype payloadEnd = p.size() - 3;
    const quint16 crc = bitwiseModbus(p, 1, payloadEnd);
    if (quint8(p.at(payloadEnd)) != (crc & 0xFF) || quint8(p.at(payloadEnd + 1)) != (crc >> 8)) {
        r.error = QStringLiteral("CRC");
        return r;
    }
    quint8 x = 0;
    for (qsizetype i = 1; i < p.size() - 1; ++i)
        x ^= quint8(p.at(i));
    if (x != quint8(p.at(p.size() - 1))) {
        r.error = QStringLiteral("XOR byte");
        return r;
    }
    r.address = p.mid(7, 8);
    r.partCount = quint8(p.at(16));
    r.partNo = quint8(p.at(17));
    r.payload = p.mid(18, payloadEnd - 18);
    r.ok = true;
    return r;
}

// Splits a byte stream of whole frames (such as the USB-disk file) at their
// length fields.
inline QList<QByteArray> splitFrames(const QByteArray& stream, bool* ok)
{
    QList<QByteArray> frames;
    qsizetype at = 0;
    *ok = true;
    while (at < stream.size()) {
        if (stream.size() - at < 19) {
            *ok = false;
            break;
        }
        const quint32 total = le(stream, at + 4, 4);
        if (total < 19 || at + qsizetype(total) > stream.size()) {
            *ok = false;
            break;
        }
        frames << stream.mid(at, total);
        at += total;
    }
    return frames;
}

} // namespace ledsign::test
