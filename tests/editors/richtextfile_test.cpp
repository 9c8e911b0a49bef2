// The rich-text editor's files: RTF written and read back with every
// attribute, quotes in their protected form, RTF from other programs, and
// plain-text files.
#include "content/richtextfile.h"

#include "content/qtrichtextdocument.h"
#include "content/textrunmarkup.h"
#include "model/codec.h"
#include "support/testsupport.h"

#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <gtest/gtest.h>

using namespace ledsign;

namespace {

struct Doc {
    Doc()
        : rich(&text)
    {
        text.setTextWidth(400);
        rich.setDefaultAttributes(TextAttributes{QColor(255, 0, 0), QStringLiteral("宋体"), 12});
    }
    QTextDocument text;
    QtRichTextDocument rich;
};

// Runs joined by "~*", ten fields joined by "^": colour, font, size, bold,
// italic, underline, strikeout, alignment, line, text.
const QString kMarkup = QStringLiteral(
    "clRed^宋体^12^0^0^0^0^0^1^普通 text~*"
    "clGreen^Arial^18^1^0^0^0^0^1^Bold~*"
    "clYellow^Arial^9^0^1^0^0^0^1^Italic~*"
    "clAqua^宋体^24^0^0^1^1^0^1^Under+strike\r\n~*"
    "clWhite^黑体^36^1^1^1^0^2^2^中间 “quoted”\r\n~*"
    "clBlue^Arial^12^0^0^0^0^1^3^right {brace} \\slash");

} // namespace

TEST(RichTextFile, RoundTripKeepsEveryAttribute)
{
    Doc a;
    ASSERT_TRUE(loadTextRunMarkup(kMarkup, a.rich).complete);
    const QString original = writeTextRunMarkup(a.rich);
    ASSERT_EQ(a.rich.blockCount(), 3);
    ASSERT_EQ(a.rich.block(1).alignment, ParagraphAlignment::Centre);

    const QByteArray rtf = writeRtf(a.rich);
    EXPECT_TRUE(rtf.startsWith("{\\rtf1"));
    EXPECT_TRUE(rtf.contains("?*quoted*?"));           // protected quotes
    EXPECT_FALSE(rtf.contains("\\u8220?"));
    EXPECT_TRUE(rtf.contains("\\'ba\\'da\\'cc\\'e5")); // 黑体 in GBK in the font table
    EXPECT_TRUE(rtf.contains("\\{brace\\} \\\\slash"));

    Doc b;
    b.rich.append(QStringLiteral("old text"), b.rich.insertionAttributes());
    QString error;
    ASSERT_TRUE(readRtf(rtf, b.rich, &error)) << error.toStdString();
    EXPECT_EQ(b.text.toPlainText(), a.text.toPlainText());
    EXPECT_TRUE(b.text.toPlainText().contains(QStringLiteral("“quoted”")));
    EXPECT_EQ(writeTextRunMarkup(b.rich), original);
}

