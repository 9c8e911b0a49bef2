#include "content/shortrunmarkup.h"

#include <gtest/gtest.h>

using namespace ledsign;

TEST(ShortRunParse, ReadsRunsWithTheDelimitedRule)
{
    const QList<ShortRun> runs = parseShortRuns(QStringLiteral(
        "clAqua^黑体^36^12:30 PM~*clRed^宋体^12~*clNone^^x^a*?b~*"));
    ASSERT_EQ(runs.size(), 2); // the run with three fields is skipped
    EXPECT_EQ(runs[0].color, QColor(0, 255, 255));
    EXPECT_EQ(runs[0].fontName, QStringLiteral("黑体"));
    EXPECT_EQ(runs[0].pointSize, 36);
    EXPECT_EQ(runs[0].text, QStringLiteral("12:30 PM"));
    EXPECT_EQ(runs[0].length, 8);
    // An empty field stays a field here, unlike in the text run markup.
    EXPECT_EQ(runs[1].color, QColor(0, 0, 0));
    EXPECT_EQ(runs[1].fontName, QString());
    EXPECT_EQ(runs[1].pointSize, 10);
    EXPECT_EQ(runs[1].text, QStringLiteral("a b"));

    EXPECT_TRUE(parseShortRuns(QString()).isEmpty());
    // A tab is not escaped and ends the text item.
    EXPECT_EQ(parseShortRuns(QStringLiteral("clRed^宋体^12^ab\tcd")).value(0).text, QStringLiteral("ab"));
}

TEST(ShortRunFormat, MaterialValuesBecomeOneRun)
{
    EXPECT_EQ(shortRunText(1, 1, 1, QStringLiteral("ABC")), QStringLiteral("clRed^宋体^12^ABC"));
    EXPECT_EQ(shortRunText(6, 3, 3, QStringLiteral("x")), QStringLiteral("clAqua^黑体^23^x"));
    EXPECT_EQ(shortRunText(0, 9, 9, QStringLiteral("x")), QStringLiteral("clRed^宋体^12^x"));
    EXPECT_EQ(shortRunText(8, 5, 7, QStringLiteral("x")), QStringLiteral("clRed^行书^72^x"));

    const ShortRun run = parseShortRuns(shortRunText(3, 2, 0, QStringLiteral("内码 文字"))).value(0);
    EXPECT_EQ(run.color, QColor(255, 255, 0));
    EXPECT_EQ(run.fontName, QStringLiteral("楷体_GB2312"));
    EXPECT_EQ(run.pointSize, 9);
    EXPECT_EQ(run.text, QStringLiteral("内码 文字"));
}

TEST(ShortRunFormat, AwkwardContentReadsBackWhole)
{
    for (const QString& content :
         {QStringLiteral("\"quoted\" rest"), QStringLiteral("a^b^c"), QStringLiteral("tab\there"),
          QStringLiteral("x~ y"), QStringLiteral("  spaced  "), QStringLiteral("say \"hi\"")}) {
        const QList<ShortRun> runs = parseShortRuns(shortRunText(2, 1, 1, content));
        ASSERT_EQ(runs.size(), 1) << content.toStdString();
        EXPECT_EQ(runs[0].text, content);
        EXPECT_EQ(runs[0].color, QColor(0, 128, 0));
    }
}
