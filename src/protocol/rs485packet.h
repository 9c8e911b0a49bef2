// The 485 packet: on an RS-485 line several cards share the wire, so a frame
// travels cut into pieces of at most 256 bytes, each addressed by the card's
// internal code and closed by a CRC-16/MODBUS and an XOR check byte.
#pragma once

#include "protocol/conversions.h"

#include <QByteArray>
#include <QList>

namespace ledsign::rs485 {

// Offsets from the first byte of a packet.
inline constexpr int kStartOffset = 0;       // FE
inline constexpr int kKindOffset = 1;        // 98 from the program
inline constexpr int kLengthOffset = 2;      // 16-bit big-endian, payload + 19
inline constexpr int kDirectionOffset = 4;   // 97 54 from the program
inline constexpr int kReplyDirectionOffset = 5; // 54 or 55 in a card's reply
inline constexpr int kStatusOffset = 6;      // 00 from the program
inline constexpr int kAddressOffset = 7;     // eight bytes of internal code
inline constexpr int kConstantOffset = 15;   // 01
inline constexpr int kPartCountOffset = 16;
inline constexpr int kPartNumberOffset = 17;
inline constexpr int kPayloadOffset = 18;    // a reply's frame starts here
inline constexpr int kOverhead = 21;         // head 18 + CRC 2 + check byte 1
inline constexpr int kMaxPayload = 256;
inline constexpr int kMaxPacketSize = kMaxPayload + kOverhead;
inline constexpr int kMaxParts = 255;

inline constexpr quint8 kStart = 0xFE;
inline constexpr quint8 kKindFromProgram = 0x98;
inline constexpr quint8 kKindFromCard = 0x89; // any value but 98 marks a reply
inline constexpr quint8 kReplyPartial = 0x54;
inline constexpr quint8 kReplyComplete = 0x55;

// One packet around a payload of at most 256 bytes. Returns an empty array for
// an oversized payload or a part count or number outside 1..255.
QByteArray buildPacket(const convert::InternalCode& address, int partCount, int partNumber,
                       const QByteArray& payload);

// A card's reply around a payload: the layout of buildPacket with the card's
// kind byte, 55 in byte 5 when the card holds the whole frame (54 otherwise)
// and the status byte (neither 00 nor FF asks for the packet again).
QByteArray buildReply(const convert::InternalCode& address, bool complete, quint8 status,
                      const QByteArray& payload, int partCount = 1, int partNumber = 1);

// The frame cut into ceil(m/256) packets, numbered from 1. Returns an empty
// list for an empty frame or one that would need more than 255 packets.
QList<QByteArray> cutFrame(const QByteArray& frame, const convert::InternalCode& address);

// The two check bytes (CRC low, CRC high) and the XOR byte that close a packet
// whose bytes before them are `head`.
QByteArray checkBytes(const QByteArray& headAndPayload);

// A packet as read back, from the program or from a card.
struct Packet {
    quint8 kind = 0;
    quint16 length = 0;       // payload + 19
    quint8 direction[2] = {0, 0};
    quint8 status = 0;        // byte 6; a card's negative answer is neither 00 nor FF
    convert::InternalCode address {};
    quint8 constant = 0;
    quint8 partCount = 0;
    quint8 partNumber = 0;
    QByteArray payload;
    bool crcOk = false;       // CRC over bytes 1 .. end of payload
    bool checkByteOk = false; // XOR over bytes 1 .. CRC high

    bool isCardReply() const
    {
        return direction[1] == kReplyPartial || direction[1] == kReplyComplete;
    }
};

// Size of the packet that starts at `at`, read from its length field (L + 2),
// or 0 when fewer than four bytes are there or the start byte is not FE.
qsizetype packetSizeAt(const QByteArray& bytes, qsizetype at = 0);

// True when the bytes at `at` begin like a card's reply: FE, and 54 or 55 in
// byte 5.
bool startsCardReply(const QByteArray& bytes, qsizetype at = 0);

// Reads one complete packet (exactly its L + 2 bytes). False when the bytes are
// shorter than the head, do not start with FE, or disagree with the length
// field. Check bytes are reported, not enforced.
bool read(const QByteArray& bytes, Packet& packet);

} // namespace ledsign::rs485
