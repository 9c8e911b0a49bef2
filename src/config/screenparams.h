// The 17-byte screen parameter block: size, colour, scan mode, brightness,
// polarities, clock, conversions, row order, empty display, 485 address and
// baud rate of a card's LED panel, as the parameter window's controls hold
// them. The block travels in UDP items and inside the parameter frames; the
// builder and the reader of its bytes face each other here. Numbers are
// big-endian.
#pragma once

#include <QByteArray>

namespace ledsign {

class ScanModeTable;

namespace screenblock {
inline constexpr int kSize = 17;
inline constexpr int kScanMode = 0;
inline constexpr int kOePolarity = 1;
inline constexpr int kWidth = 2;          // 16-bit
inline constexpr int kHeight = 4;         // 16-bit
inline constexpr int kColour = 6;
inline constexpr int kDayBrightness = 7;
inline constexpr int kNightBrightness = 8;
inline constexpr int kDataPolarity = 9;
inline constexpr int kAddress485 = 10;
inline constexpr int kInterfaceFlag = 11;
inline constexpr int kBaudRate = 12;
inline constexpr int kKeptFlag = 13;
inline constexpr int kConversion = 14;
inline constexpr int kClockAndContent = 15;
inline constexpr int kEmptyAndRowOrder = 16;

inline constexpr quint8 kFlagSet = 0x22;
inline constexpr int kRowOrderCount = 4;
inline constexpr int kRowCodeLast = 14;          // the last row-order entry
inline constexpr int kRowCodeSecondToLast = 15;  // the entry before it
} // namespace screenblock

// Baud rates of the baud boxes and the code byte 12 carries for each.
inline constexpr int kBlockBaudRates[] = {9600, 19200, 38400, 57600, 115200};
inline constexpr quint8 kBlockBaudCodes[] = {0x00, 0x11, 0x22, 0x33, 0x44};

// Control values; an index of -1 means nothing is selected.
struct ScreenParams {
    int scanIndex = -1;        // entry of the scan-mode table
    int oeIndex = -1;          // 0 not inverted, 1 inverted
    int width = 256;
    int height = 128;
    int colorIndex = -1;       // 0 single, 1 dual, 2 tri-colour
    int dayBrightness = -1;    // 0..7, 0 brightest
    int nightBrightness = -1;
    int dataBitIndex = -1;     // 0 not inverted, 1 inverted
    int address485Index = -1;  // 0..98 for addresses 1..99
    int interfaceFlag = 0;     // the byte itself
    int baudIndex = -1;        // into kBlockBaudRates
    int keptFlag = 0;          // 0, or 1 for 0x22
    int transIndex = -1;       // 0, 1, 2
    int clockIndex = -1;       // 0 12 MHz, 1 8 MHz, 2 6 MHz
    int contentIndex = -1;     // 0 not inverted, 1 inverted
    int emptyDisplayIndex = -1; // 0 black screen, 1 welcome text
    int rowOrderIndex = -1;    // 0..3

    bool operator==(const ScreenParams&) const = default;
};

// The block the card is written; an unselected index writes as index 0.
QByteArray encodeScreenBlock(const ScreenParams& params, const ScanModeTable& scanModes);
// The control values a block gives; false (and `out` untouched) when the
// block is not 17 bytes.
bool decodeScreenBlock(const QByteArray& block, const ScanModeTable& scanModes, ScreenParams& out);

// Byte 12 for a baud index, and the index a byte gives (-1 when none).
quint8 baudCodeOfIndex(int index);
int baudIndexOfCode(quint8 code);
// Index of a baud-rate text in the baud boxes; -1 when it is none of them.
int baudIndexOfText(const QString& text);

// Low nibble of byte 16 for a row-order entry, and back.
int rowOrderCode(int index);
int rowOrderIndexOfCode(int code);

} // namespace ledsign
