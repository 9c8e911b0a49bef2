// Reads back what travels to and from a card: a stream of frames (a USB-disk
// data file, a TCP read) cut frame by frame at their length fields, each
// frame's head, and inside a material frame its id, type, send and block
// numbers and whether the block's check value holds; and the 485 packets of
// an RS-485 line with their address, part numbers and check bytes. It faces
// the frame, material and 485 packet builders of this folder.
#pragma once

#include "protocol/conversions.h"
#include "protocol/materialblocks.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace ledsign::framestream {

// What a material frame (command 0x31) carries.
struct MaterialInfo {
    QByteArray id;             // the bytes before the descriptor's ","
    int typeCode = -1;
    material::BlockKind blockKind = material::BlockKind::None;
    int frameOrder = 0;        // '1' first frame of the material, '2' later ones
    int pictureCount = -1;     // -1 where the kind carries none
    int sendNo = -1;           // from the block trailer; -1 without one
    int blockCount = -1;
    int blockNo = -1;
    int payloadLength = -1;    // display-data or text bytes of this block
    bool hasCheck = false;     // the block carries a check value
    bool checkOk = false;
    bool endMarker = false;    // "-1," before the trailer: the card's last frame
    QString problem;           // why the block could not be read; empty when it could
};

struct Frame {
    qsizetype offset = 0;      // of the marker in the bytes read
    QByteArray bytes;          // the whole frame as its length field gives it
    quint8 command = 0;
    quint32 serial = 0;
    quint32 totalLength = 0;
    quint32 dataLength = 0;
    bool wellFormed = false;   // lengths agree and the trailer is FF FF
    bool isMaterial = false;
    MaterialInfo material;     // when isMaterial
    QString problem;           // a frame cut short or inconsistent
};

// Bytes between frames that belong to none.
struct Gap {
    qsizetype offset = 0;
    qsizetype length = 0;
};

struct Stream {
    QList<Frame> frames;
    QList<Gap> gaps;
};

// Walks bytes that hold frames one after another. A frame whose length
// field points past the end, or below the size of an empty frame, is
// reported as cut short, and reading goes on at the next marker.
Stream readStream(const QByteArray& bytes);

// One frame that begins at offset 0 of the bytes.
Frame readFrame(const QByteArray& bytes);

// The material part of a frame of command 0x31.
MaterialInfo readMaterial(const QByteArray& frame);

// One 485 packet as read back, with its check bytes recomputed.
struct Packet {
    qsizetype offset = 0;
    qsizetype size = 0;
    bool fromProgram = false;  // kind 98, direction 97 54
    quint8 kind = 0;
    quint8 direction = 0;      // byte 5: 54 from the program, 54/55 in a card's reply
    quint8 status = 0;         // byte 6
    convert::InternalCode address {};
    int partCount = 0;
    int partNumber = 0;
    QByteArray payload;
    bool crcOk = false;
    bool xorOk = false;
    QString problem;
};

// Reads the 485 packets that follow each other in the bytes; stops at the
// first byte that does not start a complete packet and reports the rest
// as a gap.
struct PacketStream {
    QList<Packet> packets;
    QList<Gap> gaps;
};
PacketStream readPackets(const QByteArray& bytes);

// True when the bytes begin with a 485 packet's start byte and not with a
// frame marker.
bool looksLikePacket(const QByteArray& bytes);

// Joins the payloads of one frame's 485 pieces, numbered 1..count, back into
// the frame. Feed the packets in order; a complete frame comes out of add().
class PacketJoiner {
public:
    // Returns true and sets `frame` when this packet completes a frame. A
    // frame that can no longer join (a piece missing, a restart at piece 1
    // before the end) is dropped and told in `broken`; a repeat of the piece
    // just taken is not a break.
    bool add(const Packet& packet, QByteArray& frame, QString* broken = nullptr);
    // What is left unjoined at the end of the stream; empty when nothing.
    QString finish();

private:
    QString drop(const QString& why);

    QByteArray m_pending;
    int m_expected = 1;
    int m_count = 0;
    int m_lastCount = 0; // piece count of the frame joined last
    bool m_skipping = false; // after a break, the rest of that frame is dropped quietly
};

} // namespace ledsign::framestream
