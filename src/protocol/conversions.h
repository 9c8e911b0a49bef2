// Small conversions shared by every frame builder and reader: hexadecimal
// text, bit strings and the internal-code text. (The 9-digit time-stamp
// identifiers live with the records, in model/timestampid.h.)
#pragma once

#include <QByteArray>
#include <QString>

#include <array>

namespace ledsign::convert {

// Eight address bytes of a card (its internal code).
using InternalCode = std::array<quint8, 8>;

// Hex text to a 32-bit number. Each character is looked up upper-cased in
// "0123456789ABCDEF"; one that is not found counts as 0 ("1g" gives 16).
// Longer texts wrap around like the 32-bit arithmetic of the cards' tools.
qint32 hexToInt(const QString& text);

// Hex text to bytes: byte k is the value of characters 2k and 2k+1 (same
// digit rule as hexToInt); an odd last character is ignored.
QByteArray hexToBytes(const QString& text);

// Two upper-case hex digits per byte, no separators.
QString bytesToHex(const QByteArray& bytes);

// The low `width` bits of v, most significant first ("0101").
QString intToBitString(quint32 v, int width);

// A text of digits read as base 2 (each digit times its power of two).
// A character that is not a decimal digit is a conversion error: *ok is set
// to false and 0 is returned.
qint32 bitStringToInt(const QString& text, bool* ok = nullptr);

// "1_2_3_4_5_6_7_8" to eight bytes (the low byte of each number; a part that
// is not a number gives 0). Only a text of exactly eight parts is converted:
// otherwise `out` is left as it was and false is returned.
bool internalCodeToBytes(const QString& text, InternalCode& out);

// Eight bytes written as decimal numbers joined by "_".
QString internalCodeText(const InternalCode& code);
QString internalCodeText(const QByteArray& eightBytes);

// The text of a card whose code was never set.
inline constexpr const char* kUnsetInternalCode = "255_255_255_255_255_255_255_255";

} // namespace ledsign::convert
