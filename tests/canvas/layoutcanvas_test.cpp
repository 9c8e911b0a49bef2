// The canvas window: panels made from the records, zoom, clicks, drags,
// resizes and arrow keys, panels freed with their records, and panels made
// only for the cards that are shown.
#include "editing/canvaspicture.h"
#include "language/language.h"
#include "model/materialkinds.h"
#include "workspace/dragframe.h"
#include "workspace/layoutcanvas.h"
#include "workspace/layoutcanvaspanels.h"

#include <QApplication>
#include <QPointer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace ledsign;

namespace {

template <typename... Args>
struct Recorder {
    template <typename Sender, typename Signal>
    Recorder(Sender* sender, Signal signal)
    {
        QObject::connect(sender, signal, sender,
                         [this](Args... args) { calls.append(QVariantList{QVariant::fromValue(args)...}); });
    }
    qsizetype count() const { return calls.size(); }
    QList<QVariantList> calls;
};

void send(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, at, widget->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : button, held,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void key(QWidget* widget, int code, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent event(QEvent::KeyPress, code, modifiers);
    QApplication::sendEvent(widget, &event);
}

class CanvasWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        setCurrentLanguage(kEnglish);
        addCard(QStringLiteral("c1"), 256, 128);
        addCard(QStringLiteral("c2"), 64, 32);
        TProgram page;
        page.cardName = QStringLiteral("c1");
        page.name = QStringLiteral("p1");
        page.panelName = QStringLiteral("pnProgram1");
        model.appendPage(page);
        TRegion r;
        r.cardName = QStringLiteral("c1");
        r.pageName = QStringLiteral("p1");
        r.name = QStringLiteral("area9");
        r.panelName = QStringLiteral("pnRegion2");
        r.left = 16;
        r.top = 8;
        r.width = 64;
        r.height = 32;
        model.appendRegion(r);
        canvas = std::make_unique<LayoutCanvas>(model);
        canvas->resize(600, 400);
        canvas->show();
        canvas->syncWithModel();
    }

    void addCard(const QString& name, int w, int h)
    {
        TFIXModem c;
        c.name = name;
        c.width = w;
        c.height = h;
        model.addCard(c);
    }

    TFodder& addMaterial(int kind, const QString& name, const QString& panelName)
    {
        TFodder m = defaultMaterial(kind);
        m.cardName = QStringLiteral("c1");
        m.pageName = QStringLiteral("p1");
        m.regionName = QStringLiteral("area9");
        m.name = name;
        m.panelName = panelName;
        const qsizetype at = model.appendMaterialToRegion(m);
        return model.materials()[at];
    }

    TRegion& region() { return model.regions().first(); }
    RegionPanel* regionPanel() { return qobject_cast<RegionPanel*>(canvas->panel(QStringLiteral("pnRegion2"))); }

    ProjectModel model;
    std::unique_ptr<LayoutCanvas> canvas;
};

} // namespace

TEST_F(CanvasWindow, PanelsAreMadeFromTheRecords)
{
    const TFIXModem& c1 = model.cards().first();
    ASSERT_FALSE(c1.panelName.isEmpty());
    EXPECT_NE(c1.panelName, model.cards().at(1).panelName);
    canvas->showCard(QStringLiteral("c1"));
    QWidget* cardPanel = canvas->panel(c1.panelName);
    ASSERT_NE(cardPanel, nullptr);
    EXPECT_TRUE(cardPanel->isVisible());
    EXPECT_EQ(cardPanel->size(), QSize(272, 144));
    // Centred in the scroll box.
    const QSize viewport = canvas->scrollBox()->viewport()->size();
    EXPECT_EQ(cardPanel->pos(), QPoint((viewport.width() - 272) / 2, (viewport.height() - 144) / 2));
    QWidget* page = canvas->panel(QStringLiteral("pnProgram1"));
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->geometry(), QRect(7, 7, 256, 128));
    ASSERT_NE(regionPanel(), nullptr);
    EXPECT_EQ(regionPanel()->geometry(), QRect(16, 8, 64, 32));
    EXPECT_EQ(regionPanel()->colour(), QColor(128, 128, 0));
    EXPECT_EQ(regionPanel()->caption(), QStringLiteral("area9"));
    EXPECT_EQ(regionPanel()->captionPointSize(), 18);
    EXPECT_FALSE(canvas->findChild<QWidget*>(QStringLiteral("pnScreenMain"))->isVisible());

    // The second card: the first card's panel is hidden.
    canvas->showCard(QStringLiteral("c2"));
    EXPECT_FALSE(cardPanel->isVisible());
    EXPECT_TRUE(canvas->panel(model.cards().at(1).panelName)->isVisible());
}

