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

// True when the two bytes at `at` are the CRC of [from, at), low byte first.
inline bool crcAt(const QByteArray& b, qsizetype from, qsizetype at)
{
    const quint16 crc = bitwiseModbus(b, from, at);
    return quint8(b.at(at)) == (crc & 0xFF) && quint8(b.at(at + 1)) == (crc >> 8);
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
    if (f.size() < 19 || f.left(4) != QByteArray::fromHex("FE5C4B89")) {
        r.error = QStringLiteral("no frame head");
        return r;
    }
    const quint32 total = le(f, 4, 4);
    const quint32 dataLength = le(f, 13, 4);
    r.serial = (quint32(quint8(f.at(9))) << 24) | (quint32(quint8(f.at(10))) << 16)
        | (quint32(quint8(f.at(11))) << 8) | quint8(f.at(12));
    if (total != quint32(f.size()) || dataLength != total - 19)
        r.error = QStringLiteral("length fields %1/%2 for %3 bytes").arg(total).arg(dataLength).arg(f.size());
    else if (f.right(2) != QByteArray::fromHex("FFFF"))
        r.error = QStringLiteral("no FF FF trailer");
    else if (r.serial >= 100000)
        r.error = QStringLiteral("serial out of range");
    if (!r.error.isEmpty())
        return r;
    r.command = quint8(f.at(8));
    r.data = f.mid(17, dataLength);
    r.ok = true;
    return r;
}

// A content block with a trailer: FF 00, send number, count, number, check.
struct ReadBlock {
    bool ok = false;
    QString error;
    QByteArray head;      // length field (and the text slice head)
    QByteArray payload;   // between the head and the trailer
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
    const int lengthAt = headSize - 4;
    if (b.size() < headSize + 10) {
        r.error = QStringLiteral("block too short");
        return r;
    }
    r.size = headSize + le(b, lengthAt, 4);
    if (r.size > b.size() || r.size < headSize + 10) {
        r.error = QStringLiteral("length field does not fit %1 bytes").arg(b.size());
        return r;
    }
    const qsizetype trailerAt = r.size - 10;
    r.sendNo = int(le(b, trailerAt + 2, 2));
    r.count = int(le(b, trailerAt + 4, 2));
    r.number = int(le(b, trailerAt + 6, 2));
    // One-frame blocks check everything after the length; the multi-frame
    // blocks the nine bytes before the check value.
    const qsizetype crcFrom = form == BlockForm::OneFrame ? 4 : r.size - 11;
    if (b.mid(trailerAt, 2) != QByteArray::fromHex("FF00"))
        r.error = QStringLiteral("no FF 00 at the trailer");
    else if (!crcAt(b, crcFrom, r.size - 2))
        r.error = QStringLiteral("check value differs");
    else if (form == BlockForm::OneFrame && (r.count != 1 || r.number != 1))
        r.error = QStringLiteral("one-frame trailer not 01 00 01 00");
    else if (r.number < 1 || r.number > r.count)
        r.error = QStringLiteral("block number %1 of %2").arg(r.number).arg(r.count);
    if (!r.error.isEmpty())
        return r;
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

inline ReadMaterialFrame readMaterialFrame(const QByteArray& bytes, int idLength = 9)
{
    ReadMaterialFrame r;
    r.frame = readFrame(bytes);
    const QByteArray& d = r.frame.data;
    if (!r.frame.ok || r.frame.command != 0x31 || d.size() < idLength + 32) {
        r.error = QStringLiteral("not a material frame ") + r.frame.error;
        return r;
    }
    r.id = d.left(idLength);
    const bool internalCode = quint8(d.at(idLength + 16)) == 0x13;
    r.tail = d.mid(idLength, internalCode ? 32 : 34);
    const int type = quint8(r.tail.at(24));
    const BlockForm form = type == '7'         ? BlockForm::TextSlice
        : (type >= '8' && type <= '=') ? BlockForm::DisplayData
                                       : BlockForm::OneFrame;
    const QByteArray rest = d.mid(idLength + r.tail.size());
    r.block = readBlock(rest, form);
    const QByteArray after = rest.mid(r.block.size);
    r.endMarker = after == "-1,";
    if (r.tail.at(0) != ',')
        r.error = QStringLiteral("descriptor does not start with a comma");
    else if (!r.block.ok)
        r.error = r.block.error;
    else if (!after.isEmpty() && !r.endMarker)
        r.error = QStringLiteral("%1 stray bytes after the block").arg(after.size());
    r.ok = r.error.isEmpty();
    return r;
}

// One 485 packet from the program.
struct ReadPacket {
    bool ok = false;
    QByteArray address;
    int partCount = 0;
    int partNo = 0;
    QByteArray payload;
};

inline ReadPacket readPacket(const QByteArray& p)
{
    ReadPacket r;
    if (p.size() < 21 || p.left(2) != QByteArray::fromHex("FE98")
        || ((quint8(p.at(2)) << 8) | quint8(p.at(3))) + 2 != p.size()
        || p.mid(4, 3) != QByteArray::fromHex("975400") || p.at(15) != 1 || !crcAt(p, 1, p.size() - 3))
        return r;
    quint8 x = 0;
    for (qsizetype i = 1; i < p.size() - 1; ++i)
        x ^= quint8(p.at(i));
    r.ok = x == quint8(p.at(p.size() - 1));
    r.address = p.mid(7, 8);
    r.partCount = quint8(p.at(16));
    r.partNo = quint8(p.at(17));
    r.payload = p.mid(18, p.size() - 21);
    return r;
}

// Splits a byte stream of whole frames (such as the USB-disk file) at their
// length fields; false when the stream does not end with a whole frame.
inline bool splitFrames(const QByteArray& stream, QList<QByteArray>& frames)
{
    qsizetype at = 0;
    while (at + 19 <= stream.size()) {
        const qsizetype total = le(stream, at + 4, 4);
        if (total < 19 || at + total > stream.size())
            return false;
        frames << stream.mid(at, total);
        at += total;
    }
    return at == stream.size();
}

} // namespace ledsign::test
