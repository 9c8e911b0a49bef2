// Choice specifications and the reading of typed values.
#include "editing/propertyrows.h"
#include "editing/propertyvalues.h"
#include "language/language.h"

#include <gtest/gtest.h>

using namespace ledsign;

namespace {

QList<QPair<QString, QString>> blankRows(int n)
{
    QList<QPair<QString, QString>> rows;
    for (int i = 0; i < n; ++i)
        rows << qMakePair(QStringLiteral("L%1").arg(i), QStringLiteral("v%1").arg(i));
    return rows;
}

} // namespace

TEST(ChoiceSpecification, SubsLiteralListsFontsAndButtons)
{
    setCurrentLanguage(kEnglish);
    // Row 3 the colours, row 4 the fonts cut to 4, row 5 a literal list with
    // an empty part skipped, row 6 a one-entry literal list made by a
    // trailing ";", an entry without a sub, and a row beyond the end.
    const PropertyRows rows = fillEditor(blankRows(8), QStringLiteral("3;1,4;0,5;a;;b,6;only;,7,9;1"), 4, 2, 1);
    ASSERT_EQ(rows.size(), 8);
    EXPECT_EQ(rows[0].style, RowStyle::Plain);
    EXPECT_EQ(rows[1].style, RowStyle::Button);
    EXPECT_EQ(rows[2].style, RowStyle::Button);
    EXPECT_EQ(rows[3].style, RowStyle::Choice);
    EXPECT_EQ(rows[3].choices.size(), 7);
    EXPECT_EQ(rows[3].choices.first(), QStringLiteral("Red"));
    EXPECT_EQ(rows[3].choices.last(), QStringLiteral("White"));
    EXPECT_EQ(rows[4].choices,
              (QStringList{"Custom Font", "SimSun", "SimHei", "Regular Script_GB2312"}));
    EXPECT_EQ(rows[5].choices, (QStringList{"a", "b"}));
    EXPECT_EQ(rows[6].choices, QStringList{"only"});
    EXPECT_EQ(rows[7].style, RowStyle::Plain);
    EXPECT_EQ(rows[3].label, QStringLiteral("L3"));
    EXPECT_EQ(rows[3].value, QStringLiteral("v3"));
}

TEST(ChoiceSpecification, OneSizeNameIsALiteralChoiceAndSetRowChoicesSelects)
{
    setCurrentLanguage(kEnglish);
    // A card that offers a single glyph size gives "6;12*12": a text, not a
    // sub number, so it stays the one literal choice.
    PropertyRows rows = fillEditor(blankRows(7), QStringLiteral("6;12*12"), 6);
    EXPECT_EQ(rows[6].style, RowStyle::Choice);
    EXPECT_EQ(rows[6].choices, QStringList{"12*12"});

    setRowChoices(rows, 2, 1, QStringLiteral("0-7;8-15;16-23"));
    EXPECT_EQ(rows[2].style, RowStyle::Choice);
    EXPECT_EQ(rows[2].value, QStringLiteral("8-15"));
    EXPECT_EQ(choicePosition(rows[2], QStringLiteral("16-23")), 2);
    EXPECT_EQ(choicePosition(rows[2], QStringLiteral("24-31")), -1);
    // A position outside the list keeps what the row showed.
    setRowChoices(rows, 2, 9, QStringLiteral("x;y"));
    EXPECT_EQ(rows[2].value, QStringLiteral("8-15"));
    EXPECT_EQ(rows[2].choices, (QStringList{"x", "y"}));
}

TEST(TypedValues, NumbersIdentifiersAndStayTimes)
{
    EXPECT_EQ(numberOr(QStringLiteral("42"), 3), 42);
    EXPECT_EQ(numberOr(QStringLiteral(" 7 "), 3), 7);
    EXPECT_EQ(numberOr(QStringLiteral("-4"), 3), -4);
    EXPECT_EQ(numberOr(QStringLiteral("4x"), 3), 3);
    EXPECT_EQ(numberOr(QString(), 1), 1);
    EXPECT_EQ(numberOr(QStringLiteral("99999999999"), 8), 8);

    EXPECT_EQ(identifierFrom(QStringLiteral("abc")), QStringLiteral("000000000"));
    EXPECT_EQ(identifierFrom(QStringLiteral("12")), QStringLiteral("000000012"));
    EXPECT_EQ(identifierFrom(QStringLiteral("1234567890")), QStringLiteral("123456789"));
    EXPECT_EQ(identifierFrom(QStringLiteral("-5")), QStringLiteral("000000000"));

    EXPECT_EQ(remainTimeFrom(QStringLiteral("300"), 5), 255);
    EXPECT_EQ(remainTimeFrom(QStringLiteral("256"), 5), 255);
    EXPECT_EQ(remainTimeFrom(QStringLiteral("255"), 5), 255);
    EXPECT_EQ(remainTimeFrom(QStringLiteral("0"), 5), 0);
    EXPECT_EQ(remainTimeFrom(QStringLiteral("-3"), 5), -3);
    EXPECT_EQ(remainTimeFrom(QStringLiteral("soon"), 5), 5);
}

