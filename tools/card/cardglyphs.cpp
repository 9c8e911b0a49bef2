#include "cardglyphs.h"

#include "content/fontresolver.h"
#include "content/fonttable.h"
#include "model/codedvalues.h"

#include <QFont>
#include <QHash>
#include <QPainter>
#include <QTransform>

namespace ledsign::card {

namespace {

// The card's five fonts by code, drawn with the fonts the editor uses for them.
QStringList familiesOf(int fontCode)
{
    return cardFontFamilies(cardFontName(fontCode));
}

} // namespace

int glyphPixels(int sizeCode)
{
    static constexpr int kPixels[8] = {12, 16, 24, 32, 48, 64, 80, 96};
    return sizeCode >= 0 && sizeCode < 8 ? kPixels[sizeCode] : 16;
}

int cellWidth(QChar c, int pixels) { return c.unicode() < 0x80 ? pixels / 2 : pixels; }

const QImage& glyphMask(QChar c, int fontCode, int pixels)
{
    // One cache a thread: a recording draws beside the card.
    thread_local QHash<quint64, QImage> cache;
    const quint64 key = (quint64(c.unicode()) << 32) | (quint64(fontCode & 0xFF) << 16) | quint64(pixels & 0xFFFF);
    auto it = cache.find(key);
    if (it != cache.end())
        return *it;
    QImage cell(cellWidth(c, pixels), pixels, QImage::Format_RGB32);
    cell.fill(Qt::black);
    if (!c.isSpace()) {
        QPainter p(&cell);
        QFont font;
        font.setFamilies(familiesOf(fontCode));
        font.setPixelSize(pixels);
        font.setStyleStrategy(QFont::NoAntialias);
        font.setHintingPreference(QFont::PreferFullHinting);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(cell.rect(), Qt::AlignCenter, QString(c));
    }
    // On or off, nothing between.
    for (int y = 0; y < cell.height(); ++y) {
        for (int x = 0; x < cell.width(); ++x)
            cell.setPixel(x, y, qGray(cell.pixel(x, y)) >= 128 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    }
    return *cache.insert(key, cell);
}

QRgb ledColor(int code, int planes)
{
    int r = 255, g = 0, b = 0;
    switch (code) {
    case 2: r = 0; g = 255; break;
    case 3: g = 255; break;
    case 4: r = 0; b = 255; break;
    case 5: b = 255; break;
    case 6: r = 0; g = 255; b = 255; break;
    case 7: g = 255; b = 255; break;
    default: break;
    }
    if (planes <= 1)
        return qRgb(255, 0, 0);
    if (planes == 2) {
        if (r == 0 && g == 0)
            g = 255;
        b = 0;
    }
    return qRgb(r, g, b);
}

int lineWidth(const GlyphLine& line)
{
    int w = 0;
    for (const Glyph& g : line)
        w += g.turned ? g.pixels : cellWidth(g.c, g.pixels);
    return w;
}

int lineHeight(const GlyphLine& line)
{
    int h = 0;
    for (const Glyph& g : line)
        h = std::max(h, g.pixels);
    return h;
}

QList<GlyphLine> layoutLines(const QList<TextRun>& runs, int wrapWidth, bool turned)
{
    QList<GlyphLine> lines{GlyphLine()};
    int width = 0;
    for (const TextRun& run : runs) {
        const int pixels = glyphPixels(run.sizeCode);
        for (const QChar c : run.text) {
            if (c == u'\r')
                continue;
            if (c == u'\n') {
                lines.append(GlyphLine());
                width = 0;
                continue;
            }
            const int w = turned ? pixels : cellWidth(c, pixels);
            if (wrapWidth > 0 && width > 0 && width + w > wrapWidth) {
                lines.append(GlyphLine());
                width = 0;
            }
            lines.last().append(Glyph{c, run.color, run.fontCode, pixels, turned});
            width += w;
        }
    }
    return lines;
}

QList<QList<GlyphLine>> paginate(const QList<GlyphLine>& lines, int height)
{
    QList<QList<GlyphLine>> pages;
    int used = 0;
    for (const GlyphLine& line : lines) {
        const int h = lineHeight(line);
        if (pages.isEmpty() || (used + h > height && !pages.last().isEmpty())) {
            pages.append(QList<GlyphLine>());
            used = 0;
        }
        pages.last().append(line);
        used += h;
    }
    return pages;
}

QImage drawLines(const QList<GlyphLine>& lines, const QSize& size, int planes, Align align, int shift)
{
    QImage out(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    out.fill(Qt::black);
    // The lines that fit, at least the first.
    int total = 0;
    qsizetype shown = 0;
    for (const GlyphLine& line : lines) {
        const int h = lineHeight(line);
        if (shown > 0 && total + h > out.height())
            break;
        total += h;
        ++shown;
    }
    int top = std::max(0, (out.height() - total) / 2);
    for (qsizetype i = 0; i < shown; ++i) {
        const GlyphLine& line = lines[i];
        const int w = lineWidth(line);
        const int h = lineHeight(line);
        int x = align == Align::Left ? 0 : align == Align::Right ? out.width() - w : (out.width() - w) / 2;
        x = std::max(0, x) + shift;
        for (const Glyph& g : line) {
            const QImage& upright = glyphMask(g.c, g.fontCode, g.pixels);
            // A turned character stands in the middle of its square.
            const QImage mask = g.turned ? upright.transformed(QTransform().rotate(90)) : upright;
            const int cell = g.turned ? g.pixels : mask.width();
            const int x0 = x + (cell - mask.width()) / 2;
            const int y0 = top + h - g.pixels + (g.pixels - mask.height()) / 2;
            const QRgb colour = ledColor(g.color, planes);
            for (int y = 0; y < mask.height(); ++y) {
                const int py = y0 + y;
                if (py < 0 || py >= out.height())
                    continue;
                for (int gx = 0; gx < mask.width(); ++gx) {
                    const int px = x0 + gx;
                    if (px >= 0 && px < out.width() && (mask.pixel(gx, y) & 0xFF) != 0)
                        out.setPixel(px, py, colour);
                }
            }
            x += cell;
        }
        top += h;
    }
    return out;
}

QList<QImage> drawRotated(int rotateMode, const QSize& size, const TextPainter& paint)
{
    if (rotateMode == kRotateWords)
        return paint(size, true);
    if (rotateMode != kRotateRegion)
        return paint(size, false);
    QList<QImage> pictures = paint(size.transposed(), false);
    for (QImage& picture : pictures)
        picture = picture.transformed(QTransform().rotate(90));
    return pictures;
}

} // namespace ledsign::card
