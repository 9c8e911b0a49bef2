// The send conversion, the preview conversion and the canvas picture of each
// material kind: display data bytes and counts, image groups, animations,
// failures, and the status texts that go out.
#include "content/animationframes.h"
#include "content/bitplanes.h"
#include "content/canvasrendering.h"
#include "content/previewconversion.h"
#include "content/renderpicture.h"
#include "content/sendconversion.h"
#include "content/textlayout.h"
#include "language/language.h"
#include "model/imagefiles.h"
#include "model/materialkinds.h"
#include "renderhelpers.h"
#include "support/testsupport.h"

#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace ledsign;
using namespace ledsign::test;

namespace {

constexpr int kSingle = '8';
constexpr int kDual = '9';
constexpr int kTri = ':';

QString saveImage(const QTemporaryDir& dir, const QString& name, int w, int h, QColor colour)
{
    QImage image(w, h, QImage::Format_RGB888);
    image.fill(colour);
    const QString path = dir.filePath(name);
    image.save(path, "BMP");
    return path;
}

TFodder textMaterial(int kind, const QString& markup)
{
    TFodder m = defaultMaterial(kind);
    m.content = markup;
    return m;
}

TFodder imageGroup(const QStringList& paths)
{
    TFodder m = defaultMaterial(kImageGroup);
    for (const QString& path : paths)
        EXPECT_TRUE(addImageFile(m, path)) << path.toStdString();
    return m;
}

TFodder animation(const QString& path)
{
    TFodder m = defaultMaterial(kAnimation);
    m.content = path;
    return m;
}

} // namespace

TEST(SendConversion, TextPicturesBecomeDisplayDataAndCounts)
{
    TFodder material = textMaterial(
        kSingleText, textRun(QStringLiteral("clRed"), songTi(), 12, 0, 1, QStringLiteral("一\r\n")) + QStringLiteral("~*")
                         + textRun(QStringLiteral("clRed"), songTi(), 12, 0, 2, QStringLiteral("二")));
    QByteArray data;
    QStringList statuses;
    ASSERT_TRUE(sendConversion(material, 64, 32, QStringLiteral("Card1"), kTri, data,
                               [&statuses](const QString& s) { statuses << s; }));
    EXPECT_EQ(material.frameCount, 2);
    EXPECT_EQ(data.size(), 2 * 64 * 32 * 3 / 8);
    EXPECT_EQ(material.byteCount, data.size());
    EXPECT_EQ(material.partCount, 1); // 1536 bytes
    // Red text lights the red plane only: some red bytes below 0xFF, every
    // green and blue byte 0xFF.
    bool redLit = false;
    for (qsizetype i = 0; i < data.size(); i += 3) {
        redLit = redLit || uchar(data[i]) != 0xFF;
        ASSERT_EQ(uchar(data[i + 1]), 0xFF) << i;
        ASSERT_EQ(uchar(data[i + 2]), 0xFF) << i;
    }
    EXPECT_TRUE(redLit);
    ASSERT_EQ(statuses.size(), 1);
    EXPECT_EQ(statuses[0], QStringLiteral("[Card1]") + GetLgText(3, QStringLiteral("tip_transform_send_content")));
    // Blocks of 2048 bytes, the last one rounded up.
    ASSERT_TRUE(sendConversion(material, 128, 128, QStringLiteral("Card1"), kSingle, data)); // 2 x 2048 bytes
    EXPECT_EQ(material.partCount, 2);
    ASSERT_TRUE(sendConversion(material, 136, 128, QStringLiteral("Card1"), kSingle, data)); // 2 x 2176 bytes
    EXPECT_EQ(material.partCount, 3);
}

TEST(SendConversion, ImageGroupLoadsEveryFileInOrder)
{
    QTemporaryDir dir;
    const QString red = saveImage(dir, QStringLiteral("a.bmp"), 16, 8, Qt::red);
    const QString green = saveImage(dir, QStringLiteral("b.bmp"), 16, 8, Qt::green);
    const QString blue = saveImage(dir, QStringLiteral("c.bmp"), 16, 8, Qt::blue);
    TFodder material = imageGroup({red, green, blue});
    QByteArray data;
    ASSERT_TRUE(sendConversion(material, 16, 8, QStringLiteral("c"), kTri, data));
    EXPECT_EQ(material.frameCount, 3);
    ASSERT_EQ(data.size(), 3 * 16 * 8 * 3 / 8);
    const qsizetype per = 48;
    // Each picture lights exactly its own plane.
    EXPECT_EQ(data.mid(0, 3), QByteArray::fromHex("00FFFF"));
    EXPECT_EQ(data.mid(per, 3), QByteArray::fromHex("FF00FF"));
    EXPECT_EQ(data.mid(2 * per, 3), QByteArray::fromHex("FFFF00"));
}

