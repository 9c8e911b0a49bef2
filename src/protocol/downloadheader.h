// The playbill header of a download, command 0x22: on the network (and in
// the USB-disk file) one frame of at most 8191 bytes whose data is the
// description with the page times; on an RS-485 line the plain description
// in chunks of 2048 bytes, each chunk a frame cut into header packets.
#pragma once

#include "model/downloadpacket.h"
#include "protocol/conversions.h"

#include <QByteArray>
#include <QList>

#include <functional>

namespace ledsign::download {

inline constexpr int kMaxHeaderFrameSize = 8191;
inline constexpr int kMaxHeaderDataSize = kMaxHeaderFrameSize - 19; // 8172
inline constexpr int kHeaderChunkSize = 2048;

// Header kinds of the header packets.
inline constexpr int kHeaderPlaybill = 0;
inline constexpr int kHeaderTextProgram = 1;

bool fitsNetworkHeader(qsizetype dataSize);

// The header frame; empty when the data does not fit.
QByteArray networkHeaderFrame(const QByteArray& data, quint32 serial);

// The description cut into chunks of at most 2048 bytes (the last holds the
// rest); a chunk never ends inside a two- or four-byte character.
QList<QByteArray> headerChunks(const QByteArray& description);

// Every chunk as a 0x22 frame (a new serial each) cut into 485 packets
// addressed to the card, all in one list, none sent yet. Empty when a chunk
// would need more packets than a frame may have.
QList<rPackSendProgram> headerPackets485(const QByteArray& description, int headerKind,
                                         const convert::InternalCode& address,
                                         const std::function<quint32()>& serials);

} // namespace ledsign::download
