// The text layouts: where lines, pictures and strips put the characters, how
// many pictures they make, and the choice of layout for a material.
#include "content/rendercharacter.h"
#include "content/textlayout.h"
#include "model/materialkinds.h"
#include "renderhelpers.h"

#include <gtest/gtest.h>

using namespace ledsign;
using namespace ledsign::test;

namespace {

const QString kRed = QStringLiteral("clRed");
const QString kYellow = QStringLiteral("clYellow");
const QString kCrLf = QStringLiteral("\r\n");

// Width of a text in the layouts: the sum of its characters' advances.
int textWidth(const QString& text, int pointSize = 12)
{
    CharacterPainter painter;
    RunLook l;
    l.fontName = songTi();
    l.pointSize = pointSize;
    const int id = painter.addLook(l);
    int width = 0;
    for (const QString& ch : charactersOf(text))
        width += painter.measure(id, ch).advance;
    return width;
}

QList<TextRun> runs(const QStringList& markupRuns)
{
    return parseTextRuns(markupRuns.join(QStringLiteral("~*")));
}

// A 16-pixel (12 point) run of ideographs.
QString run16(int line, const QString& text, int alignment = kAlignLeft, const QString& colour = kRed)
{
    return textRun(colour, songTi(), 12, alignment, line, text);
}

} // namespace

TEST(SingleLineLayout, EveryEditorLineIsOnePictureCentredVertically)
{
    const auto pictures = layoutSingleLinePictures(
        runs({run16(1, QStringLiteral("一二") + kCrLf, kAlignCentre), run16(2, QStringLiteral("三四五") + kCrLf, kAlignCentre),
              run16(3, QStringLiteral("六"), kAlignCentre)}),
        {64, 32, 0});
    ASSERT_EQ(pictures.size(), 3);
    const QStringList lines{QStringLiteral("一二"), QStringLiteral("三四五"), QStringLiteral("六")};
    for (int i = 0; i < 3; ++i) {
        const int width = textWidth(lines.at(i));
        const int x = (64 - width) / 2;
        const QRect lit = litBounds(pictures.at(i));
        ASSERT_FALSE(lit.isNull()) << i;
        EXPECT_TRUE(QRect(x, 8, width, 16).contains(lit)) << "picture " << i;
        // Centred: about as much room on the left as on the right.
        EXPECT_LE(std::abs(lit.left() - (63 - lit.right())), 4) << "picture " << i;
        EXPECT_EQ(pictures.at(i).size(), QSize(64, 32));
    }
}

TEST(SingleLineLayout, AlignmentAndYOffsetPlaceTheLine)
{
    const int width = textWidth(QStringLiteral("左右"));
    const auto left = layoutSingleLinePictures(runs({run16(1, QStringLiteral("左右"), kAlignLeft)}), {64, 32, 0});
    const auto right = layoutSingleLinePictures(runs({run16(1, QStringLiteral("左右"), kAlignRight)}), {64, 32, 0});
    const auto lowered = layoutSingleLinePictures(runs({run16(1, QStringLiteral("左右"), kAlignLeft)}), {64, 32, 5});
    ASSERT_EQ(left.size(), 1);
    ASSERT_EQ(right.size(), 1);
    ASSERT_EQ(lowered.size(), 1);
    EXPECT_TRUE(QRect(0, 8, width, 16).contains(litBounds(left[0])));
    EXPECT_TRUE(QRect(64 - width, 8, width, 16).contains(litBounds(right[0])));
    EXPECT_EQ(litBounds(lowered[0]), litBounds(left[0]).translated(0, 5));
}

TEST(SingleLineLayout, LineWiderThanThePictureGoesOnInFurtherPictures)
{
    // Ten 16-pixel ideographs on 64 pixels: 4 + 4 + 2, none lost.
    const QString text = QStringLiteral("一二三四五六七八九十");
    const auto pictures = layoutSingleLinePictures(runs({run16(1, text)}), {64, 16, 0});
    ASSERT_EQ(pictures.size(), 3);
    const auto single = layoutSingleLinePictures(runs({run16(1, QStringLiteral("五六七八"))}), {64, 16, 0});
    ASSERT_EQ(single.size(), 1);
    EXPECT_EQ(pictures[1], single[0]);
    EXPECT_GT(litCount(pictures[2], QRect(0, 0, 32, 16)), 0);
    EXPECT_EQ(litCount(pictures[2], QRect(32, 0, 32, 16)), 0);
}

