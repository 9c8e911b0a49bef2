#include "content/materialblocks.h"

#include "model/codec.h"
#include "model/tfixmodem.h"
#include "protocol/crc16.h"

#include <QtEndian>

#include <algorithm>

namespace ledsign::material {

namespace {

constexpr quint8 kTrailerMark[2] = {0xFF, 0x00};
constexpr int kOneFrameCrcStart = 4;    // one-frame blocks check everything after the length
constexpr int kMultiFrameCrcBytes = 9;  // multi-frame blocks check the last payload byte and the trailer

void appendByte(QByteArray& out, int v) { out.append(char(quint8(v & 0xFF))); }

void appendLe16(QByteArray& out, int v)
{
    char b[2];
    qToLittleEndian(quint16(v & 0xFFFF), b);
    out.append(b, 2);
}

void appendLe32(QByteArray& out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

void appendCheck(QByteArray& block, qsizetype from)
{
    const crc16::CrcBytes crc = crc16::modbus(block, from, block.size());
    appendByte(block, crc.low);
    appendByte(block, crc.high);
}

// A one-frame block: length, the body, the 01 00 01 00 trailer and the check
// value over everything from the body on.
QByteArray oneFrameBlock(int sendNo, const QByteArray& body)
{
    QByteArray block;
    appendLe32(block, quint32(body.size() + kTrailerSize + kCheckSize));
    block.append(body);
    block.append(blockTrailer(sendNo, 1, 1));
    appendCheck(block, kOneFrameCrcStart);
    return block;
}

int clampTo(int v, int low, int high) { return std::clamp(v, low, high); }

} // namespace

BlockKind blockKindOf(int typeCode)
{
    if (typeCode >= 0 && typeCode <= kMaxTextProgramType)
        return BlockKind::TextProgram;
    switch (typeCode) {
    case kTypeRemoteText:
        return BlockKind::EmptyAttribute;
    case kTypeTime:
        return BlockKind::Time;
    case kTypeCountDown:
    case kTypeCountUp:
        return BlockKind::Count;
    case kTypeQueue:
        return BlockKind::Queue;
    case kTypeAcquisition:
        return BlockKind::Acquisition;
    case kTypeInternalCode:
        return BlockKind::TextSlice;
    default:
        break;
    }
    if ((typeCode >= kTypeTextFirst && typeCode <= kTypeTextLast)
        || (typeCode >= kTypeAnimationFirst && typeCode <= kTypeAnimationLast))
        return BlockKind::DisplayData;
    return BlockKind::None;
}

bool isCountType(int typeCode) { return typeCode == kTypeCountDown || typeCode == kTypeCountUp; }

quint8 colorPlanes(int colorType)
{
    switch (colorType) {
    case kColorSingle:
        return '1';
    case kColorDual:
        return '2';
    case kColorTri:
        return '3';
    default:
        return 0;
    }
}

quint8 nibblePair(int a, int b) { return quint8(((a & 0x0F) << 4) | (b & 0x0F)); }

QByteArray descriptorTail(const TFodder& m, int colorType, bool firstFrame, int pictureCount)
{
    const bool internalCode = m.typeCode == kTypeInternalCode;
    QByteArray tail;
    tail.reserve(kTailSize);
    tail.append(',');
    appendByte(tail, m.displayMode);
    appendByte(tail, m.displaySpeed);
    appendByte(tail, m.remainTime);
    tail.append(kDescriptorDigits);
    appendByte(tail, internalCode ? kInternalCodeKindMark : kKindMark);
    tail.append(3, '\0');
    appendByte(tail, 0x55);
    appendByte(tail, 0xAA);
    appendByte(tail, 0x00);
    appendByte(tail, m.rotateMode);
    appendByte(tail, m.typeCode);
    tail.append(m.flagChars[1]);
    tail.append(m.flagChars[0]);
    tail.append(firstFrame ? '1' : '2');
    appendByte(tail, colorPlanes(colorType));
    tail.append('1');
    if (internalCode) {
        appendLe16(tail, 0);
    } else {
        appendLe16(tail, pictureCount);
        appendLe16(tail, 0);
    }
    return tail;
}

QByteArray blockTrailer(int sendNo, int count, int number)
{
    QByteArray t;
    t.reserve(kTrailerSize);
    appendByte(t, kTrailerMark[0]);
    appendByte(t, kTrailerMark[1]);
    appendLe16(t, sendNo);
    appendLe16(t, count);
    appendLe16(t, number);
    return t;
}

QByteArray emptyAttributeBlock(int sendNo)
{
    return oneFrameBlock(sendNo, QByteArray(7, '\0'));
}

QByteArray timeBlock(const TFodder& m)
{
    const int sign = m.timeDiffSign != 0 ? 0x80 : 0x00;
    QByteArray body;
    appendByte(body, m.timeFormat);
    appendByte(body, m.displayFormat);
    appendByte(body, sign | (m.diffHours & 0x7F));
    appendByte(body, sign | (m.diffMinutes & 0x7F));
    appendByte(body, nibblePair(m.digitColor, m.charColor));
    appendByte(body, nibblePair(m.fontCode, m.sizeCode));
    appendByte(body, nibblePair(0, m.textParam2));
    return oneFrameBlock(m.sendNo, body);
}

QByteArray countBlock(const TFodder& m, const QDateTime& target)
{
    const QDate d = target.date();
    const QTime t = target.time();
    QByteArray body;
    appendByte(body, m.timeFormat);
    appendByte(body, m.displayFormat);
    appendByte(body, m.timeDiffSign);
    appendByte(body, 0);
    appendByte(body, nibblePair(m.digitColor, m.charColor));
    appendByte(body, nibblePair(m.fontCode, m.sizeCode));
    appendByte(body, 0);
    appendByte(body, t.second());
    appendByte(body, t.minute());
    appendByte(body, t.hour());
    appendByte(body, d.dayOfWeek() % 7); // the card counts from Sunday = 0
    appendByte(body, d.day());
    appendByte(body, d.month());
    appendByte(body, d.year() % 100);
    return oneFrameBlock(m.sendNo, body);
}

QByteArray queueBlock(const TFodder& m)
{
    QByteArray body;
    appendByte(body, m.displayFormat);
    appendByte(body, nibblePair(m.fontCode, m.sizeCode));
    appendByte(body, m.displaySpeed);
    appendByte(body, m.charColor);
    body.append(4, '\0');
    return oneFrameBlock(m.sendNo, body);
}

QByteArray acquisitionBlock(const TFodder& m)
{
    const bool centreOrRight = m.textParam2 == 1 || m.textParam2 == 2;
    const int layout = (centreOrRight ? 0x80 : 0) | ((m.diffMinutes & 0x07) << 4) | ((m.diffHours & 0x07) << 1)
        | (m.textParam2 == 2 ? 0x01 : 0);
    QByteArray unit = codec::cutEncodedToBytes(codec::encode(m.content.trimmed()), kSuffixUnitBytes);
    unit.append(kSuffixUnitBytes - unit.size(), '\0');

    QByteArray body;
    appendByte(body, m.displayFormat);
    appendByte(body, registerByte(m.displayFormat - 1, m.timeFormat));
    appendByte(body, m.timeDiffSign);
    appendByte(body, layout);
    appendByte(body, nibblePair(m.digitColor, m.charColor));
    appendByte(body, nibblePair(m.fontCode, m.sizeCode));
    appendByte(body, 0);
    body.append(unit);
    return oneFrameBlock(m.sendNo, body);
}

QByteArray textSliceBlock(const TFodder& m, int regionWidth, int regionHeight, const QByteArray& slice,
                          int sliceCount, int sliceNumber)
{
    QByteArray block;
    block.reserve(kTextSliceHead + slice.size() + kTrailerSize + kCheckSize);
    appendLe16(block, regionWidth / 8);
    appendLe16(block, regionHeight);
    appendByte(block, m.charColor);
    appendByte(block, nibblePair(m.fontCode, m.sizeCode));
    appendByte(block, 0);
    appendLe32(block, quint32(slice.size() + kTrailerSize + kCheckSize));
    block.append(slice);
    block.append(blockTrailer(m.sendNo, sliceCount, sliceNumber));
    appendCheck(block, block.size() - kMultiFrameCrcBytes);
    return block;
}

QByteArray displayDataBlock(int sendNo, const QByteArray& chunk, int blockCount, int blockNumber)
{
    QByteArray block;
    block.reserve(4 + chunk.size() + kTrailerSize + kCheckSize);
    appendLe32(block, quint32(chunk.size() + kTrailerSize + kCheckSize));
    block.append(chunk);
    block.append(blockTrailer(sendNo, blockCount, blockNumber));
    appendCheck(block, block.size() - kMultiFrameCrcBytes);
    return block;
}

QByteArray textProgramBody(const TFodder& m, const QByteArray& cardText)
{
    QByteArray body;
    body.reserve(27 + cardText.size());
    body.append(',');
    appendByte(body, m.displayMode);
    appendByte(body, m.displaySpeed);
    appendByte(body, m.remainTime);
    body.append(kDescriptorDigits);
    appendByte(body, kTextProgramMark);
    body.append(3, '\0');
    body.append("all");
    appendLe32(body, quint32(cardText.size() + 1));
    body.append(';');
    body.append(cardText);
    return body;
}

quint8 registerByte(int dataTypeIndex, int typeNumber)
{
    int a = typeNumber;
    switch (dataTypeIndex) {
    case 0: // external data
        a = clampTo(a, 1, 70);
        break;
    case 1: // string data, ten ranges of eight registers
        a = clampTo(a, 1, 10);
        break;
    case 2: // 16-bit signed integer
        a = (clampTo(a, 8192, 8447) - 8191) % 64;
        break;
    case 3: // 32-bit signed integer
        a = (clampTo(a, 16384, 16639) - 16383) % 64;
        break;
    case 4: // float, one decimal
        a = clampTo(a, 20480, 20542) - 20479;
        break;
    case 5: // float, two decimals
        a = clampTo(a, 20544, 20606) - 20543;
        break;
    default:
        break;
    }
    return quint8(a & 0xFF);
}

} // namespace ledsign::material
