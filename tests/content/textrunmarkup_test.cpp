#include "content/textrunmarkup.h"

#include "content/markupsplit.h"
#include "richtexthelpers.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace ledsign;
using namespace ledsign::test;

namespace {

QString writeOf(QTextDocument& doc)
{
    QtRichTextDocument d(&doc);
    return writeTextRunMarkup(d);
}

} // namespace

TEST(TextRunParse, ReadsEveryFieldAndSkipsShortRuns)
{
    const QString markup = QStringLiteral(
        "clYellow^黑体^24^1^0^1^0^2^1^AB\r\n"
        "~*clGreen^宋体^12^0^0^0^0^0^2" // no text: only nine fields
        "~*clPink^Arial^big^x^0^0^1^1^3^甲𠀀"
        "~*clRed^宋体^12^0^0^0^0^0^4^\r\n");
    const QList<TextRun> runs = parseTextRuns(markup);
    ASSERT_EQ(runs.size(), 3);

    EXPECT_EQ(runs[0].color, QColor(255, 255, 0));
    EXPECT_EQ(runs[0].argb, 0xFFFFFF00u);
    EXPECT_EQ(runs[0].fontName, QStringLiteral("黑体"));
    EXPECT_EQ(runs[0].pointSize, 24);
    EXPECT_TRUE(runs[0].bold);
    EXPECT_FALSE(runs[0].italic);
    EXPECT_TRUE(runs[0].underline);
    EXPECT_EQ(runs[0].alignment, 2);
    EXPECT_EQ(runs[0].lineNumber, 1);
    EXPECT_EQ(runs[0].text, QStringLiteral("AB\r\n"));
    EXPECT_EQ(runs[0].length, 4);

    // Unknown colour, bad numbers: black, ARGB 0, size 10, flags 0.
    EXPECT_EQ(runs[1].color, QColor(0, 0, 0));
    EXPECT_EQ(runs[1].argb, 0u);
    EXPECT_EQ(runs[1].pointSize, 10);
    EXPECT_FALSE(runs[1].bold);
    EXPECT_TRUE(runs[1].strikeOut);
    EXPECT_EQ(runs[1].lineNumber, 3);
    EXPECT_EQ(runs[1].length, 3); // UTF-16 code units: the second character is a pair

    // An empty line holds one space so that it has a height.
    EXPECT_EQ(runs[2].text, QStringLiteral(" \r\n"));
    EXPECT_EQ(runs[2].length, 3);

    EXPECT_TRUE(parseTextRuns(QString()).isEmpty());
}

TEST(TextRunWrite, RunsFollowAttributesAndLines)
{
    QTextDocument doc;
    type(doc, QStringLiteral("AB"), look(kRed, "宋体", 12));
    type(doc, QStringLiteral("C"), look(kGreen, "黑体", 24, true));
    type(doc, QStringLiteral("\nD"), look(kRed, "宋体", 12, false, true));
    type(doc, QStringLiteral("E"), look(kRed, "宋体", 12, false, true, true, true));
    type(doc, QStringLiteral("  \n\n \t"), look(kRed, "宋体", 12));
    align(doc, 0, Qt::AlignHCenter);
    align(doc, 1, Qt::AlignRight);

    EXPECT_EQ(writeOf(doc), QStringLiteral("clRed^宋体^12^0^0^0^0^2^1^AB"
                                           "~*clGreen^黑体^24^1^0^0^0^2^1^C\r\n"
                                           "~*clRed^宋体^12^0^1^0^0^1^2^D"
                                           "~*clRed^宋体^12^0^1^1^1^1^2^E"));

    QTextDocument empty;
    EXPECT_EQ(writeOf(empty), QString());
    type(empty, QStringLiteral(" \n\t\n"), look(kRed, "宋体", 12));
    EXPECT_EQ(writeOf(empty), QString());
}

