// Values of the date-time and play-by-week dialogs.
#include "content/dateforms.h"
#include "content/weekcycle.h"

#include <gtest/gtest.h>

using namespace ledsign;

TEST(DateForms, ReadsTheThreeFormsAndWritesOne)
{
    const QDateTime now(QDate(2026, 1, 2), QTime(3, 4, 5));
    const QLocale c(QLocale::C);
    for (const char* text : {"2013.06.02 08:09:10", "2013-06-02 08:09:10", "2013/6/2 8:9:10",
                             "2013-06-02\xE3\x80\x80" "08:09:10"}) {
        const DialogDateTime d = readDialogDateTime(QString::fromUtf8(text), now, c);
        ASSERT_TRUE(d.ok) << text;
        EXPECT_EQ(d.value, QDateTime(QDate(2013, 6, 2), QTime(8, 9, 10))) << text;
        EXPECT_EQ(formatDialogDateTime(d.value.date(), d.value.time()), QStringLiteral("2013-06-02 08:09:10"));
    }
    EXPECT_EQ(readDialogDateTime(QStringLiteral(" "), now, c).value, now);
    const DialogDateTime bad = readDialogDateTime(QStringLiteral("32/13/2013"), now, c);
    EXPECT_FALSE(bad.ok);
    EXPECT_TRUE(bad.error.contains(QStringLiteral("32/13/2013")));

    EXPECT_FALSE(dateControlsEnabled(DatePlayChoice::EveryDay));
    EXPECT_TRUE(dateControlsEnabled(DatePlayChoice::BeforeDate));
    EXPECT_TRUE(dateControlsEnabled(DatePlayChoice::AfterDate));
}

TEST(WeekCycle, ReadAndWriteValues)
{
    const QString everyDay = QStringLiteral("每天");
    WeekCycle c = parseWeekCycle(QStringLiteral("1;3;5"), everyDay);
    EXPECT_FALSE(c.everyDay);
    EXPECT_EQ(c.days, (std::array<bool, 7>{false, true, false, true, false, true, false}));
    QString value;
    ASSERT_TRUE(formatWeekCycle(c, everyDay, &value));
    EXPECT_EQ(value, QStringLiteral("1;3;5"));

    c = parseWeekCycle(QStringLiteral("6;0;x;9"), everyDay);
    EXPECT_EQ(c.days, (std::array<bool, 7>{true, false, false, false, false, false, true}));
    ASSERT_TRUE(formatWeekCycle(c, everyDay, &value));
    EXPECT_EQ(value, QStringLiteral("0;6"));

    c = parseWeekCycle(everyDay, everyDay);
    EXPECT_TRUE(c.everyDay);
    ASSERT_TRUE(formatWeekCycle(c, everyDay, &value));
    EXPECT_EQ(value, everyDay);

    WeekCycle none;
    none.everyDay = false;
    value = QStringLiteral("kept");
    EXPECT_FALSE(formatWeekCycle(none, everyDay, &value));
    EXPECT_EQ(value, QStringLiteral("kept"));
}

TEST(WeekCycle, DialogTextsPutSundayFirst)
{
    QStringList english{"Play date", "Every day", "By week", "Mon", "Tue", "Wed", "Thu", "Fri",
                        "Sat", "Sun", "Set", "Close", "Daily", "Choose days"};
    const WeekDialogTexts t = weekDialogTexts(english);
    EXPECT_EQ(t.dayNames[0], QStringLiteral("Sun"));
    EXPECT_EQ(t.dayNames[1], QStringLiteral("Mon"));
    EXPECT_EQ(t.dayNames[6], QStringLiteral("Sat"));
    EXPECT_EQ(t.everyDayValue, QStringLiteral("Daily"));
    EXPECT_EQ(t.noDayMessage, QStringLiteral("Choose days"));
    const WeekDialogTexts fallback = weekDialogTexts({});
    EXPECT_EQ(fallback.noDayMessage, QStringLiteral("请选择星期项进行设置！"));
    EXPECT_EQ(fallback.dayNames[0], QStringLiteral("星期日"));
}
