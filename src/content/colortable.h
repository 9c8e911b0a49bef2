// The seven colours a card can show: colour code, the names the styled-text
// markups use for them, and the screen colour text is drawn in.
#pragma once

#include <QColor>
#include <QString>

namespace ledsign {

struct ColorEntry {
    int code;                 // 1 red .. 7 white, as stored in materials and sent to cards
    const char* markupName;   // name in the text run and short run markups ("clRed")
    const char* programName;  // name in the text-program markup ("Red")
    QRgb rgb;                 // opaque screen colour, also the ARGB value of the brush
};

inline constexpr int kColorCount = 7;

// Entry of a colour code, or nullptr for a code outside 1..7.
const ColorEntry* colorEntry(int code);

// Colour code of a name, compared exactly; 0 when the name is none of the seven.
int colorCodeOfMarkupName(const QString& name);
int colorCodeOfProgramName(const QString& name);

// Colour code of a screen colour (red, green and blue compared exactly, alpha
// ignored); 0 for any other colour and for an invalid one.
int colorCodeOfScreenColor(const QColor& color);

// Names of a colour code; empty for a code outside 1..7.
QString markupColorName(int code);
QString programColorName(int code);

// Screen colour of a code; `fallback` for a code outside 1..7.
QColor screenColor(int code, const QColor& fallback = QColor(0, 0, 0));

// Opaque ARGB value of a code; 0 for a code outside 1..7.
QRgb argbColor(int code);

} // namespace ledsign
