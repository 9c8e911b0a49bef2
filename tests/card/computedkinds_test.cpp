// What the card draws itself from a material's block, at instants of its
// clock chosen by the test: the clock in its format and colours, counts
// from their targets, internal-code text, queue numbers, acquired values
// and text-program texts. The text and where each character stands are
// worked out here by hand; each character cell is compared pixel by pixel
// with the card's glyph of that character in the expected colour.
#include "cardface.h"
#include "cardglyphs.h"
#include "playrig.h"

#include <gtest/gtest.h>

namespace ledsign {
namespace {

using test::PlayRig;

constexpr QRgb kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kYellow = 0xFFFFFF00;

struct Expected {
    QString text;
    QList<QRgb> colours; // one per character
    int x;               // left edge of the first cell
    int y;               // top of the line
    int pixels;          // glyph size
};

// Cell widths by hand: ASCII half the glyph size, everything else whole.
int cellOf(QChar c, int pixels) { return c.unicode() < 0x80 ? pixels / 2 : pixels; }

void expectText(const QImage& panel, const Expected& e)
{
    int x = e.x;
    int wrong = 0;
    for (qsizetype i = 0; i < e.text.size(); ++i) {
        const QChar c = e.text[i];
        const QImage& mask = card::glyphMask(c, 1, e.pixels);
        ASSERT_EQ(mask.width(), cellOf(c, e.pixels));
        if (!c.isSpace()) {
            EXPECT_GT(test::litCount(mask, mask.rect()), 3) << "glyph of " << QString(c).toStdString() << " is empty";
        }
        for (int y = 0; y < mask.height(); ++y) {
            for (int dx = 0; dx < mask.width(); ++dx) {
                const bool on = (mask.pixel(dx, y) & 0xFFFFFF) != 0;
                const QRgb want = on ? e.colours[i] : 0xFF000000;
                if (panel.pixel(x + dx, e.y + y) != want && wrong++ < 3)
                    ADD_FAILURE() << "character " << i << " '" << QString(c).toStdString() << "' at (" << x + dx << ","
                                  << e.y + y << ")";
            }
        }
        x += mask.width();
    }
    // Nothing lit outside the text.
    const QRect text(e.x, e.y, x - e.x, e.pixels);
    EXPECT_EQ(test::litCount(panel, panel.rect()), test::litCount(panel, text));
}

QList<QRgb> byDigits(const QString& text, QRgb digit, QRgb other)
{
    QList<QRgb> out;
    for (const QChar c : text)
        out.append(c.isDigit() ? digit : other);
    return out;
}

// A dual-colour card with one region filling it.
card::CardPlayer playOne(PlayRig& rig, int kind, const std::function<void(TFodder&)>& set, card::LiveInputs in = {})
{
    TFodder& m = rig.material(rig.region(rig.page(), 0, 0, rig.width, rig.height), kind);
    m.displayMode = 9;
    m.remainTime = 1;
    set(m);
    card::CardPlayer p = rig.play(std::move(in));
    p.advanceTo(0);
    return p;
}

TEST(ComputedKinds, GlyphsDifferAndDigitsAreHalfWidth)
{
    EXPECT_NE(card::glyphMask(u'1', 1, 16), card::glyphMask(u'7', 1, 16));
    EXPECT_EQ(card::glyphMask(u'8', 1, 24).size(), QSize(12, 24));
    EXPECT_EQ(card::glyphMask(u'时', 1, 24).size(), QSize(24, 24));
    EXPECT_EQ(card::glyphPixels(0), 12);
    EXPECT_EQ(card::glyphPixels(7), 96);
}

TEST(ComputedKinds, ClockRunsFromTheCalibratedTimeInItsColours)
{
    PlayRig rig(64, 16, kColorDual);
    card::CardPlayer p = playOne(rig, kDateTime, [](TFodder& m) {
        m.timeFormat = 3;    // hours minutes seconds
        m.displayFormat = 2; // HH:MM:SS
        m.digitColor = 2;    // green
        m.charColor = 3;     // yellow
        m.fontCode = 1;
        m.sizeCode = 1;      // 16 x 16
        m.timeDiffSign = 0;
        m.diffHours = 0;
        m.diffMinutes = 0;
    });
    // The calibration sets the card's clock; it runs on from there.
    rig.clock.set(QDateTime(QDate(2026, 12, 9), QTime(12, 34, 56)));
    p.advanceTo(500);
    expectText(p.picture(), {"12:34:56", byDigits("12:34:56", kGreen, kYellow), 0, 0, 16});
    rig.now = rig.now.addSecs(65); // 1 min 5 s later on the card's source
    p.advanceTo(1000);
    expectText(p.picture(), {"12:36:01", byDigits("12:36:01", kGreen, kYellow), 0, 0, 16});
}

TEST(ComputedKinds, ClockAppliesItsTimeDifferenceAndFormat)
{
    PlayRig rig(128, 32, kColorDual);
    card::CardPlayer p = playOne(rig, kDateTime, [](TFodder& m) {
        m.timeFormat = 4;    // hours and minutes
        m.displayFormat = 1; // with unit words
        m.digitColor = 1;
        m.charColor = 2;
        m.sizeCode = 2;      // 24 x 24
        m.timeDiffSign = 1;  // lead
        m.diffHours = 1;
        m.diffMinutes = 30;
    });
    rig.clock.set(QDateTime(QDate(2026, 12, 9), QTime(12, 34, 56)));
    p.advanceTo(500);
    // 14时04分: four digits of 12 and two words of 24 pixels = 96, centred
    // in 128 from 16; the 24-pixel line from (32 - 24) / 2 = 4.
    const QString text = QStringLiteral("14时04分");
    expectText(p.picture(), {text, byDigits(text, kRed, kGreen), 16, 4, 24});
}

TEST(ComputedKinds, DateWithTwoDigitYear)
{
    PlayRig rig(64, 16, kColorSingle);
    card::CardPlayer p = playOne(rig, kDateTime, [](TFodder& m) {
        m.timeFormat = 2;    // date
        m.displayFormat = 3; // MM/DD/YYYY
        m.textParam2 = 1;    // two year digits
        m.sizeCode = 0;      // 12 x 12: 8 characters of 6 = 48, from 8
    });
    rig.clock.set(QDateTime(QDate(2027, 3, 4), QTime(0, 0, 1)));
    p.advanceTo(500);
    expectText(p.picture(), {"03/04/27", QList<QRgb>(8, kRed), 8, 2, 12});
}

TEST(ComputedKinds, CountDownAndCountUpFromTheirTargets)
{
    {
        PlayRig rig(128, 16, kColorDual);
        card::CardPlayer p = playOne(rig, kCountDown, [](TFodder& m) {
            m.content = QStringLiteral("2026-12-10 00:00:00");
            m.timeFormat = 2; // hours minutes seconds
            m.displayFormat = 1;
            m.timeDiffSign = 0;
            m.digitColor = 1;
            m.charColor = 2;
            m.sizeCode = 1;
        });
        // 1 h 1 min 30 s before the target: 1时01分30秒, 5 digits and 3
        // words = 88 pixels, from (128 - 88) / 2 = 20.
        rig.clock.set(QDateTime(QDate(2026, 12, 9), QTime(22, 58, 30)));
        p.advanceTo(500);
        const QString text = QStringLiteral("1时01分30秒");
        expectText(p.picture(), {text, byDigits(text, kRed, kGreen), 20, 0, 16});
        // Past the target it stands at zero.
        rig.clock.set(QDateTime(QDate(2026, 12, 10), QTime(0, 0, 5)));
        p.advanceTo(1000);
        const QString zero = QStringLiteral("0时00分00秒");
        expectText(p.picture(), {zero, byDigits(zero, kRed, kGreen), 20, 0, 16});
    }
    {
        PlayRig rig(128, 16, kColorDual);
        card::CardPlayer p = playOne(rig, kCountUp, [](TFodder& m) {
            m.content = QStringLiteral("2026-12-08 21:00:00");
            m.timeFormat = 1; // days hours minutes seconds
            m.displayFormat = 1;
            m.digitColor = 3;
            m.charColor = 1;
            m.sizeCode = 1;
        });
        // 25 h 58 min 30 s since: 1天1时58分30秒 = 6 digits and 4 words =
        // 112 pixels, from 8.
        rig.clock.set(QDateTime(QDate(2026, 12, 9), QTime(22, 58, 30)));
        p.advanceTo(500);
        const QString text = QStringLiteral("1天1时58分30秒");
        expectText(p.picture(), {text, byDigits(text, kYellow, kRed), 8, 0, 16});
    }
}

TEST(ComputedKinds, InternalCodeTextInItsColourAndSize)
{
    PlayRig rig(64, 16, kColorDual);
    card::CardPlayer p = playOne(rig, kInternalCodeText, [](TFodder& m) {
        m.content = QStringLiteral("AB");
        m.charColor = 2;
        m.fontCode = 1;
        m.sizeCode = 0; // 12: two cells of 6, centred from 26, the line from 2
    });
    expectText(p.picture(), {"AB", {kGreen, kGreen}, 26, 2, 12});
}

TEST(ComputedKinds, RotatedTextTurnsEachCharacterOrTheWholeRegion)
{
    // Each character turned: the glyph a quarter clockwise in a square cell,
    // the two squares of 16 centred from 16.
    {
        PlayRig rig(64, 16, kColorDual);
        card::CardPlayer p = playOne(rig, kInternalCodeText, [](TFodder& m) {
            m.content = QStringLiteral("AB");
            m.charColor = 1;
            m.rotateMode = 1;
        });
        QImage expected(64, 16, QImage::Format_RGB32);
        expected.fill(Qt::black);
        for (int i = 0; i < 2; ++i) {
            const QImage& upright = card::glyphMask(QChar(u'A' + i), 1, 16); // 8 x 16
            for (int y = 0; y < upright.height(); ++y) {
                for (int x = 0; x < upright.width(); ++x) {
                    // (x, y) turns to (15 - y, x), moved down by (16 - 8) / 2.
                    if (upright.pixel(x, y) & 0xFFFFFF)
                        expected.setPixel(16 + 16 * i + 15 - y, 4 + x, kRed);
                }
            }
        }
        EXPECT_EQ(p.picture(), expected);
    }
    // The whole region turned: a tall panel shows what the same text shows
    // upright on a panel of its sides exchanged, turned a quarter clockwise.
    const auto clockOn = [](int w, int h, int rotate) {
        PlayRig rig(w, h, kColorDual);
        card::CardPlayer p = playOne(rig, kDateTime, [rotate](TFodder& m) {
            m.timeFormat = 3; // hhmmss
            m.rotateMode = rotate;
        });
        return p.picture();
    };
    const QImage upright = clockOn(64, 16, 0);
    ASSERT_GT(test::litCount(upright, upright.rect()), 20);
    EXPECT_EQ(clockOn(16, 64, 2), upright.transformed(QTransform().rotate(90)));
}

TEST(ComputedKinds, QueueNumberInTheColoursOfItsPairing)
{
    PlayRig rig(64, 16, kColorDual);
    card::LiveInputs in;
    in.queueNumber = QStringLiteral("A12");
    card::CardPlayer p = playOne(rig, kQueue, [](TFodder& m) {
        m.charColor = 1; // pairing 1: green digits, red other characters
        m.fontCode = 1;
        m.sizeCode = 1;
    }, in);
    expectText(p.picture(), {"A12", {kRed, kGreen, kGreen}, 20, 0, 16});
}

TEST(ComputedKinds, AcquiredValueWithItsUnitAndAlignment)
{
    {
        PlayRig rig(64, 16, kColorDual);
        card::LiveInputs in;
        in.acquiredValue = QStringLiteral("23.456");
        card::CardPlayer p = playOne(rig, kAcquisition, [](TFodder& m) {
            m.displayFormat = 5;  // float with one decimal
            m.timeFormat = 20480; // its type number
            m.content = QStringLiteral(" kg ");
            m.digitColor = 2;
            m.charColor = 2;
            m.sizeCode = 1;
            m.textParam2 = 2;     // right
            m.diffHours = 0;
            m.diffMinutes = 0;
        }, in);
        p.advanceTo(500);
        expectText(p.picture(), {"23.5kg", QList<QRgb>(6, kGreen), 64 - 48, 0, 16});
    }
    {
        PlayRig rig(64, 16, kColorSingle);
        card::LiveInputs in;
        in.acquiredValue = QStringLiteral("-7");
        card::CardPlayer p = playOne(rig, kAcquisition, [](TFodder& m) {
            m.displayFormat = 3; // 16-bit integer
            m.timeFormat = 8384;
            m.content = QStringLiteral("V");
            m.sizeCode = 1;
            m.textParam2 = 0;    // left ...
            m.diffHours = 3;     // ... moved 3 columns right
            m.diffMinutes = 0;
        }, in);
        p.advanceTo(500);
        expectText(p.picture(), {"-7V", QList<QRgb>(3, kRed), 3, 0, 16});
    }
}

TEST(ComputedKinds, TextProgramRunsKeepTheirOwnColoursAndSizes)
{
    const QList<card::TextRun> runs = card::cardTextRuns(QStringLiteral("#^0#^2#^1#^1#~AB;#^0#^3#^1#^0#~C"));
    ASSERT_EQ(runs.size(), 2);
    EXPECT_EQ(runs[0].text, QStringLiteral("AB"));
    EXPECT_EQ(runs[0].color, 2);
    EXPECT_EQ(runs[0].sizeCode, 1);
    EXPECT_EQ(runs[1].text, QStringLiteral("C"));
    EXPECT_EQ(runs[1].color, 3);
    EXPECT_EQ(runs[1].sizeCode, 0);
    const QList<QImage> pages = card::textPages(runs, QSize(64, 16), 2);
    ASSERT_EQ(pages.size(), 1);
    // A 16-pixel line of 8 + 8 + 6 = 22 pixels from 21; the small C stands
    // on the line's foot, its 12 rows from row 4.
    QImage left = pages[0];
    for (int y = 0; y < 16; ++y) {
        for (int x = 37; x < 64; ++x)
            left.setPixel(x, y, 0xFF000000);
    }
    expectText(left, {"AB", {kGreen, kGreen}, 21, 0, 16});
    QImage right = pages[0];
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 37; ++x)
            right.setPixel(x, y, 0xFF000000);
    }
    expectText(right, {"C", {kYellow}, 37, 4, 12});
}

} // namespace
} // namespace ledsign
