// Turns text-program markup into the card text codes that a card draws with
// its own fonts: per run "#^", the content-attribute code, "#^", the colour,
// font and size codes each followed by "#^", "#^" and "#~", then the text;
// runs joined by ";".
#pragma once

#include <QString>

namespace ledsign {

// The card text of a markup with the material's content-attribute code.
// A run with fewer than four items makes the whole result empty. A colour
// name outside the table is sent as red, a font name outside the card's fonts
// as code 1, a point size that is none of the eight card sizes as code 1.
QString cardTextCodes(const QString& markup, int contentAttributeCode);

} // namespace ledsign
