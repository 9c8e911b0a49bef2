// The short run markup: the one-line styled text of date/time, count,
// real-time acquisition and internal-code materials, drawn on the canvas and
// in the preview. Runs are joined by "~*"; each run holds four fields joined
// by "^": colour name, font name, point size and text.
#pragma once

#include <QColor>
#include <QList>
#include <QString>

namespace ledsign {

struct ShortRun {
    QColor color = QColor(0, 0, 0); // black for a colour name outside the table
    QString fontName;
    int pointSize = 10;
    int length = 0; // UTF-16 code units of the text
    QString text;
};

// The runs of a short run markup; runs with fewer than four fields are
// skipped, a point size that is not a number reads as 10.
QList<ShortRun> parseShortRuns(const QString& markup);

// One run: the four fields joined by "^". A text that the reader would cut
// (a "^", a control character, a leading double quote) is written quoted so
// that it reads back whole.
QString formatShortRun(const QString& colorName, const QString& fontName, int pointSize,
                       const QString& text);

// The one-run text of a material: colour name by colour code ("clRed" for a
// code outside 1..7), font name by card font code, point size by size code
// (12, the size of code 1, for a code outside 0..7) and the content.
QString shortRunText(int colorCode, int fontCode, int sizeCode, const QString& content);

} // namespace ledsign
