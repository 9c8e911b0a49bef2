// The LED panel window opens beside the editor and within the screen (the
// demo's editor making room on a small screen), and its command line names
// the area to keep clear.
#include "cardoptions.h"
#include "editing/democard.h"
#include "panelplacement.h"

#include <gtest/gtest.h>

using namespace ledsign::card;

TEST(PanelPlacement, BesideTheAreaWithinTheScreen)
{
    const QRect screen(0, 0, 1280, 800);
    const QSize panel(300, 200);
    // Room on the right: 8 pixels right of the editor, level with its top.
    EXPECT_EQ(besidePosition(QRect(0, 0, 900, 700), panel, screen), QPoint(908, 0));
    // Only on the left.
    EXPECT_EQ(besidePosition(QRect(400, 50, 880, 700), panel, screen), QPoint(92, 50));
    // Neither side: below, level with the left edge or pulled in to stay on
    // the screen.
    EXPECT_EQ(besidePosition(QRect(100, 0, 1100, 500), panel, screen), QPoint(100, 508));
    EXPECT_EQ(besidePosition(QRect(500, 0, 700, 400), QSize(900, 200), screen), QPoint(380, 408));
    // Only above.
    EXPECT_EQ(besidePosition(QRect(0, 300, 1280, 500), panel, screen), QPoint(0, 92));
    // A level top that would leave the screen is pulled up.
    EXPECT_EQ(besidePosition(QRect(0, 700, 900, 100), panel, screen), QPoint(908, 600));
    // The whole screen taken: the bottom-right corner, not off the screen.
    EXPECT_EQ(besidePosition(QRect(0, 0, 1280, 800), panel, screen), QPoint(980, 600));
    EXPECT_EQ(besidePosition(QRect(0, 0, 1280, 800), QSize(2000, 900), screen), QPoint(0, 0));
    // A second screen's coordinates.
    EXPECT_EQ(besidePosition(QRect(1280, 0, 900, 700), panel, QRect(1280, 0, 1280, 800)), QPoint(2188, 0));

    // The free strip: the wider side, or the taller band below or above.
    EXPECT_EQ(roomBeside(QRect(0, 0, 900, 700), screen), QSize(372, 800));
    EXPECT_EQ(roomBeside(QRect(0, 0, 1280, 500), screen), QSize(1280, 292));
    EXPECT_EQ(roomBeside(QRect(0, 0, 1280, 800), screen), QSize(0, 800));

    // The demo's editor narrows to leave the panel its room on a small
    // screen, and stays as it is on a large one.
    EXPECT_EQ(ledsign::demoEditorFrame(QRect(0, 0, 1180, 760), screen, 600), QRect(0, 0, 860, 760));
    EXPECT_EQ(ledsign::demoEditorFrame(QRect(100, 0, 1180, 760), screen, 600), QRect(100, 0, 760, 760));
    EXPECT_EQ(ledsign::demoEditorFrame(QRect(0, 0, 1180, 760), screen, 1000), QRect(0, 0, 1000, 760));
    EXPECT_EQ(ledsign::demoEditorFrame(QRect(0, 0, 1180, 760), QRect(0, 0, 1920, 1080), 600),
              QRect(0, 0, 1180, 760));

    CardOptions o;
    QString error;
    ASSERT_TRUE(parseCardOptions({"ledsign-card", "--tcp", "127.0.0.1:8900", "--window", "--beside", "10,20,900,700"},
                                 o, error))
        << error.toStdString();
    EXPECT_EQ(o.beside, QRect(10, 20, 900, 700));
    for (const char* bad : {"10,20,900", "10,20,0,700", "a,20,900,700", "10,20,900,700,1"}) {
        CardOptions refused;
        EXPECT_FALSE(parseCardOptions({"ledsign-card", "--tcp", "127.0.0.1:8900", "--beside", bad}, refused, error))
            << bad;
        EXPECT_TRUE(error.contains(QStringLiteral("--beside"))) << error.toStdString();
    }
}