TEST_F(CanvasWindow, ZoomStepsRelayTheCard)
{
    canvas->showCard(QStringLiteral("c1"));
    canvas->narrowButton()->click();
    EXPECT_EQ(canvas->zoomLabelText(), QStringLiteral("0.5"));
    EXPECT_EQ(model.cards().first().zoom, 5);
    canvas->narrowButton()->click();
    EXPECT_EQ(canvas->zoomLabelText(), QStringLiteral("0.5"));
    EXPECT_EQ(canvas->panel(model.cards().first().panelName)->size(), QSize(144, 80));
    canvas->enlargeButton()->click();
    canvas->enlargeButton()->click();
    EXPECT_EQ(canvas->zoomLabelText(), QStringLiteral("2"));
    EXPECT_EQ(canvas->zoomTenths(), 20);
    EXPECT_EQ(regionPanel()->geometry(), QRect(32, 16, 128, 64));
    EXPECT_EQ(regionPanel()->captionPointSize(), 36);
    EXPECT_EQ(canvas->panel(QStringLiteral("pnProgram1"))->size(), QSize(512, 256));
    for (int i = 0; i < 6; ++i)
        canvas->zoomStep(false);
    EXPECT_EQ(canvas->zoomLabelText(), QStringLiteral("6"));

    // Each card keeps its own zoom.
    canvas->showCard(QStringLiteral("c2"));
    EXPECT_EQ(canvas->zoomLabelText(), QStringLiteral("1"));
    canvas->showCard(QStringLiteral("c1"));
    EXPECT_EQ(canvas->zoomLabelText(), QStringLiteral("6"));
}

TEST_F(CanvasWindow, DraggingARegionSnapsItsLeftAndReportsIt)
{
    canvas->showCard(QStringLiteral("c1"));
    Recorder<QString, QString, QString> clicked(canvas.get(), &LayoutCanvas::regionClicked);
    Recorder<QString, QString, QString> changed(canvas.get(), &LayoutCanvas::regionGeometryChanged);
    // Press 10 pixels into the region and drag so that its left edge is at 13.
    send(regionPanel(), QEvent::MouseButtonPress, QPoint(10, 10));
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked.calls.first().at(2).toString(), QStringLiteral("area9"));
    DragFrame* frame = canvas->dragFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->geometry(), regionPanel()->geometry());
    EXPECT_TRUE(frame->dragging());
    send(frame, QEvent::MouseMove, QPoint(7, 10)); // left 16 + 7 - 10 = 13
    EXPECT_EQ(regionPanel()->x(), 16);
    send(frame, QEvent::MouseButtonRelease, QPoint(7, 10));
    EXPECT_FALSE(frame->dragging());
    EXPECT_EQ(region().left, 16);
    send(frame, QEvent::MouseButtonPress, QPoint(10, 10));
    send(frame, QEvent::MouseMove, QPoint(6, 10)); // 16 + 6 - 10 = 12
    send(frame, QEvent::MouseButtonRelease, QPoint(6, 10));
    EXPECT_EQ(region().left, 8);
    EXPECT_EQ(regionPanel()->x(), 8);
    EXPECT_GE(changed.count(), 2);

    // Past the right edge of the 256-pixel page: stopped at 256 - 64.
    send(frame, QEvent::MouseButtonPress, QPoint(10, 10));
    send(frame, QEvent::MouseMove, QPoint(500, 10));
    send(frame, QEvent::MouseButtonRelease, QPoint(500, 10));
    EXPECT_EQ(region().left, 192);
    EXPECT_EQ(region().width, 64);
}

