#include "content/glyphcache.h"

#include "content/renderpicture.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRect>

#include <algorithm>
#include <list>

namespace ledsign {

namespace {

// Glyphs of larger pixel sizes are drawn each time: a few big characters
// cost little to draw and much to keep.
constexpr int kMaxKeptPixelSize = 256;

qsizetype glyphBytes(const Glyph& g) { return qsizetype(sizeof(Glyph) + g.spans.size() * sizeof(GlyphSpan)); }

} // namespace

GlyphFace::GlyphFace(QFont font, int ascent)
    : font_(std::move(font))
    , ascent_(ascent)
{
}

const Glyph& GlyphFace::glyph(const QString& character)
{
    auto it = glyphs_.find(character);
    if (it == glyphs_.end()) {
        Glyph g = draw(character);
        if (bytes_ > glyphcache::kMaxBytes) {
            g.kept = false; // over budget: the advance only, drawn each time
            g.spans.clear();
            g.spans.shrink_to_fit();
        }
        bytes_ += glyphBytes(g);
        it = glyphs_.emplace(character, std::move(g)).first;
    }
    return it->second;
}

Glyph GlyphFace::draw(const QString& character) const
{
    Glyph g;
    g.advance = QFontMetrics(font_).horizontalAdvance(character);
    const int pixels = font_.pixelSize();
    if (pixels <= 0 || pixels > kMaxKeptPixelSize)
        return g;
    // Room for ink well outside the cell (italics, overhangs, underlines);
    // ink that reaches the border might be cut, so such a glyph is not kept.
    const int pad = pixels + 4;
    const int width = std::max(g.advance, 0) + 2 * pad;
    const int height = pixels + 2 * pad;
    QImage scratch(width, height, kPictureFormat);
    if (scratch.isNull())
        return g;
    scratch.fill(Qt::black);
    {
        QPainter p(&scratch);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setRenderHint(QPainter::TextAntialiasing, false);
        p.setFont(font_);
        p.setPen(Qt::white);
        p.drawText(QPoint(pad, pad + ascent_), character);
    }
    for (int y = 0; y < height; ++y) {
        const uchar* row = scratch.constScanLine(y);
        int x = 0;
        while (x < width) {
            if (row[3 * x] == 0 && row[3 * x + 1] == 0 && row[3 * x + 2] == 0) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < width && (row[3 * x] | row[3 * x + 1] | row[3 * x + 2]) != 0)
                ++x;
            if (y == 0 || y == height - 1 || start == 0 || x == width) {
                g.spans.clear();
                return g;
            }
            g.spans.push_back({qint16(y - pad), qint16(start - pad), qint16(x - start)});
        }
    }
    g.kept = true;
    g.spans.shrink_to_fit();
    return g;
}

void putGlyph(uchar* bits, qsizetype bytesPerLine, const Glyph& glyph, int x, int y, QRgb colour, const QRect& clip)
{
    const uchar r = uchar(qRed(colour));
    const uchar gr = uchar(qGreen(colour));
    const uchar b = uchar(qBlue(colour));
    for (const GlyphSpan& s : glyph.spans) {
        const int row = y + s.dy;
        if (row < clip.top() || row > clip.bottom())
            continue;
        const int from = std::max(x + s.dx, clip.left());
        const int to = std::min(x + s.dx + s.length - 1, clip.right());
        uchar* p = bits + row * bytesPerLine + qsizetype(from) * 3;
        for (int k = from; k <= to; ++k, p += 3) {
            p[0] = r;
            p[1] = gr;
            p[2] = b;
        }
    }
}

namespace glyphcache {

namespace {

struct Cache {
    // Most recently asked for first.
    std::list<std::pair<QString, std::shared_ptr<GlyphFace>>> faces;
    bool watching = false;
};

Cache& cache()
{
    static Cache c;
    return c;
}

void trim(Cache& c)
{
    qsizetype total = 0;
    for (auto it = c.faces.begin(); it != c.faces.end();) {
        total += it->second->bytes();
        if (total > kMaxBytes && it != c.faces.begin())
            it = c.faces.erase(it);
        else
            ++it;
    }
}

} // namespace

std::shared_ptr<GlyphFace> face(const QString& key, const std::function<std::shared_ptr<GlyphFace>()>& make)
{
    Cache& c = cache();
    if (!c.watching && qGuiApp) {
        // Fonts added to or removed from the application may change any glyph.
        QObject::connect(qGuiApp, &QGuiApplication::fontDatabaseChanged, qGuiApp, [] { clear(); });
        c.watching = true;
    }
    trim(c);
    for (auto it = c.faces.begin(); it != c.faces.end(); ++it) {
        if (it->first == key) {
            c.faces.splice(c.faces.begin(), c.faces, it);
            return c.faces.front().second;
        }
    }
    std::shared_ptr<GlyphFace> made = make();
    c.faces.emplace_front(key, made);
    return made;
}

qsizetype bytes()
{
    qsizetype total = 0;
    for (const auto& f : cache().faces)
        total += f.second->bytes();
    return total;
}

void clear() { cache().faces.clear(); }

} // namespace glyphcache

} // namespace ledsign
