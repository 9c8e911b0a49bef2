// Zoom, units, the grid, panel sizes, region colours and the drag frame's
// handles and moves, and where a new region goes.
#include "editing/canvasgeometry.h"
#include "editing/regionplacement.h"

#include <gtest/gtest.h>

using namespace ledsign;
using namespace ledsign::canvas;

TEST(CanvasZoom, StepsAreHeldAtBothEnds)
{
    double a = 1;
    a = zoomStep(a, true);
    EXPECT_DOUBLE_EQ(a, 0.5);
    a = zoomStep(a, true);
    EXPECT_DOUBLE_EQ(a, 0.5);
    const double expected[] = {1, 2, 3, 4, 5, 6, 6};
    for (double e : expected) {
        a = zoomStep(a, false);
        EXPECT_DOUBLE_EQ(a, e);
    }
    EXPECT_DOUBLE_EQ(zoomStep(4, true), 3);
    EXPECT_DOUBLE_EQ(zoomStep(0, false), 0.5);   // an unreadable label
    EXPECT_DOUBLE_EQ(zoomStep(1.5, true), 0.5);  // a value between the steps
    EXPECT_EQ(zoomTenths(0.5), 5);
    EXPECT_EQ(zoomTenths(6), 60);
}

TEST(CanvasZoom, LabelTextAndCardZoom)
{
    EXPECT_EQ(zoomLabelText(0.5), QStringLiteral("0.5"));
    EXPECT_EQ(zoomLabelText(1), QStringLiteral("1"));
    EXPECT_EQ(zoomLabelText(0), QStringLiteral("1"));
    EXPECT_DOUBLE_EQ(zoomFactorFromLabel(QStringLiteral("2")), 2);
    EXPECT_DOUBLE_EQ(zoomFactorFromLabel(QStringLiteral("x")), 0);
    EXPECT_DOUBLE_EQ(zoomFactorOfCard(30), 3);
    EXPECT_DOUBLE_EQ(zoomFactorOfCard(5), 0.5);
    EXPECT_DOUBLE_EQ(zoomFactorOfCard(0), 1);
}

TEST(CanvasUnits, ConversionsTruncateAndTheZoomCommandRoundsHalvesToEven)
{
    EXPECT_EQ(ledToCanvas(13, 5), 6);
    EXPECT_EQ(canvasToLed(13, 20), 6);
    EXPECT_EQ(canvasToLed(7, 30), 2);
    EXPECT_EQ(ledToCanvas(16, 20), 32);
    EXPECT_EQ(ledToCanvas(-13, 5), -6);
    EXPECT_EQ(canvasToLed(10, 0), 10); // no zoom: taken as 1
    EXPECT_EQ(scaleRounded(13, 0.5), 6);  // 6.5 -> 6
    EXPECT_EQ(scaleRounded(15, 0.5), 8);  // 7.5 -> 8
    EXPECT_EQ(scaleRounded(64, 3), 192);
}

TEST(CanvasGrid, RemaindersUpToFourRoundDown)
{
    EXPECT_EQ(snapToGrid(12), 8);
    EXPECT_EQ(snapToGrid(13), 16);
    EXPECT_EQ(snapToGrid(100), 96);
    EXPECT_EQ(snapToGrid(101), 104);
    EXPECT_EQ(snapToGrid(0), 0);
    EXPECT_EQ(snapToGrid(7), 8);
    EXPECT_EQ(snapToGrid(4), 0);
    EXPECT_EQ(snapToGrid(-12), -8);
    EXPECT_EQ(snapToGrid(-13), -16);
}

TEST(CanvasPanels, CardAndPagePanelsAndCentring)
{
    EXPECT_EQ(cardPanelSize(256, 128, 1), QSize(272, 144));
    EXPECT_EQ(cardPanelSize(256, 128, 0.5), QSize(144, 80));
    EXPECT_EQ(cardPanelSize(64, 32, 3), QSize(208, 112));
    EXPECT_EQ(pagePanelRect(QSize(272, 144)), QRect(7, 7, 256, 128));
    EXPECT_EQ(centredPosition(QSize(400, 300), QSize(272, 144)), QPoint(64, 78));
    EXPECT_EQ(centredPosition(QSize(401, 100), QSize(272, 144)), QPoint(64, 0));
}

