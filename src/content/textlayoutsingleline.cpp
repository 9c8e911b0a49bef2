// Single-line picture layout: every editor line of a single-line text is one
// picture. The characters of a line are composed from x 0; when the line is
// finished it is placed on its picture by its alignment, vertically centred
// on the tallest character met so far.
#include "content/rendercharacter.h"
#include "content/textlayout.h"

#include <algorithm>
#include <optional>

namespace ledsign {

namespace {

class SingleLineLayout {
public:
    explicit SingleLineLayout(const SingleLineParams& params) : params_(params) {}

    QList<QImage> run(const QList<TextRun>& runs)
    {
        if (params_.width <= 0 || params_.height <= 0 || params_.maxPictures == 0)
            return {};
        pictures_.append(newPicture(params_.width, params_.height));
        if (pictures_.first().isNull())
            return {}; // a region too large to hold in memory
        for (const TextRun& textRun : runs) {
            const int look = painter_.addLook(lookOf(textRun));
            if (!currentLine_ || textRun.lineNumber != *currentLine_) {
                if (currentLine_) {
                    placeLine();
                    if (!startPicture())
                        return pictures_;
                }
                currentLine_ = textRun.lineNumber;
                alignment_ = textRun.alignment;
            }
            if (!addRun(textRun, look))
                return pictures_;
        }
        if (lineWidth_ > 0)
            placeLine();
        return pictures_;
    }

private:
    // False when the picture limit ends the layout.
    bool addRun(const TextRun& textRun, int look)
    {
        for (const QString& ch : charactersOf(textRun.text)) {
            const CharCell cell = painter_.measure(look, ch);
            tallest_ = std::max(tallest_, cell.height);
            if (ch == QLatin1String("\r"))
                break; // the line break ends the run; its LF is not drawn
            if (penX_ + cell.advance > params_.width && penX_ > 0) {
                // The line is wider than the picture: what does not fit goes
                // on in a further picture with the same alignment.
                placeLine();
                if (!startPicture())
                    return false;
            }
            line_.append({look, penX_, 0, cell, ch});
            penX_ += cell.advance;
            lineWidth_ = std::min(penX_, params_.width);
        }
        return true;
    }

    bool startPicture()
    {
        line_.clear();
        penX_ = 0;
        lineWidth_ = 0;
        if (params_.maxPictures >= 0 && pictures_.size() >= params_.maxPictures)
            return false;
        pictures_.append(newPicture(params_.width, params_.height));
        return true;
    }

    void placeLine()
    {
        int x = 0;
        if (alignment_ == kAlignRight)
            x = params_.width - lineWidth_;
        else if (alignment_ == kAlignCentre)
            x = (params_.width - lineWidth_) / 2;
        const int y = params_.yOffset + (params_.height - tallest_) / 2;
        drawPlacedTexts(pictures_.last(), painter_, line_, x, y, QRect(x, y, lineWidth_, tallest_));
    }

    SingleLineParams params_;
    CharacterPainter painter_;
    QList<QImage> pictures_;
    QList<PlacedText> line_;
    std::optional<int> currentLine_;
    int alignment_ = kAlignLeft;
    int penX_ = 0;
    int lineWidth_ = 0;
    int tallest_ = 0; // never reset: every line is centred on the tallest so far
};

} // namespace

QList<QImage> layoutSingleLinePictures(const QList<TextRun>& runs, const SingleLineParams& params)
{
    return SingleLineLayout(params).run(runs);
}

} // namespace ledsign
