// The preview window plays on its timers: regions appear at their places and
// change while the event loop runs, without a blocking loop; the zoom bar
// moves and sizes them while play goes on.
#include "model/materialkinds.h"
#include "preview/previewsources.h"
#include "preview/ui/previewwindow.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QTest>
#include <QToolButton>

using namespace ledsign;

namespace {

void runFor(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

int litPixels(const QImage& img, const QRect& area)
{
    int lit = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            lit += (img.pixel(x, y) & 0xFFFFFF) != 0 && (img.pixel(x, y) & 0xFFFFFF) != 0x282828;
    return lit;
}

} // namespace

TEST(PreviewWindow, PlaysRegionsOnTimers)
{
    ProjectModel model;
    TFIXModem card;
    card.name = QStringLiteral("card");
    model.addCard(card);
    model.appendPage(TProgram{QStringLiteral("card"), QStringLiteral("P"), QStringLiteral("1"), {},
                              QStringLiteral("00:00"), QStringLiteral("24:00"), {}, {}, 0, kPlayEveryDay});
    model.appendRegion(TRegion{QStringLiteral("card"), QStringLiteral("P"), QStringLiteral("R1"), QStringLiteral("2"),
                               {}, QStringLiteral("1"), 0, 0, 96, 16});
    model.appendRegion(TRegion{QStringLiteral("card"), QStringLiteral("P"), QStringLiteral("R2"), QStringLiteral("3"),
                               {}, QStringLiteral("1"), 0, 16, 96, 16});
    TFodder moving = defaultMaterial(kInternalCodeText);
    moving.cardName = QStringLiteral("card");
    moving.pageName = QStringLiteral("P");
    moving.regionName = QStringLiteral("R1");
    moving.name = QStringLiteral("A");
    moving.content = QStringLiteral("LED 预览");
    moving.displayMode = 1;
    moving.displaySpeed = 0;
    moving.remainTime = 0;
    model.appendMaterialToRegion(moving);
    TFodder clock = defaultMaterial(kDateTime);
    clock.cardName = QStringLiteral("card");
    clock.pageName = QStringLiteral("P");
    clock.regionName = QStringLiteral("R2");
    clock.name = QStringLiteral("B");
    clock.charColor = 2;
    clock.digitColor = 3;
    model.appendMaterialToRegion(clock);

    PreviewWindow window(model, QStringLiteral("card"), standardPreviewConversion(), standardLiveRenderer(), 4);
    window.resize(420, 200);
    window.show();
    window.play();
    ASSERT_TRUE(window.player().areaVisible());
    ASSERT_EQ(window.player().regions().size(), 2);
    runFor(300);
    const QImage first = window.grab().toImage();
    const QPoint origin = window.findChild<QWidget*>(QStringLiteral("pnPreView"))->mapTo(&window, QPoint(0, 0));
    const QRect top(origin, QSize(96 * 4, 16 * 4));
    const QRect bottom(origin + QPoint(0, 64), QSize(96 * 4, 16 * 4));
    EXPECT_GT(litPixels(first, bottom), 0) << "the clock is drawn";
    runFor(300);
    const QImage second = window.grab().toImage();
    EXPECT_NE(first.copy(top), second.copy(top)) << "the text moves between grabs";
    EXPECT_GT(window.player().regions()[0].frameCount(), 1);

    const QByteArray dir = qgetenv("LEDSIGN_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        second.save(QDir(QString::fromLocal8Bit(dir)).filePath(QStringLiteral("preview.png")));

    window.stop();
    EXPECT_FALSE(window.playing());
    const int index = window.player().regions()[0].frameIndex();
    const QImage stopped = window.grab().toImage();
    runFor(150);
    EXPECT_EQ(window.player().regions()[0].frameIndex(), index);
    EXPECT_EQ(stopped, window.grab().toImage()) << "nothing moves after stop";
}

TEST(PreviewWindow, ZoomsInTheCanvasStepsWhilePlayingAndMayPlayOnShow)
{
    ProjectModel model;
    TFIXModem card;
    card.name = QStringLiteral("card");
    card.width = 96;
    card.height = 32;
    model.addCard(card);
    model.appendPage(TProgram{QStringLiteral("card"), QStringLiteral("P"), QStringLiteral("1"), {},
                              QStringLiteral("00:00"), QStringLiteral("24:00"), {}, {}, 0, kPlayEveryDay});
    model.appendRegion(TRegion{QStringLiteral("card"), QStringLiteral("P"), QStringLiteral("R1"), QStringLiteral("2"),
                               {}, QStringLiteral("1"), 8, 4, 96, 16});
    TFodder text = defaultMaterial(kInternalCodeText);
    text.cardName = QStringLiteral("card");
    text.pageName = QStringLiteral("P");
    text.regionName = QStringLiteral("R1");
    text.name = QStringLiteral("A");
    text.content = QStringLiteral("LED");
    model.appendMaterialToRegion(text);

    PreviewWindow idle(model, QStringLiteral("card"), standardPreviewConversion(), standardLiveRenderer(), 1);
    idle.show();
    EXPECT_FALSE(idle.playing()) << "without the choice only the play button starts";
    idle.close();

    PreviewWindow window(model, QStringLiteral("card"), standardPreviewConversion(), standardLiveRenderer(), 2);
    window.setPlayOnShow(true);
    window.show();
    EXPECT_TRUE(window.playing());
    EXPECT_TRUE(window.regionTimers().first()->isActive());
    auto* area = window.findChild<QWidget*>(QStringLiteral("pnPreView"));
    auto* label = window.findChild<QLabel*>(QStringLiteral("lbScaleSize"));
    auto* enlarge = window.findChild<QToolButton*>(QStringLiteral("sbEnlarge"));
    auto* narrow = window.findChild<QToolButton*>(QStringLiteral("sbNarrow"));
    ASSERT_TRUE(area && label && enlarge && narrow);
    const QList<QWidget*> views = area->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    ASSERT_EQ(views.size(), 1);
    QWidget* view = views.first();
    EXPECT_EQ(label->text(), QStringLiteral("2"));
    EXPECT_EQ(view->geometry(), QRect(16, 8, 192, 32));

    QTest::mouseClick(enlarge, Qt::LeftButton);
    EXPECT_EQ(label->text(), QStringLiteral("3"));
    EXPECT_EQ(view->geometry(), QRect(24, 12, 288, 48));
    EXPECT_GE(window.width(), 96 * 3) << "the window grows with the card";
    EXPECT_TRUE(window.playing()) << "zooming does not stop play";
    EXPECT_EQ(area->findChildren<QWidget*>(Qt::FindDirectChildrenOnly), views) << "the same panels";

    for (int i = 0; i < 4; ++i)
        QTest::mouseClick(narrow, Qt::LeftButton);
    EXPECT_EQ(label->text(), QStringLiteral("0.5")) << "3, 2, 1, 0.5 and held";
    EXPECT_EQ(view->geometry(), QRect(4, 2, 48, 8));
    for (int i = 0; i < 8; ++i)
        QTest::mouseClick(enlarge, Qt::LeftButton);
    EXPECT_EQ(label->text(), QStringLiteral("6"));
    EXPECT_EQ(view->geometry(), QRect(48, 24, 576, 96));
    runFor(100);
    EXPECT_GT(window.player().regions()[0].frameCount(), 0) << "still playing";
}