TEST(SingleLineLayout, StopsAt2048Pictures)
{
    QStringList many;
    for (int line = 1; line <= 2100; ++line)
        many << run16(line, QStringLiteral("一") + kCrLf);
    const QList<TextRun> parsed = runs(many);
    EXPECT_EQ(layoutSingleLinePictures(parsed, {16, 16, 0}).size(), 2048);
    EXPECT_EQ(layoutSingleLinePictures(parsed, {16, 16, 0, 5}).size(), 5);
}

TEST(MultiLineLayout, VerticalAlignmentMovesTheBlockOfLines)
{
    // Two 16-pixel lines on 64 pixels, line spacing 0.
    const QList<TextRun> text =
        runs({run16(1, QStringLiteral("上上") + kCrLf), run16(2, QStringLiteral("下下"))});
    const auto top = layoutMultiLinePictures(text, {64, 64, 0, kAlignTop, 0});
    const auto middle = layoutMultiLinePictures(text, {64, 64, 0, kAlignMiddle, 0});
    const auto bottom = layoutMultiLinePictures(text, {64, 64, 0, kAlignBottom, 0});
    const auto bottomOffset = layoutMultiLinePictures(text, {64, 64, 0, kAlignBottom, -4});
    ASSERT_EQ(top.size(), 1);
    ASSERT_EQ(middle.size(), 1);
    ASSERT_EQ(bottom.size(), 1);
    ASSERT_EQ(bottomOffset.size(), 1);
    EXPECT_TRUE(QRect(0, 0, 64, 32).contains(litBounds(top[0])));
    EXPECT_TRUE(QRect(0, 32, 64, 32).contains(litBounds(bottom[0])));
    // The same lines, moved down as a block: the first line starts at y = 32.
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x)
            ASSERT_EQ(bottom[0].pixel(x, y + 32), top[0].pixel(x, y)) << x << "," << y;
    EXPECT_EQ(litBounds(middle[0]), litBounds(top[0]).translated(0, 16));
    EXPECT_EQ(litBounds(bottomOffset[0]), litBounds(bottom[0]).translated(0, -4));
}

TEST(MultiLineLayout, LinesWrapAndCarryOverToTheNextPicture)
{
    // Ten ideographs on 64 pixels wrap into 3 lines; 32 rows hold 2 of them.
    const QString text = QStringLiteral("一二三四五六七八九十");
    const auto pictures = layoutMultiLinePictures(runs({run16(1, text)}), {64, 32, 0, kAlignTop, 0});
    ASSERT_EQ(pictures.size(), 2);
    EXPECT_GT(litCount(pictures[0], QRect(0, 0, 64, 16)), 0);
    EXPECT_GT(litCount(pictures[0], QRect(0, 16, 64, 16)), 0);
    EXPECT_GT(litCount(pictures[1], QRect(0, 0, 32, 16)), 0);
    EXPECT_EQ(litCount(pictures[1], QRect(32, 0, 32, 32)), 0);
    EXPECT_EQ(litCount(pictures[1], QRect(0, 16, 64, 16)), 0);
}

TEST(MultiLineLayout, LineSpacingSeparatesLines)
{
    const QList<TextRun> text = runs({run16(1, QStringLiteral("一") + kCrLf), run16(2, QStringLiteral("一"))});
    const auto tight = layoutMultiLinePictures(text, {32, 64, 0, kAlignTop, 0});
    const auto spaced = layoutMultiLinePictures(text, {32, 64, 6, kAlignTop, 0});
    ASSERT_EQ(tight.size(), 1);
    ASSERT_EQ(spaced.size(), 1);
    EXPECT_EQ(litBounds(spaced[0], QRect(0, 16, 32, 48)), litBounds(tight[0], QRect(0, 16, 32, 48)).translated(0, 6));
    // With a spacing that leaves no room, the second line moves to a new picture.
    EXPECT_EQ(layoutMultiLinePictures(text, {32, 32, 1, kAlignTop, 0}).size(), 2);
}

