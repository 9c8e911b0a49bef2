// The text layouts: styled text turned into pictures of the region's size.
// Single-line texts become one picture per editor line, or a sideways strip
// when they scroll without stopping; multi-line texts fill pictures line by
// line, or an upward/downward strip. The attribute-text layout draws the
// one-line display texts of clocks, counters, acquisitions and internal codes.
#pragma once

#include "content/renderpicture.h"
#include "content/shortrunmarkup.h"
#include "content/textrunmarkup.h"
#include "model/tfodder.h"

#include <QImage>
#include <QList>

namespace ledsign {

// No limit on the number of pictures.
inline constexpr int kUnlimitedPictures = -1;

enum class TextLayoutKind {
    SingleLinePictures,
    MultiLinePictures,
    HorizontalStrip,
    VerticalStrip,
};

// Scroll directions of the strips, as "Display_Mode" numbers them.
enum StripDirection : int {
    kRightToLeft = 1,
    kLeftToRight = 2,
    kBottomToTop = 3,
    kTopToBottom = 4,
};

// Paragraph alignment of a run.
enum RunAlignment : int {
    kAlignLeft = 0,
    kAlignRight = 1,
    kAlignCentre = 2,
};

// Vertical alignment of a multi-line text (`textParam2`).
enum VerticalAlignment : int {
    kAlignTop = 0,
    kAlignMiddle = 1,
    kAlignBottom = 2,
};

struct TextLayoutChoice {
    TextLayoutKind kind = TextLayoutKind::SingleLinePictures;
    int direction = 0; // the strip's direction, 0 for the picture layouts
};

// The layout of a single-line (kind 0) or multi-line (kind 1) text: a strip
// when it scrolls without stopping (`remainTime` 0) in the direction of its
// kind, pictures otherwise. The canvas shows a downward-scrolling multi-line
// text as pictures.
TextLayoutChoice chooseTextLayout(const TFodder& material, bool forCanvas = false);

struct SingleLineParams {
    int width = 0;
    int height = 0;
    int yOffset = 0;                 // `textParam3`
    int maxPictures = kMaxPictures;
};

// One picture per editor line, the line centred vertically on the tallest
// character seen so far and placed by its alignment. A line wider than the
// picture goes on in further pictures, so no character is dropped.
QList<QImage> layoutSingleLinePictures(const QList<TextRun>& runs, const SingleLineParams& params);

struct MultiLineParams {
    int width = 0;
    int height = 0;
    int lineSpacing = 0;             // `textParam1`
    int verticalAlignment = kAlignTop; // `textParam2`
    int yOffset = 0;                 // `textParam3`
    int maxPictures = kMaxPictures;
};

// Lines fill a picture from the top and wrap at the right edge; a line that
// does not fit below carries over to the next picture. Centred and bottom
// alignment move each picture's block of lines down as a whole.
QList<QImage> layoutMultiLinePictures(const QList<TextRun>& runs, const MultiLineParams& params);

struct StripParams {
    int width = 0;
    int height = 0;
    int direction = kRightToLeft;
    int yOffset = 0;                 // horizontal strip only
    int maxPictures = kUnlimitedPictures;
};

// The runs side by side in one long line cut into pictures of W. Right to
// left takes pictures from the start of the line; left to right lays the runs
// out from the line's right end, each run's characters reversed, and takes
// pictures from that end. Line breaks are drawn like other characters.
QList<QImage> layoutHorizontalStrip(const QList<TextRun>& runs, const StripParams& params);

// The characters wrapped at W into lines stacked in one tall column cut into
// pictures of H: bottom to top stacks downwards from the column's top, top to
// bottom stacks upwards from its bottom. Line breaks are drawn like other
// characters and do not start lines.
QList<QImage> layoutVerticalStrip(const QList<TextRun>& runs, const StripParams& params);

// Modes of the attribute-text layout.
enum AttributeTextMode : int {
    kAttributeLines = 0,       // lines, then further pictures
    kAttributeCentred = 1,     // one line, vertically centred
    kAttributeFromRight = 2,   // one line placed from the right edge
    kAttributeOneLine = 3,     // one line
    kAttributeMovingUp = 4,    // lines (internal-code text moving up)
};

struct AttributeTextParams {
    int width = 0;
    int height = 0;
    int mode = kAttributeLines;
    bool singlePicture = false;  // stop at the first picture
    bool turnCharacters = false; // each character a quarter turn clockwise in a square cell
};

// Draws short runs character by character. At least one picture is made.
QList<QImage> layoutAttributeText(const QList<ShortRun>& runs, const AttributeTextParams& params);

// The attribute-text mode of an internal-code material: its scrolling
// direction when it does not stop, lines otherwise.
int internalCodeAttributeMode(const TFodder& material);

// The pictures of a single-line or multi-line text material in its chosen
// layout. The picture layouts stop at 2048 pictures; `maxPictures`, when
// set, limits every layout further (the preview asks for fewer). Any other
// kind gives no pictures.
QList<QImage> renderTextMaterial(const TFodder& material, int width, int height, bool forCanvas = false,
                                 int maxPictures = kUnlimitedPictures);

} // namespace ledsign
