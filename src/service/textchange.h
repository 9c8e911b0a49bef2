// A text that another system sets on a text material: the text and, when
// given, its colour (a name such as "red" or a code 1..7), font and point
// size. Read from a JSON object {"text": "...", "color": ..., "font": ...,
// "size": ...}; anything else in the object is refused, so that a misspelt
// key does not pass unnoticed.
#pragma once

#include "service/outcome.h"

#include <QJsonObject>
#include <QString>

#include <optional>

namespace ledsign {

inline constexpr int kTextChangeFontNameMax = 64;
inline constexpr int kTextChangeSizeMin = 6;
inline constexpr int kTextChangeSizeMax = 200;

struct TextChange {
    QString text;
    std::optional<int> color;     // colour code 1..7
    QString font;                 // empty: as before
    std::optional<int> pointSize;
};

// A colour name (red, green, yellow, blue, purple, aqua, white, in any case,
// or the markup names "clRed" / "Red") or a code; 0 when none of them.
int colorCodeOfText(const QString& text);

Outcome readTextChange(const QJsonObject& body, TextChange& out);

} // namespace ledsign