TEST(TextRunWrite, EscapesTextThatWouldCutTheMarkup)
{
    QTextDocument doc;
    type(doc, QStringLiteral("a^b*?c~*d"), look(kRed, "宋体", 12));
    const QString markup = writeOf(doc);
    EXPECT_EQ(markup, QStringLiteral("clRed^宋体^12^0^0^0^0^0^1^a b c~ d"));
    // Typed "~*" no longer splits the run, so the text after it survives.
    ASSERT_EQ(parseTextRuns(markup).size(), 1);
}

TEST(TextRunWrite, ColoursOutsideTheTableTakeThePreviousName)
{
    QTextDocument doc;
    type(doc, QStringLiteral("X"), look(QColor(1, 2, 3), "宋体", 12)); // first: editor default red
    type(doc, QStringLiteral("Y"), look(kGreen, "宋体", 12));
    type(doc, QStringLiteral("Z"), look(QColor(200, 10, 10), "宋体", 12));
    type(doc, QStringLiteral("W"), look(QColor(), "宋体", 12));
    EXPECT_EQ(writeOf(doc), QStringLiteral("clRed^宋体^12^0^0^0^0^0^1^X"
                                           "~*clGreen^宋体^12^0^0^0^0^0^1^YZW"));
}

TEST(TextRunWrite, EmptyLinesAndWrappedLinesHaveTheirOwnLineNumbers)
{
    QTextDocument doc;
    type(doc, QStringLiteral("A\n"), look(kRed, "宋体", 12));
    type(doc, QStringLiteral("\nB"), look(kWhite, "黑体", 36));
    QList<TextRun> runs = parseTextRuns(writeOf(doc));
    ASSERT_EQ(runs.size(), 3);
    EXPECT_EQ(runs[0].text, QStringLiteral("A\r\n"));
    EXPECT_EQ(runs[1].lineNumber, 2);
    EXPECT_EQ(runs[1].pointSize, 36); // the empty line keeps its own size
    EXPECT_EQ(runs[1].text, QStringLiteral(" \r\n"));
    EXPECT_EQ(runs[2].lineNumber, 3);

    QTextDocument wrapped;
    wrapped.setDocumentMargin(0);
    wrapped.setTextWidth(60);
    const QString words = QStringLiteral("aaaa bbbb cccc dddd eeee ffff");
    type(wrapped, words + QStringLiteral("\nlast"), look(kRed, "DejaVu Sans", 12));
    runs = parseTextRuns(writeOf(wrapped));
    const int lines = wrapped.firstBlock().layout()->lineCount();
    ASSERT_GT(lines, 2);
    ASSERT_EQ(runs.size(), lines + 1);
    QString joined;
    for (int i = 0; i < runs.size(); ++i) {
        EXPECT_EQ(runs[i].lineNumber, i + 1);
        joined += runs[i].text;
    }
    EXPECT_EQ(joined, words + QStringLiteral("\r\nlast"));
}

TEST(TextRunLoad, StopsAtTheFirstFaultyRunKeepingThoseBefore)
{
    QTextDocument doc;
    QtRichTextDocument d(&doc);
    const QString good = QStringLiteral("clGreen^黑体^24^1^0^0^0^0^1^AB");

    MarkupLoadResult r = loadTextRunMarkup(good + QStringLiteral("~*clRed^宋体^12^0^0^0^0^0^1~*clRed^宋体^12^0^0^0^0^0^1^CD"), d);
    EXPECT_EQ(r.runsLoaded, 1);
    EXPECT_FALSE(r.complete);
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("AB"));

    r = loadTextRunMarkup(good + QStringLiteral("~*clRed^宋体^big^0^0^0^0^0^1^CD"), d);
    EXPECT_FALSE(r.complete);
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("AB"));
    r = loadTextRunMarkup(good + QStringLiteral("~*clRed^宋体^12^0^0^0^0^left^1^CD"), d);
    EXPECT_FALSE(r.complete);
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("AB"));

    r = loadTextRunMarkup(QString(), d);
    EXPECT_TRUE(r.complete);
    EXPECT_EQ(r.runsLoaded, 0);
    EXPECT_TRUE(doc.isEmpty());
}

