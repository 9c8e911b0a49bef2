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
