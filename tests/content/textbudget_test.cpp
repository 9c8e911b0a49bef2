// Huge texts cost bounded memory: a text material beyond the size a
// material takes is refused before any layout, and a scrolling text whose
// pictures would pass the budget is refused instead of being built.
#include "content/previewconversion.h"
#include "content/sendconversion.h"
#include "content/textbudget.h"
#include "content/textlayout.h"
#include "language/language.h"
#include "model/codec.h"
#include "model/materialkinds.h"

#include <QElapsedTimer>
#include <climits>
#include <limits>
#include <gtest/gtest.h>

using namespace ledsign;

namespace {

// One run of red 12-point text in the styled markup the editors store.
QString styled(const QString& text)
{
    return QStringLiteral("clRed^宋体^12^0^0^0^0^2^1^") + text + QStringLiteral("~*");
}

TFodder textMaterial(const QString& content)
{
    TFodder m = defaultMaterial(kSingleText);
    m.name = QStringLiteral("notice");
    m.content = content;
    return m;
}

TEST(TextBudget, TenMegabytesOfTextAreRefusedBeforeTheLayout)
{
    setCurrentLanguage(kEnglish);
    TFodder m = textMaterial(QStringLiteral("营业时间 ").repeated(1200000));
    ASSERT_GT(codec::byteLength(m.content), 10 * 1000 * 1000);
    QByteArray data;
    QString error;
    EXPECT_FALSE(sendConversion(m, 128, 32, QStringLiteral("hall"), '8', data, {}, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("notice"))) << error.toStdString();
    EXPECT_TRUE(error.contains(QString::number(kMaxTextContentBytes))) << error.toStdString();
    EXPECT_TRUE(data.isEmpty());
    EXPECT_TRUE(renderTextMaterial(m, 128, 32).isEmpty());
    const PreviewPictures preview = previewConversion(m, 128, 32, -1);
    EXPECT_FALSE(preview.ok);
    EXPECT_EQ(preview.error, error);

    // Just inside the limit the text is taken (the card shows its first
    // 2048 pictures, as always).
    const TFodder fits = textMaterial(QStringLiteral("a").repeated(kMaxTextContentBytes));
    EXPECT_TRUE(textContentRefusal(fits).isEmpty());
    EXPECT_FALSE(textContentRefusal(textMaterial(QStringLiteral("a").repeated(kMaxTextContentBytes + 1))).isEmpty());
    EXPECT_FALSE(textContentRefusal(textMaterial(QStringLiteral("营").repeated(kMaxTextContentBytes / 2 + 1))).isEmpty())
        << "a Chinese character counts two bytes";
}

TEST(TextBudget, AScrollingTextBeyondThePictureBudgetIsRefused)
{
    setCurrentLanguage(kEnglish);
    // Non-stop right to left: one long strip cut into region-sized pictures.
    TFodder m = textMaterial(styled(QStringLiteral("列车即将进站，请注意安全。").repeated(400)));
    m.remainTime = 0;
    m.displayMode = kRightToLeft;
    ASSERT_EQ(chooseTextLayout(m).kind, TextLayoutKind::HorizontalStrip);
    const int budget = pictureBudget(1024, 512);
    ASSERT_EQ(budget, 32);
    EXPECT_LE(renderTextMaterial(m, 1024, 512).size(), budget);
    QByteArray data;
    QString error;
    EXPECT_FALSE(sendConversion(m, 1024, 512, QStringLiteral("hall"), '8', data, {}, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("notice"))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("1024 x 512"))) << error.toStdString();

    // The same text on a small region fits the budget and is sent whole.
    ASSERT_TRUE(sendConversion(m, 64, 16, QStringLiteral("hall"), '8', data, {}, &error))
        << error.toStdString();
    EXPECT_GT(m.frameCount, budget);
    EXPECT_LT(m.frameCount, pictureBudget(64, 16));
}

} // namespace

// Image groups and tables are held to the same pixel budget, before a
// picture is read: the group names a file that is no picture, so any work
// on it would end in another message.
TEST(PictureBudget, ImageGroupsOverThePixelBudgetAreRefusedBeforeAnyWork)
{
    const struct {
        int width, height;
        qint64 pictures;
        bool fits;
    } cases[] = {
        {4096, 4096, 1, true},   {4096, 4096, 2, false},          {16384, 16384, 1, false},
        {1, 1, qint64(16) << 20, true}, {2, 1, (qint64(8) << 20) + 1, false},
        {0, 100, 5, true}, // no size: refused elsewhere, by name
        {INT_MAX, INT_MAX, std::numeric_limits<qint64>::max(), false},
    };
    TFodder group = defaultMaterial(kImageGroup);
    group.name = QStringLiteral("huge");
    for (const auto& c : cases)
        EXPECT_EQ(pictureRefusal(group, c.width, c.height, c.pictures).isEmpty(), c.fits)
            << c.width << " x " << c.height << " x " << c.pictures;

    TFileInfo file;
    file.path = QStringLiteral("/nonexistent/not-a-picture.bmp");
    group.fileList = {file};
    group.regionName = QStringLiteral("wall");
    QByteArray data;
    QString error;
    EXPECT_FALSE(sendConversion(group, 16384, 16384, QStringLiteral("card"), 2, data, {}, &error));
    EXPECT_EQ(error, messageText(QStringLiteral("warn_pictures_too_large"))
                         .arg(QStringLiteral("huge"))
                         .arg(1)
                         .arg(16384)
                         .arg(16384)
                         .arg(qint64(16384) * 16384)
                         .arg(kMaxMaterialPixels));
    EXPECT_TRUE(data.isEmpty());
    EXPECT_FALSE(previewConversion(group, 16384, 16384, -1).ok);
    // A region without size is named with its material.
    EXPECT_FALSE(sendConversion(group, 0, 32, QStringLiteral("card"), 2, data, {}, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("huge")) && error.contains(QStringLiteral("wall"))) << error.toStdString();
}
