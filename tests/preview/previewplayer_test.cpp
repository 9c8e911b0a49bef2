// The preview's timing: which picture a region shows after each step, how
// long it waits, when a material and a page are done.
#include "model/materialkinds.h"
#include "preview/previewplayer.h"

#include <gtest/gtest.h>

#include <QColor>

using namespace ledsign;

namespace {

QImage solid(int w, int h, QColor c)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(c);
    return img;
}

// Materials are told apart by the colour the fake conversion paints: the
// material's playTimes-independent `textParam3` holds an RGB value.
MaterialPictures fakeConversion(const TFodder& m, int w, int h)
{
    MaterialPictures out;
    if (m.content == QLatin1String("fail")) {
        out.ok = false;
        return out;
    }
    const int count = std::max(1, m.partCount);
    for (int i = 0; i < count; ++i)
        out.pictures.append(solid(w, h, QColor::fromRgb(QRgb(m.textParam3 + i))));
    return out;
}

TFodder material(const QString& page, const QString& region, const QString& name, QRgb colour, int mode = 9,
                 int remain = 0, int playTimes = 1, int kind = kSingleText)
{
    TFodder m;
    m.cardName = QStringLiteral("C");
    m.pageName = page;
    m.regionName = region;
    m.name = name;
    m.kind = static_cast<MaterialKind>(kind);
    m.displayMode = mode;
    m.remainTime = remain;
    m.playTimes = playTimes;
    m.displaySpeed = 1;
    m.textParam3 = int(colour & 0xFFFFFF);
    m.partCount = 1;
    return m;
}

struct Fixture {
    ProjectModel model;

    void page(const QString& name, const QString& id)
    {
        TProgram p;
        p.cardName = QStringLiteral("C");
        p.name = name;
        p.id = id;
        model.appendPage(p);
    }
    void region(const QString& page, const QString& name, int w = 16, int h = 8)
    {
        TRegion r;
        r.cardName = QStringLiteral("C");
        r.pageName = page;
        r.name = name;
        r.width = w;
        r.height = h;
        model.appendRegion(r);
    }
    void add(const TFodder& m) { model.materials().append(m); }
};

QRgb centre(const RegionPlayer& p)
{
    const QImage img = p.picture();
    return img.pixel(img.width() / 2, img.height() / 2) & 0xFFFFFF;
}

} // namespace

TEST(PreviewPlayer, ShowsAtMostTwentyRegionsInListOrder)
{
    Fixture f;
    f.page(QStringLiteral("P1"), QStringLiteral("100000001"));
    for (int i = 1; i <= 21; ++i) {
        f.region(QStringLiteral("P1"), QStringLiteral("R%1").arg(i));
        f.add(material(QStringLiteral("P1"), QStringLiteral("R%1").arg(i), QStringLiteral("M"), 0x010101u * i));
    }
    PreviewPlayer player(f.model, QStringLiteral("C"), fakeConversion);
    ASSERT_TRUE(player.restart());
    ASSERT_EQ(player.regions().size(), 20);
    EXPECT_EQ(player.regionRecords().first().name, QStringLiteral("R1"));
    EXPECT_EQ(player.regionRecords().last().name, QStringLiteral("R20"));
    player.regions()[19].step();
    EXPECT_EQ(centre(player.regions()[19]), 0x141414u);
}

TEST(PreviewPlayer, IgnoresTextProgramPagesAndOtherCards)
{
    Fixture f;
    f.page(QStringLiteral("P1"), QStringLiteral("1"));
    TProgram tp;
    tp.cardName = QStringLiteral("C");
    tp.name = QStringLiteral("T");
    tp.id = QStringLiteral("2");
    tp.textProgramPage = 1;
    f.model.appendPage(tp);
    TProgram other;
    other.cardName = QStringLiteral("D");
    other.name = QStringLiteral("P1");
    other.id = QStringLiteral("3");
    f.model.appendPage(other);
    PreviewPlayer player(f.model, QStringLiteral("C"), fakeConversion);
    player.rebuildPages();
    EXPECT_EQ(player.pageIds(), QStringList{QStringLiteral("1")});
}

