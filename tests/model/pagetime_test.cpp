#include "language/language.h"
#include "model/lenientdate.h"
#include "model/pagetime.h"

#include "support/testsupport.h"

#include <gtest/gtest.h>

using namespace ledsign;

namespace {

TProgram page(int mode, const QString& cycle = QString(), const QString& date = QString())
{
    TProgram p;
    p.playMode = mode;
    p.playCycle = cycle;
    p.playDate = date;
    return p;
}

QByteArray encode(const TProgram& p)
{
    QByteArray out;
    QString error;
    EXPECT_TRUE(encodePageTime(p, &out, &error)) << error.toStdString();
    return out;
}

} // namespace

TEST(PageTime, EveryDayCopiesTheTimes)
{
    EXPECT_EQ(encode(page(kPlayEveryDay)), QByteArray("00:00-24:00"));
    TProgram p = page(kPlayEveryDay);
    p.startTime = QStringLiteral("7:05");
    p.endTime = QStringLiteral("19:30");
    EXPECT_EQ(encode(p), QByteArray("7:05-19:30"));
}

TEST(PageTime, ByWeekPutsTheDaysInPlaceOfTheColons)
{
    TProgram p = page(kPlayByWeek, QStringLiteral("1;3;5"));
    p.startTime = QStringLiteral("08:00");
    p.endTime = QStringLiteral("18:30");
    EXPECT_EQ(encode(p), QByteArray("08") + char(0x42) + "00-18" + char(0x4A) + "30");

    setCurrentLanguage(kEnglish);
    const QByteArray everyday = encode(page(kPlayByWeek, GetLgText(3, QStringLiteral("cycle_everyday"))));
    EXPECT_EQ(everyday, QByteArray("00") + char(0x40) + "00-24" + char(0x40) + "00");

    const QByteArray all = encode(page(kPlayByWeek, QStringLiteral("0;1;2;3;4;5;6")));
    EXPECT_EQ(static_cast<unsigned char>(all[2]), 0x47);
    EXPECT_EQ(static_cast<unsigned char>(all[8]), 0x4F);
    const QByteArray sat = encode(page(kPlayByWeek, QStringLiteral("6")));
    EXPECT_EQ(static_cast<unsigned char>(sat[2]), 0x44);
    EXPECT_EQ(static_cast<unsigned char>(sat[8]), 0x40);

    // Too short to hold the second colon: only the first is replaced.
    TProgram shortTimes = page(kPlayByWeek, QStringLiteral("0"));
    shortTimes.startTime = QStringLiteral("8:0");
    shortTimes.endTime = QStringLiteral("9");
    EXPECT_EQ(encode(shortTimes), QByteArray("8:") + char(0x40) + "-9");
}

TEST(PageTime, ByDatePacksTheDateIntoDigitsAndColons)
{
    // 2024-05-01 08:30:15: year 24 (011000), month 5 (0101), day 1 (00001),
    // hour 8 (01000), minute 30 (011110), second 15 (001111).
    TProgram p = page(kPlayByDate, QString(), QStringLiteral("2024-05-01 08:30:15"));
    p.startTime = QStringLiteral("08:00");
    p.endTime = QStringLiteral("18:30");
    EXPECT_EQ(encode(p), test::hex("b0 88 85 80 a0 2d c1 98 8e 93 f0"));
    p.playMode = kPlayByDateAlt;
    EXPECT_EQ(encode(p), test::hex("b0 88 c5 80 a0 2d c1 98 ce 93 f0"));
    // Another mode value has no prefix: the colon bytes are the 4 date bits alone.
    p.playMode = 5;
    EXPECT_EQ(encode(p), test::hex("b0 88 05 80 a0 2d c1 98 0e 93 f0"));

    // The other accepted spellings of the same date give the same bytes.
    p.playMode = kPlayByDate;
    p.playDate = QStringLiteral("2024/5/1 8:30:15");
    EXPECT_EQ(encode(p), test::hex("b0 88 85 80 a0 2d c1 98 8e 93 f0"));
    p.playDate = QStringLiteral("2024.05.01 08:30:15");
    EXPECT_EQ(encode(p), test::hex("b0 88 85 80 a0 2d c1 98 8e 93 f0"));
}

