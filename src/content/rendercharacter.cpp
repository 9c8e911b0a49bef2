#include "content/rendercharacter.h"

#include "content/fonttable.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <algorithm>

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
    QStringList families{installedFontFamily(name)};
    if (families.first() != name)
        families << name;
    QFont font;
    font.setFamilies(families);
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
    entry.font = renderFont(look);
    // The cell is the em box of the pixel size, as tall as the card's glyphs
    // of that size; the installed stand-in fonts report taller line heights
    // (a 16-pixel font 20 high), which would not fit a 16-row region.
    const int pixels = entry.font.pixelSize();
    entry.height = cellHeightOf(pixels);
    entry.ascent = baselineInCell(entry.font, pixels);
    looks_.append(entry);
    return int(looks_.size() - 1);
}

CharCell CharacterPainter::measure(int lookId, const QString& character)
{
    Entry& entry = looks_[lookId];
    auto it = entry.advances.constFind(character);
    if (it == entry.advances.constEnd())
        it = entry.advances.insert(character, QFontMetrics(entry.font).horizontalAdvance(character));
    return {*it, entry.height};
}

CharCell CharacterPainter::measureText(int lookId, const QString& text)
{
    const Entry& entry = looks_.at(lookId);
    return {QFontMetrics(entry.font).horizontalAdvance(text), entry.height};
}

void CharacterPainter::draw(QPainter& painter, int lookId, int x, int y, const QString& text) const
{
    const Entry& entry = looks_.at(lookId);
    painter.setFont(entry.font);
    painter.setPen(entry.look.color);
    painter.drawText(QPoint(x, y + entry.ascent), text);
}

void drawPlacedTexts(QImage& image, const CharacterPainter& painter, const QList<PlacedText>& texts,
                     int dx, int dy, const QRect& clip)
{
    if (texts.isEmpty() || image.isNull())
        return;
    const QRect area = clip.isNull() ? image.rect() : clip.intersected(image.rect());
    if (area.isEmpty())
        return;
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    p.setClipRect(area);
    for (const PlacedText& t : texts) {
        // A glyph may reach a little beyond its cell (italics, overhangs):
        // only texts well outside the area are skipped.
        const int left = t.x + dx;
        const int top = t.y + dy;
        const int slack = t.cell.height + 2;
        if (left > area.right() + slack || left + t.cell.advance + slack < area.left()
            || top > area.bottom() + slack || top + t.cell.height + slack < area.top())
            continue;
        painter.draw(p, t.look, left, top, t.text);
    }
}

} // namespace ledsign
