// Material frames and playbill descriptions laid out byte by byte for the
// tests, independent of the program's own encoders.
#pragma once

#include "protocol/crc16.h"
#include "protocol/frame.h"

#include <QByteArray>
#include <QString>
#include <QtEndian>

namespace ledsign::test {

inline QByteArray le16(int v)
{
    char b[2];
    qToLittleEndian(quint16(v), b);
    return QByteArray(b, 2);
}

inline QByteArray le32(int v)
{
    char b[4];
    qToLittleEndian(quint32(v), b);
    return QByteArray(b, 4);
}

// A display-data material frame.
inline QByteArray displayFrame(const QByteArray& id, char typeCode, int sendNo, int blockCount, int blockNo,
                               int planes, int pictures, const QByteArray& data, bool last)
{
    QByteArray tail(",\0\0\0", 4);
    tail += "010101991231";
    tail += QByteArray("\x0E\0\0\0\x55\xAA\0\0", 8);
    tail += typeCode;
    tail += "00";
    tail += blockNo == 1 ? '1' : '2';
    tail += char('0' + planes);
    tail += '1';
    tail += le16(pictures);
    tail += QByteArray(2, '\0');
    QByteArray block = le32(int(data.size()) + 10) + data;
    block += QByteArray("\xFF\x00", 2) + le16(sendNo) + le16(blockCount) + le16(blockNo);
    const qsizetype d = data.size();
    const crc16::CrcBytes crc = crc16::modbus(block, 3 + d, 12 + d);
    block += char(crc.low);
    block += char(crc.high);
    QByteArray body = id + tail + block;
    if (last)
        body += "-1,";
    return frame::build(frame::cmd::kMaterial, body, 4711u);
}

// One material entry of a playbill description.
inline QByteArray descriptionEntry(const QByteArray& id, char typeCode, int x, int y, int w, int h)
{
    return id + typeCode + QString::asprintf("%.3d%.3d%.3d%.3d", x / 8, y, w / 8, h).toLatin1() + "1" + "0000"
        + "00000" + "#01#10;";
}

} // namespace ledsign::test
