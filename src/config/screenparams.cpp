#include "config/screenparams.h"

#include "config/scanmodes.h"

#include <QString>

#include <algorithm>

namespace ledsign {

using namespace screenblock;

namespace {

quint8 indexPlusOne(int index)
{
    return quint8(std::max(0, index) + 1);
}

quint8 indexByte(int index)
{
    return quint8(std::max(0, index));
}

int byteMinusOne(quint8 b)
{
    return int(b) - 1;
}

constexpr quint8 kTransCodes[] = {0x00, 0x22, 0x33};

} // namespace

quint8 baudCodeOfIndex(int index)
{
    if (index < 0 || index >= int(std::size(kBlockBaudCodes)))
        return kBlockBaudCodes[0];
    return kBlockBaudCodes[index];
}

int baudIndexOfCode(quint8 code)
{
    for (int i = 0; i < int(std::size(kBlockBaudCodes)); ++i)
        if (kBlockBaudCodes[i] == code)
            return i;
    // Some cards answer with the index itself.
    if (code <= 4)
        return code;
    return -1;
}

int baudIndexOfText(const QString& text)
{
    bool ok = false;
    const int rate = text.trimmed().toInt(&ok);
    if (!ok)
        return -1;
    for (int i = 0; i < int(std::size(kBlockBaudRates)); ++i)
        if (kBlockBaudRates[i] == rate)
            return i;
    return -1;
}

int rowOrderCode(int index)
{
    if (index == kRowOrderCount - 1)
        return kRowCodeLast;
    if (index == kRowOrderCount - 2)
        return kRowCodeSecondToLast;
    return std::max(0, index);
}

int rowOrderIndexOfCode(int code)
{
    if (code == kRowCodeLast)
        return kRowOrderCount - 1;
    if (code == kRowCodeSecondToLast)
        return kRowOrderCount - 2;
    return code < kRowOrderCount ? code : -1;
}

QByteArray encodeScreenBlock(const ScreenParams& p, const ScanModeTable& scanModes)
{
    QByteArray b(kSize, '\0');
    const auto put = [&](int at, int value) { b[at] = char(quint8(value)); };
    put(kScanMode, scanModes.ScanCodeOfIndex(p.scanIndex));
    put(kOePolarity, indexPlusOne(p.oeIndex));
    put(kWidth, (p.width >> 8) & 0xFF);
    put(kWidth + 1, p.width & 0xFF);
    put(kHeight, (p.height >> 8) & 0xFF);
    put(kHeight + 1, p.height & 0xFF);
    put(kColour, indexPlusOne(p.colorIndex));
    put(kDayBrightness, indexByte(p.dayBrightness));
    put(kNightBrightness, indexByte(p.nightBrightness));
    put(kDataPolarity, indexByte(p.dataBitIndex) & 0x0F);
    put(kAddress485, indexPlusOne(p.address485Index));
    put(kInterfaceFlag, p.interfaceFlag);
    put(kBaudRate, baudCodeOfIndex(p.baudIndex));
    put(kKeptFlag, p.keptFlag ? kFlagSet : 0);
    put(kConversion, kTransCodes[std::clamp(p.transIndex, 0, 2)]);
    put(kClockAndContent, ((indexByte(p.clockIndex) & 0x0F) << 4) | (indexByte(p.contentIndex) & 0x0F));
    put(kEmptyAndRowOrder, ((indexByte(p.emptyDisplayIndex) & 0x0F) << 4) | (rowOrderCode(p.rowOrderIndex) & 0x0F));
    return b;
}

bool decodeScreenBlock(const QByteArray& block, const ScanModeTable& scanModes, ScreenParams& out)
{
    if (block.size() != kSize)
        return false;
    const auto at = [&](int i) { return quint8(block.at(i)); };
    ScreenParams p;
    p.scanIndex = scanModes.ScanIndexOfCode(at(kScanMode));
    p.oeIndex = byteMinusOne(at(kOePolarity));
    p.width = (at(kWidth) << 8) | at(kWidth + 1);
    p.height = (at(kHeight) << 8) | at(kHeight + 1);
    p.colorIndex = byteMinusOne(at(kColour));
    p.dayBrightness = at(kDayBrightness);
    p.nightBrightness = at(kNightBrightness);
    p.dataBitIndex = (at(kDataPolarity) & 0x0F) == 1 ? 1 : 0;
    p.address485Index = byteMinusOne(at(kAddress485));
    p.interfaceFlag = at(kInterfaceFlag);
    p.baudIndex = baudIndexOfCode(at(kBaudRate));
    p.keptFlag = at(kKeptFlag) == kFlagSet ? 1 : 0;
    switch (at(kConversion)) {
    case 0x00: p.transIndex = 0; break;
    case 0x22: p.transIndex = 1; break;
    case 0x33: p.transIndex = 2; break;
    default: p.transIndex = -1; break;
    }
    p.clockIndex = at(kClockAndContent) >> 4;
    p.contentIndex = at(kClockAndContent) & 0x0F;
    p.emptyDisplayIndex = at(kEmptyAndRowOrder) >> 4;
    p.rowOrderIndex = rowOrderIndexOfCode(at(kEmptyAndRowOrder) & 0x0F);
    out = p;
    return true;
}

} // namespace ledsign