TEST(PreviewPlayer, PlayTimesRepeatAMaterialBeforeTheNext)
{
    Fixture f;
    f.page(QStringLiteral("P1"), QStringLiteral("1"));
    f.region(QStringLiteral("P1"), QStringLiteral("R"));
    f.add(material(QStringLiteral("P1"), QStringLiteral("R"), QStringLiteral("A"), 0xFF0000, 9, 0, 3));
    f.add(material(QStringLiteral("P1"), QStringLiteral("R"), QStringLiteral("B"), 0x00FF00, 9, 2, 1));
    PreviewPlayer player(f.model, QStringLiteral("C"), fakeConversion);
    ASSERT_TRUE(player.restart());
    RegionPlayer& r = player.regions()[0];
    QList<QRgb> shown;
    QList<int> waits;
    for (int i = 0; i < 5; ++i) {
        waits.append(r.step());
        shown.append(centre(r));
    }
    EXPECT_EQ(shown, (QList<QRgb>{0xFF0000, 0xFF0000, 0xFF0000, 0x00FF00, 0xFF0000}));
    // Stay 0 waits one second; a stay of 2 waits 2 x 5 s.
    EXPECT_EQ(waits, (QList<int>{1000, 1000, 1000, 10000, 1000}));
    // The region is done once its last material has played, and starts again.
    EXPECT_TRUE(r.done());
    EXPECT_EQ(r.currentMaterial(), 1);
}

TEST(PreviewPlayer, MovingTextScrollsFullyOutBeforeRepeating)
{
    Fixture f;
    f.page(QStringLiteral("P1"), QStringLiteral("1"));
    f.region(QStringLiteral("P1"), QStringLiteral("R"), 16, 8);
    TFodder m = material(QStringLiteral("P1"), QStringLiteral("R"), QStringLiteral("A"), 0xFFFFFF, 1, 0, 1);
    m.displaySpeed = 3;
    f.add(m);
    PreviewPlayer player(f.model, QStringLiteral("C"), fakeConversion);
    ASSERT_TRUE(player.restart());
    RegionPlayer& r = player.regions()[0];
    ASSERT_EQ(r.step(), 20);  // 5 s + 5
    EXPECT_EQ(r.frameCount(), 2) << "text plus one black picture";
    QImage img = r.picture();
    EXPECT_EQ(img.pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);

    // Right to left, one pixel per step: after k steps the text's left edge is at -k.
    for (int k = 1; k <= 15; ++k) {
        EXPECT_EQ(r.step(), 20);
        img = r.picture();
        EXPECT_EQ(img.pixel(15 - k, 4) & 0xFFFFFF, 0xFFFFFFu) << k;
        EXPECT_EQ(img.pixel(16 - k, 4) & 0xFFFFFF, 0u) << k;
    }
    r.step();  // 16th step: the text has left, the black picture fills the region
    img = r.picture();
    for (int x = 0; x < 16; ++x)
        EXPECT_EQ(img.pixel(x, 4) & 0xFFFFFF, 0u) << x;
    EXPECT_FALSE(r.done());
    EXPECT_EQ(r.frameIndex(), 1) << "the blank picture stands in place";
    for (int k = 0; k < 16; ++k)
        r.step();
    EXPECT_TRUE(r.done()) << "one pass of text and blank is the whole material";
}

TEST(PreviewPlayer, MovingTextWithAStayWaitsWhenInPlace)
{
    Fixture f;
    f.page(QStringLiteral("P1"), QStringLiteral("1"));
    f.region(QStringLiteral("P1"), QStringLiteral("R"), 8, 8);
    TFodder m = material(QStringLiteral("P1"), QStringLiteral("R"), QStringLiteral("A"), 0xFF0000, 3, 2, 2);
    m.partCount = 2;  // two pictures
    m.displaySpeed = 0;
    f.add(m);
    PreviewPlayer player(f.model, QStringLiteral("C"), fakeConversion);
    ASSERT_TRUE(player.restart());
    RegionPlayer& r = player.regions()[0];
    EXPECT_EQ(r.step(), 10000) << "the first picture stands where it starts";
    EXPECT_EQ(centre(r), 0xFF0000u);
    EXPECT_EQ(r.frameCount(), 2) << "no blank picture when the material stays";
    r.step(); // vertical steps take 4 x (5 s + 5)
    for (int k = 2; k < 8; ++k)
        EXPECT_EQ(r.step(), 20);
    EXPECT_EQ(r.step(), 10000) << "the second picture stands in place";
    EXPECT_EQ(centre(r), 0xFF0001u);
    EXPECT_EQ(r.frameIndex(), 1);
}

