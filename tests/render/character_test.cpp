// The character primitive: sizes at 96 dpi, the cell of a character, glyphs
// that stay inside their cell, exact colours without antialiasing, and every
// colour drawn at the pen x.
#include "content/rendercharacter.h"
#include "content/renderpicture.h"
#include "renderhelpers.h"

#include <QPainter>

#include <gtest/gtest.h>

using namespace ledsign;
using namespace ledsign::test;

namespace {

RunLook look(const QString& font, int pointSize, QColor colour)
{
    RunLook l;
    l.fontName = font;
    l.pointSize = pointSize;
    l.color = colour;
    return l;
}

// The character drawn with its cell at (cell width, cell height) on a
// picture three cells wide and high.
QImage drawnInMiddle(CharacterPainter& painter, int id, const QString& ch, CharCell* cellOut = nullptr)
{
    const CharCell cell = painter.measure(id, ch);
    QImage image = newPicture(cell.advance * 3, cell.height * 3);
    {
        QPainter p(&image);
        painter.draw(p, id, cell.advance, cell.height, ch);
    }
    if (cellOut)
        *cellOut = cell;
    return image;
}

} // namespace

TEST(Character, PointSizesGiveTheCardsPixelSizes)
{
    EXPECT_EQ(pixelSizeOfPoints(9), 12);
    EXPECT_EQ(pixelSizeOfPoints(12), 16);
    EXPECT_EQ(pixelSizeOfPoints(23), 31);
    EXPECT_EQ(pixelSizeOfPoints(72), 96);
    EXPECT_EQ(pixelSizeOfPoints(-5), 1);
    EXPECT_EQ(pixelSizeOfPoints(100000), 2048);
}

TEST(Character, MeasuredHeightsOf33And97CountOneLess)
{
    EXPECT_EQ(cellHeightOf(33), 32);
    EXPECT_EQ(cellHeightOf(97), 96);
    EXPECT_EQ(cellHeightOf(32), 32);
    EXPECT_EQ(cellHeightOf(34), 34);
    // 25 points measure 33 pixels and lay out as 32.
    CharacterPainter painter;
    EXPECT_EQ(painter.measure(painter.addLook(look(songTi(), 25, Qt::red)), QStringLiteral("中")).height, 32);
}

// The cell is the em height of the pixel size for every card font, and the
// glyph stays inside it.
TEST(Character, IdeographStaysInsideItsCell)
{
    CharacterPainter painter;
    for (const char* font : {"宋体", "黑体", "楷体_GB2312", "隶书"}) {
        for (int pt : {9, 12, 18, 23, 36, 72}) {
            for (const char* ch : {"中", "国"}) {
                const int id = painter.addLook(look(QString::fromUtf8(font), pt, Qt::red));
                CharCell cell;
                const QImage image = drawnInMiddle(painter, id, QString::fromUtf8(ch), &cell);
                const QRect lit = litBounds(image);
                EXPECT_EQ(cell.height, pixelSizeOfPoints(pt)) << font << " " << pt;
                const QRect cellRect(cell.advance, cell.height, cell.advance, cell.height);
                ASSERT_FALSE(lit.isNull()) << font << " " << pt << " " << ch;
                EXPECT_TRUE(cellRect.contains(lit)) << font << " " << pt << " " << ch << ": lit " << lit.x() << ","
                                                    << lit.y() << " " << lit.width() << "x" << lit.height();
                // A glyph fills most of its cell, so it is not drawn shrunk or shifted away.
                EXPECT_GE(lit.height(), cell.height * 7 / 10) << font << " " << pt << " " << ch;
            }
        }
    }
}

