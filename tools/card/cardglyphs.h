// How the card draws text it composes itself (clocks, counts, acquired
// values, queue numbers, internal-code and text-program texts): every
// character in a cell of its glyph size (half as wide for ASCII), drawn
// with the card font of its font code, without shades (an LED is on or
// off), in the LED colour of its colour code.
#pragma once

#include <QChar>
#include <QImage>
#include <QList>
#include <QRgb>
#include <QSize>
#include <QString>

#include <functional>

namespace ledsign::card {

// Pixels of a glyph size code 0..7 (12 .. 96); 16 for any other code.
int glyphPixels(int sizeCode);
// Width of the cell of one character of a glyph size in pixels.
int cellWidth(QChar c, int pixels);
// The lit dots of one character: a cell-sized picture, white where lit.
const QImage& glyphMask(QChar c, int fontCode, int pixels);
// The LED colour of a colour code (1 red .. 7 white) on a card with
// `planes` colour planes: one plane shows everything in red, two planes
// have no blue (blue alone shows green).
QRgb ledColor(int colorCode, int planes);

struct TextRun {
    QString text;       // "\n" starts a new line
    int color = 1;
    int fontCode = 1;
    int sizeCode = 1;
};

struct Glyph {
    QChar c;
    int color = 1;
    int fontCode = 1;
    int pixels = 16;
    bool turned = false; // a quarter turn clockwise, in a square cell
};
using GlyphLine = QList<Glyph>;

int lineWidth(const GlyphLine& line);
int lineHeight(const GlyphLine& line);
// Cuts runs into lines at "\n" and, when `wrapWidth` > 0, wherever the next
// character would pass that width. `turned`: every character turned.
QList<GlyphLine> layoutLines(const QList<TextRun>& runs, int wrapWidth = 0, bool turned = false);
// Groups lines into pages of at most `height` pixels (a page holds at least
// one line).
QList<QList<GlyphLine>> paginate(const QList<GlyphLine>& lines, int height);

enum class Align { Left, Centre, Right };
// Draws lines into a black picture of `size`: the lines that fit are
// centred vertically as a block, each line aligned as asked and moved by
// `shift` pixels (positive to the right).
QImage drawLines(const QList<GlyphLine>& lines, const QSize& size, int planes, Align align = Align::Centre,
                 int shift = 0);

// The pictures of a text drawn as its rotation (RotateMode) says: upright,
// every character turned (`paint` is asked for turned characters), or the
// text drawn for the region turned on its side (`paint` gets that size) and
// every picture turned a quarter clockwise into the region.
using TextPainter = std::function<QList<QImage>(const QSize& size, bool turnCharacters)>;
QList<QImage> drawRotated(int rotateMode, const QSize& size, const TextPainter& paint);

} // namespace ledsign::card
