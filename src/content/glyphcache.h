// Glyphs drawn once and kept: for every font a layout uses, each character's
// advance and the pixels it lights, as runs of pixels relative to its cell's
// top-left corner. Glyphs are drawn without antialiasing, so a glyph is only
// lit and unlit pixels and putting it on a picture is setting those pixels to
// the run's colour, exactly what drawing the character there would do.
//
// One cache serves the whole program (every conversion draws the same card
// fonts). It is bounded: past kMaxBytes of glyphs the fonts drawn longest ago
// are dropped; a layout that still holds one keeps it until it ends. It is
// emptied when the application's fonts change.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>

#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

class QRect;

namespace ledsign {

// A row of lit pixels: `length` pixels from (dx, dy) of the cell's corner.
struct GlyphSpan {
    qint16 dy = 0;
    qint16 dx = 0;
    qint16 length = 0;
};

struct Glyph {
    int advance = 0;
    // False when the glyph is too large to keep (very large sizes, or ink
    // far outside its cell): it is drawn with a painter each time.
    bool kept = false;
    std::vector<GlyphSpan> spans;
};

// One font as a layout draws it: the font, where its baseline lies in the
// cell, and the glyphs drawn so far.
class GlyphFace {
public:
    GlyphFace(QFont font, int ascent);

    const QFont& font() const { return font_; }
    int ascent() const { return ascent_; }
    // The glyph of one character (a surrogate pair counts as one); drawn on
    // first use. The reference stays valid as long as the face lives.
    const Glyph& glyph(const QString& character);
    qsizetype bytes() const { return bytes_; }

private:
    Glyph draw(const QString& character) const;

    QFont font_;
    int ascent_ = 0;
    std::unordered_map<QString, Glyph> glyphs_;
    qsizetype bytes_ = 0;
};

// Sets the glyph's pixels in `colour` on 24-bit pixels (`bits`, rows of
// `bytesPerLine`) with the cell's corner at (x, y), only inside `clip`, which
// lies within the picture.
void putGlyph(uchar* bits, qsizetype bytesPerLine, const Glyph& glyph, int x, int y, QRgb colour, const QRect& clip);

namespace glyphcache {

inline constexpr qsizetype kMaxBytes = 32 * 1024 * 1024;

// The face of a font key (the look without its colour); made with `make`
// when it is not held.
std::shared_ptr<GlyphFace> face(const QString& key, const std::function<std::shared_ptr<GlyphFace>()>& make);
// Bytes of glyphs held by the cache.
qsizetype bytes();
// Empties the cache.
void clear();

} // namespace glyphcache

} // namespace ledsign
