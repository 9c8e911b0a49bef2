// A text that a word-wrapping label may break only at its spaces: between
// any two other characters a word joiner (U+2060, drawn as nothing) stands,
// so "255-->Static]" never splits after a hyphen. Texts without a space
// (Chinese) come back as they are.
#pragma once

#include <QString>

namespace ledsign {

inline constexpr QChar kWordJoiner = QChar(0x2060);

QString unbrokenWords(const QString& text);

} // namespace ledsign
