// CRC-16/MODBUS in the two-table form the cards use: the check bytes of every
// 485 packet. The result is given as the two bytes in the order they are sent.
#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <array>

namespace ledsign::crc16 {

// The two 256-entry tables of the MODBUS reference routine: tableA holds the
// low bytes of the reflected 0xA001 table, tableB the high bytes.
const std::array<quint8, 256>& tableA();
const std::array<quint8, 256>& tableB();

struct CrcBytes {
    quint8 low = 0xFF;  // sent first
    quint8 high = 0xFF; // sent second
    quint16 value() const { return quint16(low | (high << 8)); }
};

// CRC over bytes [start, stop) of the buffer. An empty or reversed range gives
// FF FF; a range reaching past the buffer is cut at its end.
CrcBytes modbus(const QByteArray& bytes, qsizetype start, qsizetype stop);

// CRC over the whole buffer.
inline CrcBytes modbus(const QByteArray& bytes) { return modbus(bytes, 0, bytes.size()); }

} // namespace ledsign::crc16