TEST_F(CanvasWindow, ResizingByAHandleSnapsTheWidthAndKeepsTheSmallestHeight)
{
    canvas->showRegion(QStringLiteral("c1"), QStringLiteral("p1"), QStringLiteral("area9"));
    DragFrame* frame = canvas->dragFrame();
    ASSERT_NE(frame, nullptr);
    // The right edge handle of a 64 x 32 frame: (59..63, 13..17).
    send(frame, QEvent::MouseButtonPress, QPoint(61, 15));
    send(frame, QEvent::MouseMove, QPoint(61 + 36, 15)); // width 100
    EXPECT_EQ(region().width, 96);
    send(frame, QEvent::MouseMove, QPoint(61 + 37, 15)); // width 101
    EXPECT_EQ(region().width, 104);
    send(frame, QEvent::MouseButtonRelease, QPoint(61 + 37, 15));
    EXPECT_EQ(regionPanel()->width(), 104);

    // The bottom handle dragged up to a height of 5.
    const int midX = frame->width() / 2;
    send(frame, QEvent::MouseButtonPress, QPoint(midX, 30));
    send(frame, QEvent::MouseMove, QPoint(midX, 3));
    send(frame, QEvent::MouseButtonRelease, QPoint(midX, 3));
    EXPECT_EQ(region().height, 12);
    EXPECT_EQ(regionPanel()->height(), 12);
}

TEST_F(CanvasWindow, ArrowKeysMoveAndShiftArrowKeysResize)
{
    canvas->showRegion(QStringLiteral("c1"), QStringLiteral("p1"), QStringLiteral("area9"));
    DragFrame* frame = canvas->dragFrame();
    ASSERT_NE(frame, nullptr);
    key(frame, Qt::Key_Right);
    EXPECT_EQ(region().left, 24);
    key(frame, Qt::Key_Down);
    EXPECT_EQ(region().top, 9);
    key(frame, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(region().width, 72);
    key(frame, Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(region().height, 31);
    for (int i = 0; i < 10; ++i)
        key(frame, Qt::Key_Left);
    EXPECT_EQ(region().left, 0);
}

TEST_F(CanvasWindow, MaterialsAreSelectedNotDragged)
{
    addMaterial(kSingleText, QStringLiteral("hello"), QStringLiteral("pnFodder5"));
    canvas->syncWithModel();
    canvas->showCard(QStringLiteral("c1"));
    auto* panel = qobject_cast<MaterialPanel*>(canvas->panel(QStringLiteral("pnFodder5")));
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->parentWidget(), regionPanel());
    EXPECT_EQ(panel->geometry(), QRect(0, 0, 64, 32));
    EXPECT_TRUE(panel->stretched());
    EXPECT_EQ(panel->picture().size(), QSize(64, 32)); // the placeholder at LED size

    Recorder<QString, QString, QString, QString> clicked(canvas.get(), &LayoutCanvas::materialClicked);
    Recorder<QString> status(canvas.get(), &LayoutCanvas::statusMessage);
    Recorder<QString, QString, QString, QString> opened(canvas.get(), &LayoutCanvas::materialDoubleClicked);
    send(panel, QEvent::MouseButtonPress, QPoint(5, 5));
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked.calls.first().at(3).toString(), QStringLiteral("hello"));
    ASSERT_EQ(status.count(), 1);
    EXPECT_EQ(status.calls.first().first().toString(),
              QStringLiteral("[Note] material layer does not support drag, the regional level in the operating!"));
    EXPECT_EQ(canvas->dragFrame(), nullptr);
    send(panel, QEvent::MouseButtonDblClick, QPoint(5, 5));
    EXPECT_EQ(opened.count(), 0) << "not inside the panel's own click";
    QCoreApplication::processEvents();
    EXPECT_EQ(opened.count(), 1);

    canvas->showMaterial(QStringLiteral("c1"), QStringLiteral("p1"), QStringLiteral("area9"),
                         QStringLiteral("hello"));
    EXPECT_TRUE(panel->marked());
    // Showing the region hides its materials and unmarks the material.
    canvas->showRegion(QStringLiteral("c1"), QStringLiteral("p1"), QStringLiteral("area9"));
    EXPECT_FALSE(panel->isVisible());
    EXPECT_FALSE(panel->marked());
    EXPECT_NE(canvas->dragFrame(), nullptr);
}

