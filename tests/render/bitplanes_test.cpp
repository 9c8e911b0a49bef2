// Thresholding pictures into the card's bit planes and fitting them to the
// region: thresholds, bit and byte order, groups running across rows, the
// unlit padding of small pictures, and the fast path against a plain
// pixel-by-pixel reading.
#include "content/bitplanes.h"
#include "content/picturefit.h"
#include "content/renderpicture.h"

#include <QPainter>
#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace ledsign;

namespace {

QImage filled(int w, int h, QColor colour)
{
    QImage image = newPicture(w, h);
    image.fill(colour);
    return image;
}

// Plain reading: one pixel at a time through pixel(), outside the picture unlit.
QByteArray referencePlanes(const QImage& picture, int w, int h, int planes)
{
    QByteArray out;
    unsigned acc[3] = {0, 0, 0};
    int n = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            unsigned bits[3] = {1, 1, 1};
            if (x < picture.width() && y < picture.height()) {
                const QRgb c = picture.pixel(x, y);
                bits[0] = qRed(c) <= 90;
                bits[1] = qGreen(c) <= 70;
                bits[2] = qBlue(c) <= 80;
            }
            for (int p = 0; p < 3; ++p)
                acc[p] = (acc[p] << 1) | bits[p];
            if (++n == 8) {
                for (int p = 0; p < planes; ++p)
                    out.append(char(acc[p] & 0xFF));
                acc[0] = acc[1] = acc[2] = 0;
                n = 0;
            }
        }
    }
    return out;
}

QImage noise(int w, int h, quint32 seed)
{
    QImage image = newPicture(w, h);
    QRandomGenerator random(seed);
    for (int y = 0; y < h; ++y) {
        uchar* row = image.scanLine(y);
        for (int x = 0; x < w * 3; ++x) {
            // Mostly near the thresholds, so that both sides are hit often.
            row[x] = uchar(random.bounded(2) ? 60 + random.bounded(40) : random.bounded(256));
        }
    }
    return image;
}

} // namespace

TEST(BitPlanes, BlockCountRoundsUp)
{
    EXPECT_EQ(displayBlockCount(0), 0);
    EXPECT_EQ(displayBlockCount(2048), 1);
    EXPECT_EQ(displayBlockCount(2049), 2);
}

TEST(BitPlanes, TenByOneGivesOneByteOfTheFirstEightPixels)
{
    QImage picture = newPicture(10, 1);
    picture.setPixelColor(1, 0, QColor(255, 0, 0));
    picture.setPixelColor(9, 0, QColor(255, 0, 0)); // in the dropped last group
    const QByteArray bytes = bitPlanes(picture, 10, 1, 1);
    ASSERT_EQ(bytes.size(), 1);
    EXPECT_EQ(uchar(bytes[0]), 0xBF); // pixel 1 lit: bit 6 is 0
    EXPECT_EQ(bitPlaneByteCount(10, 1, 1), 1);
}

TEST(BitPlanes, BlackIsAllUnlitInEveryDepth)
{
    for (int planes = 1; planes <= 3; ++planes) {
        const QByteArray bytes = bitPlanes(filled(16, 4, Qt::black), 16, 4, planes);
        ASSERT_EQ(bytes.size(), 16 * 4 / 8 * planes);
        EXPECT_EQ(bytes, QByteArray(bytes.size(), char(0xFF))) << planes << " planes";
    }
}

TEST(BitPlanes, YellowLightsRedAndGreenOnly)
{
    const QByteArray bytes = bitPlanes(filled(8, 1, QColor(255, 255, 0)), 8, 1, 3);
    ASSERT_EQ(bytes.size(), 3);
    EXPECT_EQ(uchar(bytes[0]), 0x00);
    EXPECT_EQ(uchar(bytes[1]), 0x00);
    EXPECT_EQ(uchar(bytes[2]), 0xFF);
}

TEST(BitPlanes, ThresholdsAreInclusiveAndPerComponent)
{
    // Pixels 0..5: red 90 / 91, green 70 / 71, blue 80 / 81.
    QImage picture = newPicture(8, 1);
    picture.setPixelColor(0, 0, QColor(90, 0, 0));
    picture.setPixelColor(1, 0, QColor(91, 0, 0));
    picture.setPixelColor(2, 0, QColor(0, 70, 0));
    picture.setPixelColor(3, 0, QColor(0, 71, 0));
    picture.setPixelColor(4, 0, QColor(0, 0, 80));
    picture.setPixelColor(5, 0, QColor(0, 0, 81));
    const QByteArray bytes = bitPlanes(picture, 8, 1, 3);
    ASSERT_EQ(bytes.size(), 3);
    EXPECT_EQ(uchar(bytes[0]), 0xBF); // only pixel 1 lit in red
    EXPECT_EQ(uchar(bytes[1]), 0xEF); // only pixel 3 lit in green
    EXPECT_EQ(uchar(bytes[2]), 0xFB); // only pixel 5 lit in blue
}

