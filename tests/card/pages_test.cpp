// Pages by their play times, week days and dates on the card's clock, and
// one page after another once every region has played all its materials.
#include "playrig.h"
#include "pageschedule.h"

#include "model/pagetime.h"

#include <gtest/gtest.h>

namespace ledsign {
namespace {

using card::PageTime;
using test::PlayRig;
using test::lit;

TEST(PageTimes, ReadsTheThreeFormsWrittenByHand)
{
    PageTime t;
    QString why;
    ASSERT_TRUE(card::readPageTime("08:00-12:30", t, why)) << why.toStdString();
    EXPECT_EQ(t.days, PageTime::Days::Every);
    EXPECT_EQ(t.startMinute, 8 * 60);
    EXPECT_EQ(t.endMinute, 12 * 60 + 30);

    // Monday, Wednesday and Friday: 01000 010 and 0100 1010 for the colons.
    ASSERT_TRUE(card::readPageTime(QByteArray("08\x42" "00-24\x4A" "00"), t, why)) << why.toStdString();
    EXPECT_EQ(t.days, PageTime::Days::Week);
    EXPECT_EQ(t.weekDays, 0b0101010);
    EXPECT_EQ(t.endMinute, 24 * 60);

    // Before 2026-12-10 00:00:00, 08:00-12:00: year 26 month 12 day 10 and
    // zero time as 32 bits 011010 1100 01010 00000 000000 000000, three
    // bits a digit ("1" bbb dddd), four a colon ("1000" bbbb).
    const QByteArray before = QByteArray::fromHex("B0A88CA0C02D8182808080");
    ASSERT_TRUE(card::readPageTime(before, t, why)) << why.toStdString();
    EXPECT_EQ(t.days, PageTime::Days::BeforeDate);
    EXPECT_EQ(t.date, QDateTime(QDate(2026, 12, 10), QTime(0, 0)));
    EXPECT_EQ(t.startMinute, 8 * 60);
    EXPECT_EQ(t.endMinute, 12 * 60);
    // The same with "1100" colons plays after the date.
    QByteArray after = before;
    after[2] = char(0xCC);
    after[8] = char(0xC0);
    ASSERT_TRUE(card::readPageTime(after, t, why));
    EXPECT_EQ(t.days, PageTime::Days::AfterDate);

    EXPECT_FALSE(card::readPageTime("08:00_12:00", t, why));
    EXPECT_FALSE(card::readPageTime("08:0012:00", t, why));
    EXPECT_FALSE(card::readPageTime("08:70-12:00", t, why));
}

TEST(PageTimes, AgreeWithWhatTheProgramWrites)
{
    TProgram page;
    page.startTime = QStringLiteral("08:00");
    page.endTime = QStringLiteral("12:00");
    page.playMode = kPlayByDate;
    page.playDate = QStringLiteral("2026-12-10 00:00:00");
    QByteArray bytes;
    ASSERT_TRUE(encodePageTime(page, &bytes));
    EXPECT_EQ(bytes.toHex().toUpper(), QByteArray("B0A88CA0C02D8182808080"));
}

TEST(PageTimes, PlaysWithinItsTimesDaysAndDates)
{
    PageTime t;
    QString why;
    ASSERT_TRUE(card::readPageTime(QByteArray("22\x42" "00-06\x4A" "00"), t, why)); // Mon Wed Fri, over midnight
    const QDate wednesday(2026, 12, 9);
    EXPECT_TRUE(card::playsAt(t, QDateTime(wednesday, QTime(23, 0))));
    EXPECT_TRUE(card::playsAt(t, QDateTime(wednesday, QTime(5, 59))));
    EXPECT_FALSE(card::playsAt(t, QDateTime(wednesday, QTime(6, 0))));
    EXPECT_FALSE(card::playsAt(t, QDateTime(wednesday.addDays(-1), QTime(23, 0)))); // Tuesday
    ASSERT_TRUE(card::readPageTime(QByteArray::fromHex("B0A88CA0C02D8182808080"), t, why));
    EXPECT_TRUE(card::playsAt(t, QDateTime(wednesday, QTime(9, 0))));
    EXPECT_FALSE(card::playsAt(t, QDateTime(wednesday.addDays(1), QTime(9, 0))));
}

struct TwoPages : ::testing::Test {
    PlayRig rig{64, 16};
    static bool leftHalf(const QImage& p) { return (p.pixel(0, 0) & 0xFFFFFF) && !(p.pixel(63, 0) & 0xFFFFFF); }
    static bool rightHalf(const QImage& p) { return !(p.pixel(0, 0) & 0xFFFFFF) && (p.pixel(63, 0) & 0xFFFFFF); }
    static bool dark(const QImage& p) { return test::litCount(p, p.rect()) == 0; }

