// The card's own reading and writing of the line: frames (marker, lengths,
// trailer), the 485 packet around them (address, part numbers, CRC and XOR
// check), the CRC-16/MODBUS the card checks blocks with, and the replies it
// sends. Written from the card's side: nothing here uses the program's
// builders or readers, so a misreading the program makes shows up as a frame
// the card refuses.
#pragma once

#include <QByteArray>
#include <QString>

#include <array>

namespace ledsign::card::wire {

// Frame layout.
inline constexpr int kMarkerSize = 4;
inline constexpr int kTotalAt = 4;       // LE32, the whole frame
inline constexpr int kCommandAt = 8;
inline constexpr int kSerialAt = 9;      // four bytes, big-endian
inline constexpr int kDataLengthAt = 13; // LE32, total - 19
inline constexpr int kDataAt = 17;
inline constexpr int kEmptyFrame = 19;

// Commands the card receives and replies it sends.
namespace cmd {
inline constexpr quint8 kHeader = 0x22;
inline constexpr quint8 kMaterial = 0x31;
inline constexpr quint8 kStartPlay = 0x51;
inline constexpr quint8 kStopPlay = 0x52;
inline constexpr quint8 kTime = 0x62;
inline constexpr quint8 kIdentityQuery = 0x71;
inline constexpr quint8 kWriteParameters = 0xF1;
inline constexpr quint8 kReadParameters = 0xF2;
inline constexpr quint8 kReport = 0x61;
inline constexpr quint8 kConfirmation = 0x81;
inline constexpr quint8 kPacketRequest = 0x33;
inline constexpr quint8 kException = 0x34;
inline constexpr quint8 kHeartbeat = 0x91;
} // namespace cmd

using Address = std::array<quint8, 8>;

bool hasMarker(const QByteArray& bytes, qsizetype at = 0);
// First marker at or after `from`, -1 when there is none.
qsizetype findMarker(const QByteArray& bytes, qsizetype from = 0);
// How many bytes at the end could be the start of a marker still arriving.
qsizetype markerTail(const QByteArray& bytes);

quint16 le16(const QByteArray& bytes, qsizetype at);
quint32 le32(const QByteArray& bytes, qsizetype at);
int byteAt(const QByteArray& bytes, qsizetype at); // -1 outside
void appendLe16(QByteArray& out, quint16 v);
void appendLe32(QByteArray& out, quint32 v);

// CRC-16/MODBUS over [from, to), worked bit by bit; 0xFFFF for an empty range.
quint16 modbusCrc(const QByteArray& bytes, qsizetype from, qsizetype to);

// Why a whole frame cannot be taken (wrong marker, a total length that is
// not its size, a data length that is not total - 19, no FF FF trailer), or
// empty when it is sound.
QString frameProblem(const QByteArray& frame);
inline quint8 command(const QByteArray& frame) { return quint8(frame.at(kCommandAt)); }
inline QByteArray data(const QByteArray& frame) { return frame.mid(kDataAt, frame.size() - kEmptyFrame); }

// A frame the card sends, with a new serial.
QByteArray buildFrame(quint8 command, const QByteArray& data = {});

// 485 packets.
namespace rs485 {
inline constexpr int kHead = 18;
inline constexpr int kOverhead = 21;
inline constexpr int kMaxPayload = 256;
inline constexpr quint8 kStart = 0xFE;
inline constexpr quint8 kFromProgram = 0x98;
inline constexpr quint8 kFromCard = 0x89;
inline constexpr quint8 kPartial = 0x54;
inline constexpr quint8 kComplete = 0x55;
} // namespace rs485

struct Packet {
    Address address{};
    int partCount = 0;
    int partNumber = 0;
    QByteArray payload;
};

// Size of the packet starting at `at` by its length field (0 while fewer
// than four bytes are there).
qsizetype packetSize(const QByteArray& bytes, qsizetype at = 0);
// Reads a whole packet from the program; false with the reason when a byte
// is not what the line demands (kind, direction, constant, part numbers,
// CRC, check byte).
bool readPacket(const QByteArray& bytes, Packet& out, QString& why);
// The card's answer on the RS-485 line: `complete` (55) or partial (54),
// a status byte (00 fine, anything else refuses), and the payload (a frame,
// or the number of the piece wanted next).
QByteArray buildReplyPacket(const Address& address, bool complete, quint8 status, const QByteArray& payload);

} // namespace ledsign::card::wire