TEST(BitPlanes, PlaneBytesAreInterleavedPerGroup)
{
    // Group 0 red, group 1 green: red byte, green byte, red byte, green byte.
    QImage picture = newPicture(16, 1);
    QPainter(&picture).fillRect(0, 0, 8, 1, QColor(255, 0, 0));
    QPainter(&picture).fillRect(8, 0, 8, 1, QColor(0, 255, 0));
    const QByteArray bytes = bitPlanes(picture, 16, 1, 2);
    ASSERT_EQ(bytes.size(), 4);
    EXPECT_EQ(uchar(bytes[0]), 0x00);
    EXPECT_EQ(uchar(bytes[1]), 0xFF);
    EXPECT_EQ(uchar(bytes[2]), 0xFF);
    EXPECT_EQ(uchar(bytes[3]), 0x00);
}

TEST(BitPlanes, GroupsRunOnAcrossRowEnds)
{
    // 12 x 2: pixel (0, 1) is pixel 12 of the sequence, bit 3 of byte 1.
    QImage picture = newPicture(12, 2);
    picture.setPixelColor(0, 1, QColor(255, 0, 0));
    const QByteArray bytes = bitPlanes(picture, 12, 2, 1);
    ASSERT_EQ(bytes.size(), 3);
    EXPECT_EQ(uchar(bytes[0]), 0xFF);
    EXPECT_EQ(uchar(bytes[1]), 0xF7);
    EXPECT_EQ(uchar(bytes[2]), 0xFF);
}

TEST(BitPlanes, SmallPictureIsPaddedUnlitOnTheRightAndBelow)
{
    // A white 64 x 32 picture on a 128 x 32 dual-colour region.
    const QByteArray bytes = bitPlanes(filled(64, 32, Qt::white), 128, 32, 2);
    ASSERT_EQ(bytes.size(), 1024);
    for (int row = 0; row < 32; ++row) {
        const QByteArray line = bytes.mid(row * 32, 32); // 16 groups x 2 planes
        EXPECT_EQ(line.left(16), QByteArray(16, char(0x00))) << "row " << row;
        EXPECT_EQ(line.mid(16), QByteArray(16, char(0xFF))) << "row " << row;
    }
    // Below: a 8 x 2 white picture on 8 x 4.
    const QByteArray low = bitPlanes(filled(8, 2, Qt::white), 8, 4, 1);
    EXPECT_EQ(low, QByteArray::fromHex("0000FFFF"));
}

TEST(BitPlanes, LargePictureIsCutToTheRegion)
{
    QImage picture = newPicture(32, 8);
    QPainter(&picture).fillRect(16, 0, 16, 8, Qt::white); // outside the 16 x 4 region
    picture.setPixelColor(0, 7, Qt::white);               // below it
    EXPECT_EQ(bitPlanes(picture, 16, 4, 1), QByteArray(8, char(0xFF)));
}

TEST(BitPlanes, OtherImageFormatsReadTheSame)
{
    const QImage picture = noise(24, 5, 7);
    const QByteArray expected = bitPlanes(picture, 24, 5, 3);
    EXPECT_EQ(bitPlanes(picture.convertToFormat(QImage::Format_RGB32), 24, 5, 3), expected);
    EXPECT_EQ(bitPlanes(picture.convertToFormat(QImage::Format_ARGB32), 24, 5, 3), expected);
}

TEST(BitPlanes, FastPathMatchesPlainReading)
{
    struct Case {
        int pictureW, pictureH, regionW, regionH;
    };
    const Case cases[] = {
        {8, 1, 8, 1},      {16, 3, 16, 3},    {24, 2, 24, 2},   {128, 64, 128, 64}, {100, 7, 100, 7},
        {13, 5, 13, 5},    {40, 10, 64, 12},  {70, 9, 64, 8},   {64, 32, 128, 32},  {33, 4, 17, 6},
        {256, 3, 248, 3},  {5, 5, 9, 9},
    };
    quint32 seed = 1;
    for (const Case& c : cases) {
        const QImage picture = noise(c.pictureW, c.pictureH, seed++);
        for (int planes = 1; planes <= 3; ++planes) {
            EXPECT_EQ(bitPlanes(picture, c.regionW, c.regionH, planes),
                      referencePlanes(picture, c.regionW, c.regionH, planes))
                << c.pictureW << "x" << c.pictureH << " on " << c.regionW << "x" << c.regionH << ", " << planes
                << " planes";
        }
    }
}

TEST(PictureFit, KeepsTheTopLeftCornerAndPadsBlack)
{
    QImage picture = newPicture(4, 2);
    picture.fill(Qt::white);
    const QImage wider = fitPictureToRegion(picture, 6, 3);
    ASSERT_EQ(wider.size(), QSize(6, 3));
    EXPECT_EQ(wider.pixelColor(3, 1), QColor(Qt::white));
    EXPECT_EQ(wider.pixelColor(4, 1), QColor(Qt::black));
    EXPECT_EQ(wider.pixelColor(0, 2), QColor(Qt::black));
    const QImage cut = fitPictureToRegion(picture, 2, 1);
    ASSERT_EQ(cut.size(), QSize(2, 1));
    EXPECT_EQ(cut.pixelColor(1, 0), QColor(Qt::white));
    EXPECT_EQ(cut.format(), kPictureFormat);
}