TEST(TypedValues, PageTimes)
{
    EXPECT_EQ(normalisePageTime(QStringLiteral("8:5"), false), QStringLiteral("08:50"));
    EXPECT_EQ(normalisePageTime(QStringLiteral("9:30"), false), QStringLiteral("09:30"));
    EXPECT_EQ(normalisePageTime(QStringLiteral("1:"), false), QStringLiteral("01:00"));
    EXPECT_EQ(normalisePageTime(QStringLiteral(" 23:59 "), true), QStringLiteral("23:59"));
    EXPECT_EQ(normalisePageTime(QStringLiteral(":30"), false), QStringLiteral("00:30"));
    EXPECT_EQ(normalisePageTime(QStringLiteral("12:345"), false), QStringLiteral("12:34"));
    EXPECT_EQ(normalisePageTime(QStringLiteral("930"), false), QStringLiteral("00:00"));
    EXPECT_EQ(normalisePageTime(QStringLiteral("25:00"), false), QStringLiteral("00:00"));
    EXPECT_EQ(normalisePageTime(QStringLiteral("100:00"), true), QStringLiteral("24:00"));
    EXPECT_EQ(normalisePageTime(QStringLiteral("12:6"), true), QStringLiteral("24:00")); // 12:60
    EXPECT_EQ(normalisePageTime(QStringLiteral("ab:cd"), false), QStringLiteral("00:00"));
    EXPECT_EQ(normalisePageTime(QStringLiteral("abc"), true), QStringLiteral("24:00"));
    // "24:00" is no time of day: a start falls back to 00:00, an end keeps
    // it through its own fallback.
    EXPECT_EQ(normalisePageTime(QStringLiteral("24:00"), false), QStringLiteral("00:00"));
    EXPECT_EQ(normalisePageTime(QStringLiteral("24:00"), true), QStringLiteral("24:00"));
}

TEST(TypedValues, RegionFieldsStayOnTheCard)
{
    TRegion r;
    r.left = 0;
    r.top = 0;
    r.width = 128;
    r.height = 64;
    auto with = [&](RegionField f, const char* text) {
        return applyRegionField(r, f, QString::fromLatin1(text), 256, 128);
    };
    EXPECT_EQ(with(RegionField::Left, "13").left, 16);
    EXPECT_EQ(with(RegionField::Left, "12").left, 8);
    EXPECT_EQ(with(RegionField::Left, "256").left, 0);
    EXPECT_EQ(with(RegionField::Left, "-20").left, 0);
    const TRegion narrowed = with(RegionField::Left, "200");
    EXPECT_EQ(narrowed.left, 200);
    EXPECT_EQ(narrowed.width, 56);
    EXPECT_EQ(with(RegionField::Left, "x").left, 0);

    EXPECT_EQ(with(RegionField::Top, "13").top, 13); // not snapped
    EXPECT_EQ(with(RegionField::Top, "128").top, 0);
    const TRegion lower = with(RegionField::Top, "100");
    EXPECT_EQ(lower.height, 28);

    EXPECT_EQ(with(RegionField::Width, "5").width, 12); // raised, not snapped again
    EXPECT_EQ(with(RegionField::Width, "100").width, 96);
    EXPECT_EQ(with(RegionField::Width, "101").width, 104);
    EXPECT_EQ(with(RegionField::Width, "999").width, 256);
    EXPECT_EQ(with(RegionField::Height, "5").height, 12);
    EXPECT_EQ(with(RegionField::Height, "13").height, 13);
    EXPECT_EQ(with(RegionField::Height, "500").height, 128);

    r.left = 200;
    const TRegion pushed = with(RegionField::Width, "100");
    EXPECT_EQ(pushed.width, 96);
    EXPECT_EQ(pushed.left, 160);
    r.top = 100;
    const TRegion raised = with(RegionField::Height, "40");
    EXPECT_EQ(raised.height, 40);
    EXPECT_EQ(raised.top, 88);
}
