#include "content/cardtextcoder.h"
#include "content/textprogrammarkup.h"

#include "richtexthelpers.h"

#include <gtest/gtest.h>

using namespace ledsign;
using namespace ledsign::test;

namespace {

QString writeOf(QTextDocument& doc)
{
    QtRichTextDocument d(&doc);
    return writeTextProgramMarkup(d);
}

} // namespace

TEST(TextProgramWrite, RunsFollowColourFontAndSize)
{
    QTextDocument doc;
    type(doc, QStringLiteral(" \n AB"), look(kRed, "宋体", 12));
    type(doc, QStringLiteral("X"), look(kRed, "宋体", 12, true)); // style does not split
    type(doc, QStringLiteral("CD"), look(kGreen, "黑体", 24));
    type(doc, QStringLiteral("E"), look(QColor(9, 9, 9), "黑体", 24));
    type(doc, QStringLiteral("F \n"), look(kGreen, "黑体", 36));
    EXPECT_EQ(writeOf(doc), QStringLiteral("Red^宋体^12^ABX>Green^黑体^24^CDE>Green^黑体^36^F"));

    QTextDocument empty;
    EXPECT_EQ(writeOf(empty), QString());
}

TEST(TextProgramWrite, TypedSeparatorsAreReplaced)
{
    QTextDocument doc;
    type(doc, QStringLiteral("a,b>c^d\te\nf"), look(kWhite, "宋体", 10));
    EXPECT_EQ(writeOf(doc), QStringLiteral("White^宋体^10^a.b)c d e  f"));

    QTextDocument quoted;
    type(quoted, QStringLiteral("\"Hi\" all"), look(kRed, "宋体", 12));
    const QString markup = writeOf(quoted);
    EXPECT_EQ(cardTextCodes(markup, 6), QStringLiteral("#^6#^1#^1#^1#~\"Hi\" all"));
}

TEST(TextProgramLoad, LoadsRunsAndStopsAtAShortOne)
{
    QTextDocument doc;
    QtRichTextDocument d(&doc);
    MarkupLoadResult r = loadTextProgramMarkup(
        QStringLiteral("Green^黑体^24^A B,C>Pink^宋体^x^D>Red^宋体>Red^宋体^12^lost"), d);
    EXPECT_EQ(r.runsLoaded, 2);
    EXPECT_FALSE(r.complete);
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("A B，CD"));

    const QList<CharLook> looks = looksOf(doc);
    EXPECT_EQ(looks[0].attributes.color, kGreen);
    EXPECT_EQ(looks[0].attributes.pointSize, 24);
    // Unknown colour and size keep those of the text before.
    EXPECT_EQ(looks[5].text, QStringLiteral("D"));
    EXPECT_EQ(looks[5].attributes.color, kGreen);
    EXPECT_EQ(looks[5].attributes.pointSize, 24);
    EXPECT_EQ(looks[5].attributes.fontName, QStringLiteral("宋体"));

    r = loadTextProgramMarkup(QStringLiteral("Red^宋体^12^a\tb"), d);
    EXPECT_TRUE(r.complete);
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("a\tb"));
}

TEST(TextProgramMarkup, DocumentRoundTripKeepsColourFontAndSize)
{
    QTextDocument doc;
    type(doc, QStringLiteral("节目 one"), look(kRed, "宋体", 12));
    type(doc, QStringLiteral("two"), look(QColor(0, 0, 255), "楷体_GB2312", 48));
    type(doc, QStringLiteral("\"three\""), look(QColor(255, 255, 0), "华文行楷", 72));
    const QString markup = writeOf(doc);

    QTextDocument copy;
    QtRichTextDocument d(&copy);
    EXPECT_TRUE(loadTextProgramMarkup(markup, d).complete);
    EXPECT_EQ(copy.toPlainText(), doc.toPlainText());
    const QList<CharLook> a = looksOf(doc);
    const QList<CharLook> b = looksOf(copy);
    ASSERT_EQ(a.size(), b.size());
    for (qsizetype i = 0; i < a.size(); ++i) {
        EXPECT_EQ(b[i].attributes.color, a[i].attributes.color) << i;
        EXPECT_EQ(b[i].attributes.fontName, a[i].attributes.fontName) << i;
        EXPECT_EQ(b[i].attributes.pointSize, a[i].attributes.pointSize) << i;
    }
    EXPECT_EQ(writeOf(copy), markup);
}

TEST(CardTextCoder, ConvertsRunsToCodes)
{
    EXPECT_EQ(cardTextCodes(QStringLiteral("Red^宋体^12^AB>Green^黑体^24^CD"), 2),
              QStringLiteral("#^2#^1#^1#^1#~AB;#^2#^2#^3#^3#~CD"));
    EXPECT_EQ(cardTextCodes(QStringLiteral("White^华文行楷^72^a b>Aqua^行书^23^c"), 5),
              QStringLiteral("#^5#^7#^5#^7#~a b;#^5#^6#^1#^1#~c"));
    // A colour outside the table (names compare case-sensitively) gets no
    // colour code: attribute, font and size codes follow each other at once.
    EXPECT_EQ(cardTextCodes(QStringLiteral("red^宋体^9^x"), 1), QStringLiteral("#^1#^1#^0#~x"));
    EXPECT_EQ(cardTextCodes(QStringLiteral("Red^黑体^18^a>Orange^隶书^60^b"), 3),
              QStringLiteral("#^3#^1#^3#^2#~a;#^3#^4#^6#~b"));
    EXPECT_EQ(cardTextCodes(QString(), 1), QString());
}

TEST(CardTextCoder, MalformedRunEmptiesTheResult)
{
    EXPECT_EQ(cardTextCodes(QStringLiteral("Red^宋体^12^AB>Green^黑体^24"), 2), QString());
    EXPECT_EQ(cardTextCodes(QStringLiteral("Red^宋体^12^AB>"), 2), QString());
    EXPECT_EQ(cardTextCodes(QStringLiteral("Red^宋体^12^AB>>Red^宋体^12^C"), 2), QString());
    EXPECT_EQ(cardTextCodes(QStringLiteral("Red^宋体^12^\"open"), 2), QStringLiteral("#^2#^1#^1#^1#~open"));
}
