// Storing what the drag frame did in the region record.
#include "editing/canvasregionsync.h"

#include <gtest/gtest.h>

using namespace ledsign;
using namespace ledsign::canvas;

namespace {

struct SyncProject {
    SyncProject(int cardWidth = 256, int cardHeight = 128)
    {
        TFIXModem card;
        card.name = QStringLiteral("c");
        card.width = cardWidth;
        card.height = cardHeight;
        model.addCard(card);
        TRegion r;
        r.cardName = QStringLiteral("c");
        r.pageName = QStringLiteral("p");
        r.name = QStringLiteral("area1");
        r.panelName = QStringLiteral("pnRegion3");
        r.width = 64;
        r.height = 32;
        model.appendRegion(r);
    }
    TRegion& region() { return model.regions().first(); }
    ProjectModel model;
};

} // namespace

TEST(RegionSync, FrameMadeFindsButStoresNothing)
{
    SyncProject p;
    QRect rect(40, 40, 100, 100);
    const Found<TRegion> found = syncRegionGeometry(p.model, SyncMode::FrameMade, QStringLiteral("pnRegion3"), rect, 10);
    ASSERT_TRUE(found);
    EXPECT_EQ(found.index, 0);
    EXPECT_EQ(p.region().left, 0);
    EXPECT_EQ(rect, QRect(40, 40, 100, 100));

    // A frame over a panel that no region has changes no record.
    QRect other(8, 8, 64, 64);
    EXPECT_FALSE(syncRegionGeometry(p.model, SyncMode::Pressed, QStringLiteral("pnRegion9"), other, 10));
    EXPECT_FALSE(syncRegionGeometry(p.model, SyncMode::Pressed, QString(), other, 10));
    EXPECT_EQ(p.region().width, 64);
}

TEST(RegionSync, ZoomOneSnapsLeftAndWidth)
{
    SyncProject p;
    QRect rect(13, 5, 100, 40);
    ASSERT_TRUE(syncRegionGeometry(p.model, SyncMode::Pressed, QStringLiteral("pnRegion3"), rect, 10));
    EXPECT_EQ(p.region().left, 16);
    EXPECT_EQ(p.region().top, 5);
    EXPECT_EQ(p.region().width, 96);
    EXPECT_EQ(p.region().height, 40);
    EXPECT_EQ(rect, QRect(16, 5, 96, 40));

    rect = QRect(12, 5, 101, 5);
    syncRegionGeometry(p.model, SyncMode::Resized, QStringLiteral("pnRegion3"), rect, 10);
    EXPECT_EQ(p.region().left, 8);
    EXPECT_EQ(p.region().width, 104);
    EXPECT_EQ(p.region().height, 12);
    EXPECT_EQ(rect.height(), 12);
}

TEST(RegionSync, OtherZoomsConvertToLedPixels)
{
    SyncProject p;
    // Zoom 2: canvas 32, 16, 128 x 64 is LED 16, 8, 64 x 32.
    QRect rect(32, 16, 128, 64);
    syncRegionGeometry(p.model, SyncMode::Pressed, QStringLiteral("pnRegion3"), rect, 20);
    EXPECT_EQ(p.region().left, 16);
    EXPECT_EQ(p.region().top, 8);
    EXPECT_EQ(p.region().width, 64);
    EXPECT_EQ(p.region().height, 32);
    EXPECT_EQ(rect, QRect(32, 16, 128, 64));

    // Zoom 3: the top is converted for the record but the panel keeps it.
    rect = QRect(24, 7, 48, 60);
    syncRegionGeometry(p.model, SyncMode::Pressed, QStringLiteral("pnRegion3"), rect, 30);
    EXPECT_EQ(p.region().left, 8);
    EXPECT_EQ(p.region().top, 2);
    EXPECT_EQ(p.region().width, 16);
    EXPECT_EQ(p.region().height, 20);
    EXPECT_EQ(rect, QRect(24, 7, 48, 60));

    // Zoom 0.5: a frame settled at 12 canvas pixels is 24 LED pixels.
    rect = QRect(0, 0, 12, 12);
    syncRegionGeometry(p.model, SyncMode::Resized, QStringLiteral("pnRegion3"), rect, 5);
    EXPECT_EQ(p.region().width, 24);
    EXPECT_EQ(rect.width(), 12);
}

TEST(RegionSync, SmallWidthsKeepTheSmallestRegion)
{
    SyncProject p;
    // 12 canvas pixels at zoom 1 snap to 8: the region stays 12 wide and
    // settling again gives the same.
    QRect rect(0, 0, 12, 30);
    syncRegionGeometry(p.model, SyncMode::Resized, QStringLiteral("pnRegion3"), rect, 10);
    EXPECT_EQ(p.region().width, 12);
    EXPECT_EQ(rect.width(), 12);
    QRect again = rect;
    syncRegionGeometry(p.model, SyncMode::Resized, QStringLiteral("pnRegion3"), again, 10);
    EXPECT_EQ(again, rect);
}

TEST(RegionSync, ResizingBeyondTheCardIsPulledBack)
{
    SyncProject p;
    QRect rect(200, 100, 104, 60); // reaches 304 x 160 on a 256 x 128 card
    syncRegionGeometry(p.model, SyncMode::Resized, QStringLiteral("pnRegion3"), rect, 10);
    EXPECT_EQ(p.region().left + p.region().width, 256);
    EXPECT_EQ(p.region().width, 104);
    EXPECT_EQ(p.region().left, 152);
    EXPECT_EQ(p.region().top + p.region().height, 128);
    EXPECT_EQ(p.region().height, 60);
    EXPECT_EQ(rect, QRect(152, 68, 104, 60));

    rect = QRect(0, 0, 1000, 1000);
    syncRegionGeometry(p.model, SyncMode::Resized, QStringLiteral("pnRegion3"), rect, 10);
    EXPECT_EQ(QRect(p.region().left, p.region().top, p.region().width, p.region().height), QRect(0, 0, 256, 128));
}
