// The card playing a picture in every display mode of the descriptor,
// looked at at chosen instants of its play: which LEDs are lit follows from
// the mode, the speed and the remain time (the steps are those of the
// preview's timing model: moving 5·s+5 ms a pixel sideways and four times
// that up and down, expanding s+1 ms a line, blinds 10·(s+1) ms a step,
// flashing 10·s+700 ms a toggle, a stay of 5 s a remain unit).
#include "playrig.h"

#include <gtest/gtest.h>

namespace ledsign {
namespace {

using test::PlayRig;
using test::lit;

constexpr QRgb kRed = 0xFFFF0000;

// The panel's lit LEDs compared with `expected(x, y)` at every pixel.
void expectLit(const QImage& panel, const std::function<bool(int, int)>& expected, const char* when)
{
    int wrong = 0;
    QString first;
    for (int y = 0; y < panel.height(); ++y) {
        for (int x = 0; x < panel.width(); ++x) {
            const bool on = (panel.pixel(x, y) & 0xFFFFFF) != 0;
            if (on != expected(x, y)) {
                if (wrong++ == 0)
                    first = QStringLiteral("(%1,%2) is %3").arg(x).arg(y).arg(on ? "lit" : "dark");
            }
            if (on && panel.pixel(x, y) != kRed)
                ++wrong;
        }
    }
    EXPECT_EQ(wrong, 0) << when << ": first wrong pixel " << first.toStdString();
}

// A 128 x 32 card with one region at (16, 8), 64 x 16, playing `picture`.
struct OneRegion {
    PlayRig rig{128, 32};
    static constexpr int X = 16, Y = 8, W = 64, H = 16;

