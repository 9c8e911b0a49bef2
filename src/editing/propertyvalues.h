// How a typed property value is read: numbers with a default, material
// identifiers, stay times, page play times and the four region fields.
#pragma once

#include "model/numbertext.h"
#include "model/tregion.h"

#include <QString>

namespace ledsign {

inline constexpr int kMaxRemainTime = 255;
inline constexpr int kIdentifierDigits = 9;

// A material identifier from typed text: the number zero-padded to nine
// digits, its first nine characters kept. Text that is not a number, and a
// negative number, give 000000000.
QString identifierFrom(const QString& text);

// A stay time (units of 5 s): the number (or `fallback`); 256 or more is
// held at 255. Values below 0 stay.
int remainTimeFrom(const QString& text, int fallback);

// A page's start or end time as typed ("8:5", "9:30", "1:") made "HH:mm";
// text that does not make a time of day gives "00:00" for a start and
// "24:00" for an end.
QString normalisePageTime(const QString& text, bool endTime);

// The region fields that can be typed.
enum class RegionField { Left, Top, Width, Height };

// The region after typing `text` into one field on a card of W x H LED
// pixels: left and width snapped to the grid of 8, positions beyond the
// card go back to 0, sizes are at least 12 and at most the card, and the
// other value of the same axis gives way so the region stays on the card.
TRegion applyRegionField(TRegion region, RegionField field, const QString& text, int cardWidth, int cardHeight);

} // namespace ledsign