TEST_F(CanvasWindow, ComputedMaterialsAreRenderedAndQueuesShowTheirName)
{
    TFodder& time = addMaterial(kDateTime, QStringLiteral("clock"), QStringLiteral("pnDT6"));
    time.timeFormat = 9; // hours only: a short text
    addMaterial(kQueue, QStringLiteral("window"), QStringLiteral("pnQu7"));
    canvas->syncWithModel();
    auto* clock = qobject_cast<MaterialPanel*>(canvas->panel(QStringLiteral("pnDT6")));
    auto* queue = qobject_cast<MaterialPanel*>(canvas->panel(QStringLiteral("pnQu7")));
    ASSERT_NE(clock, nullptr);
    ASSERT_NE(queue, nullptr);
    const QImage placeholder = canvas::placeholderPicture(QStringLiteral("clock"), QSize(64, 32));
    EXPECT_EQ(clock->picture().size(), QSize(64, 32));
    EXPECT_NE(clock->picture().convertToFormat(QImage::Format_RGB32), placeholder);
    int lit = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 64; ++x)
            lit += qRed(clock->picture().pixel(x, y)) > 128 ? 1 : 0;
    }
    EXPECT_GT(lit, 10); // the red hour digits
    // The card draws a queue itself: the canvas shows the material's name.
    EXPECT_EQ(queue->picture(), canvas::placeholderPicture(QStringLiteral("window"), QSize(64, 32)));
}

TEST_F(CanvasWindow, PicturesComeFromTheSourceOrTheImageFile)
{
    addMaterial(kSingleText, QStringLiteral("hello"), QStringLiteral("pnFodder5"));
    QSize asked;
    canvas->setPictureSource([&](const TFodder& m, const TFIXModem& card, QSize ledSize) {
        asked = ledSize;
        EXPECT_EQ(card.name, QStringLiteral("c1"));
        QImage image(ledSize, QImage::Format_RGB32);
        image.fill(m.name == QStringLiteral("hello") ? Qt::green : Qt::blue);
        return image;
    });
    canvas->syncWithModel();
    auto* panel = qobject_cast<MaterialPanel*>(canvas->panel(QStringLiteral("pnFodder5")));
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(asked, QSize(64, 32));
    EXPECT_EQ(panel->picture().pixel(10, 10), QColor(Qt::green).rgb());
    const QImage shot = panel->grab().toImage();
    EXPECT_EQ(shot.pixel(30, 20), QColor(Qt::green).rgb());

    // A region resized through its record: the picture follows.
    region().width = 128;
    canvas->placeRegion(QStringLiteral("c1"), QStringLiteral("p1"), QStringLiteral("area9"));
    EXPECT_EQ(regionPanel()->width(), 128);
    EXPECT_EQ(panel->width(), 128);
    EXPECT_EQ(asked, QSize(128, 32));
}

TEST_F(CanvasWindow, ImageGroupsShowTheirImageAtItsSizeTimesTheZoom)
{
    QTemporaryDir dir;
    QImage first(20, 10, QImage::Format_RGB32);
    first.fill(Qt::red);
    QImage second(30, 12, QImage::Format_RGB32);
    second.fill(Qt::blue);
    const QString a = dir.filePath(QStringLiteral("a.bmp"));
    const QString b = dir.filePath(QStringLiteral("b.bmp"));
    ASSERT_TRUE(first.save(a));
    ASSERT_TRUE(second.save(b));
    TFodder& group = addMaterial(kImageGroup, QStringLiteral("pics"), QStringLiteral("pnImg4"));
    group.fileList = {TFileInfo{1, 0, a}, TFileInfo{2, 0, b}};
    canvas->syncWithModel();
    canvas->showCard(QStringLiteral("c1"));
    canvas->zoomStep(false); // 2
    auto* panel = qobject_cast<MaterialPanel*>(canvas->panel(QStringLiteral("pnImg4")));
    ASSERT_NE(panel, nullptr);
    EXPECT_FALSE(canvas->showImageOnMaterial(b)); // no material is current yet
    canvas->showMaterial(QStringLiteral("c1"), QStringLiteral("p1"), QStringLiteral("area9"), QStringLiteral("pics"));
    EXPECT_FALSE(panel->stretched());
    EXPECT_EQ(panel->pictureRect(), QRect(0, 0, 40, 20));
    EXPECT_TRUE(canvas->showImageOnMaterial(b));
    EXPECT_EQ(panel->pictureRect(), QRect(0, 0, 60, 24));
    EXPECT_EQ(panel->picture().pixel(1, 1), QColor(Qt::blue).rgb());
    EXPECT_FALSE(canvas->showImageOnMaterial(dir.filePath(QStringLiteral("none.bmp"))));
    EXPECT_EQ(panel->picture().pixel(1, 1), QColor(Qt::blue).rgb());
}