TEST(PageTime, UnreadableDateIsAnErrorForTheCaller)
{
    QByteArray out("stale");
    QString error;
    EXPECT_FALSE(encodePageTime(page(kPlayByDate, QString(), QStringLiteral("someday")), &out, &error));
    EXPECT_TRUE(out.isEmpty());
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(encodePageTime(page(kPlayByDateAlt), &out, &error));
    // Week and every-day pages never look at the date.
    EXPECT_TRUE(encodePageTime(page(kPlayByWeek, QStringLiteral("1"), QStringLiteral("junk")), &out));
}

TEST(LenientDate, UsualFormsAndReplacedText)
{
    const QLocale c(QLocale::C);
    struct Case {
        const char* text;
        QDateTime expected;
    };
    const Case cases[] = {
        {"2024-05-01 00:00:00", QDateTime(QDate(2024, 5, 1), QTime(0, 0))},
        {"2024/5/1", QDateTime(QDate(2024, 5, 1), QTime(0, 0))},
        {"2024.05.01", QDateTime(QDate(2024, 5, 1), QTime(0, 0))},
        {"2024-12-31 23:59", QDateTime(QDate(2024, 12, 31), QTime(23, 59))},
        {" 2024-05-01 08:30:15 ", QDateTime(QDate(2024, 5, 1), QTime(8, 30, 15))},
    };
    for (const Case& k : cases) {
        const LenientDate d = parseLenientDate(QString::fromUtf8(k.text), c);
        EXPECT_TRUE(d.ok) << k.text;
        EXPECT_EQ(d.value, k.expected) << k.text;
    }
    // Mixed separators read after the replacement, and the text keeps it.
    const LenientDate mixed = parseLenientDate(QStringLiteral("2024-05.01"), c);
    ASSERT_TRUE(mixed.ok);
    EXPECT_EQ(mixed.text, QStringLiteral("2024/05/01"));
    EXPECT_EQ(mixed.value.date(), QDate(2024, 5, 1));

    EXPECT_FALSE(parseLenientDate(QStringLiteral("2024-13-01"), c).ok);
    EXPECT_FALSE(parseLenientDate(QString(), c).ok);
    EXPECT_FALSE(parseLenientDate(QStringLiteral("tomorrow"), c).ok);
}

// Forms are only tried when their separators are in the text: each separator
// combination must still reach its form, in both locales the window uses.
TEST(LenientDate, EveryTimeFormReachedWithItsSeparators)
{
    const QLocale zh(QLocale::Chinese, QLocale::China);
    const QDate may1(2024, 5, 1);
    for (const QLocale& locale : {QLocale(QLocale::C), zh}) {
        struct Case {
            const char* text;
            QTime time;
        };
        const Case cases[] = {
            {"2024-5-1 8:30", QTime(8, 30)},
            {"2024/5/1 8:30:15", QTime(8, 30, 15)},
            {"2024.5.1 8:30:15.250", QTime(8, 30, 15, 250)},
            {"2024-05-01T08:30:15", QTime(8, 30, 15)},
            {"2024.5-1 8:30", QTime(8, 30)},
        };
        for (const Case& k : cases) {
            const LenientDate d = parseLenientDate(QString::fromLatin1(k.text), locale);
            ASSERT_TRUE(d.ok) << k.text << " " << locale.name().toStdString();
            EXPECT_EQ(d.value, QDateTime(may1, k.time)) << k.text;
        }
        EXPECT_FALSE(parseLenientDate(QStringLiteral("2024-5-1 8:"), locale).ok);
        EXPECT_FALSE(parseLenientDate(QStringLiteral("----/..::"), locale).ok);
    }
}