TEST(MultiLineLayout, EachLineKeepsItsOwnAlignment)
{
    const auto pictures = layoutMultiLinePictures(
        runs({run16(1, QStringLiteral("左") + kCrLf, kAlignLeft), run16(2, QStringLiteral("右") + kCrLf, kAlignRight),
              run16(3, QStringLiteral("中"), kAlignCentre)}),
        {64, 48, 0, kAlignTop, 0});
    ASSERT_EQ(pictures.size(), 1);
    const int w = textWidth(QStringLiteral("中"));
    EXPECT_TRUE(QRect(0, 0, w, 16).contains(litBounds(pictures[0], QRect(0, 0, 64, 16))));
    EXPECT_TRUE(QRect(64 - w, 16, w, 16).contains(litBounds(pictures[0], QRect(0, 16, 64, 16))));
    EXPECT_TRUE(QRect((64 - w) / 2, 32, w, 16).contains(litBounds(pictures[0], QRect(0, 32, 64, 16))));
}

TEST(MultiLineLayout, CharacterTallerThanThePictureIsSkippedAlone)
{
    const auto pictures = layoutMultiLinePictures(
        runs({textRun(kRed, songTi(), 36, kAlignLeft, 1, QStringLiteral("大")), run16(1, QStringLiteral("小"))}),
        {32, 16, 0, kAlignTop, 0});
    ASSERT_EQ(pictures.size(), 1);
    const QRect lit = litBounds(pictures[0]);
    ASSERT_FALSE(lit.isNull());
    EXPECT_TRUE(QRect(0, 0, 16, 16).contains(lit));
}

TEST(HorizontalStrip, PictureCountIsTheTextWidthOverW)
{
    const QString text = QStringLiteral("一二三四五");
    const int width = textWidth(text);
    for (int direction : {kRightToLeft, kLeftToRight}) {
        const auto pictures = layoutHorizontalStrip(runs({run16(1, text)}), {32, 16, direction, 0});
        EXPECT_EQ(pictures.size(), (width + 31) / 32) << direction;
    }
    EXPECT_TRUE(layoutHorizontalStrip({}, {32, 16, kRightToLeft, 0}).isEmpty());
}

TEST(HorizontalStrip, DirectionsReadFromOppositeEnds)
{
    // Two runs, one character each, on exactly one picture's width.
    const QList<TextRun> text = runs({run16(1, QStringLiteral("中")), run16(1, QStringLiteral("一"), kAlignLeft, kYellow)});
    const int w = textWidth(QStringLiteral("中"));
    ASSERT_EQ(w, textWidth(QStringLiteral("一")));
    const auto rightToLeft = layoutHorizontalStrip(text, {2 * w, 16, kRightToLeft, 0});
    const auto leftToRight = layoutHorizontalStrip(text, {2 * w, 16, kLeftToRight, 0});
    ASSERT_EQ(rightToLeft.size(), 1);
    ASSERT_EQ(leftToRight.size(), 1);
    // Right to left: run 0 first. Left to right: run 0 at the strip's right end.
    EXPECT_EQ(rightToLeft[0].copy(0, 0, w, 16), leftToRight[0].copy(w, 0, w, 16));
    EXPECT_EQ(rightToLeft[0].copy(w, 0, w, 16), leftToRight[0].copy(0, 0, w, 16));
    EXPECT_EQ(litColours(rightToLeft[0].copy(0, 0, w, 16)), QList<QRgb>{0xFF0000u});
}

TEST(HorizontalStrip, LeftToRightReversesTheCharactersOfARun)
{
    const int w = textWidth(QStringLiteral("中"));
    const auto forward = layoutHorizontalStrip(runs({run16(1, QStringLiteral("中一"))}), {2 * w, 16, kRightToLeft, 0});
    const auto backward = layoutHorizontalStrip(runs({run16(1, QStringLiteral("中一"))}), {2 * w, 16, kLeftToRight, 0});
    ASSERT_EQ(forward.size(), 1);
    ASSERT_EQ(backward.size(), 1);
    EXPECT_EQ(forward[0].copy(0, 0, w, 16), backward[0].copy(w, 0, w, 16));
    EXPECT_NE(forward[0], backward[0]);
}

