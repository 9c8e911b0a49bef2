// Display texts of the materials whose content the card computes itself.

#include "content/displaytext.h"
#include "content/shortrunmarkup.h"
#include "model/materialkinds.h"

#include <gtest/gtest.h>

#include <QMap>

namespace ledsign {
namespace {

const QDateTime kNow(QDate(2013, 6, 2), QTime(8, 9, 10)); // a Sunday

DisplayTextContext contextWith(const QMap<QString, QString>& words, const QDateTime& now = kNow)
{
    DisplayTextContext ctx;
    ctx.clock = [now] { return now; };
    ctx.locale = QLocale::c();
    ctx.lookup = [words](int, const QString& key) { return words.value(key); };
    ctx.dateSeparator = QLatin1Char('/');
    ctx.timeSeparator = QLatin1Char(':');
    return ctx;
}

const QMap<QString, QString> kChinese{{"Unit_Year", "年"},   {"Unit_Month", "月"},  {"Unit_Week", "星期"},
                                      {"Unit_Day", "天"},    {"Unit_Date", "日"},   {"Unit_Hour", "时"},
                                      {"Unit_Minute", "分"}, {"Unit_Second", "秒"},
                                      {"material_real_time_acquisition", "实时采集"}};
const QMap<QString, QString> kEnglish{{"Unit_Year", "-"}, {"Unit_Month", "-"},  {"Unit_Week", "-"},
                                      {"Unit_Day", "-"},  {"Unit_Date", "-"},   {"Unit_Hour", "-"},
                                      {"Unit_Minute", "-"}, {"Unit_Second", "-"}};

TFodder timeMaterial(int timeFormat, int displayFormat)
{
    TFodder m = defaultMaterial(kDateTime, kNow);
    m.digitColor = 1; // red digits
    m.charColor = 2;  // green units
    m.fontCode = 3;
    m.sizeCode = 2;
    m.timeFormat = timeFormat;
    m.displayFormat = displayFormat;
    return m;
}

// The runs of a display text as (colour, text) pairs.
QList<std::pair<QColor, QString>> runsOf(const QString& markup)
{
    QList<std::pair<QColor, QString>> out;
    for (const ShortRun& r : parseShortRuns(markup))
        out << std::make_pair(r.color, r.text);
    return out;
}

const QColor kRed(255, 0, 0);
const QColor kGreen(0, 128, 0);

TEST(DateTimeDisplayText, PrefixesNameColourFontAndPointSize)
{
    EXPECT_EQ(displayRunPrefix(1, 3, 2), QStringLiteral("clRed^黑体^18^"));
    EXPECT_EQ(displayRunPrefix(9, 1, 9), QStringLiteral("^宋体^12^"));
}

TEST(DateTimeDisplayText, EnglishUnitWordsAreColouredOnceEach)
{
    const TFodder m = timeMaterial(3, 1);
    const QString text = dateTimeDisplayText(m, contextWith(kEnglish));
    const QString d = QStringLiteral("clRed^黑体^18^");
    const QString c = QStringLiteral("clGreen^黑体^18^");
    const QString sep = QStringLiteral("~*") + c + QStringLiteral("-~*") + d;
    EXPECT_EQ(text, d + QStringLiteral("08") + sep + QStringLiteral("09") + sep + QStringLiteral("10") + sep);

    const auto runs = runsOf(text);
    ASSERT_GE(runs.size(), 5);
    EXPECT_EQ(runs.at(0), std::make_pair(kRed, QStringLiteral("08")));
    EXPECT_EQ(runs.at(1), std::make_pair(kGreen, QStringLiteral("-")));
    EXPECT_EQ(runs.at(2), std::make_pair(kRed, QStringLiteral("09")));
    EXPECT_EQ(runs.at(3), std::make_pair(kGreen, QStringLiteral("-")));
    EXPECT_EQ(runs.at(4), std::make_pair(kRed, QStringLiteral("10")));
}

TEST(DateTimeDisplayText, PlainTextsOfTheFormatTable)
{
    const DisplayTextContext ctx = contextWith(kChinese);
    EXPECT_EQ(dateTimePlainText(1, 1, false, kNow, ctx), QStringLiteral("2013年06月02日 Sun 08时09分10秒"));
    EXPECT_EQ(dateTimePlainText(2, 1, true, kNow, ctx), QStringLiteral("13年06月02日"));
    EXPECT_EQ(dateTimePlainText(1, 2, false, kNow, ctx), QStringLiteral("2013-06-02 08:09:10"));
    EXPECT_EQ(dateTimePlainText(1, 3, true, kNow, ctx), QStringLiteral("02/06/2013 08:09:10"));
    EXPECT_EQ(dateTimePlainText(4, 2, false, kNow, ctx), QStringLiteral("08:09"));
    EXPECT_EQ(dateTimePlainText(5, 1, false, kNow, ctx), QStringLiteral("Sun"));
    EXPECT_EQ(dateTimePlainText(6, 3, true, kNow, ctx), QStringLiteral("13"));
    EXPECT_EQ(dateTimePlainText(8, 1, false, kNow, ctx), QStringLiteral("02日"));
    EXPECT_EQ(dateTimePlainText(11, 2, false, kNow, ctx), QStringLiteral("10"));
    EXPECT_EQ(dateTimePlainText(12, 1, false, kNow, ctx), QString());

    DisplayTextContext dots = ctx;
    dots.dateSeparator = QLatin1Char('.');
    EXPECT_EQ(dateTimePlainText(2, 3, false, kNow, dots), QStringLiteral("02.06.2013"));
}

TEST(DateTimeDisplayText, SeparatorsAndChineseUnitsInTheCharacterColour)
{
    const TFodder m = timeMaterial(2, 2);
    const auto runs = runsOf(dateTimeDisplayText(m, contextWith(kChinese)));
    QString red;
    QString green;
    for (const auto& [colour, text] : runs)
        (colour == kRed ? red : green) += text;
    EXPECT_EQ(red, QStringLiteral("20130602"));
    EXPECT_EQ(green, QStringLiteral("--"));

    const auto chinese = runsOf(dateTimeDisplayText(timeMaterial(3, 1), contextWith(kChinese)));
    ASSERT_GE(chinese.size(), 6);
    EXPECT_EQ(chinese.at(1), std::make_pair(kGreen, QStringLiteral("时")));
    EXPECT_EQ(chinese.at(5), std::make_pair(kGreen, QStringLiteral("秒")));
}

TEST(CountDisplayText, SpansOfEveryFormat)
{
    const DisplayTextContext ctx = contextWith(kChinese);
    // 1 day, 2 hours, 3 minutes, 4 seconds to go.
    const QDateTime target = kNow.addSecs(86400 + 2 * 3600 + 3 * 60 + 4);
    EXPECT_EQ(countPlainText(1, false, false, target, kNow, ctx), QStringLiteral("1天2时03分04秒"));
    EXPECT_EQ(countPlainText(2, true, false, target, kNow, ctx), QStringLiteral("26时03分04秒"));
    EXPECT_EQ(countPlainText(2, false, false, target, kNow, ctx), QStringLiteral("2时03分04秒"));
    EXPECT_EQ(countPlainText(3, false, false, target, kNow, ctx), QStringLiteral("2时03分"));
    EXPECT_EQ(countPlainText(4, false, false, target, kNow, ctx), QStringLiteral("1天"));
    EXPECT_EQ(countPlainText(5, true, false, target, kNow, ctx), QStringLiteral("26时"));
    EXPECT_EQ(countPlainText(6, true, false, target, kNow, ctx), QStringLiteral("1563分"));
    EXPECT_EQ(countPlainText(6, false, false, target, kNow, ctx), QStringLiteral("3分"));
    EXPECT_EQ(countPlainText(7, false, false, target, kNow, ctx), QStringLiteral("4秒"));
    EXPECT_EQ(countPlainText(8, true, false, target, kNow, ctx), QStringLiteral("1563分04秒"));
    // A count-up counts from a target in the past.
    EXPECT_EQ(countPlainText(1, false, true, kNow.addSecs(-61), kNow, ctx), QStringLiteral("0天0时01分01秒"));
}

TEST(CountDisplayText, CountUpFromTheFutureShowsZero)
{
    TFodder m = defaultMaterial(kCountUp, kNow);
    m.content = QStringLiteral("2013-06-03 00:00:00");
    m.timeFormat = 1;
    m.digitColor = 1;
    m.charColor = 2;
    QString digits;
    for (const auto& [colour, text] : runsOf(countDisplayText(m, contextWith(kChinese))))
        if (colour == kRed)
            digits += text;
    EXPECT_EQ(digits, QStringLiteral("000000"));

    TFodder down = defaultMaterial(kCountDown, kNow);
    down.content = QStringLiteral("2013-06-01 00:00:00"); // over already
    down.timeFormat = 7;
    EXPECT_TRUE(countDisplayText(down, contextWith(kChinese)).contains(QStringLiteral("^0~*")));
}

TEST(OtherDisplayTexts, AcquisitionAndInternalCode)
{
    TFodder a = defaultMaterial(kAcquisition, kNow);
    a.digitColor = 3;
    a.fontCode = 1;
    a.sizeCode = 0;
    EXPECT_EQ(acquisitionDisplayText(a, contextWith(kChinese)), QStringLiteral("clYellow^宋体^9^实时采集"));

    TFodder c = defaultMaterial(kInternalCodeText, kNow);
    c.charColor = 6;
    c.fontCode = 2;
    c.sizeCode = 3;
    c.content = QStringLiteral("内码");
    const QList<ShortRun> runs = parseShortRuns(materialDisplayText(c, contextWith(kChinese)));
    ASSERT_EQ(runs.size(), 1);
    EXPECT_EQ(runs.first().text, QStringLiteral("内码"));
    EXPECT_EQ(runs.first().pointSize, 23);
    EXPECT_TRUE(materialDisplayText(defaultMaterial(kTable, kNow), contextWith(kChinese)).isEmpty());
}

} // namespace
} // namespace ledsign
