// The internal-code text and the small rules of the rich-text editor.
#include "content/texteditrules.h"

#include "model/codec.h"

#include <gtest/gtest.h>

using namespace ledsign;

TEST(InternalCodeText, CutAt1024BytesNeverSplitsACharacter)
{
    const QString ascii(1030, QLatin1Char('a'));
    EXPECT_EQ(internalCodeContent({ascii}), QString(1024, QLatin1Char('a')));

    // 1023 ASCII bytes, then a Chinese character whose first byte is byte 1024.
    const QString straddle = QString(1023, QLatin1Char('b')) + QStringLiteral("中文");
    const QString cut = internalCodeContent({straddle});
    EXPECT_EQ(codec::byteLength(cut), 1023);
    EXPECT_EQ(cut, QString(1023, QLatin1Char('b')));

    // 1022 bytes and a character that ends exactly at 1024 stay whole.
    const QString fits = QString(1022, QLatin1Char('c')) + QStringLiteral("中x");
    EXPECT_EQ(internalCodeContent({fits}), QString(1022, QLatin1Char('c')) + QStringLiteral("中"));

    // Lines are joined without a separator.
    EXPECT_EQ(internalCodeContent({QStringLiteral("ab"), QString(), QStringLiteral("温度")}),
              QStringLiteral("ab温度"));
}

TEST(InternalCodeText, PasteJoinsLinesWithTwoSpaces)
{
    EXPECT_EQ(internalCodePasteText(QStringLiteral("a\tb\r\nc\nd\re")), QStringLiteral("a  b  c  d  e"));
    EXPECT_EQ(internalCodePasteText(QStringLiteral("\r\n\r\n")), QStringLiteral("    "));
}

TEST(TextEditorRules, SpaceAtWrappedLineStart)
{
    EXPECT_EQ(lineStartSpaceAction(false, QLatin1Char(' ')), LineStartSpace::Plain);
    EXPECT_EQ(lineStartSpaceAction(true, QLatin1Char(' ')), LineStartSpace::ReplaceThenSpace);
    EXPECT_EQ(lineStartSpaceAction(true, QChar(0x3000)), LineStartSpace::ReplaceThenSpace);
    // A letter or a Chinese character before the caret is never deleted.
    EXPECT_EQ(lineStartSpaceAction(true, QLatin1Char('x')), LineStartSpace::BreakThenSpace);
    EXPECT_EQ(lineStartSpaceAction(true, QChar(0x4E2D)), LineStartSpace::BreakThenSpace);
}

TEST(TextEditorRules, NumbersAndWidths)
{
    EXPECT_EQ(integerOrZero(QStringLiteral("-3")), -3);
    EXPECT_EQ(integerOrZero(QStringLiteral(" 7 ")), 7);
    EXPECT_EQ(integerOrZero(QStringLiteral("2.5")), 0);
    EXPECT_EQ(integerOrZero(QString()), 0);

    EXPECT_EQ(textAreaWidth(96), 116);
    EXPECT_EQ(textAreaWidth(-4), 20);
    EXPECT_EQ(textEditorWindowWidth(96), 641);
    EXPECT_EQ(textEditorWindowWidth(638), 651); // 638 + 3 reaches 641
    EXPECT_EQ(textEditorWindowWidth(637), 641);
}