TEST(Character, LitPixelsHaveExactlyTheRunColour)
{
    CharacterPainter painter;
    for (const QColor& colour : {QColor(255, 0, 0), QColor(0, 128, 0), QColor(255, 255, 0), QColor(128, 0, 128),
                                 QColor(0, 255, 255), QColor(255, 255, 255)}) {
        const int id = painter.addLook(look(songTi(), 24, colour));
        const QImage image = drawnInMiddle(painter, id, QStringLiteral("永"));
        EXPECT_EQ(litColours(image), QList<QRgb>{colour.rgb() & 0x00FFFFFFu}) << colour.name().toStdString();
    }
}

TEST(Character, EveryColourIsDrawnAtThePenX)
{
    // Red and yellow text of 24 points light the same pixels.
    CharacterPainter painter;
    const int red = painter.addLook(look(songTi(), 24, QColor(255, 0, 0)));
    const int yellow = painter.addLook(look(songTi(), 24, QColor(255, 255, 0)));
    const QImage r = drawnInMiddle(painter, red, QStringLiteral("中"));
    const QImage y = drawnInMiddle(painter, yellow, QStringLiteral("中"));
    ASSERT_FALSE(litBounds(r).isNull());
    EXPECT_EQ(litBounds(r), litBounds(y));
    EXPECT_EQ(litCount(r), litCount(y));
}

TEST(Character, SurrogatePairsStayOneCharacter)
{
    const QString text = QStringLiteral("a") + QString::fromUcs4(U"\U00020000") + QStringLiteral("b");
    const QStringList characters = charactersOf(text);
    ASSERT_EQ(characters.size(), 3);
    EXPECT_EQ(characters.at(1).size(), 2);
    EXPECT_EQ(charactersOf(QStringLiteral("\r\n")), (QStringList{QStringLiteral("\r"), QStringLiteral("\n")}));
}


// Kept glyphs are put into 24-bit pictures directly; every other image is
// drawn with a painter. Both must light the same pixels in the same colour:
// every style, sizes from small to large, Latin, Chinese and a character the
// card font lacks, cells partly outside the picture, and a clip.
TEST(Character, KeptGlyphsLightThePixelsAPainterDraws)
{
    struct Case {
        const char* font;
        int pointSize;
        bool bold, italic, underline, strikeOut;
    };
    const Case cases[] = {
        {"宋体", 9, false, false, false, false},  {"宋体", 12, true, false, false, false},
        {"黑体", 24, false, true, false, false},  {"楷体_GB2312", 18, false, false, true, false},
        {"Arial", 12, false, false, false, true}, {"宋体", 72, true, true, true, true},
    };
    const QString text = QStringLiteral("中A永g,W") + QString::fromUcs4(U"\U0001F600");
    for (const Case& c : cases) {
        RunLook l = look(QString::fromUtf8(c.font), c.pointSize, QColor(255, 255, 0));
        l.bold = c.bold;
        l.italic = c.italic;
        l.underline = c.underline;
        l.strikeOut = c.strikeOut;
        CharacterPainter painter;
        const int id = painter.addLook(l);
        QList<PlacedText> placed;
        int x = -painter.measure(id, QStringLiteral("中")).advance / 2; // the first cell starts outside
        for (const QString& ch : charactersOf(text)) {
            const CharCell cell = painter.measure(id, ch);
            placed.append({id, x, -cell.height / 3, cell, ch});
            x += cell.advance;
        }
        const int width = x * 2 / 3; // the last cells end outside
        const int height = pixelSizeOfPoints(c.pointSize);
        for (const QRect& clip : {QRect(), QRect(width / 4, 1, width / 2, height - 2)}) {
            QImage direct = newPicture(width, height);
            QImage painted(width, height, QImage::Format_RGB32);
            painted.fill(Qt::black);
            drawPlacedTexts(direct, painter, placed, 2, height / 3, clip);
            drawPlacedTexts(painted, painter, placed, 2, height / 3, clip);
            EXPECT_GT(litCount(direct), 0) << c.font << " " << c.pointSize;
            EXPECT_EQ(direct, toPicture(painted)) << c.font << " " << c.pointSize << " clip " << clip.width();
        }
    }
}