    void add(const TProgram& page, bool left)
    {
        rig.pictures(rig.region(page, 0, 0, 64, 16), {lit(64, 16, [left](int x, int) { return left == (x < 32); })}, 9,
                     0, 1);
    }
};

TEST_F(TwoPages, FollowTheirPlayTimesOnTheCardsClock)
{
    add(rig.page(QStringLiteral("08:00"), QStringLiteral("12:00")), true);
    add(rig.page(QStringLiteral("12:00"), QStringLiteral("18:00")), false);
    rig.now = QDateTime(QDate(2026, 12, 9), QTime(11, 59, 58));
    card::CardPlayer p = rig.play();
    p.advanceTo(0);
    EXPECT_EQ(p.currentPage(), 0);
    EXPECT_TRUE(leftHalf(p.picture()));
    rig.now = rig.now.addSecs(3); // 12:00:01
    p.advanceTo(3000);
    EXPECT_EQ(p.currentPage(), 1);
    EXPECT_TRUE(rightHalf(p.picture()));
    rig.clock.set(QDateTime(QDate(2026, 12, 9), QTime(19, 0)));
    p.advanceTo(3500);
    EXPECT_EQ(p.currentPage(), -1);
    EXPECT_TRUE(dark(p.picture()));
}

TEST_F(TwoPages, TakeTurnsWhenEveryRegionHasPlayed)
{
    add(rig.page(), true);
    add(rig.page(), false);
    card::CardPlayer p = rig.play();
    p.advanceTo(4999); // a remain time of 5 s
    EXPECT_EQ(p.currentPage(), 0);
    p.advanceTo(5000);
    EXPECT_EQ(p.currentPage(), 1);
    EXPECT_TRUE(rightHalf(p.picture()));
    p.advanceTo(10000);
    EXPECT_EQ(p.currentPage(), 0);
    EXPECT_TRUE(leftHalf(p.picture()));
}

TEST(CardPages, AQueueOrRemoteTextPageGivesWayAfterItsStay)
{
    for (const MaterialKind kind : {kQueue, kRemoteText}) {
        SCOPED_TRACE(int(kind));
        PlayRig rig{64, 16};
        TFodder& m = rig.material(rig.region(rig.page(), 0, 0, 64, 16), kind);
        m.remainTime = 2; // 10 s
        const TProgram& second = rig.page();
        rig.pictures(rig.region(second, 0, 0, 64, 16), {lit(64, 16, [](int x, int) { return x >= 32; })}, 9, 0, 1);
        card::CardPlayer p = rig.play();
        p.advanceTo(9999);
        EXPECT_EQ(p.currentPage(), 0);
        p.advanceTo(10000);
        EXPECT_EQ(p.currentPage(), 1);
        EXPECT_TRUE(TwoPages::rightHalf(p.picture()));
    }
}

TEST_F(TwoPages, WeekDaysAndDates)
{
    add(rig.page(QStringLiteral("00:00"), QStringLiteral("24:00"), kPlayByWeek, QStringLiteral("1;3;5")), true);
    add(rig.page(QStringLiteral("00:00"), QStringLiteral("24:00"), kPlayByDateAlt, {},
                 QStringLiteral("2026-12-10 00:00:00")),
        false);
    rig.now = QDateTime(QDate(2026, 12, 8), QTime(9, 0)); // Tuesday, before the date: neither
    card::CardPlayer p = rig.play();
    p.advanceTo(0);
    EXPECT_EQ(p.currentPage(), -1);
    rig.now = QDateTime(QDate(2026, 12, 9), QTime(9, 0)); // Wednesday
    p.advanceTo(100);
    EXPECT_EQ(p.currentPage(), 0);
    rig.now = QDateTime(QDate(2026, 12, 10), QTime(9, 0)); // Thursday, after the date
    p.advanceTo(200);
    EXPECT_EQ(p.currentPage(), 1);
    EXPECT_TRUE(rightHalf(p.picture()) || dark(p.picture())); // it has begun
    p.advanceTo(300);
    EXPECT_TRUE(rightHalf(p.picture()));
}

} // namespace
} // namespace ledsign