TEST(RichTextFile, ReadsRtfOfOtherPrograms)
{
    const QByteArray rtf =
        "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}"
        "{\\f1\\fswiss Arial;}}\r\n{\\colortbl ;\\red0\\green128\\blue0;\\red255\\green255\\blue255;}\r\n"
        "{\\*\\generator Writer 1.0;}{\\info{\\title Hidden}}"
        "\\viewkind4\\uc1\\pard\\qc\\f0\\fs36\\cf1 \\'ce\\'c2\\'b6\\'c8\\b  bold\\b0\\par\r\n"
        "\\pard\\f1\\fs20\\cf2\\ul under\\ulnone\\line next \\u8364?\\par\r\n}";
    Doc d;
    QString error;
    ASSERT_TRUE(readRtf(rtf, d.rich, &error)) << error.toStdString();
    ASSERT_EQ(d.rich.blockCount(), 2);
    EXPECT_EQ(d.text.findBlockByNumber(0).text(), QStringLiteral("温度 bold"));
    EXPECT_EQ(d.text.findBlockByNumber(1).text(), QString::fromUtf8("under\xE2\x80\xA8next €"));
    const RichTextBlock first = d.rich.block(0);
    EXPECT_EQ(first.alignment, ParagraphAlignment::Centre);
    ASSERT_EQ(first.fragments.size(), 2);
    EXPECT_EQ(first.fragments[0].attributes.fontName, QStringLiteral("宋体"));
    EXPECT_EQ(first.fragments[0].attributes.pointSize, 18);
    EXPECT_EQ(first.fragments[0].attributes.color, QColor(0, 128, 0));
    EXPECT_FALSE(first.fragments[0].attributes.bold);
    EXPECT_TRUE(first.fragments[1].attributes.bold);
    const RichTextBlock second = d.rich.block(1);
    EXPECT_EQ(second.alignment, ParagraphAlignment::Left);
    EXPECT_EQ(second.fragments[0].attributes.fontName, QStringLiteral("Arial"));
    EXPECT_EQ(second.fragments[0].attributes.pointSize, 10);
    EXPECT_TRUE(second.fragments[0].attributes.underline);
    EXPECT_FALSE(second.fragments.last().attributes.underline);
    EXPECT_EQ(second.fragments[0].attributes.color, QColor(255, 255, 255));
}

TEST(RichTextFile, RefusesWhatIsNotRtf)
{
    Doc d;
    d.rich.append(QStringLiteral("x"), d.rich.insertionAttributes());
    QString error;
    EXPECT_FALSE(readRtf("plain words", d.rich, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(readRtf(QByteArray(500, '{').prepend("{\\rtf1"), d.rich, &error));
    // Cut-off files and stray closing braces load what is there.
    EXPECT_TRUE(readRtf("{\\rtf1 abc\\", d.rich));
    EXPECT_EQ(d.text.toPlainText(), QStringLiteral("abc"));
    EXPECT_TRUE(readRtf("{\\rtf1 a}}}b\\'", d.rich));
    EXPECT_EQ(d.text.toPlainText(), QStringLiteral("a"));
}

TEST(RichTextFile, PlainTextFiles)
{
    EXPECT_EQ(decodeTextLines(codec::encode(QStringLiteral("温度\r\nb\r\n"))), (QStringList{"温度", "b"}));
    EXPECT_EQ(decodeTextLines(QStringLiteral("温度\nb").toUtf8()), (QStringList{"温度", "b"}));
    EXPECT_EQ(decodeTextLines("\xEF\xBB\xBFx\ry"), (QStringList{"x", "y"}));
    EXPECT_EQ(encodeTextLines({QStringLiteral("温"), QStringLiteral("b")}), QByteArray("\xCE\xC2\r\nb"));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.TXT"));
    ASSERT_TRUE(test::writeAll(path, codec::encode(QStringLiteral("say ?*hi*?\r\nline 2"))));
    Doc d;
    const TextAttributes look{QColor(0, 128, 0), QStringLiteral("Arial"), 18};
    ASSERT_TRUE(loadTextEditorFile(path, d.rich, look));
    EXPECT_EQ(d.text.toPlainText(), QString::fromUtf8("say “hi”\nline 2"));
    EXPECT_EQ(d.rich.block(1).fragments[0].attributes, look);

    QString error;
    EXPECT_FALSE(loadTextEditorFile(dir.filePath(QStringLiteral("none.rtf")), d.rich, look, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("none.rtf")));
}

TEST(RichTextFile, GarbledRtfLoadsWithoutCrashing)
{
    quint32 seed = 777;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return seed >> 8;
    };
    const QByteArray alphabet("{}\\'uc0123456789abfrpqlcdi -;\xCE\xC2");
    for (int round = 0; round < 500; ++round) {
        QByteArray rtf("{\\rtf1");
        const int n = int(next() % 200);
        for (int i = 0; i < n; ++i)
            rtf += alphabet.at(qsizetype(next() % quint32(alphabet.size())));
        Doc d;
        ASSERT_TRUE(readRtf(rtf, d.rich)) << rtf.toStdString();
        ASSERT_GE(d.rich.blockCount(), 1);
    }
}
