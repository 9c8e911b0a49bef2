// The text-program markup: the styled text of text-program materials, which
// the card draws with its own fonts. Runs are joined by ">"; each run holds
// four fields joined by "^": colour name ("Red"), font name, point size and
// text. Written from and loaded into the text-program window's editor.
#pragma once

#include "content/richtextdocument.h"
#include "content/textrunmarkup.h"

#include <QString>

namespace ledsign {

// Writes the editor's text as text-program markup. Leading and trailing blanks
// and line breaks are dropped; a typed "," is stored as "." and ">" as ")";
// "^", tabs, line breaks and other control characters become spaces. A new run
// starts wherever colour, font name or point size changes.
QString writeTextProgramMarkup(const RichTextDocument& document);

// Clears the document and loads the markup into it; loading stops at the
// first run with fewer than four items. A "," in the markup is shown as the
// full-width comma "，". A colour name outside the table, or a point size that
// is not a number, keeps the look of the text before.
MarkupLoadResult loadTextProgramMarkup(const QString& markup, RichTextDocument& document);

} // namespace ledsign