TEST(PreviewPlayer, TwoPagesChangeAtTheFirstCheckAfterEveryRegionIsDone)
{
    Fixture f;
    f.page(QStringLiteral("P1"), QStringLiteral("1"));
    f.page(QStringLiteral("P2"), QStringLiteral("2"));
    f.region(QStringLiteral("P1"), QStringLiteral("R1"));
    f.region(QStringLiteral("P1"), QStringLiteral("R2"));
    f.region(QStringLiteral("P2"), QStringLiteral("R1"));
    f.add(material(QStringLiteral("P1"), QStringLiteral("R1"), QStringLiteral("A"), 0x110000));
    f.add(material(QStringLiteral("P1"), QStringLiteral("R2"), QStringLiteral("B"), 0x220000, 9, 0, 2));
    f.add(material(QStringLiteral("P2"), QStringLiteral("R1"), QStringLiteral("C"), 0x330000));
    PreviewPlayer player(f.model, QStringLiteral("C"), fakeConversion);
    ASSERT_TRUE(player.restart());
    ASSERT_EQ(player.regions().size(), 2);

    // A region's round is over when it is due again after its last material.
    EXPECT_FALSE(player.checkPageChange());
    player.stepRegion(0);
    player.stepRegion(1);
    EXPECT_TRUE(player.regions()[0].done());
    EXPECT_FALSE(player.regions()[1].done()) << "second play of B still to come";
    player.stepRegion(0);
    EXPECT_FALSE(player.checkPageChange()) << "A's time is up, B plays again";
    player.stepRegion(1);
    EXPECT_FALSE(player.checkPageChange()) << "B's second play stands for its time";
    EXPECT_EQ(centre(player.regions()[1]), 0x220000u);
    EXPECT_EQ(player.stepRegion(1), 10) << "B's time is up: it waits for the page check";
    EXPECT_EQ(centre(player.regions()[1]), 0x220000u);
    ASSERT_TRUE(player.checkPageChange());
    EXPECT_EQ(player.currentPageId(), QStringLiteral("2"));
    ASSERT_EQ(player.regions().size(), 1);
    player.stepRegion(0);
    EXPECT_EQ(centre(player.regions()[0]), 0x330000u);
    // The last page keeps playing.
    player.stepRegion(0);
    EXPECT_TRUE(player.regions()[0].done());
    EXPECT_FALSE(player.checkPageChange());
    EXPECT_EQ(player.currentPageId(), QStringLiteral("2"));
}

TEST(PreviewPlayer, FailedConversionHidesTheArea)
{
    Fixture f;
    f.page(QStringLiteral("P1"), QStringLiteral("1"));
    f.region(QStringLiteral("P1"), QStringLiteral("R"));
    TFodder bad = material(QStringLiteral("P1"), QStringLiteral("R"), QStringLiteral("A"), 0x110000);
    bad.content = QStringLiteral("fail");
    f.add(bad);
    PreviewPlayer player(f.model, QStringLiteral("C"), fakeConversion);
    EXPECT_FALSE(player.restart());
    EXPECT_FALSE(player.areaVisible());
}

TEST(PreviewPlayer, CountWithUnreadableTimeCountsFromNow)
{
    const QDateTime now(QDate(2026, 12, 9), QTime(8, 0, 0));
    EXPECT_EQ(previewCountTarget(QStringLiteral("not a time"), now), now);
    EXPECT_EQ(previewCountTarget(QString(), now), now);
    EXPECT_EQ(previewCountTarget(QStringLiteral("2027-01-01 10:20:30"), now),
              QDateTime(QDate(2027, 1, 1), QTime(10, 20, 30)));

    Fixture f;
    f.page(QStringLiteral("P1"), QStringLiteral("1"));
    f.region(QStringLiteral("P1"), QStringLiteral("R"));
    TFodder count = material(QStringLiteral("P1"), QStringLiteral("R"), QStringLiteral("A"), 0, 0, 0, 1, kCountDown);
    count.content = QStringLiteral("31/31/31 99:99");
    f.add(count);
    QDateTime clock = now;
    QList<QPair<QDateTime, QDateTime>> calls;
    LiveRenderer live = [&](const TFodder&, const QDateTime& n, const QDateTime& target, const QSize& size) {
        calls.append({n, target});
        return solid(size.width(), size.height(), Qt::red);
    };
    PreviewPlayer player(f.model, QStringLiteral("C"), fakeConversion, [&] { return clock; }, live);
    ASSERT_TRUE(player.restart());
    RegionPlayer& r = player.regions()[0];
    EXPECT_EQ(r.step(), 500);
    clock = clock.addMSecs(500);
    EXPECT_EQ(r.step(), 500);
    ASSERT_EQ(calls.size(), 2);
    EXPECT_EQ(calls[0].second, now);
    EXPECT_EQ(calls[1].first, now.addMSecs(500));
    EXPECT_EQ(calls[1].second, now.addMSecs(500));
    EXPECT_EQ(centre(r), 0xFF0000u);
    // Stay 0: one second, i.e. done once 1500 ms have been counted.
    EXPECT_FALSE(r.done());
    r.step();
    EXPECT_TRUE(r.done());
}

