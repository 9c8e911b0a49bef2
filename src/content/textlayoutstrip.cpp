// The two strip layouts of texts that scroll without stopping. The text is
// laid out as one long strip (sideways) or one tall column (up or down) and
// cut into pictures of the region's size. Only the part of the strip that a
// picture shows is drawn into it, so a long text never needs the whole strip
// in memory and nothing is cut off at a fixed strip size.
#include "content/rendercharacter.h"
#include "content/textlayout.h"

#include <algorithm>

namespace ledsign {

namespace {

QString reversedCharacters(const QString& text)
{
    QStringList characters = charactersOf(text);
    std::reverse(characters.begin(), characters.end());
    return characters.join(QString());
}

int pictureCountOf(qint64 length, int pictureLength, int maxPictures)
{
    qint64 count = (length + pictureLength - 1) / pictureLength;
    if (maxPictures >= 0)
        count = std::min<qint64>(count, maxPictures);
    return int(count);
}

} // namespace

QList<QImage> layoutHorizontalStrip(const QList<TextRun>& runs, const StripParams& params)
{
    const int w = params.width;
    const int h = params.height;
    if (w <= 0 || h <= 0)
        return {};
    CharacterPainter painter;
    QList<PlacedText> texts;
    qint64 total = 0;
    int tallest = 0;
    const bool leftToRight = params.direction == kLeftToRight;
    for (const TextRun& run : runs) {
        const int look = painter.addLook(lookOf(run));
        const CharCell cell = painter.measureText(look, run.text);
        tallest = std::max(tallest, cell.height);
        texts.append({look, 0, 0, cell, leftToRight ? reversedCharacters(run.text) : run.text});
        total += cell.advance;
    }
    // Strip coordinates: right to left puts run i after the runs before it;
    // left to right fills from the strip's right end, run 0 rightmost.
    qint64 before = 0;
    for (PlacedText& t : texts) {
        before += t.cell.advance;
        t.x = int(leftToRight ? total - before : before - t.cell.advance);
    }
    const int count = pictureCountOf(total, w, params.maxPictures);
    const int y = params.yOffset + (h - tallest) / 2;
    QList<QImage> pictures;
    pictures.reserve(count);
    for (int k = 0; k < count; ++k) {
        // Source x of picture k: k * W from the strip's start, or (k + 1) * W
        // back from its end.
        const qint64 sourceX = leftToRight ? total - qint64(k + 1) * w : qint64(k) * w;
        QImage picture = newPicture(w, h);
        if (picture.isNull())
            return {}; // a region too large to hold in memory
        drawPlacedTexts(picture, painter, texts, int(-sourceX), y, QRect(0, y, w, h));
        pictures.append(picture);
    }
    return pictures;
}

QList<QImage> layoutVerticalStrip(const QList<TextRun>& runs, const StripParams& params)
{
    const int w = params.width;
    const int h = params.height;
    if (w <= 0 || h <= 0)
        return {};
    CharacterPainter painter;
    // Lines as they stack: characters with their x, and each line's height.
    QList<QList<PlacedText>> lines(1);
    QList<int> heights(1, 0);
    int penX = 0;
    for (const TextRun& run : runs) {
        const int look = painter.addLook(lookOf(run));
        for (const QString& ch : charactersOf(run.text)) {
            const CharCell cell = painter.measure(look, ch);
            if (penX + cell.advance > w && penX > 0) {
                lines.append(QList<PlacedText>());
                heights.append(0);
                penX = 0;
            }
            lines.last().append({look, penX, 0, cell, ch});
            heights.last() = std::max(heights.last(), cell.height);
            penX += cell.advance;
        }
    }
    qint64 total = 0;
    for (int height : heights)
        total += height;
    // Column coordinates, 0 at the top of the text block: bottom to top
    // stacks the lines downwards, top to bottom stacks them upwards so that
    // the first line ends up at the bottom.
    const bool upwards = params.direction == kTopToBottom;
    QList<PlacedText> texts;
    qint64 above = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const qint64 top = upwards ? total - above - heights.at(i) : above;
        above += heights.at(i);
        for (PlacedText t : lines.at(i)) {
            t.y = int(top);
            texts.append(t);
        }
    }
    const int count = pictureCountOf(total, h, params.maxPictures);
    QList<QImage> pictures;
    pictures.reserve(count);
    for (int k = 0; k < count; ++k) {
        const qint64 sourceY = upwards ? total - qint64(k + 1) * h : qint64(k) * h;
        QImage picture = newPicture(w, h);
        if (picture.isNull())
            return {}; // a region too large to hold in memory
        drawPlacedTexts(picture, painter, texts, 0, int(-sourceY));
        pictures.append(picture);
    }
    return pictures;
}

} // namespace ledsign
