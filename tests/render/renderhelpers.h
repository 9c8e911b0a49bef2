// Helpers of the rendering tests: building text run markup, finding lit
// pixels in pictures, and writing small animated GIF files.
#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>

namespace ledsign::test {

// One run of text run markup: colour, font, point size, plain style,
// alignment, line number and text.
inline QString textRun(const QString& colour, const QString& font, int pointSize, int alignment, int line,
                       const QString& text)
{
    return QStringList{colour, font, QString::number(pointSize), QStringLiteral("0"), QStringLiteral("0"),
                       QStringLiteral("0"), QStringLiteral("0"), QString::number(alignment),
                       QString::number(line), text}
        .join(QLatin1Char('^'));
}

inline QString songTi()
{
    return QStringLiteral("宋体");
}

// Bounding box of the pixels that are not black; null when there are none.
inline QRect litBounds(const QImage& image, const QRect& within = QRect())
{
    const QRect area = within.isNull() ? image.rect() : within.intersected(image.rect());
    int left = area.right() + 1, right = area.left() - 1, top = area.bottom() + 1, bottom = area.top() - 1;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if ((image.pixel(x, y) & 0x00FFFFFFu) == 0)
                continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < left)
        return {};
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

inline int litCount(const QImage& image, const QRect& within = QRect())
{
    const QRect area = within.isNull() ? image.rect() : within.intersected(image.rect());
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += (image.pixel(x, y) & 0x00FFFFFFu) != 0;
    return count;
}

// The distinct colours of the lit pixels.
inline QList<QRgb> litColours(const QImage& image)
{
    QList<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y) & 0x00FFFFFFu;
            if (c != 0 && !colours.contains(c))
                colours << c;
        }
    }
    return colours;
}

// A GIF89a file of solid-colour frames of w x h (at most four colours in
// all). The LZW data holds literal codes only, with a clear code after every
// second pixel, so the code width stays at 3 bits.
inline QByteArray animatedGif(int w, int h, const QList<QColor>& frameColours)
{
    QList<QColor> palette;
    for (const QColor& c : frameColours)
        if (!palette.contains(c))
            palette << c;
    while (palette.size() < 4)
        palette << QColor(0, 0, 0);
    QByteArray gif("GIF89a");
    auto le16 = [&gif](int v) {
        gif.append(char(v & 0xFF));
        gif.append(char((v >> 8) & 0xFF));
    };
    le16(w);
    le16(h);
    gif.append(char(0x81)); // global colour table of 4 entries
    gif.append(char(0));
    gif.append(char(0));
    for (int i = 0; i < 4; ++i) {
        gif.append(char(palette.at(i).red()));
        gif.append(char(palette.at(i).green()));
        gif.append(char(palette.at(i).blue()));
    }
    for (const QColor& colour : frameColours) {
        const int index = int(palette.indexOf(colour));
        gif.append("\x21\xF9\x04\x00\x0A\x00\x00\x00", 8); // 100 ms, no transparency
        gif.append(char(0x2C));
        le16(0);
        le16(0);
        le16(w);
        le16(h);
        gif.append(char(0));
        gif.append(char(2)); // minimum code size
        QByteArray data;
        unsigned acc = 0;
        int bits = 0;
        auto code = [&](unsigned c) {
            acc |= c << bits;
            bits += 3;
            while (bits >= 8) {
                data.append(char(acc & 0xFF));
                acc >>= 8;
                bits -= 8;
            }
        };
        for (int p = 0; p < w * h; ++p) {
            if (p % 2 == 0)
                code(4); // clear
            code(unsigned(index));
        }
        code(5); // end of information
        if (bits > 0)
            data.append(char(acc & 0xFF));
        for (qsizetype i = 0; i < data.size(); i += 255) {
            const QByteArray block = data.mid(i, 255);
            gif.append(char(block.size()));
            gif.append(block);
        }
        gif.append(char(0));
    }
    gif.append(char(0x3B));
    return gif;
}

} // namespace ledsign::test
