// Typed and stored numbers: text read as a decimal integer with a default.
#pragma once

#include <QString>

namespace ledsign {

// The text, blanks around it ignored, read as a decimal integer; `fallback`
// when it is not one (empty, other characters, beyond the int range).
int numberOr(const QString& text, int fallback);

} // namespace ledsign
