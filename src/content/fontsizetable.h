// The eight dot-matrix glyph sizes of the card (size codes 0..7), the point
// sizes that draw them on screen, and the font-size lists of the text and
// table editors.
#pragma once

#include <QString>
#include <QStringList>

namespace ledsign {

inline constexpr int kSizeCodeCount = 8;

// Glyph name of a size code ("12*12" .. "96*96"); empty outside 0..7.
QString glyphName(int sizeCode);

// Size code of a glyph name; `current` when the name is none of the eight.
int sizeCodeOfGlyphName(const QString& name, int current);

// Point size that draws a size code on screen (9, 12, 18, 23, 36, 48, 60, 72);
// `defaultPointSize` for a code outside 0..7. Code 3 draws at 23 points
// although its list entry reads 24.
int pointSizeOfSizeCode(int sizeCode, int defaultPointSize);

// List entry of a size code ("9[12*12]" .. "72[96*96]"); empty outside 0..7.
QString fontSizeListEntry(int sizeCode);

// Size code that the card text coder sends for a point size text: "9" 0,
// "12" 1, "18" 2, "24" 3, "36" 4, "48" 5, "60" 6, "72" 7; anything else 1.
int sizeCodeOfPointText(const QString& pointText);

// The first n glyph names joined by ";" (n is clamped to 0..8).
QString glyphNameList(int n = kSizeCodeCount);

// Entries of an editor's font-size list: every whole size from 9 to 72, the
// eight card sizes by their list entries ("12[16*16]"), all others as numbers.
QStringList fontSizeListItems();

// Text shown for a point size in a font-size list: its list entry for the
// eight card sizes, the plain number otherwise, "9" instead of "0".
QString fontSizeDisplayText(int pointSize);

// Point size of a list entry or typed text: the number before "[", or the
// whole text; 9 when that is not a number.
int pointSizeFromListText(const QString& text);

} // namespace ledsign
