#include "content/colortable.h"
#include "content/fontsizetable.h"
#include "content/fontresolver.h"
#include "content/fonttable.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QFontInfo>
#include <gtest/gtest.h>

using namespace ledsign;

TEST(ColorTable, CodesNamesAndScreenColoursAgree)
{
    struct Row {
        int code;
        const char* markup;
        const char* program;
        QRgb argb;
    };
    const Row rows[] = {
        {1, "clRed", "Red", 0xFFFF0000u},       {2, "clGreen", "Green", 0xFF008000u},
        {3, "clYellow", "Yellow", 0xFFFFFF00u}, {4, "clBlue", "Blue", 0xFF0000FFu},
        {5, "clPurple", "Purple", 0xFF800080u}, {6, "clAqua", "Aqua", 0xFF00FFFFu},
        {7, "clWhite", "White", 0xFFFFFFFFu},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(colorCodeOfMarkupName(QString::fromLatin1(r.markup)), r.code);
        EXPECT_EQ(colorCodeOfProgramName(QString::fromLatin1(r.program)), r.code);
        EXPECT_EQ(markupColorName(r.code), QLatin1String(r.markup));
        EXPECT_EQ(programColorName(r.code), QLatin1String(r.program));
        EXPECT_EQ(argbColor(r.code), r.argb);
        EXPECT_EQ(colorCodeOfScreenColor(screenColor(r.code)), r.code);
    }
}

TEST(ColorTable, UnknownNamesAndCodesFallBack)
{
    EXPECT_EQ(colorCodeOfMarkupName(QStringLiteral("clred")), 0); // case-sensitive
    EXPECT_EQ(colorCodeOfMarkupName(QStringLiteral("Red")), 0);   // other markup's name
    EXPECT_EQ(colorCodeOfProgramName(QStringLiteral("clRed")), 0);
    EXPECT_EQ(colorCodeOfProgramName(QString()), 0);
    EXPECT_EQ(screenColor(0), QColor(0, 0, 0));
    EXPECT_EQ(screenColor(8, Qt::gray), QColor(Qt::gray));
    EXPECT_EQ(argbColor(-1), 0u);
    EXPECT_TRUE(markupColorName(8).isEmpty());
    EXPECT_EQ(colorCodeOfScreenColor(QColor(0, 255, 0)), 0); // pure green is not the card's green
    EXPECT_EQ(colorCodeOfScreenColor(QColor()), 0);
}

TEST(FontTable, CodesNamesAndListIndices)
{
    EXPECT_EQ(cardFontName(1), QStringLiteral("宋体"));
    EXPECT_EQ(cardFontName(3), QStringLiteral("黑体"));
    EXPECT_EQ(cardFontName(5), QStringLiteral("行书"));
    EXPECT_EQ(cardFontName(0), QStringLiteral("宋体"));
    EXPECT_EQ(cardFontName(6), QStringLiteral("宋体"));

    // The card text coder's fifth font is another name than the drawing table's.
    EXPECT_EQ(cardFontCodeOfName(QStringLiteral("华文行楷")), 5);
    EXPECT_EQ(cardFontCodeOfName(QStringLiteral("行书")), 1);
    EXPECT_EQ(cardFontCodeOfName(QStringLiteral("黑体")), 3);
    EXPECT_EQ(cardFontCodeOfName(QStringLiteral("Arial")), 1);

    EXPECT_EQ(fontCodeFromListIndex(2), 3);
    EXPECT_EQ(fontCodeFromListIndex(3), 2);
    for (int index = 0; index <= 5; ++index)
        EXPECT_EQ(fontListIndexFromCode(fontCodeFromListIndex(index)), index);
    EXPECT_EQ(cardFontName(fontCodeFromListIndex(2)), QStringLiteral("黑体"));
}