TEST(SendConversion, SmallImageOnAWideRegionIsPaddedUnlit)
{
    QTemporaryDir dir;
    TFodder material = imageGroup({saveImage(dir, QStringLiteral("w.bmp"), 64, 32, Qt::white)});
    QByteArray data;
    ASSERT_TRUE(sendConversion(material, 128, 32, QStringLiteral("c"), kDual, data));
    ASSERT_EQ(data.size(), 1024);
    for (int row = 0; row < 32; ++row) {
        EXPECT_EQ(data.mid(row * 32, 16), QByteArray(16, char(0x00))) << row;
        EXPECT_EQ(data.mid(row * 32 + 16, 16), QByteArray(16, char(0xFF))) << row;
    }
}

TEST(SendConversion, TableWithAnUnreadableFileFailsAndSaysWhich)
{
    QTemporaryDir dir;
    const QString good = saveImage(dir, QStringLiteral("t__1.bmp"), 8, 8, Qt::red);
    const QString bad = dir.filePath(QStringLiteral("t__2.bmp"));
    ASSERT_TRUE(writeAll(bad, QByteArray("not an image")));
    TFodder material = defaultMaterial(kTable);
    material.fileList = {{1, 0, good}, {2, 0, bad}};
    QByteArray data("old");
    QString error;
    EXPECT_FALSE(sendConversion(material, 8, 8, QStringLiteral("c"), kSingle, data, {}, &error));
    EXPECT_TRUE(data.isEmpty());
    EXPECT_EQ(material.frameCount, 0);
    EXPECT_EQ(material.byteCount, 0);
    EXPECT_TRUE(error.contains(QStringLiteral("t__2.bmp"))) << error.toStdString();
}

TEST(SendConversion, AnimationFramesBecomePicturesInOrder)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("movie.gif"));
    ASSERT_TRUE(writeAll(path, animatedGif(8, 4, {Qt::red, Qt::green, Qt::blue})));
    TFodder material = animation(path);
    QByteArray data;
    QString error;
    ASSERT_TRUE(sendConversion(material, 8, 4, QStringLiteral("c"), kTri, data, {}, &error)) << error.toStdString();
    EXPECT_EQ(material.frameCount, 3);
    ASSERT_EQ(data.size(), 3 * 12);
    EXPECT_EQ(data.mid(0, 3), QByteArray::fromHex("00FFFF"));
    EXPECT_EQ(data.mid(12, 3), QByteArray::fromHex("FF00FF"));
    EXPECT_EQ(data.mid(24, 3), QByteArray::fromHex("FFFF00"));
}

TEST(SendConversion, AnimationWithoutAFileFails)
{
    QTemporaryDir dir;
    QByteArray data;
    QStringList statuses;
    const MessageSink sink = [&statuses](const QString& s) { statuses << s; };

    TFodder unnamed = animation(QString());
    EXPECT_FALSE(sendConversion(unnamed, 8, 4, QStringLiteral("c"), kSingle, data, sink));
    EXPECT_TRUE(statuses.isEmpty()); // refused before converting

    TFodder missing = animation(dir.filePath(QStringLiteral("none.gif")));
    EXPECT_FALSE(sendConversion(missing, 8, 4, QStringLiteral("c"), kSingle, data, sink));

    const QString empty = dir.filePath(QStringLiteral("empty.gif"));
    ASSERT_TRUE(writeAll(empty, QByteArray()));
    TFodder emptyFile = animation(empty);
    EXPECT_FALSE(sendConversion(emptyFile, 8, 4, QStringLiteral("c"), kSingle, data, sink));

    const QString noFrames = dir.filePath(QStringLiteral("noframes.gif"));
    ASSERT_TRUE(writeAll(noFrames, animatedGif(8, 4, {})));
    TFodder frameless = animation(noFrames);
    EXPECT_FALSE(sendConversion(frameless, 8, 4, QStringLiteral("c"), kSingle, data, sink));
    EXPECT_TRUE(data.isEmpty());
}

TEST(SendConversion, KindsTheCardDrawsGiveNoDisplayData)
{
    TFodder code = defaultMaterial(kInternalCodeText);
    QByteArray data("x");
    ASSERT_TRUE(sendConversion(code, 64, 16, QStringLiteral("c"), kSingle, data));
    EXPECT_EQ(code.content, QStringLiteral(" "));
    EXPECT_TRUE(data.isEmpty());
    EXPECT_EQ(code.frameCount, 0);
    TFodder clock = defaultMaterial(kDateTime);
    ASSERT_TRUE(sendConversion(clock, 64, 16, QStringLiteral("c"), kSingle, data));
    EXPECT_TRUE(data.isEmpty());
}

