// The short replies of a card besides its report: the confirmation (0x81),
// which may carry a request for one packet of a download, and the long
// parameter reply that carries the screen parameter block. Builders (for a
// simulated card) and readers face each other here.
#pragma once

#include <QByteArray>

namespace ledsign {

namespace replies {
// Offsets from the first byte of the frame.
inline constexpr int kConfirmedCommandOffset = 17;
inline constexpr int kRequestSendNoOffset = 18; // 16-bit little-endian
inline constexpr int kRequestBlockOffset = 20;  // 16-bit little-endian
inline constexpr int kRequestEnd = 22;

inline constexpr int kBlockOffset = 17;         // screen parameter block
inline constexpr int kLongReplyMinSize = 36;    // longer than 35 bytes
inline constexpr int kRs485LongReplyMinSize = 51; // a packet longer than 50 bytes
} // namespace replies

struct Confirmation {
    int confirmedCommand = -1;  // -1 when the frame carries no data: a confirmation
                                // of the header or of a text
    bool requestComplete = false; // both numbers of a packet request are present
    quint16 sendNo = 0;         // material asked for again
    quint16 blockNo = 0;        // its frame (network) or piece (RS-485)

    bool isPacketRequest() const { return confirmedCommand == 0x33; }
    bool isMaterialConfirmation() const { return confirmedCommand == 0x31; }
};

Confirmation readConfirmation(const QByteArray& frame);

// The screen parameter block of a long reply, with the interface flag (block
// byte 11) as the parameter window takes it: 0 when the byte is 00, 1
// otherwise, and 2 whenever the reply came over the RS-485 line.
struct ParameterReply {
    quint8 command = 0;
    QByteArray block;
    int interfaceFlag = 0;
};

// Reads the block of a frame longer than 35 bytes; false when the frame is
// shorter or the command is not 0x51, 0xF1 or 0xF2.
bool readParameterReply(const QByteArray& frame, bool viaRs485, ParameterReply& out);

// A card's confirmation of `command`.
QByteArray buildConfirmation(quint8 command, quint32 serial = 0);
// A card's request for frame or piece `blockNo` of material `sendNo`.
QByteArray buildPacketRequest(quint16 sendNo, quint16 blockNo, quint32 serial = 0);
// A long parameter reply (0xF2 after a read, 0xF1 after a write) carrying the
// 17-byte block; empty for a block of another size.
QByteArray buildParameterReply(quint8 command, const QByteArray& block, quint32 serial = 0);

} // namespace ledsign