TEST(PreviewPlayer, RevealEffectsOpenLineByLineAndEndComplete)
{
    Fixture f;
    f.page(QStringLiteral("P1"), QStringLiteral("1"));
    f.region(QStringLiteral("P1"), QStringLiteral("R"), 10, 6);
    f.add(material(QStringLiteral("P1"), QStringLiteral("R"), QStringLiteral("A"), 0x00FF00, 6, 1, 1));
    PreviewPlayer player(f.model, QStringLiteral("C"), fakeConversion);
    ASSERT_TRUE(player.restart());
    RegionPlayer& r = player.regions()[0];
    for (int k = 1; k < 10; ++k) {
        EXPECT_EQ(r.step(), 2);
        const QImage img = r.picture();
        EXPECT_EQ(img.pixel(k - 1, 3) & 0xFFFFFF, 0x00FF00u) << k;
        EXPECT_EQ(img.pixel(k, 3) & 0xFFFFFF, 0u) << k;
    }
    EXPECT_EQ(r.step(), 5000) << "complete: the stay follows";
    EXPECT_EQ(r.picture().pixel(9, 5) & 0xFFFFFF, 0x00FF00u);
    EXPECT_TRUE(r.done());
}

TEST(PreviewPlayer, MiddleAndBlindEffectsCoverTheWholeRegion)
{
    for (int mode : {10, 11, 12, 13, 15, 16}) {
        Fixture f;
        f.page(QStringLiteral("P1"), QStringLiteral("1"));
        f.region(QStringLiteral("P1"), QStringLiteral("R"), 11, 7);
        f.add(material(QStringLiteral("P1"), QStringLiteral("R"), QStringLiteral("A"), 0x0000FF, mode, 0, 1));
        PreviewPlayer player(f.model, QStringLiteral("C"), fakeConversion);
        ASSERT_TRUE(player.restart());
        RegionPlayer& r = player.regions()[0];
        int steps = 0;
        int wait = 0;
        while (!r.done() && steps < 100) {
            wait = r.step();
            ++steps;
            if (steps == 1) {
                const QImage first = r.picture();
                int lit = 0;
                for (int y = 0; y < 7; ++y)
                    for (int x = 0; x < 11; ++x)
                        lit += (first.pixel(x, y) & 0xFFFFFF) != 0;
                EXPECT_LT(lit, 77) << "mode " << mode << " shows everything at once";
            }
        }
        EXPECT_EQ(wait, 1000) << mode;
        const QImage img = r.picture();
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 11; ++x)
                ASSERT_EQ(img.pixel(x, y) & 0xFFFFFF, 0x0000FFu) << "mode " << mode << " at " << x << "," << y;
        // Blinds: pitch of a fifth of the other side + 1 (7/5 -> 1 + 1, 11/5 -> 2 + 1), steps 0..p.
        if (mode == 15) {
            EXPECT_EQ(steps, 3);
        } else if (mode == 16) {
            EXPECT_EQ(steps, 4);
        } else if (mode == 10 || mode == 11) {
            EXPECT_EQ(steps, 5);
        }
    }
}