TEST(SendConversion, TextWithoutPicturesFails)
{
    TFodder strip = textMaterial(kSingleText, QString());
    strip.displayMode = 1;
    strip.remainTime = 0;
    QByteArray data;
    EXPECT_FALSE(sendConversion(strip, 64, 16, QStringLiteral("c"), kSingle, data));
    TFodder noRegion = textMaterial(kSingleText, textRun(QStringLiteral("clRed"), songTi(), 12, 0, 1, QStringLiteral("一")));
    EXPECT_FALSE(sendConversion(noRegion, 0, 16, QStringLiteral("c"), kSingle, data));
}

TEST(SendConversion, StatusTextsGoToTheSinkAndAFailureSaysWhy)
{
    QStringList statuses;
    const MessageSink collect = [&statuses](const QString& s) { statuses << s; };
    TFodder material = textMaterial(kMultiText, textRun(QStringLiteral("clGreen"), songTi(), 12, 0, 1, QStringLiteral("一")));
    QByteArray data;
    QString error;
    ASSERT_TRUE(sendConversion(material, 32, 16, QStringLiteral("Front"), kDual, data, collect, &error));
    EXPECT_EQ(data.size(), 32 * 16 * 2 / 8);
    EXPECT_TRUE(error.isEmpty());
    previewConversion(material, 32, 16, -1, {}, collect);
    ASSERT_EQ(statuses.size(), 2);
    EXPECT_TRUE(statuses[0].startsWith(QStringLiteral("[Front]")));
    EXPECT_EQ(statuses[1], GetLgText(3, QStringLiteral("tip_transform_preview_content")));

    TFodder broken = animation(QStringLiteral("/nonexistent/movie.gif"));
    EXPECT_FALSE(sendConversion(broken, 8, 8, QStringLiteral("Front"), kSingle, data, collect, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(PreviewConversion, ReturnsPicturesFileNamesOrOnePicture)
{
    QTemporaryDir dir;
    const QString a = saveImage(dir, QStringLiteral("a.bmp"), 8, 8, Qt::red);
    const QString b = saveImage(dir, QStringLiteral("b.bmp"), 8, 8, Qt::red);
    const PreviewPictures images = previewConversion(imageGroup({a, b}), 8, 8, -1);
    EXPECT_TRUE(images.ok);
    EXPECT_EQ(images.imageFiles, (QStringList{a, b}));
    EXPECT_EQ(images.pictureCount, 2);
    EXPECT_TRUE(images.pictures.isEmpty());

    QStringList lines;
    for (int i = 1; i <= 5; ++i)
        lines << textRun(QStringLiteral("clRed"), songTi(), 12, 0, i, QStringLiteral("一\r\n"));
    const TFodder text = textMaterial(kSingleText, lines.join(QStringLiteral("~*")));
    EXPECT_EQ(previewConversion(text, 32, 16, -1).pictureCount, 5);
    const PreviewPictures limited = previewConversion(text, 32, 16, 2);
    EXPECT_EQ(limited.pictureCount, 3);
    EXPECT_EQ(limited.pictures.size(), 3);

    const PreviewPictures clock = previewConversion(defaultMaterial(kDateTime), 64, 32, -1,
                                                    QStringLiteral("clRed^宋体^12^12:00"));
    EXPECT_EQ(clock.pictureCount, 1);
    ASSERT_EQ(clock.pictures.size(), 1);
    EXPECT_TRUE(QRect(0, 8, 64, 16).contains(litBounds(clock.pictures[0])));
}

TEST(PreviewConversion, InternalCodeIsDrawnFromItsOwnAttributes)
{
    TFodder code = defaultMaterial(kInternalCodeText);
    code.content = QStringLiteral("ABC");
    code.charColor = 3; // yellow
    code.sizeCode = 1;  // 16 x 16
    const PreviewPictures preview = previewConversion(code, 64, 16, -1);
    ASSERT_EQ(preview.pictures.size(), 1);
    EXPECT_EQ(litColours(preview.pictures[0]), QList<QRgb>{0xFFFF00u});
    EXPECT_TRUE(QRect(0, 0, 64, 16).contains(litBounds(preview.pictures[0])));
}

TEST(PreviewConversion, RotatedTextTurnsEachCharacterOrTheWholeRegion)
{
    TFodder code = defaultMaterial(kInternalCodeText);
    code.content = QStringLiteral("|||");
    code.sizeCode = 1; // 16 x 16
    const QImage upright = previewConversion(code, 64, 16, -1).pictures.value(0);
    const QRect bars = litBounds(upright);
    ASSERT_GT(bars.height(), bars.width() / 2) << "three upright bars";
    // The whole region: laid out on the region turned on its side, then
    // turned a quarter clockwise into it.
    code.rotateMode = 2;
    EXPECT_EQ(previewConversion(code, 16, 64, -1).pictures.value(0), upright.transformed(QTransform().rotate(90)));
    // Each character: three bars lying down, side by side in squares.
    code.rotateMode = 1;
    const QImage turned = previewConversion(code, 64, 16, -1).pictures.value(0);
    const QRect lying = litBounds(turned);
    EXPECT_LT(lying.height(), bars.height() / 2);
    EXPECT_GT(lying.width(), bars.width());
    EXPECT_EQ(litColours(turned), litColours(upright));
}

TEST(PreviewConversion, AnimationFramesOrFailure)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("m.gif"));
    ASSERT_TRUE(writeAll(path, animatedGif(4, 4, {Qt::red, Qt::green, Qt::red})));
    const PreviewPictures frames = previewConversion(animation(path), 8, 4, -1);
    ASSERT_TRUE(frames.ok);
    ASSERT_EQ(frames.pictures.size(), 3);
    EXPECT_EQ(frames.pictures[1].size(), QSize(8, 4));
    EXPECT_EQ(frames.pictures[1].pixelColor(0, 0), QColor(Qt::green));
    EXPECT_EQ(frames.pictures[1].pixelColor(7, 0), QColor(Qt::black)); // padded to the region
    EXPECT_FALSE(previewConversion(animation(QString()), 8, 4, -1).ok);
    EXPECT_FALSE(previewConversion(animation(dir.filePath(QStringLiteral("none.gif"))), 8, 4, -1).ok);
}

TEST(CanvasPicture, FirstPictureAtTheCanvasZoom)
{
    const TFodder text = textMaterial(
        kSingleText, textRun(QStringLiteral("clRed"), songTi(), 12, 0, 1, QStringLiteral("一\r\n")) + QStringLiteral("~*")
                         + textRun(QStringLiteral("clRed"), songTi(), 12, 0, 2, QStringLiteral("二")));
    // A panel of 128 x 64 canvas pixels at zoom 2.0 is a 64 x 32 region.
    const QImage picture = canvasPicture(text, 128, 64, 20);
    ASSERT_EQ(picture.size(), QSize(64, 32));
    EXPECT_EQ(picture, layoutSingleLinePictures(parseTextRuns(text.content), {64, 32, 0}).first());
    EXPECT_EQ(ledLengthOfCanvas(64, 5), 128);
    EXPECT_EQ(ledLengthOfCanvas(64, 0), 64);

    const QImage clock = canvasPicture(defaultMaterial(kCountDown), 64, 32, 10, QStringLiteral("clGreen^宋体^12^59"));
    ASSERT_EQ(clock.size(), QSize(64, 32));
    EXPECT_TRUE(QRect(0, 8, 64, 16).contains(litBounds(clock)));
    EXPECT_TRUE(canvasPicture(defaultMaterial(kQueue), 64, 32, 10).isNull());
}

TEST(CanvasPicture, ImagesAndAnimationsShowTheirFirstPicture)
{
    QTemporaryDir dir;
    const QString gif = dir.filePath(QStringLiteral("m.gif"));
    ASSERT_TRUE(writeAll(gif, animatedGif(4, 4, {Qt::blue, Qt::red})));
    EXPECT_EQ(firstAnimationFrame(gif).pixelColor(0, 0), QColor(Qt::blue));
    EXPECT_EQ(firstAnimationFrame(gif).format(), kPictureFormat);
    EXPECT_TRUE(firstAnimationFrame(dir.filePath(QStringLiteral("none.gif"))).isNull());
    const QImage movie = canvasPicture(animation(gif), 8, 8, 10);
    ASSERT_EQ(movie.size(), QSize(8, 8));
    EXPECT_EQ(movie.pixelColor(3, 3), QColor(Qt::blue));
    EXPECT_EQ(movie.pixelColor(5, 5), QColor(Qt::black));

    const QImage group = canvasPicture(imageGroup({saveImage(dir, QStringLiteral("g.bmp"), 16, 16, Qt::green)}), 8, 8, 10);
    ASSERT_EQ(group.size(), QSize(8, 8));
    EXPECT_EQ(group.pixelColor(7, 7), QColor(Qt::green));
}

