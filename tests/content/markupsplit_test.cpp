#include "content/markupsplit.h"

#include <gtest/gtest.h>

using namespace ledsign;

namespace {
QStringList list(std::initializer_list<const char*> items)
{
    QStringList l;
    for (const char* i : items)
        l << QString::fromUtf8(i);
    return l;
}
} // namespace

TEST(MarkupSplit, DoubledDelimiterDiffersBetweenTheSplits)
{
    EXPECT_EQ(separatorSplit(QStringLiteral("a^^b"), QStringLiteral("^")), list({"a", "b"}));
    EXPECT_EQ(delimitedSplit(QStringLiteral("a^^b"), QLatin1Char('^')), list({"a", "", "b"}));
}

TEST(MarkupSplit, SeparatorSplitDropsEmptyPieces)
{
    EXPECT_EQ(separatorSplit(QStringLiteral("~*a~*~*b~*"), QStringLiteral("~*")), list({"a", "b"}));
    EXPECT_EQ(separatorSplit(QStringLiteral("ab~~*c"), QStringLiteral("~*")), list({"ab~", "c"}));
    EXPECT_EQ(separatorSplit(QStringLiteral("a b\tc"), QStringLiteral("~*")), list({"a b\tc"}));
    EXPECT_TRUE(separatorSplit(QString(), QStringLiteral("~*")).isEmpty());
    EXPECT_TRUE(separatorSplit(QStringLiteral("~*~*"), QStringLiteral("~*")).isEmpty());
    EXPECT_EQ(separatorSplit(QStringLiteral("ab"), QString()), list({"ab"}));
}

TEST(MarkupSplit, DelimitedSplitEndsItemsAtBlanksAndKeepsEmptyItems)
{
    EXPECT_EQ(delimitedSplit(QStringLiteral("a b"), QLatin1Char('^')), list({"a", "b"}));
    EXPECT_EQ(delimitedSplit(QStringLiteral("  a ^ b\r\n"), QLatin1Char('^')), list({"a", "b"}));
    EXPECT_EQ(delimitedSplit(QStringLiteral("a^"), QLatin1Char('^')), list({"a", ""}));
    EXPECT_EQ(delimitedSplit(QStringLiteral("^a"), QLatin1Char('^')), list({"", "a"}));
    EXPECT_EQ(delimitedSplit(QStringLiteral("^"), QLatin1Char('^')), list({"", ""}));
    EXPECT_TRUE(delimitedSplit(QString(), QLatin1Char('^')).isEmpty());
    EXPECT_TRUE(delimitedSplit(QStringLiteral(" \t "), QLatin1Char('^')).isEmpty());
    EXPECT_EQ(delimitedSplit(QStringLiteral("a\x01" "b"), QLatin1Char('^')), list({"a", "b"}));
    EXPECT_EQ(delimitedSplit(QString::fromUtf8("甲^乙"), QLatin1Char('^')), list({"甲", "乙"}));
}

TEST(MarkupSplit, DelimitedSplitHonoursQuotes)
{
    EXPECT_EQ(delimitedSplit(QStringLiteral("\"a^b c\"^d"), QLatin1Char('^')), list({"a^b c", "d"}));
    EXPECT_EQ(delimitedSplit(QStringLiteral("\"say \"\"hi\"\"\""), QLatin1Char('^')),
              list({"say \"hi\""}));
    EXPECT_EQ(delimitedSplit(QStringLiteral("\"ab\"cd^e"), QLatin1Char('^')), list({"ab", "cd", "e"}));
    // An unterminated quote keeps everything to the end.
    EXPECT_EQ(delimitedSplit(QStringLiteral("x^\"open^end"), QLatin1Char('^')), list({"x", "open^end"}));
    EXPECT_EQ(delimitedSplit(QStringLiteral("a\"b^c"), QLatin1Char('^')), list({"a\"b", "c"}));

    const QString tricky = QStringLiteral("\"q\" ^ x\t\"\"");
    EXPECT_EQ(delimitedSplit(QStringLiteral("a^") + quoteForDelimitedSplit(tricky), QLatin1Char('^')),
              (QStringList{QStringLiteral("a"), tricky}));
}

TEST(MarkupSplit, NumberFieldsReadStrictly)
{
    bool ok = false;
    EXPECT_EQ(markupInt(QStringLiteral("12"), 10, &ok), 12);
    EXPECT_TRUE(ok);
    EXPECT_EQ(markupInt(QStringLiteral("-3"), 10), -3);
    EXPECT_EQ(markupInt(QStringLiteral("+4"), 10), 4);
    EXPECT_EQ(markupInt(QStringLiteral("  5"), 10), 5);
    EXPECT_EQ(markupInt(QStringLiteral("-2147483648"), 10), -2147483647 - 1);
    for (const char* bad : {"", "5 ", "abc", "1.5", "-", "2147483648", "99999999999999999999", "12x"}) {
        EXPECT_EQ(markupInt(QString::fromLatin1(bad), 10, &ok), 10) << bad;
        EXPECT_FALSE(ok) << bad;
    }
}
