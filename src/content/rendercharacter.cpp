#include "content/rendercharacter.h"

#include "content/fontresolver.h"
#include "content/fonttable.h"
#include "content/glyphcache.h"
#include "content/renderpicture.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <optional>

namespace ledsign {

namespace {

constexpr int kPointsPerInch = 72;
constexpr int kMaxPixelSize = 2048;

// Chinese fonts draw ideographs in an em box whose top is 0.88 em above the
// baseline; with the baseline there, every ideograph stays inside its cell.
constexpr int kIdeographicAscentPermille = 880;

bool isChineseFont(const QFont& font)
{
    const QList<QFontDatabase::WritingSystem> systems = QFontDatabase::writingSystems(QFontInfo(font).family());
    return systems.contains(QFontDatabase::SimplifiedChinese) || systems.contains(QFontDatabase::TraditionalChinese);
}

// Rows from the top of a cell of `pixels` rows to the baseline: the
// ideographic em box for Chinese fonts; for other fonts the cell divided as
// the font divides its own line height.
int baselineInCell(const QFont& font, int pixels)
{
    if (isChineseFont(font))
        return (pixels * kIdeographicAscentPermille + 500) / 1000;
    const QFontMetrics metrics(font);
    const int fontHeight = metrics.ascent() + metrics.descent();
    if (fontHeight <= 0)
        return pixels;
    return (pixels * metrics.ascent() + fontHeight / 2) / fontHeight;
}

} // namespace

RunLook lookOf(const TextRun& run)
{
    RunLook look;
    look.fontName = run.fontName;
    look.pointSize = run.pointSize;
    look.bold = run.bold;
    look.italic = run.italic;
    look.underline = run.underline;
    look.strikeOut = run.strikeOut;
    look.color = run.color;
    return look;
}

RunLook lookOf(const ShortRun& run)
{
    RunLook look;
    look.fontName = run.fontName;
    look.pointSize = run.pointSize;
    look.color = run.color;
    return look;
}

int pixelSizeOfPoints(int pointSize)
{
    // Rounded to nearest, halves away from zero, as an integer mul-div does.
    const qint64 scaled = qint64(pointSize) * kRenderDpi;
    const qint64 pixels = (scaled + kPointsPerInch / 2) / kPointsPerInch;
    return int(std::clamp<qint64>(pixels, 1, kMaxPixelSize));
}

QFont renderFont(const RunLook& look)
{
    const QString name = look.fontName.trimmed().isEmpty() ? defaultCardFontName() : look.fontName;
    QFont font;
    font.setFamilies(cardFontFamilies(name));
    font.setPixelSize(pixelSizeOfPoints(look.pointSize));
    font.setBold(look.bold);
    font.setItalic(look.italic);
    font.setUnderline(look.underline);
    font.setStrikeOut(look.strikeOut);
    font.setKerning(false);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoSubpixelAntialias));
    return font;
}

int cellHeightOf(int measuredHeight)
{
    if (measuredHeight == 33)
        return 32;
    if (measuredHeight == 97)
        return 96;
    return measuredHeight;
}

QStringList charactersOf(const QString& text)
{
    QStringList characters;
    characters.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            characters << text.mid(i, 2);
            ++i;
        } else {
            characters << QString(text.at(i));
        }
    }
    return characters;
}

int CharacterPainter::addLook(const RunLook& look)
{
    for (qsizetype i = 0; i < looks_.size(); ++i) {
        if (looks_.at(i).look == look)
            return int(i);
    }
    Entry entry;
    entry.look = look;
    // The glyphs do not depend on the colour: looks that differ only in it
    // share one face.
    const QString key = QStringList{look.fontName, QString::number(look.pointSize), QString::number(look.bold),
                                    QString::number(look.italic), QString::number(look.underline),
                                    QString::number(look.strikeOut)}
                            .join(QLatin1Char('|'));
    entry.face = glyphcache::face(key, [&look] {
        const QFont font = renderFont(look);
        return std::make_shared<GlyphFace>(font, baselineInCell(font, font.pixelSize()));
    });
    // The cell is the em box of the pixel size, as tall as the card's glyphs
    // of that size; the installed stand-in fonts report taller line heights
    // (a 16-pixel font 20 high), which would not fit a 16-row region.
    entry.height = cellHeightOf(entry.face->font().pixelSize());
    looks_.append(entry);
    return int(looks_.size() - 1);
}

const QFont& CharacterPainter::font(int id) const { return looks_.at(id).face->font(); }

CharCell CharacterPainter::measure(int lookId, const QString& character)
{
    const Entry& entry = looks_.at(lookId);
    return {entry.face->glyph(character).advance, entry.height};
}

CharCell CharacterPainter::measureText(int lookId, const QString& text)
{
    const Entry& entry = looks_.at(lookId);
    return {QFontMetrics(entry.face->font()).horizontalAdvance(text), entry.height};
}

void CharacterPainter::draw(QPainter& painter, int lookId, int x, int y, const QString& text) const
{
    const Entry& entry = looks_.at(lookId);
    painter.setFont(entry.face->font());
    painter.setPen(entry.look.color);
    painter.drawText(QPoint(x, y + entry.face->ascent()), text);
}

namespace {

// One character: a code unit, or a surrogate pair.
bool isOneCharacter(const QString& text)
{
    return text.size() == 1 || (text.size() == 2 && text.at(0).isHighSurrogate() && text.at(1).isLowSurrogate());
}

} // namespace

void drawPlacedTexts(QImage& image, const CharacterPainter& painter, const QList<PlacedText>& texts,
                     int dx, int dy, const QRect& clip)
{
    if (texts.isEmpty() || image.isNull())
        return;
    const QRect area = clip.isNull() ? image.rect() : clip.intersected(image.rect());
    if (area.isEmpty())
        return;
    // Kept glyphs go straight into the pixels; anything else (strings drawn
    // at once, glyphs not kept, other image formats) through a painter,
    // opened when first needed. The pixels are taken before any painter
    // exists, so both write the one buffer in drawing order.
    const bool direct = image.format() == kPictureFormat;
    uchar* bits = direct ? image.bits() : nullptr;
    const qsizetype bytesPerLine = image.bytesPerLine();
    std::optional<QPainter> p;
    auto openPainter = [&]() -> QPainter& {
        if (!p) {
            p.emplace(&image);
            p->setRenderHint(QPainter::Antialiasing, false);
            p->setRenderHint(QPainter::TextAntialiasing, false);
            p->setClipRect(area);
        }
        return *p;
    };
    for (const PlacedText& t : texts) {
        // A glyph may reach a little beyond its cell (italics, overhangs):
        // only texts well outside the area are skipped.
        const int left = t.x + dx;
        const int top = t.y + dy;
        const int slack = t.cell.height + 2;
        if (left > area.right() + slack || left + t.cell.advance + slack < area.left()
            || top > area.bottom() + slack || top + t.cell.height + slack < area.top())
            continue;
        if (direct && isOneCharacter(t.text) && painter.look(t.look).color.alpha() == 255) {
            const Glyph& glyph = painter.face(t.look).glyph(t.text);
            if (glyph.kept) {
                putGlyph(bits, bytesPerLine, glyph, left, top, painter.look(t.look).color.rgb(), area);
                continue;
            }
        }
        painter.draw(openPainter(), t.look, left, top, t.text);
    }
}

} // namespace ledsign