TEST(TextRunLoad, SetsLookAndAlignmentOfEveryRun)
{
    QTextDocument doc;
    QtRichTextDocument d(&doc);
    const MarkupLoadResult r = loadTextRunMarkup(
        QStringLiteral("clGreen^黑体^24^1^0^1^0^2^7^AB\r\n"
                       "~*clPink^宋体^12^2^1^0^1^1^9^CD"), // unknown colour, bold "2" is off
        d);
    EXPECT_TRUE(r.complete);
    EXPECT_EQ(r.runsLoaded, 2);

    const QList<CharLook> looks = looksOf(doc);
    ASSERT_EQ(looks.size(), 6); // A B <break> C D <break>
    EXPECT_EQ(looks[0].attributes, look(kGreen, "黑体", 24, true, false, true));
    EXPECT_EQ(looks[0].alignment, Qt::AlignHCenter);
    EXPECT_EQ(looks[3].text, QStringLiteral("C"));
    EXPECT_EQ(looks[3].attributes, look(kGreen, "宋体", 12, false, true, false, true));
    EXPECT_EQ(looks[3].alignment, Qt::AlignRight);
}

TEST(TextRunMarkup, DocumentRoundTripKeepsEveryAttribute)
{
    QTextDocument doc;
    type(doc, QStringLiteral("标题"), look(kRed, "宋体", 24, true));
    type(doc, QStringLiteral(" A"), look(QColor(0, 255, 255), "黑体", 12, false, true));
    type(doc, QStringLiteral("\n\n"), look(kGreen, "DejaVu Sans", 48));
    type(doc, QStringLiteral("u𠀀s"), look(QColor(128, 0, 128), "AR PL UKai CN", 9, true, true, true, true));
    type(doc, QStringLiteral("\nend"), look(kWhite, "隶书", 72, false, false, true));
    align(doc, 0, Qt::AlignHCenter);
    align(doc, 1, Qt::AlignRight);
    align(doc, 3, Qt::AlignRight);

    const QString markup = writeOf(doc);
    QTextDocument copy;
    QtRichTextDocument d(&copy);
    const MarkupLoadResult r = loadTextRunMarkup(markup, d);
    EXPECT_TRUE(r.complete);
    EXPECT_EQ(looksOf(copy), looksOf(doc));
    EXPECT_EQ(writeOf(copy), markup);
}

TEST(TextRunMarkup, MalformedInputNeverBreaksTheReaders)
{
    const QStringList tokens{QStringLiteral("~*"), QStringLiteral("^"),  QStringLiteral("~"),
                             QStringLiteral("*"),  QStringLiteral("clRed"), QStringLiteral("1"),
                             QStringLiteral("12"), QStringLiteral("\r\n"), QStringLiteral("\""),
                             QStringLiteral("宋"), QStringLiteral(" "),  QString(QChar(0)),
                             QString(QChar(0xD800)), QStringLiteral("\xFFFD")};
    QRandomGenerator rng(20240501);
    for (int i = 0; i < 400; ++i) {
        QString junk;
        const int n = rng.bounded(60);
        for (int k = 0; k < n; ++k)
            junk += tokens.at(rng.bounded(tokens.size()));
        for (const TextRun& run : parseTextRuns(junk))
            ASSERT_EQ(run.length, run.text.size());

        QTextDocument doc;
        QtRichTextDocument d(&doc);
        const MarkupLoadResult r = loadTextRunMarkup(junk, d);
        ASSERT_LE(r.runsLoaded, separatorSplit(junk, QStringLiteral("~*")).size());
        // Whatever was loaded writes out as markup that loads back the same.
        const QString once = writeTextRunMarkup(d);
        ASSERT_TRUE(loadTextRunMarkup(once, d).complete) << once.toStdString();
        ASSERT_EQ(writeTextRunMarkup(d), once);
    }
}
