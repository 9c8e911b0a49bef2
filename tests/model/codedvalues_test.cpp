#include "model/bitstring.h"
#include "model/codedvalues.h"

#include <gtest/gtest.h>

using namespace ledsign;

TEST(CodedValues, FontIndexTwoAndThreeAreExchanged)
{
    TFodder m;
    setFontIndex(m, 2);
    EXPECT_EQ(m.fontCode, 3);
    EXPECT_EQ(getFontIndex(m), 2);
    setFontIndex(m, 3);
    EXPECT_EQ(m.fontCode, 2);
    EXPECT_EQ(getFontIndex(m), 3);
    for (int i : {0, 1, 4, 5}) {
        setFontIndex(m, i);
        EXPECT_EQ(m.fontCode, i);
        EXPECT_EQ(getFontIndex(m), i);
    }
}

TEST(CodedValues, CountTimeFormatMapping)
{
    TFodder m;
    const int stored[] = {1, 2, 3, 8, 4, 5, 6, 7};
    for (int i = 0; i < 8; ++i) {
        setCountTimeFormat(m, i);
        EXPECT_EQ(m.timeFormat, stored[i]) << i;
        EXPECT_EQ(getCountTimeFormat(m), i) << i;
    }
    m.timeFormat = 4;
    EXPECT_EQ(getCountTimeFormat(m), 4);
    m.timeFormat = 0; // never written, reads below the list
    EXPECT_EQ(getCountTimeFormat(m), -1);
    m.timeFormat = 9;
    EXPECT_EQ(getCountTimeFormat(m), 9);
}

TEST(CodedValues, SharedFieldsAndIndexPlusOne)
{
    TFodder m;
    // Colour match and character colour share one field, as do year digits
    // and alignment.
    setColorMatch(m, 3);
    EXPECT_EQ(m.charColor, 4);
    EXPECT_EQ(getCharColor(m), 3);
    setYearDigits(m, 1);
    setAlign(m, 2);
    EXPECT_EQ(getYearDigits(m), 2);
    EXPECT_EQ(m.textParam2, 2);
    setDisplayFormat(m, 0);
    setDigitColor(m, 6);
    EXPECT_EQ(m.displayFormat, 1);
    EXPECT_EQ(m.digitColor, 7);
}

TEST(CodedValues, SizeNamesPointSizesAndColours)
{
    TFodder m;
    setSizeName(m, QStringLiteral("48*48"));
    EXPECT_EQ(m.sizeCode, 4);
    setSizeName(m, QStringLiteral("50*50"));
    EXPECT_EQ(m.sizeCode, 4);
    EXPECT_EQ(getSizeName(m), QStringLiteral("48*48"));
    m.sizeCode = 8;
    EXPECT_TRUE(getSizeName(m).isEmpty());
    m.sizeCode = -1;
    EXPECT_TRUE(getSizeName(m).isEmpty());

    EXPECT_EQ(pointSize(0, 10), 9);
    EXPECT_EQ(pointSize(3, 10), 23);
    EXPECT_EQ(pointSize(7, 10), 72);
    EXPECT_EQ(pointSize(8, 10), 10);
    EXPECT_EQ(pointSize(-1, 11), 11);

    EXPECT_EQ(charScreenColor(1), QColor(255, 0, 0));
    EXPECT_EQ(charScreenColor(2), QColor(0, 128, 0));
    EXPECT_EQ(charScreenColor(5), QColor(128, 0, 128));
    EXPECT_EQ(charScreenColor(7), QColor(255, 255, 255));
    EXPECT_EQ(charScreenColor(0, QColor(1, 2, 3)), QColor(1, 2, 3));
    EXPECT_EQ(charScreenColor(8, QColor(1, 2, 3)), QColor(1, 2, 3));

    EXPECT_EQ(fontSizeListFor(m, 3), QStringLiteral("12*12;16*16;24*24"));
    EXPECT_EQ(m.fontSizeList, QStringLiteral("12*12;16*16;24*24"));
    EXPECT_EQ(fontSizeListFor(m, 8), QString::fromLatin1(kFullFontSizeList));
    EXPECT_EQ(fontSizeListFor(m, 20), QString::fromLatin1(kFullFontSizeList));
    EXPECT_EQ(fontSizeListFor(m, 0), QString());
}

TEST(CodedValues, TypeNumberChoicesByDataType)
{
    TFodder m;
    auto choices = [&](int dataType) {
        m.displayFormat = dataType + 1;
        return typeNumberChoices(m).split(QLatin1Char(';'));
    };
    const QStringList external = choices(0);
    EXPECT_EQ(external.size(), 70);
    EXPECT_EQ(external.first(), QStringLiteral("1"));
    EXPECT_EQ(external.last(), QStringLiteral("70"));

    const QStringList strings = choices(1);
    EXPECT_EQ(strings.size(), 10);
    EXPECT_EQ(strings.first(), QStringLiteral("0-7"));
    EXPECT_EQ(strings.last(), QStringLiteral("72-79"));

    const QStringList ints = choices(2);
    EXPECT_EQ(ints.size(), 62);
    EXPECT_EQ(ints.last(), QStringLiteral("8445"));

    const QStringList longs = choices(3);
    EXPECT_EQ(longs.mid(0, 2), (QStringList{QStringLiteral("16576"), QStringLiteral("16578")}));
    EXPECT_EQ(longs.last(), QStringLiteral("16636"));
    EXPECT_EQ(longs.size(), 31);

    EXPECT_EQ(choices(4).first(), QStringLiteral("20480"));
    EXPECT_EQ(choices(4).last(), QStringLiteral("20542"));
    EXPECT_EQ(choices(5).first(), QStringLiteral("20544"));
    EXPECT_EQ(choices(5).last(), QStringLiteral("20606"));

    EXPECT_EQ(choices(6), external);
    EXPECT_EQ(choices(-1), external);
}

TEST(BitString, WidthsAndRoundTrips)
{
    EXPECT_EQ(toBits(5, 4), QStringLiteral("0101"));
    EXPECT_EQ(toBits(0x42, 8), QStringLiteral("01000010"));
    EXPECT_EQ(toBits(100, 6), QStringLiteral("100100")); // high bits dropped
    EXPECT_EQ(toBits(3, 0), QString());
    EXPECT_EQ(fromBits(QStringLiteral("01001010")), 0x4Au);
    EXPECT_EQ(fromBits(QString()), 0u);
    EXPECT_EQ(fromBits(QStringLiteral("1")), 1u);
    for (quint64 v : {0ull, 1ull, 0xABCDull, 0xFFFFFFFFull})
        EXPECT_EQ(fromBits(toBits(v, 40)), v);
}