TEST_F(CanvasWindow, PanelsGoWithTheirRecords)
{
    addMaterial(kSingleText, QStringLiteral("hello"), QStringLiteral("pnFodder5"));
    canvas->syncWithModel();
    canvas->showRegion(QStringLiteral("c1"), QStringLiteral("p1"), QStringLiteral("area9"));
    ASSERT_NE(canvas->panel(QStringLiteral("pnFodder5")), nullptr);
    model.removeRegion(QStringLiteral("c1"), QStringLiteral("p1"), QStringLiteral("area9"));
    canvas->syncWithModel();
    EXPECT_EQ(canvas->panel(QStringLiteral("pnRegion2")), nullptr);
    EXPECT_EQ(canvas->panel(QStringLiteral("pnFodder5")), nullptr);
    EXPECT_EQ(canvas->dragFrame(), nullptr);
    EXPECT_NE(canvas->panel(QStringLiteral("pnProgram1")), nullptr);

    model.removeCard(QStringLiteral("c1"));
    model.removeCard(QStringLiteral("c2"));
    canvas->syncWithModel();
    EXPECT_EQ(canvas->panel(QStringLiteral("pnProgram1")), nullptr);
    EXPECT_TRUE(canvas->findChild<QWidget*>(QStringLiteral("pnScreenMain"))->isVisible());
}

TEST_F(CanvasWindow, TwoRecordsNeverShareAPanel)
{
    TRegion copy = region();
    copy.name = QStringLiteral("area3");
    model.appendRegion(copy); // same panel name as area9
    canvas->syncWithModel();
    const QString second = model.regions().at(1).panelName;
    EXPECT_NE(second, QStringLiteral("pnRegion2"));
    auto* panel = qobject_cast<RegionPanel*>(canvas->panel(second));
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->caption(), QStringLiteral("area3"));
    EXPECT_EQ(regionPanel()->caption(), QStringLiteral("area9"));
}

TEST_F(CanvasWindow, OnlyShownCardsHavePanelsAndAFreedCardIsMadeAgainFromItsRecords)
{
    for (int i = 3; i <= 12; ++i)
        addCard(QStringLiteral("c%1").arg(i), 32, 16);
    canvas->syncWithModel();
    const auto cardPanels = [&] { return canvas->findChildren<CardPanel*>().size() - 1; }; // less pnScreenMain
    EXPECT_EQ(canvas->builtCardCount(), 0);
    EXPECT_EQ(cardPanels(), 0);
    EXPECT_TRUE(canvas->findChildren<RegionPanel*>().isEmpty());

    canvas->showCard(QStringLiteral("c1"));
    EXPECT_EQ(canvas->builtCardCount(), 1);
    QPointer<QWidget> shownBefore = regionPanel();
    ASSERT_FALSE(shownBefore.isNull());
    for (int i = 2; i <= 12; ++i)
        canvas->showCard(QStringLiteral("c%1").arg(i));
    EXPECT_EQ(canvas->builtCardCount(), 8);
    EXPECT_EQ(cardPanels(), 8);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(shownBefore.isNull());
    EXPECT_TRUE(canvas->findChildren<RegionPanel*>().isEmpty());

    // Made again with the records as they are now, zoom included.
    model.cards().first().zoom = 20;
    canvas->showCard(QStringLiteral("c1"));
    ASSERT_NE(regionPanel(), nullptr);
    EXPECT_TRUE(regionPanel()->isVisible());
    EXPECT_EQ(regionPanel()->geometry(), QRect(32, 16, 128, 64));
    EXPECT_EQ(canvas->zoomLabelText(), QStringLiteral("2"));

    // A kept card changed while another is shown is laid out when shown again.
    canvas->showCard(QStringLiteral("c2"));
    RegionPanel* kept = regionPanel();
    region().left = 40;
    canvas->syncWithModel();
    EXPECT_EQ(canvas->builtCardCount(), 8);
    canvas->showCard(QStringLiteral("c1"));
    EXPECT_EQ(regionPanel(), kept);
    EXPECT_EQ(regionPanel()->x(), 80);
    EXPECT_FALSE(canvas->panel(model.cards().at(1).panelName)->isVisible());
}