TEST(PreviewPlayer, FlashTogglesUntilFiveSecondsThenStays)
{
    Fixture f;
    f.page(QStringLiteral("P1"), QStringLiteral("1"));
    f.region(QStringLiteral("P1"), QStringLiteral("R"), 8, 8);
    TFodder m = material(QStringLiteral("P1"), QStringLiteral("R"), QStringLiteral("A"), 0xFFFF00, 14, 3, 1);
    m.displaySpeed = 30;  // 1000 ms per toggle
    f.add(m);
    PreviewPlayer player(f.model, QStringLiteral("C"), fakeConversion);
    ASSERT_TRUE(player.restart());
    RegionPlayer& r = player.regions()[0];
    QList<bool> visible;
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(r.step(), 1000);
        visible.append(centre(r) != 0);
    }
    EXPECT_EQ(visible, (QList<bool>{false, true, false, true, false}));
    EXPECT_EQ(r.step(), 15000);
    EXPECT_EQ(centre(r), 0xFFFF00u);
    EXPECT_TRUE(r.done());
}

TEST(PreviewPlayer, AnimationPlaysFrameByFrameThenStays)
{
    Fixture f;
    f.page(QStringLiteral("P1"), QStringLiteral("1"));
    f.region(QStringLiteral("P1"), QStringLiteral("R"), 8, 8);
    TFodder m = material(QStringLiteral("P1"), QStringLiteral("R"), QStringLiteral("A"), 0x000010, 9, 0, 1, kAnimation);
    m.partCount = 3;
    m.displaySpeed = 4;
    f.add(m);
    PreviewPlayer player(f.model, QStringLiteral("C"), fakeConversion);
    ASSERT_TRUE(player.restart());
    RegionPlayer& r = player.regions()[0];
    EXPECT_EQ(r.step(), 50);
    EXPECT_EQ(centre(r), 0x10u);
    EXPECT_EQ(r.step(), 50);
    EXPECT_EQ(centre(r), 0x11u);
    EXPECT_EQ(r.step(), 1000);
    EXPECT_EQ(centre(r), 0x12u);
    EXPECT_TRUE(r.done());
}

TEST(PreviewPlayer, QueueAndRemoteTextStandForTheirStayThenThePageMovesOn)
{
    for (const MaterialKind kind : {kQueue, kRemoteText}) {
        SCOPED_TRACE(int(kind));
        Fixture f;
        f.page(QStringLiteral("P1"), QStringLiteral("1"));
        f.page(QStringLiteral("P2"), QStringLiteral("2"));
        f.region(QStringLiteral("P1"), QStringLiteral("R"), 8, 8);
        f.region(QStringLiteral("P2"), QStringLiteral("R"), 8, 8);
        f.add(material(QStringLiteral("P1"), QStringLiteral("R"), QStringLiteral("A"), 0x0000FF, 9, 2, 1, kind));
        f.add(material(QStringLiteral("P2"), QStringLiteral("R"), QStringLiteral("B"), 0x00FF00));
        PreviewPlayer player(f.model, QStringLiteral("C"), fakeConversion);
        ASSERT_TRUE(player.restart());
        EXPECT_EQ(player.stepRegion(0), 10000) << "a stay of 2 x 5 s";
        EXPECT_EQ(centre(player.regions()[0]), 0x0000FFu);
        EXPECT_FALSE(player.checkPageChange());
        player.stepRegion(0);
        ASSERT_TRUE(player.checkPageChange());
        player.stepRegion(0);
        EXPECT_EQ(centre(player.regions()[0]), 0x00FF00u);
    }
}

TEST(PreviewPlayer, OpeningNeedsASelectedCardWithContent)
{
    Fixture f;
    TFIXModem card;
    card.name = QStringLiteral("C");
    f.model.addCard(card);
    EXPECT_EQ(previewOpenProblem(f.model, QStringLiteral("C"), false), QStringLiteral("warn_send_preview_card_select"));
    EXPECT_EQ(previewOpenProblem(f.model, QStringLiteral("C"), true), QStringLiteral("warn_send_preview_card"));
    f.page(QStringLiteral("P1"), QStringLiteral("1"));
    f.region(QStringLiteral("P1"), QStringLiteral("R"));
    EXPECT_EQ(previewOpenProblem(f.model, QStringLiteral("C"), true), QStringLiteral("warn_send_preview_card"));
    f.add(material(QStringLiteral("P1"), QStringLiteral("R"), QStringLiteral("A"), 0xFF0000));
    EXPECT_TRUE(previewOpenProblem(f.model, QStringLiteral("C"), true).isEmpty());
    EXPECT_EQ(previewWindowSize(QSize(120, 300)), QSize(200, 350));
    EXPECT_EQ(previewWindowSize(QSize(640, 100)), QSize(640, 150));
}
