// The byte layouts inside a material frame: the descriptor tail that follows
// the material id, and the content block of every material kind with its
// trailer and CRC-16/MODBUS check value. The frame around them is built by
// the material encoder (materialencoder.h).
#pragma once

#include "model/tfodder.h"

#include <QByteArray>
#include <QDateTime>
#include <QtGlobal>

namespace ledsign::material {

// Type codes sent to the card, and the encoder each one selects.
inline constexpr int kMaxTextProgramType = 15; // 0..15: text-program text, a number
inline constexpr int kTypeRemoteText = '0';
inline constexpr int kTypeTime = '1';
inline constexpr int kTypeCountDown = '3';
inline constexpr int kTypeCountUp = '4';
inline constexpr int kTypeQueue = '5';
inline constexpr int kTypeAcquisition = '6';
inline constexpr int kTypeInternalCode = '7';
inline constexpr int kTypeTextFirst = '8';      // '8', '9', ':' rendered text, images, tables
inline constexpr int kTypeTextLast = ':';
inline constexpr int kTypeAnimationFirst = ';'; // ';', '<', '=' animations
inline constexpr int kTypeAnimationLast = '=';

enum class BlockKind {
    None,           // no frame at all
    TextProgram,    // card text block, own descriptor
    EmptyAttribute,
    Time,
    Count,
    Queue,
    Acquisition,
    TextSlice,      // one frame per 1024 UTF-16 code units
    DisplayData,    // one frame per 2048 bytes of display data
};

BlockKind blockKindOf(int typeCode);
bool isCountType(int typeCode);

// Descriptor tail, offsets from the byte after the id.
inline constexpr int kTailComma = 0;
inline constexpr int kTailDisplayMode = 1;
inline constexpr int kTailDisplaySpeed = 2;
inline constexpr int kTailRemainTime = 3;
inline constexpr int kTailDigits = 4;          // 12 ASCII digits "010101991231"
inline constexpr int kTailKindMark = 16;       // 0x0E, 0x13 for internal-code text
inline constexpr int kTailZeros = 17;          // 00 00 00
inline constexpr int kTailMagic = 20;          // 55 AA 00
inline constexpr int kTailRotateMode = 23;
inline constexpr int kTailTypeCode = 24;
inline constexpr int kTailFlag1 = 25;
inline constexpr int kTailFlag0 = 26;
inline constexpr int kTailFrameOrder = 27;     // '1' first frame, '2' later frames
inline constexpr int kTailPlanes = 28;         // '1', '2', '3' by colour depth, 0 otherwise
inline constexpr int kTailOne = 29;            // '1'
inline constexpr int kTailPictureCount = 30;   // LE16
inline constexpr int kTailSize = 34;
inline constexpr int kInternalCodeTailSize = 32;

inline constexpr quint8 kKindMark = 0x0E;
inline constexpr quint8 kInternalCodeKindMark = 0x13;
inline constexpr quint8 kTextProgramMark = 0x03;
// The fixed date text both descriptors carry.
inline constexpr const char* kDescriptorDigits = "010101991231";

// Trailer: FF 00, send number LE16, count LE16, number LE16.
inline constexpr int kTrailerSize = 8;
inline constexpr int kCheckSize = 2;

// Sizes of the one-frame blocks, length field included.
inline constexpr int kEmptyAttributeBlockSize = 21;
inline constexpr int kTimeBlockSize = 21;
inline constexpr int kCountBlockSize = 28;
inline constexpr int kQueueBlockSize = 22;
inline constexpr int kAcquisitionBlockSize = 31;
inline constexpr int kSuffixUnitBytes = 10;

// Multi-frame blocks.
inline constexpr int kDisplayDataChunk = 2048;  // bytes of display data per frame
inline constexpr int kTextSliceUnits = 1024;    // UTF-16 code units per internal-code frame
inline constexpr int kTextSliceHead = 11;       // width, height, colour, font, 0, length

// Colour-plane character of a card colour depth ('8', '9', ':'); 0 otherwise.
quint8 colorPlanes(int colorType);

// High four bits from the low bits of a, low four bits from the low bits of b.
quint8 nibblePair(int a, int b);

// The descriptor tail of one frame (34 bytes, 32 for internal-code text).
QByteArray descriptorTail(const TFodder& m, int colorType, bool firstFrame, int pictureCount);

// FF 00, send number, count, number, each LE16.
QByteArray blockTrailer(int sendNo, int count, int number);

QByteArray emptyAttributeBlock(int sendNo);
QByteArray timeBlock(const TFodder& m);
// `target` is the start of a count-up or the end of a count-down.
QByteArray countBlock(const TFodder& m, const QDateTime& target);
QByteArray queueBlock(const TFodder& m);
QByteArray acquisitionBlock(const TFodder& m);
// One slice of internal-code text, already in the card's encoding.
QByteArray textSliceBlock(const TFodder& m, int regionWidth, int regionHeight, const QByteArray& slice,
                          int sliceCount, int sliceNumber);
// One block of display data (at most 2048 bytes of it).
QByteArray displayDataBlock(int sendNo, const QByteArray& chunk, int blockCount, int blockNumber);

// Data of a text-program text frame after the id: its own descriptor, the
// length and the card text (already in the card's encoding).
QByteArray textProgramBody(const TFodder& m, const QByteArray& cardText);

// The register byte of an acquisition from its data type index (data type
// code - 1) and its type number.
quint8 registerByte(int dataTypeIndex, int typeNumber);

} // namespace ledsign::material
