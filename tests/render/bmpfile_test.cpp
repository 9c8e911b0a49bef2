// The direct reader of uncompressed 24-bit BMP files: the pixels Qt's reader
// gives, for every row padding and both row orders; any other BMP is left to
// Qt's readers, and a damaged file is refused with its name.
#include "content/bmpfile.h"
#include "content/imagegroup.h"
#include "content/renderpicture.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

using namespace ledsign;

namespace {

void put32(QByteArray& b, int at, quint32 v) { qToLittleEndian(v, b.data() + at); }
void put16(QByteArray& b, int at, quint16 v) { qToLittleEndian(v, b.data() + at); }

// A BMP written field by field: rows of blue, green, red padded to 4 bytes,
// the bottom row first unless `topDown`. Pixel (x, y) is (x*40, y*60, x^y);
// other depths have rows of zeros.
QByteArray bmp(int width, int height, bool topDown, int bitCount = 24, int compression = 0)
{
    const int stride = (width * bitCount + 31) / 32 * 4;
    QByteArray b(54 + stride * height, '\0');
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, quint32(b.size()));
    put32(b, 10, 54);
    put32(b, 14, 40);
    put32(b, 18, quint32(width));
    put32(b, 22, quint32(topDown ? -height : height));
    put16(b, 26, 1);
    put16(b, 28, quint16(bitCount));
    put32(b, 30, quint32(compression));
    for (int y = 0; y < height && bitCount == 24; ++y) {
        char* row = b.data() + 54 + stride * (topDown ? y : height - 1 - y);
        for (int x = 0; x < width; ++x) {
            row[3 * x] = char(x ^ y);
            row[3 * x + 1] = char(y * 60);
            row[3 * x + 2] = char(x * 40);
        }
    }
    return b;
}

QImage qtRead(QByteArray bytes)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return toPicture(QImageReader(&buffer, "bmp").read());
}

} // namespace

TEST(PlainBmp, GivesThePixelsQtReads)
{
    for (int width : {1, 2, 3, 5, 128}) {
        for (bool topDown : {false, true}) {
            const QByteArray bytes = bmp(width, 3, topDown);
            const QImage picture = readPlainBmp(bytes);
            ASSERT_FALSE(picture.isNull()) << width << " " << topDown;
            EXPECT_EQ(picture.format(), kPictureFormat);
            EXPECT_EQ(picture.pixel(width - 1, 2), qRgb((width - 1) * 40 & 0xFF, 120, (width - 1) ^ 2));
            EXPECT_EQ(picture, qtRead(bytes)) << width << " " << topDown;
        }
    }
    // A file Qt wrote itself.
    QImage noisy(37, 11, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < noisy.height(); ++y)
        for (int x = 0; x < noisy.width(); ++x)
            noisy.setPixel(x, y, random.generate() | 0xFF000000u);
    QByteArray written;
    QBuffer out(&written);
    out.open(QIODevice::WriteOnly);
    ASSERT_TRUE(noisy.save(&out, "BMP"));
    const QImage picture = readPlainBmp(written);
    if (!picture.isNull()) { // Qt may write another bit depth; then its own reader takes it
        EXPECT_EQ(picture, toPicture(noisy));
    }
}

TEST(PlainBmp, OtherKindsAndDamagedFilesAreLeftToQt)
{
    QByteArray truncated = bmp(8, 4, false);
    truncated.chop(1);
    QByteArray notBmp = bmp(8, 4, false);
    notBmp[0] = 'X';
    QByteArray zeroWidth = bmp(8, 4, false);
    put32(zeroWidth, 18, 0);
    QByteArray hugeHeight = bmp(8, 4, false);
    put32(hugeHeight, 22, 0x7FFFFFFF);
    QByteArray cutEightBit = bmp(8, 4, false, 8);
    cutEightBit.chop(10);
    struct Case {
        QByteArray bytes;
        bool damaged;
    };
    const Case cases[] = {{bmp(8, 4, false, 32), false}, {bmp(8, 4, false, 24, 1), false}, {notBmp, false},
                          {zeroWidth, false},           {QByteArray("BM"), false},         {QByteArray(), false},
                          {truncated, true},            {hugeHeight, true},                {cutEightBit, true}};
    for (const Case& c : cases) {
        QString damage;
        EXPECT_TRUE(readPlainBmp(c.bytes, &damage).isNull()) << c.bytes.size();
        EXPECT_EQ(!damage.isEmpty(), c.damaged) << c.bytes.size() << " " << damage.toStdString();
    }

    // Through the picture loader a cut file is an error that names it (Qt's
    // own reader gives such a file rows of whatever memory held).
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cut.bmp"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bmp(8, 4, false).left(60));
    file.close();
    QString error;
    EXPECT_TRUE(loadPictureFile(path, &error).isNull());
    EXPECT_TRUE(error.contains(path)) << error.toStdString();
    EXPECT_TRUE(loadPictureFile(dir.filePath(QStringLiteral("none.bmp")), &error).isNull());
    EXPECT_TRUE(error.contains(QStringLiteral("none.bmp")));
}
