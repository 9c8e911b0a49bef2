// Multi-line picture layout: lines fill a picture from the top, wrap at the
// right edge and carry over to a new picture when the next line does not fit
// below. Each line is composed first and placed when it is complete, so that
// a centred or right-aligned line is placed by its own width and a line never
// straddles two pictures. For centred and bottom alignment the lines of a
// picture are drawn on a staging image that is then moved down as a block.
#include "content/rendercharacter.h"
#include "content/textlayout.h"

#include <algorithm>
#include <optional>

namespace ledsign {

namespace {

class MultiLineLayout {
public:
    explicit MultiLineLayout(const MultiLineParams& params)
        : params_(params)
        , staged_(params.verticalAlignment == kAlignMiddle || params.verticalAlignment == kAlignBottom)
    {
    }

    QList<QImage> run(const QList<TextRun>& runs)
    {
        if (params_.width <= 0 || params_.height <= 0 || params_.maxPictures == 0)
            return {};
        startPicture();
        if (pictures_.first().isNull() || (staged_ && staging_.isNull()))
            return {}; // a region too large to hold in memory
        for (const TextRun& textRun : runs) {
            const int look = painter_.addLook(lookOf(textRun));
            // A new editor line without a line break before it still starts a line.
            if (lineNumber_ && textRun.lineNumber != *lineNumber_ && !line_.isEmpty())
                endLine();
            if (stopped_)
                break;
            if (line_.isEmpty())
                alignment_ = textRun.alignment;
            lineNumber_ = textRun.lineNumber;
            addRun(textRun, look);
            if (stopped_)
                break;
        }
        if (!stopped_) {
            endLine();
            if (!stopped_)
                finishPicture();
        }
        return pictures_;
    }

private:
    void addRun(const TextRun& textRun, int look)
    {
        for (const QString& ch : charactersOf(textRun.text)) {
            const CharCell cell = painter_.measure(look, ch);
            if (ch == QLatin1String("\r")) {
                endLine(); // the line break ends the run; its LF is not drawn
                return;
            }
            if (cell.height > params_.height)
                continue; // can never fit a picture
            if (penX_ + cell.advance > params_.width && penX_ > 0) {
                endLine();
                if (stopped_)
                    return;
                alignment_ = textRun.alignment;
            }
            line_.append({look, penX_, 0, cell, ch});
            penX_ += cell.advance;
            lineHeight_ = std::max(lineHeight_, cell.height);
        }
    }

    // Places the composed line below the previous ones, on a new picture
    // when it does not fit below them.
    void endLine()
    {
        if (line_.isEmpty()) {
            penX_ = 0;
            return;
        }
        if (linesOnPicture_ > 0 && lineTop_ + lineHeight_ > params_.height) {
            finishPicture();
            if (params_.maxPictures >= 0 && pictures_.size() >= params_.maxPictures) {
                stopped_ = true;
                return;
            }
            startPicture();
        }
        const int lineWidth = std::min(penX_, params_.width);
        int x = 0;
        if (alignment_ == kAlignRight)
            x = params_.width - lineWidth;
        else if (alignment_ == kAlignCentre)
            x = (params_.width - lineWidth) / 2;
        const int y = lineTop_ + (staged_ ? 0 : params_.yOffset);
        drawPlacedTexts(staged_ ? staging_ : pictures_.last(), painter_, line_, x, y);
        lineTop_ += lineHeight_ + params_.lineSpacing;
        usedHeight_ += lineHeight_ + params_.lineSpacing;
        ++linesOnPicture_;
        line_.clear();
        penX_ = 0;
        lineHeight_ = 0;
    }

    void startPicture()
    {
        pictures_.append(newPicture(params_.width, params_.height));
        if (staged_)
            staging_ = newPicture(params_.width, params_.height);
        lineTop_ = 0;
        usedHeight_ = 0;
        linesOnPicture_ = 0;
    }

    void finishPicture()
    {
        if (!staged_ || usedHeight_ <= 0)
            return;
        // A trailing line spacing never pushes the first line above the top.
        const int used = std::min(usedHeight_, params_.height);
        const int free = params_.height - used;
        const int y = params_.yOffset + (params_.verticalAlignment == kAlignMiddle ? free / 2 : free);
        drawStaging(y);
    }

    void drawStaging(int y)
    {
        QImage& picture = pictures_.last();
        if (picture.isNull() || staging_.isNull())
            return;
        const int rows = std::min(params_.height, picture.height() - y);
        const int first = std::max(0, -y);
        const qsizetype rowBytes = qsizetype(params_.width) * 3;
        for (int r = first; r < rows; ++r)
            std::copy_n(staging_.constScanLine(r), rowBytes, picture.scanLine(r + y));
    }

    MultiLineParams params_;
    bool staged_ = false;
    CharacterPainter painter_;
    QList<QImage> pictures_;
    QImage staging_;
    QList<PlacedText> line_;
    std::optional<int> lineNumber_;
    int alignment_ = kAlignLeft;
    int penX_ = 0;
    int lineHeight_ = 0;
    int lineTop_ = 0;
    int usedHeight_ = 0;
    int linesOnPicture_ = 0;
    bool stopped_ = false;
};

} // namespace

QList<QImage> layoutMultiLinePictures(const QList<TextRun>& runs, const MultiLineParams& params)
{
    return MultiLineLayout(params).run(runs);
}

} // namespace ledsign
