// The frame: the unit of every exchange with a card. Marker, total length,
// command, serial, data length, data and the FF FF trailer; the builder and the
// reader of this layout live side by side here.
#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace ledsign::frame {

// Offsets from the first byte of a frame.
inline constexpr int kMarkerOffset = 0;
inline constexpr int kTotalLengthOffset = 4;  // 32-bit little-endian, whole frame
inline constexpr int kCommandOffset = 8;
inline constexpr int kSerialOffset = 9;       // 32-bit big-endian
inline constexpr int kDataLengthOffset = 13;  // 32-bit little-endian, total - 19
inline constexpr int kDataOffset = 17;
inline constexpr int kHeadSize = 17;
inline constexpr int kTrailerSize = 2;
inline constexpr int kEmptyFrameSize = kHeadSize + kTrailerSize; // 19

inline constexpr quint32 kSerialLimit = 100000; // serials are drawn below this

// FE 5C 4B 89
QByteArray marker();
bool startsWithMarker(const QByteArray& bytes, qsizetype at = 0);

// Command codes the program sends.
namespace cmd {
inline constexpr quint8 kHeader = 0x22;         // playbill header or text-program text
inline constexpr quint8 kMaterial = 0x31;       // material frame
inline constexpr quint8 kStartPlay = 0x51;
inline constexpr quint8 kStopPlay = 0x52;
inline constexpr quint8 kTime = 0x62;           // time calibration, time and poll time
inline constexpr quint8 kIdentityQuery = 0x71;
inline constexpr quint8 kWriteParameters = 0xF1;
inline constexpr quint8 kReadParameters = 0xF2;
} // namespace cmd

// Reply codes cards send.
namespace reply {
inline constexpr quint8 kProgramUpload = 0x21;
inline constexpr quint8 kProgramUpload2 = 0x74;
inline constexpr quint8 kMaterialUpload = 0x32;
inline constexpr quint8 kPacketRequest = 0x33;  // as the confirmed command of a 0x81
inline constexpr quint8 kException = 0x34;
inline constexpr quint8 kParameters = 0x51;     // long form only
inline constexpr quint8 kReport = 0x61;
inline constexpr quint8 kSerialReport = 0x71;
inline constexpr quint8 kMaterialReport = 0x72;
inline constexpr quint8 kConfirmation = 0x81;
inline constexpr quint8 kHeartbeat = 0x91;
inline constexpr quint8 kParametersWritten = 0xF1;
inline constexpr quint8 kParametersRead = 0xF2;
} // namespace reply

// A new random serial, 0 .. 99999.
quint32 newSerial();

// The serial as the card record keeps it: eight upper-case hex digits.
QString serialText(quint32 serial);

// A frame with the given serial.
QByteArray build(quint8 command, const QByteArray& data, quint32 serial);

// A frame with a newly drawn serial, whose text is stored in frameSerial (the
// card's `frameSerial` field).
QByteArray build(quint8 command, const QByteArray& data, QString& frameSerial);

// The one frame with fixed content: asks a card to report itself.
QByteArray identityQuery();

// What the head of a frame says. Valid only when read() returned true.
struct Head {
    quint32 totalLength = 0;
    quint8 command = 0;
    quint32 serial = 0;
    quint32 dataLength = 0;
};

// Reads the 17-byte head; false when the bytes are too short or do not start
// with the marker.
bool readHead(const QByteArray& bytes, Head& head);

// The command byte, or -1 when the frame is too short to hold one.
int command(const QByteArray& bytes);

// True when the last two bytes are FF FF.
bool hasTrailer(const QByteArray& bytes);

// True when the frame is complete and consistent: marker, total length equal to
// the byte count, data length equal to total - 19, and the trailer.
bool isWellFormed(const QByteArray& bytes);

// The data bytes between head and trailer (empty for a frame too short to
// have any).
QByteArray data(const QByteArray& bytes);

// Little-endian 16- and 32-bit numbers at an offset; 0 past the end.
quint16 readLe16(const QByteArray& bytes, qsizetype at);
quint32 readLe32(const QByteArray& bytes, qsizetype at);
// A byte at an offset, or -1 past the end.
int byteAt(const QByteArray& bytes, qsizetype at);

} // namespace ledsign::frame