    card::CardPlayer play(const QImage& picture, int mode, int speed, int remain, int playTimes = 1)
    {
        TRegion& r = rig.region(rig.page(), X, Y, W, H);
        rig.pictures(r, {picture}, mode, speed, remain, playTimes);
        return rig.play();
    }
    static bool inRegion(int x, int y) { return x >= X && x < X + W && y >= Y && y < Y + H; }
};

TEST(DisplayModes, StaticShowsThePictureAtOnceAndStays)
{
    OneRegion t;
    card::CardPlayer p = t.play(lit(64, 16, [](int x, int y) { return (x + y) % 3 == 0; }), 9, 0, 255);
    for (qint64 ms : {0, 1000, 60000}) {
        p.advanceTo(ms);
        expectLit(p.picture(), [](int x, int y) {
            return OneRegion::inRegion(x, y) && (x - 16 + y - 8) % 3 == 0;
        }, "static");
    }
}

TEST(DisplayModes, MovingInTheFourDirections)
{
    // A picture with one lit column (or row) at its start; the back copy of
    // the picture follows the front one in from the other side. The picture
    // first stands in place for its remain time (5 s) and takes its first
    // step at its end.
    constexpr int kStand = 5000;
    const QImage column = lit(64, 16, [](int x, int) { return x == 0; });
    const QImage row = lit(64, 16, [](int, int y) { return y == 0; });
    {
        OneRegion t;
        card::CardPlayer p = t.play(column, 1, 0, 1); // right to left, 5 ms a pixel
        p.advanceTo(kStand + 45);                             // 10 pixels on: the back copy's column at 64 - 10
        expectLit(p.picture(), [](int x, int y) { return OneRegion::inRegion(x, y) && x == 16 + 54; }, "left 50 ms");
    }
    {
        OneRegion t;
        card::CardPlayer p = t.play(column, 2, 1, 1); // left to right, 10 ms a pixel
        p.advanceTo(kStand + 60);
        expectLit(p.picture(), [](int x, int y) { return OneRegion::inRegion(x, y) && x == 16 + 7; }, "right 70 ms");
    }
    {
        OneRegion t;
        card::CardPlayer p = t.play(row, 3, 0, 1); // bottom to top, 20 ms a pixel
        p.advanceTo(kStand + 80);                   // 5 rows up: the back copy's row at 16 - 5
        expectLit(p.picture(), [](int x, int y) { return OneRegion::inRegion(x, y) && y == 8 + 11; }, "up 100 ms");
    }
    {
        OneRegion t;
        card::CardPlayer p = t.play(row, 4, 0, 1); // top to bottom
        p.advanceTo(kStand + 80);
        expectLit(p.picture(), [](int x, int y) { return OneRegion::inRegion(x, y) && y == 8 + 5; }, "down 100 ms");
    }
}

TEST(DisplayModes, MovingStopsForItsRemainTimeWhenAPictureStandsInPlace)
{
    OneRegion t;
    TRegion& r = t.rig.region(t.rig.page(), OneRegion::X, OneRegion::Y, OneRegion::W, OneRegion::H);
    // Two pictures: a column at the left edge, then one at the right edge.
    t.rig.pictures(r, {lit(64, 16, [](int x, int) { return x == 0; }), lit(64, 16, [](int x, int) { return x == 63; })},
                   1, 0, 1);
    card::CardPlayer p = t.rig.play();
    // The first picture stands 5 s where it starts; 64 pixels of 5 ms then
    // bring the second into place at 5315 ms, where it stands 5 s before
    // both move on.
    const auto leftColumn = [](int x, int y) { return OneRegion::inRegion(x, y) && x == 16; };
    const auto rightColumn = [](int x, int y) { return OneRegion::inRegion(x, y) && x == 16 + 63; };
    for (const auto& [ms, expected, when] : {std::tuple{qint64(0), leftColumn, "first at the start"},
                                              std::tuple{qint64(4999), leftColumn, "first still standing"}}) {
        p.advanceTo(ms);
        expectLit(p.picture(), expected, when);
    }
    p.advanceTo(5005); // the first column has left, the second is not in yet
    expectLit(p.picture(), [](int, int) { return false; }, "on its way");
    p.advanceTo(5315);
    expectLit(p.picture(), rightColumn, "second in place");
    p.advanceTo(10314);
    expectLit(p.picture(), rightColumn, "second still standing");
    p.advanceTo(10320); // two pixels on, the first picture following
    expectLit(p.picture(), [](int x, int y) { return OneRegion::inRegion(x, y) && (x == 16 + 61 || x == 16 + 62); },
              "moving again");
}

TEST(DisplayModes, ALoneMovingPictureStandsForItsRemainTimeEachTimeItIsInPlace)
{
    OneRegion t;
    card::CardPlayer p = t.play(lit(64, 16, [](int x, int) { return x == 0; }), 1, 0, 1);
    // Stands 5 s, moves 64 pixels of 5 ms (its copy following it in), is
    // taken again and stands another 5 s.
    const auto columnAt = [](int at) {
        return [at](int x, int y) { return OneRegion::inRegion(x, y) && x == 16 + at; };
    };
    for (const auto& [ms, at] : {std::pair{0, 0}, {4999, 0}, {5100, 64 - 21}, {5320, 0}, {10319, 0}}) {
        p.advanceTo(ms);
        expectLit(p.picture(), columnAt(at), qPrintable(QStringLiteral("at %1 ms").arg(ms)));
    }
}

TEST(DisplayModes, ExpandingFromEverySide)
{
    const QImage all = lit(64, 16, [](int, int) { return true; });
    struct Case {
        int mode;
        qint64 ms;
        std::function<bool(int, int)> shown; // in region coordinates
    };
    // Speed 4: a line every 5 ms, the first at once: n steps by (n-1)·5 ms.
    const Case cases[] = {
        {5, 50, [](int x, int) { return x >= 64 - 11; }},                 // right to left: 11 columns
        {6, 50, [](int x, int) { return x < 11; }},                       // left to right
        {7, 20, [](int, int y) { return y >= 16 - 5; }},                  // bottom to top: 5 rows
        {8, 20, [](int, int y) { return y < 5; }},                        // top to bottom
        {10, 15, [](int x, int) { return x >= 32 - 4 && x < 32 + 4; }},  // middle to the sides
        {11, 15, [](int x, int) { return x < 4 || x >= 64 - 4; }},        // sides to the middle
        {12, 10, [](int, int y) { return y >= 8 - 3 && y < 8 + 3; }},     // middle up and down
        {13, 10, [](int, int y) { return y < 3 || y >= 16 - 3; }},        // top and bottom to the middle
    };
    for (const Case& c : cases) {
        OneRegion t;
        card::CardPlayer p = t.play(all, c.mode, 4, 1);
        p.advanceTo(c.ms);
        expectLit(p.picture(), [&c](int x, int y) { return OneRegion::inRegion(x, y) && c.shown(x - 16, y - 8); },
                  qPrintable(QStringLiteral("mode %1").arg(c.mode)));
        // Whole once every line is out, and it stays for its remain time.
        p.advanceTo(c.ms + 400);
        expectLit(p.picture(), OneRegion::inRegion, qPrintable(QStringLiteral("mode %1 whole").arg(c.mode)));
    }
}

TEST(DisplayModes, Blinds)
{
    const QImage all = lit(64, 16, [](int, int) { return true; });
    {
        // Right blinds: slats every round(16 / 5) + 1 = 4 columns; step i
        // widens each to i - 1 pixels, one step every 10 ms at speed 0.
        OneRegion t;
        card::CardPlayer p = t.play(all, 15, 0, 1);
        p.advanceTo(20); // third step: two pixels a slat
        expectLit(p.picture(), [](int x, int y) { return OneRegion::inRegion(x, y) && (x - 16) % 4 < 2; }, "right");
    }
    {
        // Down blinds: rows every round(64 / 5) + 1 = 14.
        OneRegion t;
        card::CardPlayer p = t.play(all, 16, 1, 1); // 20 ms a step
        p.advanceTo(60);                            // fourth step: three rows a slat
        expectLit(p.picture(), [](int x, int y) { return OneRegion::inRegion(x, y) && (y - 8) % 14 < 3; }, "down");
    }
}

TEST(DisplayModes, FlashingTogglesThenStays)
{
    OneRegion t;
    // Speed 3: every toggle lasts 730 ms; six toggles (4380 ms) fit in 5 s,
    // a seventh would not.
    card::CardPlayer p = t.play(lit(64, 16, [](int, int) { return true; }), 14, 3, 1);
    const auto dark = [](int, int) { return false; };
    p.advanceTo(100);
    expectLit(p.picture(), dark, "first toggle");
    p.advanceTo(730 + 100);
    expectLit(p.picture(), OneRegion::inRegion, "second toggle");
    p.advanceTo(2 * 730 + 100);
    expectLit(p.picture(), dark, "third toggle");
    p.advanceTo(6 * 730 + 100);
    expectLit(p.picture(), OneRegion::inRegion, "after the last toggle");
    p.advanceTo(6 * 730 + 4000);
    expectLit(p.picture(), OneRegion::inRegion, "stays for its remain time");
}

TEST(DisplayModes, MaterialsInOrderWithTheirPlayCounts)
{
    OneRegion t;
    TRegion& r = t.rig.region(t.rig.page(), OneRegion::X, OneRegion::Y, OneRegion::W, OneRegion::H);
    // The first picture twice for 5 s each, then the second once for 10 s.
    t.rig.pictures(r, {lit(64, 16, [](int x, int) { return x < 8; })}, 9, 0, 1, 2);
    t.rig.pictures(r, {lit(64, 16, [](int x, int) { return x >= 56; })}, 9, 0, 2, 1);
    card::CardPlayer p = t.rig.play();
    const auto first = [](int x, int y) { return OneRegion::inRegion(x, y) && x < 16 + 8; };
    const auto second = [](int x, int y) { return OneRegion::inRegion(x, y) && x >= 16 + 56; };
    p.advanceTo(4999);
    expectLit(p.picture(), first, "first, once");
    p.advanceTo(9999);
    expectLit(p.picture(), first, "first, twice");
    p.advanceTo(10000);
    expectLit(p.picture(), second, "second");
    p.advanceTo(19999);
    expectLit(p.picture(), second, "second, its 10 s");
    p.advanceTo(20000);
    expectLit(p.picture(), first, "first again");
}

TEST(DisplayModes, RegionsPlayAtTheSameTime)
{
    PlayRig rig(128, 32);
    TProgram& page = rig.page();
    rig.pictures(rig.region(page, 0, 0, 64, 32), {lit(64, 32, [](int, int) { return true; })}, 9, 0, 1);
    rig.pictures(rig.region(page, 64, 0, 64, 32), {lit(64, 32, [](int, int) { return true; })}, 6, 9, 1);
    card::CardPlayer p = rig.play();
    // The right region expands a column every 10 ms while the left one stands.
    p.advanceTo(90);
    expectLit(p.picture(), [](int x, int) { return x < 64 || x < 64 + 10; }, "both regions");
}

TEST(DisplayModes, StopShowsNothingAndStartPlaysFromTheBeginning)
{
    OneRegion t;
    TRegion& r = t.rig.region(t.rig.page(), OneRegion::X, OneRegion::Y, OneRegion::W, OneRegion::H);
    t.rig.pictures(r, {lit(64, 16, [](int x, int) { return x < 8; })}, 9, 0, 1);
    t.rig.pictures(r, {lit(64, 16, [](int x, int) { return x >= 56; })}, 9, 0, 1);
    card::CardPlayer p = t.rig.play();
    p.advanceTo(6000);
    expectLit(p.picture(), [](int x, int y) { return OneRegion::inRegion(x, y) && x >= 16 + 56; }, "second");
    p.setPlaying(false);
    p.advanceTo(7000);
    expectLit(p.picture(), [](int, int) { return false; }, "stopped");
    p.setPlaying(true);
    p.advanceTo(7000);
    expectLit(p.picture(), [](int x, int y) { return OneRegion::inRegion(x, y) && x < 16 + 8; }, "started again");
}

} // namespace
} // namespace ledsign