TEST(VerticalStrip, LinesStackDownOrUp)
{
    // "中一" on a 16-pixel width wraps into two lines; 32 rows show both.
    const int w = textWidth(QStringLiteral("中"));
    const QList<TextRun> text = runs({run16(1, QStringLiteral("中一"))});
    const auto down = layoutVerticalStrip(text, {w, 32, kBottomToTop});
    const auto up = layoutVerticalStrip(text, {w, 32, kTopToBottom});
    ASSERT_EQ(down.size(), 1);
    ASSERT_EQ(up.size(), 1);
    EXPECT_EQ(down[0].copy(0, 0, w, 16), up[0].copy(0, 16, w, 16));
    EXPECT_EQ(down[0].copy(0, 16, w, 16), up[0].copy(0, 0, w, 16));
    EXPECT_NE(down[0], up[0]);
}

TEST(VerticalStrip, PictureCountIsTheTotalHeightOverH)
{
    // Five lines of 16 rows on pictures of 32: three pictures.
    const int w = textWidth(QStringLiteral("中"));
    const auto pictures = layoutVerticalStrip(runs({run16(1, QStringLiteral("一二三四五"))}), {w, 32, kBottomToTop});
    ASSERT_EQ(pictures.size(), 3);
    EXPECT_GT(litCount(pictures[2], QRect(0, 0, w, 16)), 0);
    EXPECT_EQ(litCount(pictures[2], QRect(0, 16, w, 16)), 0);
    // Top to bottom takes its first picture from the bottom of the column:
    // the last picture holds the top line in its lower half.
    const auto upwards = layoutVerticalStrip(runs({run16(1, QStringLiteral("一二三四五"))}), {w, 32, kTopToBottom});
    ASSERT_EQ(upwards.size(), 3);
    EXPECT_EQ(litCount(upwards[2], QRect(0, 0, w, 16)), 0);
    EXPECT_GT(litCount(upwards[2], QRect(0, 16, w, 16)), 0);
}

TEST(AttributeTextLayout, CentredModeCentresVerticallyOnOnePicture)
{
    const auto pictures = layoutAttributeText(parseShortRuns(QStringLiteral("clGreen^宋体^12^12:30")),
                                              {64, 32, kAttributeCentred, true});
    ASSERT_EQ(pictures.size(), 1);
    const QRect lit = litBounds(pictures[0]);
    ASSERT_FALSE(lit.isNull());
    EXPECT_TRUE(QRect(0, 8, 64, 16).contains(lit));
    EXPECT_EQ(litColours(pictures[0]), QList<QRgb>{0x008000u});
}

TEST(AttributeTextLayout, SinglePictureFlagStopsAtTheFirstPicture)
{
    const QList<ShortRun> text = parseShortRuns(QStringLiteral("clRed^宋体^12^一二三四五六"));
    EXPECT_EQ(layoutAttributeText(text, {32, 16, kAttributeOneLine, false}).size(), 3);
    EXPECT_EQ(layoutAttributeText(text, {32, 16, kAttributeOneLine, true}).size(), 1);
    EXPECT_EQ(layoutAttributeText({}, {32, 16, kAttributeLines, false}).size(), 1);
}

TEST(AttributeTextLayout, LinesModeWrapsWithBottomsAligned)
{
    // A 9-point character next to 12-point ones: bottoms meet on each line.
    const auto pictures = layoutAttributeText(
        parseShortRuns(QStringLiteral("clRed^宋体^12^一~*clRed^宋体^9^二~*clRed^宋体^12^三")), {32, 32, kAttributeLines, false});
    ASSERT_EQ(pictures.size(), 1);
    const int w12 = textWidth(QStringLiteral("一"));
    // Line 1: "一" (16 rows) and the small "二" whose cell ends at row 16.
    const QRect small = litBounds(pictures[0], QRect(w12, 0, 32 - w12, 16));
    ASSERT_FALSE(small.isNull());
    EXPECT_GE(small.top(), 16 - 12);
    // Line 2: "三" starts at x 0 below the first line.
    EXPECT_GT(litCount(pictures[0], QRect(0, 16, w12, 16)), 0);
}

