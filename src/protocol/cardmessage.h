// The reply dispatcher: turns a frame or 485 packet received from a card into
// a typed message. It decides what a frame is, never what to do about it: the
// link code looks at the message and acts on cards, timers and windows.
#pragma once

#include "protocol/cardreplies.h"
#include "protocol/cardreport.h"
#include "protocol/rs485packet.h"

#include <QByteArray>

#include <variant>

namespace ledsign {

// 0xF1 short form: the card has taken the screen parameters.
struct ParametersWritten {};

// 0x34: the card hit an exception during a download; the download stops.
struct DownloadException {};

// 0x21, 0x74, 0x32: the card uploads a program or material; nothing to do.
struct UploadNotice {
    quint8 command = 0;
};

// A 485 packet from a card during a download (the frame it carries starts at
// packet byte 18).
struct Rs485Reply {
    rs485::Packet packet;
    int frameCommand = -1;     // packet byte 26; -1 when the payload is too short
    Confirmation confirmation; // read from the carried frame when it is a 0x81

    // 55 in byte 5: the card has the whole frame.
    bool complete() const { return packet.direction[1] == rs485::kReplyComplete; }
    // Byte 6 neither 00 nor FF: the card asks for the last packet again.
    bool negative() const { return packet.status != 0x00 && packet.status != 0xFF; }
    // The header piece the card wants next (packet byte 18; 0 means 1).
    int wantedPart() const
    {
        const int b = packet.payload.isEmpty() ? 0 : quint8(packet.payload[0]);
        return b == 0 ? 1 : b;
    }
};

// Anything else: an unknown command, a frame too short to carry its command or
// a report too short to read. Nothing is done about it.
struct UnknownFrame {
    int command = -1;
};

// Report (0x61, 0x71, 0x72, 0x91; the heartbeat is a report too),
// confirmation, parameter reply, and the rest.
using CardMessage = std::variant<CardReport, Confirmation, ParameterReply, ParametersWritten,
                                 DownloadException, UploadNotice, Rs485Reply, UnknownFrame>;

// A frame from a TCP connection or a plain serial line. Frames longer than 35
// bytes with command 0x51, 0xF1 or 0xF2 are long parameter replies; the rest
// is sorted by its command byte.
CardMessage readFrameMessage(const QByteArray& frame);

// A 485 packet from a card. A packet of the program's own kind (98) is an echo
// of what the program sent and is unknown here. Reports (0x61, 0x71, 0x72) and parameter replies
// (0x51, 0xF2 in a packet longer than 50 bytes; 0xF1 as parameters written) are
// read from the carried frame; everything else is a download reply.
CardMessage readRs485Message(const QByteArray& packet);

} // namespace ledsign
