// The text run markup: the styled text of single-line and multi-line text
// materials. Runs are joined by "~*"; each run holds ten fields joined by "^":
// colour name, font name, point size, bold, italic, underline, strikeout,
// alignment, line number and text. Read for drawing, loaded into the text
// editor and written back from it.
#pragma once

#include "content/richtextdocument.h"

#include <QColor>
#include <QList>
#include <QString>

namespace ledsign {

inline constexpr int kTextRunFieldCount = 10;

// One run of the text run markup as the text renderers read it.
struct TextRun {
    QColor color = QColor(0, 0, 0); // black for a colour name outside the table
    QRgb argb = 0;                  // 0 for a colour name outside the table
    QString fontName;
    int pointSize = 10;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int alignment = 0;  // 0 left, 1 right, 2 centre
    int lineNumber = 0; // 1-based editor line of the run's first character
    int length = 0;     // UTF-16 code units of the text
    QString text;
};

// How far loading a markup into an editor got.
struct MarkupLoadResult {
    int runsLoaded = 0;
    bool complete = true; // false when a faulty run ended the loading
};

// The runs for drawing. Runs with fewer than ten fields are skipped; numbers
// that do not read fall back (point size 10, the others 0). A run whose text is
// just a line break gets a space before it, so that an empty line has height.
QList<TextRun> parseTextRuns(const QString& markup);

// Writes the editor's text as text run markup: trailing blanks and line breaks
// are dropped, "^" and "*?" become spaces, and a new run starts wherever any
// attribute or the visual line changes. An empty editor gives "".
QString writeTextRunMarkup(const RichTextDocument& document);

// Clears the document and loads the markup into it. Loading stops at the first
// run with fewer than ten fields or with a point size or alignment that is not
// a number; the runs before it stay loaded. The line number field is not used:
// line breaks come from the text itself.
MarkupLoadResult loadTextRunMarkup(const QString& markup, RichTextDocument& document);

} // namespace ledsign
