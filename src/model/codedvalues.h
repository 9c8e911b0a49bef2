// The coded attribute values of a material and their conversions between
// what a list in the property editor shows (an index) and what the record
// stores (colour codes + 1, the exchanged font codes, size codes, the
// count-time mapping ...), and the tables the codes stand for.
#pragma once

#include "model/tfodder.h"

#include <QColor>
#include <QString>
#include <QStringList>

namespace ledsign {

inline constexpr int kColorCodeCount = 7;   // red, green, yellow, blue, purple, aqua, white
inline constexpr int kSizeCodeCount = 8;    // "12*12" .. "96*96"

// Screen colour of colour code 1..7; any other code gives `fallback`.
QColor charScreenColor(int colorCode, const QColor& fallback = QColor(Qt::black));

// The glyph size names, in size-code order.
QStringList fontSizeNames();
// Name of a size code; empty for a code outside 0..7.
QString sizeNameOf(int sizeCode);
// Point size for drawing a size code on screen; `fallback` outside 0..7.
int pointSize(int sizeCode, int fallback);

// Font list index <-> card font code: the same number with 2 and 3 exchanged.
int fontCodeFromIndex(int index);
int fontIndexFromCode(int code);

// The count-up/count-down time format mapping of list index <-> stored value.
int countTimeFormatFromIndex(int index);
int countTimeFormatIndex(int stored);

// Accessors: "index" is the position in the property editor's list.
void setDisplayMode(TFodder& m, int index);
int getDisplayMode(const TFodder& m);
void setDigitColor(TFodder& m, int index);
int getDigitColor(const TFodder& m);
void setCharColor(TFodder& m, int index);
int getCharColor(const TFodder& m);
void setFontIndex(TFodder& m, int index);
int getFontIndex(const TFodder& m);
// A name outside the eight leaves the code unchanged.
void setSizeName(TFodder& m, const QString& name);
// Empty when the code is outside 0..7 (the caller keeps what it showed).
QString getSizeName(const TFodder& m);
void setYearDigits(TFodder& m, int index);
int getYearDigits(const TFodder& m);
void setAlign(TFodder& m, int index);
int getAlign(const TFodder& m);
void setTimeFormat(TFodder& m, int index);
int getTimeFormat(const TFodder& m);
void setCountTimeFormat(TFodder& m, int index);
int getCountTimeFormat(const TFodder& m);
void setDisplayFormat(TFodder& m, int index);
int getDisplayFormat(const TFodder& m);
void setTimeDiffSign(TFodder& m, int index);
int getTimeDiffSign(const TFodder& m);
// `rotateMode` of the texts the card draws (date and time, internal code):
// upright, each character a quarter turn clockwise, or the whole region's
// text a quarter turn clockwise.
enum RotateMode : int { kRotateNone = 0, kRotateWords = 1, kRotateRegion = 2 };
void setRotateMode(TFodder& m, int index);
int getRotateMode(const TFodder& m);
void setColorMatch(TFodder& m, int index);
int getColorMatch(const TFodder& m);

// Sets `fontSizeList` to the first n size names joined by ";" and returns it.
QString fontSizeListFor(TFodder& m, int n);

// The "Type_No" choices of an acquisition for its data type, joined by ";".
QString typeNumberChoices(const TFodder& m);

} // namespace ledsign
