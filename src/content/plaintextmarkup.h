// Styled text made from plain text in one look, as the text editors would
// write it had the text been typed there: the text run markup of a single-
// or multi-line text material (a multi-line text wraps at the region's
// width, as in its editor) and the text-program markup of a text-program
// material. Used where texts come from other systems, not from a person at
// an editor.
#pragma once

#include "content/richtextdocument.h"

#include <QString>

namespace ledsign {

struct PlainTextLook {
    TextAttributes attributes;
    ParagraphAlignment alignment = ParagraphAlignment::Left;
};

// The look of the first run of a text run markup; `fallback` when it has none.
PlainTextLook lookOfTextRuns(const QString& markup, const PlainTextLook& fallback);

// A single-line text keeps to one line: its line breaks become spaces.
QString textRunMarkupOf(const QString& text, const PlainTextLook& look, bool multiLine, int regionWidth);

QString textProgramMarkupOf(const QString& text, const TextAttributes& look);

} // namespace ledsign