TEST(FontResolver, EveryNameIsDrawnByItsPackagedStandInOrTheOneFallback)
{
    struct Case {
        const char* name;
        const char* family;
        bool known;
    };
    const Case cases[] = {
        {"宋体", "AR PL UMing CN", true},      {"黑体", "WenQuanYi Zen Hei", true},
        {"华文行楷", "AR PL UKai CN", true},   {"", "AR PL UMing CN", true},
        {"Arial", "Liberation Sans", true},    {" arial ", "Liberation Sans", true},
        {"Times New Roman", "Liberation Serif", true}, {"Courier New", "Liberation Mono", true},
        {"Verdana", "DejaVu Sans", true},      {"Calibri", "Carlito", true},
        {"Nimbus Sans", "Liberation Sans", false}, {"No Such Font", "Liberation Sans", false},
    };
    QSignalSpy told(&UnknownFontNotice::instance(), &UnknownFontNotice::unknownFontDrawn);
    for (const Case& c : cases) {
        const QString name = QString::fromUtf8(c.name);
        SCOPED_TRACE(c.name);
        EXPECT_EQ(fontStandIn(name).family, QString::fromUtf8(c.family));
        EXPECT_EQ(fontStandIn(name).known, c.known);
        // Qt finds the stand-in itself, whatever the machine would match for the name.
        QFont font;
        font.setFamilies(cardFontFamilies(name));
        EXPECT_EQ(QFontInfo(font).family(), QString::fromUtf8(c.family));
    }
    // Chinese characters in a Latin font come from the packaged Chinese font.
    EXPECT_EQ(cardFontFamilies(QStringLiteral("Arial")),
              (QStringList{QStringLiteral("Liberation Sans"), QStringLiteral("AR PL UMing CN")}));
    cardFontFamilies(QStringLiteral("No Such Font"));
    QCoreApplication::processEvents();
    QStringList toldNames; // once per unknown name, with the font used instead
    for (const QList<QVariant>& signal : told) {
        toldNames << signal.at(0).toString();
        EXPECT_EQ(signal.at(1).toString(), QStringLiteral("Liberation Sans"));
    }
    EXPECT_EQ(toldNames.count(QStringLiteral("Nimbus Sans")), 1);
    EXPECT_EQ(toldNames.count(QStringLiteral("No Such Font")), 1);
    EXPECT_TRUE(registerPackagedFonts().isEmpty()) << registerPackagedFonts().join(u' ').toStdString();
}

TEST(FontSizeTable, GlyphNamesAndPointSizes)
{
    const int points[] = {9, 12, 18, 23, 36, 48, 60, 72};
    for (int code = 0; code < kSizeCodeCount; ++code) {
        EXPECT_EQ(pointSizeOfSizeCode(code, -1), points[code]);
        EXPECT_EQ(sizeCodeOfGlyphName(glyphName(code), -1), code);
    }
    EXPECT_EQ(pointSizeOfSizeCode(8, 17), 17);
    EXPECT_EQ(pointSizeOfSizeCode(-1, 17), 17);
    EXPECT_TRUE(glyphName(8).isEmpty());
    EXPECT_EQ(sizeCodeOfGlyphName(QStringLiteral("20*20"), 4), 4);
    EXPECT_EQ(glyphNameList(), QStringLiteral("12*12;16*16;24*24;32*32;48*48;64*64;80*80;96*96"));
    EXPECT_EQ(glyphNameList(2), QStringLiteral("12*12;16*16"));
    EXPECT_EQ(glyphNameList(99), glyphNameList());
    EXPECT_EQ(glyphNameList(-3), QString());

    EXPECT_EQ(sizeCodeOfPointText(QStringLiteral("24")), 3);
    EXPECT_EQ(sizeCodeOfPointText(QStringLiteral("23")), 1);
    EXPECT_EQ(sizeCodeOfPointText(QStringLiteral("9")), 0);
}

TEST(FontSizeTable, EditorListShowsAndReadsSizes)
{
    const QStringList items = fontSizeListItems();
    ASSERT_EQ(items.size(), 64);
    EXPECT_EQ(items.first(), QStringLiteral("9[12*12]"));
    EXPECT_EQ(items.at(1), QStringLiteral("10"));
    EXPECT_EQ(items.at(23 - 9), QStringLiteral("23"));
    EXPECT_EQ(items.at(24 - 9), QStringLiteral("24[32*32]"));
    EXPECT_EQ(items.last(), QStringLiteral("72[96*96]"));

    EXPECT_EQ(fontSizeDisplayText(100), QStringLiteral("100"));
    EXPECT_EQ(fontSizeDisplayText(0), QStringLiteral("9"));

    EXPECT_EQ(pointSizeFromListText(QStringLiteral("24[32*32]")), 24);
    EXPECT_EQ(pointSizeFromListText(QStringLiteral("17")), 17);
    EXPECT_EQ(pointSizeFromListText(QStringLiteral("abc")), 9);
    EXPECT_EQ(pointSizeFromListText(QStringLiteral("[16*16]")), 9);
    EXPECT_EQ(pointSizeFromListText(QString()), 9);
}
