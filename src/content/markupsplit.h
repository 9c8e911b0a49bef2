// The two ways the styled-text markups cut a string into pieces, and the
// reading of number fields. They differ on purpose: the separator split drops
// empty pieces and knows nothing else; the delimited split keeps empty items,
// also ends an item at every control character or space, and honours quotes.
#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

namespace ledsign {

// Pieces of `text` cut at every occurrence of `separator` (one or more
// characters). Empty pieces are dropped, so a leading separator or two in a
// row produce no item. An empty separator gives the whole text as one piece.
QStringList separatorSplit(const QString& text, const QString& separator);

// Items of `text` under the delimited-list rule: an item ends at `delimiter`
// or at any character with a code up to 32 (spaces and control characters),
// which is dropped together with any that follow it; an empty item between
// two delimiters stays an item, and a delimiter at the very end adds an empty
// last item. An item that starts with a double quote runs to the matching
// quote (two quotes in a row stand for one quote); an unterminated quote runs
// to the end of the text.
QStringList delimitedSplit(const QString& text, QChar delimiter);

// Quotes `text` so that delimitedSplit gives it back as one item whatever it
// holds: wrapped in double quotes, inner quotes doubled.
QString quoteForDelimitedSplit(const QString& text);

// A decimal field: optional leading spaces, an optional sign, digits and
// nothing else; `fallback` for any other text or a number beyond int.
int markupInt(const QString& text, int fallback, bool* ok = nullptr);

} // namespace ledsign