TEST(CanvasPanels, RegionRectanglesAndCaptions)
{
    TRegion r;
    r.left = 16;
    r.top = 8;
    r.width = 64;
    r.height = 32;
    EXPECT_EQ(regionCanvasRect(r, 20), QRect(32, 16, 128, 64));
    EXPECT_EQ(regionCanvasRectAt(r, 2), QRect(32, 16, 128, 64));
    EXPECT_EQ(captionPointSize(20), 36);
    EXPECT_EQ(captionPointSize(5), 9);
    r.left = 13;
    EXPECT_EQ(regionCanvasRect(r, 5).left(), 6);
    EXPECT_EQ(regionCanvasRectAt(r, 0.5).left(), 6);
    r.left = 15;
    EXPECT_EQ(regionCanvasRect(r, 5).left(), 7);
    EXPECT_EQ(regionCanvasRectAt(r, 0.5).left(), 8);
}

TEST(CanvasPanels, RegionColoursByNumber)
{
    const QString area = QStringLiteral("area");
    EXPECT_EQ(regionColor(QStringLiteral("area9"), area), QColor(128, 128, 0));
    EXPECT_EQ(regionColor(QStringLiteral("area2"), area), QColor(128, 128, 0));
    EXPECT_EQ(regionColor(QStringLiteral("area1"), area), QColor(128, 128, 128));
    EXPECT_EQ(regionColor(QStringLiteral("area4"), area), QColor(166, 202, 240));
    EXPECT_EQ(regionColor(QStringLiteral("area14"), area), QColor(128, 0, 0));
    EXPECT_EQ(regionColor(QStringLiteral("area15"), area), std::nullopt);
    EXPECT_EQ(regionColor(QStringLiteral("area0"), area), std::nullopt);
    // Not a number once the word is gone: region 1.
    EXPECT_EQ(regionNumber(QStringLiteral("banner"), area), 1);
    EXPECT_EQ(regionColor(QStringLiteral("banner"), area), QColor(128, 128, 128));
    EXPECT_EQ(regionNumber(QStringLiteral("区域6"), QStringLiteral("区域")), 6);
}

TEST(DragFrame, HandlesSitOnTheCornersAndEdges)
{
    const auto handles = frameHandles(QSize(100, 41));
    EXPECT_EQ(handles[0].rect, QRect(0, 0, 5, 5));
    EXPECT_EQ(handles[1].rect, QRect(47, 0, 5, 5));
    EXPECT_EQ(handles[2].rect, QRect(95, 0, 5, 5));
    EXPECT_EQ(handles[3].rect, QRect(95, 17, 5, 5));
    EXPECT_EQ(handles[4].rect, QRect(95, 36, 5, 5));
    EXPECT_EQ(handles[5].rect, QRect(47, 36, 5, 5));
    EXPECT_EQ(handles[6].rect, QRect(0, 36, 5, 5));
    EXPECT_EQ(handles[7].rect, QRect(0, 17, 5, 5));
    EXPECT_EQ(handleAt(QPoint(99, 40), QSize(100, 41)), Edge::BottomRight);
    EXPECT_EQ(handleAt(QPoint(2, 20), QSize(100, 41)), Edge::Left);
    EXPECT_EQ(handleAt(QPoint(50, 20), QSize(100, 41)), std::nullopt);
    EXPECT_EQ(handleAt(QPoint(100, 40), QSize(100, 41)), std::nullopt);
}

