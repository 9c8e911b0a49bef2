// The character primitive every text layout is built on: a run's look turned
// into a font, one character measured (its advance and cell height) and one
// character drawn at its pen position. Every colour goes through the same
// drawing call, without antialiasing, so that thresholding sees only lit and
// unlit pixels.
#pragma once

#include "content/shortrunmarkup.h"
#include "content/textrunmarkup.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QList>
#include <QRect>
#include <QString>

#include <memory>

class QImage;
class QPainter;

namespace ledsign {

// Pictures are drawn at 96 dots per inch: 12 points are 16 pixels.
inline constexpr int kRenderDpi = 96;

// The look of a run when it is drawn.
struct RunLook {
    QString fontName;
    int pointSize = 10;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    QColor color = QColor(0, 0, 0);

    bool operator==(const RunLook&) const = default;
};

RunLook lookOf(const TextRun& run);
RunLook lookOf(const ShortRun& run);

// Pixel height of the em of a point size at 96 dpi, rounded as the card's
// editor rounds it (9 -> 12, 12 -> 16, 23 -> 31), kept within 1..2048.
int pixelSizeOfPoints(int pointSize);

// The font a look is drawn with: the card font name mapped to its installed
// stand-in, glyphs without antialiasing.
QFont renderFont(const RunLook& look);

// A measured cell height as the layouts use it: 33 counts as 32 and 97 as
// 96, so that the 24 and 72 point sizes fill the card's 32 and 96 pixel rows.
// The measured height of a character is the em height of its font's pixel
// size (16 for 12 points), whatever line height the installed font reports.
int cellHeightOf(int measuredHeight);

struct CharCell {
    int advance = 0;
    int height = 0;
};

// The characters of a text one by one: a surrogate pair stays together.
QStringList charactersOf(const QString& text);

class GlyphFace;

// Holds the looks of one layout, measures characters in them and draws
// characters. A look is referred to by the id addLook gives. The fonts and
// their glyphs come from the program's glyph cache (glyphcache.h).
class CharacterPainter {
public:
    int addLook(const RunLook& look);
    const RunLook& look(int id) const { return looks_.at(id).look; }
    const QFont& font(int id) const;
    // The look's font and glyphs.
    GlyphFace& face(int id) const { return *looks_.at(id).face; }

    // Advance and cell height of one character.
    CharCell measure(int lookId, const QString& character);
    // Width and cell height of a whole string drawn at once.
    CharCell measureText(int lookId, const QString& text);

    // Draws text with its cell's top-left corner at (x, y). Opens no painter:
    // the caller keeps one open on the target image.
    void draw(QPainter& painter, int lookId, int x, int y, const QString& text) const;

private:
    struct Entry {
        RunLook look;
        std::shared_ptr<GlyphFace> face;
        int height = 0;
    };
    QList<Entry> looks_;
};

// A character (or a run's whole text) placed on a layout, its cell's top-left
// corner at (x, y).
struct PlacedText {
    int look = 0;
    int x = 0;
    int y = 0;
    CharCell cell; // advance (or width) and height, to skip texts far outside the target
    QString text;
};

// Draws the placed texts onto the image moved by (dx, dy), clipped to `clip`
// (the whole image when `clip` is a null rectangle; nothing when it is empty).
// On 24-bit pictures a character's kept glyph is put straight into the
// pixels, which gives the pixels drawing it would.
void drawPlacedTexts(QImage& image, const CharacterPainter& painter, const QList<PlacedText>& texts,
                     int dx, int dy, const QRect& clip = QRect());

} // namespace ledsign