TEST(AttributeTextLayout, OneLineRunsOnAcrossPictures)
{
    // A character cut at the right edge is drawn again at the start of the next picture.
    const QList<ShortRun> text = parseShortRuns(QStringLiteral("clRed^宋体^12^一二三"));
    const int w = textWidth(QStringLiteral("一二三"));
    const int width = w - 8; // the third character is cut in half
    const auto pictures = layoutAttributeText(text, {width, 16, kAttributeOneLine, false});
    ASSERT_EQ(pictures.size(), 2);
    EXPECT_GT(litCount(pictures[0], QRect(width - 8, 0, 8, 16)), 0);
    EXPECT_GT(litCount(pictures[1], QRect(0, 0, 8, 16)), 0);
    EXPECT_EQ(litCount(pictures[1], QRect(8, 0, width - 8, 16)), 0);
}

TEST(AttributeTextLayout, TallRegionTurnsOneLineModesIntoLines)
{
    // On 32 rows a 16-pixel text is laid out in lines, not across pictures.
    const QList<ShortRun> text = parseShortRuns(QStringLiteral("clRed^宋体^12^一二三"));
    const int w = textWidth(QStringLiteral("一二"));
    const auto pictures = layoutAttributeText(text, {w, 32, kAttributeOneLine, false});
    ASSERT_EQ(pictures.size(), 1);
    EXPECT_GT(litCount(pictures[0], QRect(0, 16, w, 16)), 0);
}

TEST(AttributeTextLayout, CharacterTallerThanTheRegionEndsTheLayout)
{
    const auto pictures = layoutAttributeText(
        parseShortRuns(QStringLiteral("clRed^宋体^12^一~*clRed^宋体^36^大~*clRed^宋体^12^二")), {64, 16, kAttributeLines, false});
    ASSERT_EQ(pictures.size(), 1);
    const int w = textWidth(QStringLiteral("一"));
    EXPECT_TRUE(QRect(0, 0, w, 16).contains(litBounds(pictures[0])));
}

TEST(LayoutChoice, ByKindDisplayModeAndStayTime)
{
    TFodder single = defaultMaterial(kSingleText);
    single.displayMode = kLeftToRight;
    single.remainTime = 0;
    EXPECT_EQ(chooseTextLayout(single).kind, TextLayoutKind::HorizontalStrip);
    EXPECT_EQ(chooseTextLayout(single).direction, kLeftToRight);
    single.remainTime = 5;
    EXPECT_EQ(chooseTextLayout(single).kind, TextLayoutKind::SingleLinePictures);
    single.remainTime = 0;
    single.displayMode = kBottomToTop;
    EXPECT_EQ(chooseTextLayout(single).kind, TextLayoutKind::SingleLinePictures);

    TFodder multi = defaultMaterial(kMultiText);
    multi.remainTime = 0;
    multi.displayMode = kTopToBottom;
    EXPECT_EQ(chooseTextLayout(multi).kind, TextLayoutKind::VerticalStrip);
    EXPECT_EQ(chooseTextLayout(multi, true).kind, TextLayoutKind::MultiLinePictures);
    multi.displayMode = kBottomToTop;
    EXPECT_EQ(chooseTextLayout(multi, true).kind, TextLayoutKind::VerticalStrip);
    multi.displayMode = kRightToLeft;
    EXPECT_EQ(chooseTextLayout(multi).kind, TextLayoutKind::MultiLinePictures);
}

TEST(TextMaterial, MovingSingleLineWithAStayTimeIsLaidOutInPictures)
{
    TFodder material = defaultMaterial(kSingleText);
    material.content = run16(1, QStringLiteral("一二三四五六七八"));
    material.displayMode = kRightToLeft;
    material.remainTime = 5;
    // Eight ideographs on 64 pixels: two pictures of the single-line layout
    // (the strip would give the same count, so check the centring too).
    const auto pictures = renderTextMaterial(material, 64, 32);
    ASSERT_EQ(pictures.size(), 2);
    EXPECT_TRUE(QRect(0, 8, 64, 16).contains(litBounds(pictures[0])));
    material.remainTime = 0;
    material.textParam3 = 10; // the strip takes the Y offset too
    const auto strip = renderTextMaterial(material, 64, 32);
    ASSERT_EQ(strip.size(), 2);
    EXPECT_TRUE(QRect(0, 18, 64, 16).contains(litBounds(strip[0])));
}
