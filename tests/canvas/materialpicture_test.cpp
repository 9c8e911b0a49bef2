// The pictures of material panels and the selection marks.
#include "editing/canvaspicture.h"
#include "model/materialkinds.h"

#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ledsign;
using namespace ledsign::canvas;

namespace {

int litPixels(const QImage& image, QRgb colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) == colour ? 1 : 0;
    }
    return n;
}

} // namespace

TEST(MaterialPicture, PlaceholderIsBlackWithTheNameInRedAtTheTopLeft)
{
    const QImage image = placeholderPicture(QStringLiteral("single-text1"), QSize(128, 64));
    ASSERT_EQ(image.size(), QSize(128, 64));
    EXPECT_EQ(image.dotsPerMeterX(), kDotsPerMeter96);
    const int red = litPixels(image, qRgb(255, 0, 0));
    EXPECT_GT(red, 20);
    EXPECT_EQ(red + litPixels(image, qRgb(0, 0, 0)), 128 * 64); // nothing else
    // The name sits in the first text line (12 points = 16 pixels).
    EXPECT_EQ(litPixels(image.copy(0, 20, 128, 44), qRgb(255, 0, 0)), 0);
    EXPECT_EQ(placeholderPicture(QString(), QSize(0, 0)).size(), QSize(1, 1));
}

TEST(MaterialPicture, ImagesAndAnimationsKeepTheirSizeOthersAreStretched)
{
    EXPECT_TRUE(keepsNaturalSize(kImageGroup));
    EXPECT_TRUE(keepsNaturalSize(kTable));
    EXPECT_TRUE(keepsNaturalSize(kAnimation));
    EXPECT_FALSE(keepsNaturalSize(kSingleText));
    EXPECT_FALSE(keepsNaturalSize(kDateTime));

    QTemporaryDir dir;
    QImage source(40, 20, QImage::Format_RGB32);
    source.fill(qRgb(0, 255, 0));
    const QString png = dir.filePath(QStringLiteral("a.png"));
    ASSERT_TRUE(source.save(png));

    TFodder group = defaultMaterial(kImageGroup);
    group.name = QStringLiteral("img");
    group.fileList.append(TFileInfo{1, 0, png});
    MaterialPicture picture = naturalPicture(group, QSize(128, 64));
    EXPECT_FALSE(picture.stretched);
    EXPECT_EQ(picture.image.size(), QSize(40, 20));
    EXPECT_EQ(picture.image.pixel(3, 3), qRgb(0, 255, 0));

    TFodder movie = defaultMaterial(kAnimation);
    movie.content = png;
    EXPECT_EQ(naturalPicture(movie, QSize(8, 8)).image.size(), QSize(40, 20));

    // A file that does not load: the placeholder, stretched.
    movie.content = dir.filePath(QStringLiteral("missing.gif"));
    picture = naturalPicture(movie, QSize(32, 16));
    EXPECT_TRUE(picture.stretched);
    EXPECT_EQ(picture.image.size(), QSize(32, 16));

    TFodder text = defaultMaterial(kSingleText);
    text.fileList.append(TFileInfo{1, 0, png}); // not an image kind: ignored
    picture = naturalPicture(text, QSize(64, 32));
    EXPECT_TRUE(picture.stretched);
    EXPECT_EQ(picture.image.size(), QSize(64, 32));
}

TEST(MaterialPicture, SelectionMarksAreWhiteSquaresWithABlackOutline)
{
    QImage panel(41, 21, QImage::Format_RGB32);
    panel.fill(qRgb(0, 0, 255));
    {
        QPainter painter(&panel);
        drawSelectionMarks(painter, panel.size());
    }
    // Top-left square: outline at its edge, white inside.
    EXPECT_EQ(panel.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(panel.pixel(4, 4), qRgb(0, 0, 0));
    EXPECT_EQ(panel.pixel(2, 2), qRgb(255, 255, 255));
    EXPECT_EQ(panel.pixel(5, 5), qRgb(0, 0, 255));
    // Bottom-right square ends at the panel's last pixel.
    EXPECT_EQ(panel.pixel(38, 18), qRgb(255, 255, 255));
    EXPECT_EQ(panel.pixel(35, 15), qRgb(0, 0, 255));
    // Middle of the right edge: W - 5 .. W, H/2 - 3 .. H/2 + 2.
    EXPECT_EQ(panel.pixel(38, 8), qRgb(255, 255, 255));
    EXPECT_EQ(panel.pixel(20, 10), qRgb(0, 0, 255)); // the body is untouched
    EXPECT_EQ(litPixels(panel, qRgb(255, 255, 255)), 8 * 9);
}