TEST(DragFrame, DraggingStaysOnThePageAndSnapsTheLeft)
{
    const QSize page(256, 128);
    const QRect frame(0, 0, 64, 32);
    // Pressed at (10, 10), mouse now at (23, 15): wanted left 13 -> 16.
    EXPECT_EQ(dragTopLeft(QPoint(23, 15), QPoint(10, 10), frame, page), QPoint(16, 5));
    EXPECT_EQ(dragTopLeft(QPoint(22, 15), QPoint(10, 10), frame, page), QPoint(8, 5));
    // Past the right and bottom edges: back against them.
    EXPECT_EQ(dragTopLeft(QPoint(400, 400), QPoint(10, 10), frame, page), QPoint(192, 96));
    // Past the left and top edges.
    EXPECT_EQ(dragTopLeft(QPoint(-50, -50), QPoint(10, 10), frame, page), QPoint(0, 0));
    // A frame wider or taller than the page stays at its corner.
    EXPECT_EQ(placeFrame(QPoint(30, 30), QSize(300, 200), page), QPoint(0, 0));
}

TEST(DragFrame, ResizingAndSettling)
{
    const QRect start(16, 8, 64, 32);
    EXPECT_EQ(resizeFrame(start, Edge::Right, QPoint(36, 0)), QRect(16, 8, 100, 32));
    EXPECT_EQ(resizeFrame(start, Edge::TopLeft, QPoint(-8, -4)), QRect(8, 4, 72, 36));
    EXPECT_EQ(resizeFrame(start, Edge::Bottom, QPoint(50, -100)), QRect(16, 8, 64, 1));
    EXPECT_EQ(resizeFrame(start, Edge::Left, QPoint(200, 0)), QRect(79, 8, 1, 32));
    EXPECT_EQ(resizeFrame(start, Edge::BottomRight, QPoint(9000, 9000)).size(), QSize(5000, 2000));

    EXPECT_EQ(settleFrame(QRect(0, 0, 100, 30)).width(), 96);
    EXPECT_EQ(settleFrame(QRect(0, 0, 101, 30)).width(), 104);
    EXPECT_EQ(settleFrame(QRect(0, 0, 40, 5)).height(), 12);
    EXPECT_EQ(settleFrame(QRect(0, 0, 3, 40)).width(), 12);
    EXPECT_EQ(settleFrame(QRect(5, 6, 40, 40)).topLeft(), QPoint(5, 6));

    EXPECT_EQ(keyStep(10), QSize(8, 1));
    EXPECT_EQ(keyStep(5), QSize(8, 1));
    EXPECT_EQ(keyStep(20), QSize(16, 2));
    EXPECT_EQ(keyStep(60), QSize(48, 6));
}

TEST(NewRegion, GoesBesideOrBelowTheRegionsWhereItFitsElseTopLeft)
{
    const QSize page(256, 128);
    const QSize half(128, 64);
    EXPECT_EQ(newRegionPosition(half, page, {}), QPoint(0, 0));
    EXPECT_EQ(newRegionPosition(half, page, {QRect(0, 0, 128, 64)}), QPoint(128, 0));
    EXPECT_EQ(newRegionPosition(half, page, {QRect(0, 0, 128, 64), QRect(128, 0, 128, 64)}), QPoint(0, 64));
    const QList<QRect> full{QRect(0, 0, 128, 64), QRect(128, 0, 128, 64), QRect(0, 64, 128, 64),
                            QRect(128, 64, 128, 64)};
    EXPECT_EQ(newRegionPosition(half, page, full), QPoint(0, 0)); // no room: as before
    // A right edge off the grid: the spot beside it is the next multiple of 8.
    EXPECT_EQ(newRegionPosition(QSize(64, 32), page, {QRect(0, 0, 100, 20)}), QPoint(104, 0));
    // The top-left corner is free again once the region there was moved.
    EXPECT_EQ(newRegionPosition(QSize(64, 32), page, {QRect(64, 0, 64, 32)}), QPoint(0, 0));
    // Beside a region lower down, on the top row, before the row below.
    EXPECT_EQ(newRegionPosition(QSize(64, 32), page, {QRect(0, 0, 64, 128), QRect(64, 16, 64, 32)}),
              QPoint(128, 0));
}
