// Attribute-text layout: the display texts of date/time, counter,
// acquisition and internal-code materials, drawn character by character. A
// picture's characters are collected first and drawn when the picture is
// complete, because a character's height on its line is known only then.
#include "content/rendercharacter.h"
#include "content/textlayout.h"

#include <QPainter>
#include <QTransform>

#include <algorithm>

namespace ledsign {

namespace {

class AttributeTextLayout {
public:
    explicit AttributeTextLayout(const AttributeTextParams& params) : params_(params) {}

    QList<QImage> run(const QList<ShortRun>& runs)
    {
        if (params_.width <= 0 || params_.height <= 0)
            return {};
        startPicture();
        if (pictures_.first().isNull())
            return {}; // a region too large to hold in memory
        for (const ShortRun& shortRun : runs) {
            const int look = painter_.addLook(lookOf(shortRun));
            for (const QString& ch : charactersOf(shortRun.text)) {
                if (!placeCharacter(look, ch)) {
                    completePicture();
                    return pictures_;
                }
            }
        }
        completePicture();
        return pictures_;
    }

private:
    struct Item {
        PlacedText text;
        int line = 0;
    };
    struct Line {
        int top = 0;
        int tallest = 0;
    };

    // False when the layout ends here.
    bool placeCharacter(int look, const QString& ch)
    {
        const int w = params_.width;
        const int h = params_.height;
        CharCell cell = painter_.measure(look, ch);
        if (params_.turnCharacters)
            cell.advance = cell.height; // the turned character stands in a square
        if (cell.height > h)
            return false;
        int mode = params_.mode;
        // A one-line mode on a region that holds two such lines lays out lines.
        if ((mode == kAttributeFromRight || mode == kAttributeOneLine) && h >= 2 * cell.height)
            mode = kAttributeLines;
        int x = mode == kAttributeFromRight ? w - penX_ - cell.advance : penX_;
        place(look, ch, cell, x);
        penX_ += cell.advance;
        if (penX_ <= w)
            return true;
        if (mode == kAttributeLines || mode == kAttributeMovingUp) {
            if (penX_ == cell.advance)
                return true; // alone on its line and still too wide: cut at the edge
            items_.removeLast();
            lineTop_ += lines_.last().tallest;
            if (lineTop_ + cell.height > h) {
                if (!nextPicture())
                    return false;
            } else {
                lines_.append({lineTop_, 0});
            }
            place(look, ch, cell, 0);
            penX_ = cell.advance;
            return true;
        }
        // One line running on across pictures: the character cut at the
        // edge is placed again on the next picture where the line goes on.
        while (penX_ > w) {
            if (!nextPicture())
                return false;
            penX_ -= w;
            x = mode == kAttributeFromRight ? x + w : x - w;
            place(look, ch, cell, x);
        }
        return true;
    }

    void place(int look, const QString& ch, const CharCell& cell, int x)
    {
        items_.append({{look, x, 0, cell, ch}, int(lines_.size() - 1)});
        lines_.last().tallest = std::max(lines_.last().tallest, cell.height);
        pictureTallest_ = std::max(pictureTallest_, cell.height);
    }

    void startPicture()
    {
        pictures_.append(newPicture(params_.width, params_.height));
        items_.clear();
        lines_ = {Line{}};
        lineTop_ = 0;
        pictureTallest_ = 0;
    }

    // False when no further picture may start.
    bool nextPicture()
    {
        completePicture();
        if (params_.singlePicture) {
            items_.clear();
            return false;
        }
        startPicture();
        return true;
    }

    void completePicture()
    {
        QList<PlacedText> texts;
        texts.reserve(items_.size());
        for (const Item& item : items_) {
            PlacedText t = item.text;
            if (params_.mode == kAttributeCentred) {
                t.y = (params_.height - pictureTallest_) / 2;
            } else {
                const Line& line = lines_.at(item.line);
                t.y = line.top + line.tallest - t.cell.height; // bottoms meet
            }
            texts.append(t);
        }
        if (params_.turnCharacters) {
            for (const PlacedText& t : std::as_const(texts))
                drawTurned(pictures_.last(), t);
        } else {
            drawPlacedTexts(pictures_.last(), painter_, texts, 0, 0);
        }
        items_.clear();
    }

    // The character drawn upright on its own, turned a quarter clockwise
    // (pixel for pixel) and centred in its square.
    void drawTurned(QImage& target, const PlacedText& t)
    {
        const CharCell upright = painter_.measure(t.look, t.text);
        QImage cell = newPicture(std::max(1, upright.advance), std::max(1, upright.height));
        drawPlacedTexts(cell, painter_, {PlacedText{t.look, 0, 0, upright, t.text}}, 0, 0);
        const QImage turned = cell.transformed(QTransform().rotate(90));
        QPainter p(&target);
        p.drawImage(t.x + (t.cell.advance - turned.width()) / 2, t.y + (t.cell.height - turned.height()) / 2, turned);
    }

    AttributeTextParams params_;
    CharacterPainter painter_;
    QList<QImage> pictures_;
    QList<Item> items_;
    QList<Line> lines_;
    int penX_ = 0;
    int lineTop_ = 0;
    int pictureTallest_ = 0;
};

} // namespace

QList<QImage> layoutAttributeText(const QList<ShortRun>& runs, const AttributeTextParams& params)
{
    return AttributeTextLayout(params).run(runs);
}

} // namespace ledsign
