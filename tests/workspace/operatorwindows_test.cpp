// The main window as an operator uses it: clicks in the tree and on the
// canvas, keys on the focused control, and the dialogs the window opens
// itself answered on the screen. Each case is a fault an operator met.
#include "config/paramconfig.h"
#include "config/ui/paramwindow.h"
#include "config/ui/usbdiskwindow.h"
#include "content/ui/datetimedialog.h"
#include "content/ui/imagegrouppanel.h"
#include "content/ui/playweekdialog.h"
#include "model/materialkinds.h"
#include "livewindow.h"
#include "support/testsupport.h"
#include "transport/udpconfig.h"
#include "workspace/cardlinkcontroller.h"
#include "workspace/dragframe.h"
#include "workspace/layoutcanvaspanels.h"
#include "workspace/propertyeditor.h"
#include "workspace/propertyeditordelegate.h"
#include "workspace/toolwindows.h"

#include <QMimeData>
#include <QDragEnterEvent>
#include <QUrl>
#include <QFileInfo>
#include <QCalendarWidget>
#include <QTextBoundaryFinder>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QListView>
#include <QPushButton>
#include <QMenu>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTimeEdit>
#include <QToolBar>
#include <QToolButton>

namespace ledsign::test {
namespace {

QString lg(const char* key)
{
    return GetLgText(3, QString::fromLatin1(key));
}

// The tool-bar button of an action.
QToolButton* toolButtonOf(LiveRun& run, ActionId id)
{
    QAction* action = run.window->actions().action(id);
    for (QToolBar* bar : run.window->findChildren<QToolBar*>()) {
        if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action)); button && button->isVisible())
            return button;
    }
    return nullptr;
}

MaterialPanel* materialPanel(LiveRun& run, const NodePath& path)
{
    const auto m = run.model().findMaterial(path.card, path.page, path.region, path.material);
    return m ? qobject_cast<MaterialPanel*>(run.canvas()->panel(m.record->panelName)) : nullptr;
}

bool hasRed(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (qRed(p) > 128 && qGreen(p) < 64 && qBlue(p) < 64)
                return true;
        }
    }
    return false;
}

// A click on the "..." button of a property row.
void clickRowButton(PropertyEditor* editor, int row)
{
    const QRect cell = editor->visualItemRect(editor->item(row, 1));
    QTest::mouseClick(editor->viewport(), Qt::LeftButton, {}, PropertyRowDelegate::buttonRect(cell).center());
}

// The names a file dialog lists in the folder it shows.
QStringList listedNames(QFileDialog* dialog)
{
    QStringList names;
    auto* view = dialog->findChild<QListView*>(QStringLiteral("listView"));
    if (!view || !view->model())
        return names;
    const QModelIndex root = view->rootIndex();
    for (int r = 0; r < view->model()->rowCount(root); ++r)
        names << view->model()->index(r, 0, root).data().toString();
    return names;
}

// A one-pixel GIF picture.
const QByteArray kGif = hex("474946383961010001008000 00FF000000000021F90400000000002C00000000010001000002024401003B");

class OperatorWindows : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        run = startLive(home.path(), {.readMessages = true});
    }
    void TearDown() override
    {
        // No question about unsaved work on the way out.
        for (TFIXModem& c : run.model().cards())
            c.modified = false;
        run.window.reset();
        run.session.reset();
    }

    // Card "Hall" (128 x 64), its page, and the given number of regions.
    void addPageWithRegions(int regions)
    {
        run.addCard(QStringLiteral("Hall"), 128, 64, 1);
        run.trigger(ActionId::AddPrg);
        for (int i = 0; i < regions; ++i) {
            run.window->selectNode(NodePath::ofPage(hall, page));
            run.trigger(ActionId::AddRgn);
        }
    }

    QTemporaryDir home;
    LiveRun run;
    const QString hall = QStringLiteral("Hall");
    const QString page = QStringLiteral("show_page1");
};

// The names of the single texts in the order the playbill file lists them.
QStringList singleTextsInFile(const QString& file)
{
    QStringList names;
    static const QRegularExpression name(QStringLiteral(",(single-text\\d+),"));
    for (auto it = name.globalMatch(QString::fromUtf8(readAll(file))); it.hasNext();)
        names << it.next().captured(1);
    return names;
}

TEST_F(OperatorWindows, MaterialsPlayInTheOrderTheyWereAddedWhateverNodeIsSelected)
{
    addPageWithRegions(2);
    const NodePath area1 = NodePath::ofRegion(hall, page, QStringLiteral("area1"));
    const NodePath area2 = NodePath::ofRegion(hall, page, QStringLiteral("area2"));
    QToolButton* addText = toolButtonOf(run, ActionId::SglTxt);
    ASSERT_NE(addText, nullptr);
    // A region that is not the last node of the tree.
    run.clickNode(area1);
    for (int i = 1; i <= 4; ++i) {
        QTest::mouseClick(addText, Qt::LeftButton);
        EXPECT_EQ(run.selected(), area1) << "the region stays selected, add " << i;
        EXPECT_EQ(run.tree()->selectedPath(), area1) << i;
    }
    EXPECT_TRUE(run.tree()->itemOf(area1)->isExpanded());
    // A material that is not the last node: each add goes before it.
    const NodePath second = NodePath::ofMaterial(hall, page, QStringLiteral("area1"), QStringLiteral("single-text2"));
    run.clickNode(second);
    QTest::mouseClick(addText, Qt::LeftButton);
    QTest::mouseClick(addText, Qt::LeftButton);
    EXPECT_EQ(run.selected(), second);
    // The last node of the tree: each add goes after the one before.
    run.clickNode(area2);
    QTest::mouseClick(addText, Qt::LeftButton);
    run.clickNode(NodePath::ofMaterial(hall, page, QStringLiteral("area2"), QStringLiteral("single-text7")));
    QTest::mouseClick(addText, Qt::LeftButton);
    QTest::mouseClick(addText, Qt::LeftButton);
    const QStringList expected{"Hall",
                               "  show_page1",
                               "    area1",
                               "      single-text1",
                               "      single-text5",
                               "      single-text6",
                               "      single-text2",
                               "      single-text3",
                               "      single-text4",
                               "    area2",
                               "      single-text7",
                               "      single-text8",
                               "      single-text9"};
    EXPECT_EQ(run.outline(), expected);

    // Saved through the save dialog: the playbill, which the download
    // follows, lists them in that order.
    const QString file = QDir(home.path()).filePath(QStringLiteral("prgFiles/order.prg"));
    whenModal<QFileDialog>([file](QFileDialog* d) { chooseFile(d, file); });
    run.trigger(ActionId::SavePrg);
    EXPECT_EQ(singleTextsInFile(file),
              (QStringList{"single-text1", "single-text5", "single-text6", "single-text2", "single-text3",
                           "single-text4", "single-text7", "single-text8", "single-text9"}));
}

TEST_F(OperatorWindows, ANewTextWithoutContentShowsItsNameAndCanBeClickedOnTheCanvas)
{
    addPageWithRegions(1);
    const NodePath text = run.addMaterial(ActionId::SglTxt);
    ASSERT_EQ(text.level, NodeLevel::Material);
    MaterialPanel* panel = materialPanel(run, text);
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isVisible()) << "the new material shows over its region at once";
    EXPECT_TRUE(hasRed(panel->picture())) << "the panel shows the material's name in red, not a black panel";
    EXPECT_TRUE(hasRed(panel->grab().toImage()));

    run.clickNode(NodePath::ofPage(hall, page));
    ASSERT_TRUE(panel->isVisible());
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(4, 4));
    EXPECT_EQ(run.window->selection().node(), text);
    EXPECT_EQ(run.window->statusText(MainWindow::kMessagePanel), lg("warn_material_layer_drag"));
}

TEST_F(OperatorWindows, TheTreeKeepsTheKeyboardAfterAClickOnARegionAndTheFrameTakesItOnTheCanvas)
{
    addPageWithRegions(2);
    const NodePath area1 = NodePath::ofRegion(hall, page, QStringLiteral("area1"));
    const NodePath area2 = NodePath::ofRegion(hall, page, QStringLiteral("area2"));
    TRegion* first = run.model().findRegion(hall, page, QStringLiteral("area1")).record;
    run.model().findCard(hall).record->modified = false;

    // Keys after a click on the region's node walk the tree.
    run.clickNode(area1);
    ASSERT_EQ(QApplication::focusWidget(), run.tree());
    DragFrame* frame = run.canvas()->dragFrame();
    ASSERT_NE(frame, nullptr) << "the region shows its frame";
    EXPECT_EQ(frame->target(), run.canvas()->panel(first->panelName));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    EXPECT_EQ(first->left, 0);
    EXPECT_FALSE(run.model().findCard(hall).record->modified) << "no key moved the region";
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(run.selected(), area2);
    EXPECT_EQ(QApplication::focusWidget(), run.tree());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    ASSERT_EQ(run.selected(), area1);

    // Working on the canvas gives the frame the keyboard: the keys move the
    // region on the grid and the card turns modified.
    frame = run.canvas()->dragFrame();
    ASSERT_NE(frame, nullptr);
    QTest::mouseClick(frame, Qt::LeftButton, {}, frame->rect().center());
    ASSERT_EQ(QApplication::focusWidget(), frame);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    EXPECT_EQ(first->left, 8);
    EXPECT_TRUE(run.model().findCard(hall).record->modified);
    EXPECT_EQ(run.window->properties()->rowValue(2), QStringLiteral("8"));

    // Back in the tree the frame is gone once a page is chosen.
    run.clickNode(NodePath::ofPage(hall, page));
    EXPECT_EQ(QApplication::focusWidget(), run.tree());
    QTest::qWait(0);
    EXPECT_EQ(run.canvas()->dragFrame(), nullptr);
}

TEST_F(OperatorWindows, APagePlayingByDateOpensItsDateDialogAgainWithTheStoredDateInEveryLanguage)
{
    addPageWithRegions(0);
    const NodePath pageNode = NodePath::ofPage(hall, page);
    const struct {
        ActionId language;
        int choice;
        QDate date;
    } rounds[] = {
        {ActionId::English, 2, QDate(2025, 3, 4)},
        {ActionId::SimpleChn, 1, QDate(2026, 7, 8)},
        {ActionId::TraditionalChn, 2, QDate(2027, 11, 12)},
        {ActionId::English, 1, QDate(2028, 1, 2)},
    };
    QDate stored;
    int storedChoice = 0;
    for (const auto& round : rounds) {
        run.trigger(round.language);
        run.clickNode(pageNode);
        bool opened = false;
        whenModal<DateTimeDialog>([&](DateTimeDialog* d) {
            opened = true;
            if (stored.isValid()) {
                // The dialog shows what the page stores.
                EXPECT_EQ(d->findChild<QCalendarWidget*>()->selectedDate(), stored);
                EXPECT_EQ(d->findChild<QTimeEdit*>()->time(), QTime(8, 9, 10));
                EXPECT_TRUE(d->findChildren<QRadioButton*>().at(storedChoice)->isChecked());
            }
            QTest::mouseClick(d->findChildren<QRadioButton*>().at(round.choice), Qt::LeftButton);
            d->findChild<QCalendarWidget*>()->setSelectedDate(round.date);
            d->findChild<QTimeEdit*>()->setTime(QTime(8, 9, 10));
            for (QPushButton* b : d->findChildren<QPushButton*>()) {
                if (b->isDefault())
                    QTest::mouseClick(b, Qt::LeftButton);
            }
        });
        clickRowButton(run.window->properties(), 5);
        ASSERT_TRUE(opened);
        const TProgram* p = run.model().findPage(hall, page).record;
        EXPECT_EQ(p->playMode, round.choice - 1);
        EXPECT_EQ(p->playDate, round.date.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(" 08:09:10"));
        EXPECT_TRUE(run.window->properties()->rowValue(5).startsWith(p->playDate));
        stored = round.date;
        storedChoice = round.choice;
    }
}

TEST_F(OperatorWindows, ThePlayByWeekDialogShowsThePageNoteInItsLanguage)
{
    addPageWithRegions(0);
    const QList<QPair<ActionId, QString>> rounds{
        {ActionId::English, QStringLiteral("Note: Two or more display pages fit the setting")},
        {ActionId::SimpleChn, QStringLiteral("注：两个或两个以上显示页该项设置才生效")},
    };
    for (const auto& [language, expected] : rounds) {
        run.trigger(language);
        run.clickNode(NodePath::ofPage(hall, page));
        QStringList shown;
        whenModal<PlayWeekDialog>([&](PlayWeekDialog* d) {
            for (QLabel* label : d->findChildren<QLabel*>()) {
                if (label->isVisible())
                    shown << label->text();
            }
            d->reject();
        });
        clickRowButton(run.window->properties(), 4);
        EXPECT_EQ(shown, QStringList{expected});
    }
}

TEST_F(OperatorWindows, TheAnimationChooserListsGifFilesAndACancelLeavesNoFile)
{
    const QString pictures = QDir(home.path()).filePath(QStringLiteral("picFiles"));
    ASSERT_TRUE(QDir().mkpath(pictures));
    const QString gif = QDir(pictures).filePath(QStringLiteral("flag.gif"));
    ASSERT_TRUE(writeAll(gif, kGif));
    ASSERT_TRUE(writeAll(QDir(pictures).filePath(QStringLiteral("note.txt")), "x"));
    addPageWithRegions(1);
    const NodePath movie = run.addMaterial(ActionId::Movie);
    ASSERT_EQ(movie.level, NodeLevel::Material);
    run.clickNode(movie);
    const auto content = [&] { return run.model().findMaterial(movie.card, movie.page, movie.region, movie.material).record->content; };

    QStringList listed;
    whenModal<QFileDialog>([&](QFileDialog* d) {
        d->setDirectory(pictures);
        spinUntil([&] { return listedNames(d).contains(QStringLiteral("flag.gif")); }, 3000);
        listed = listedNames(d);
        chooseFile(d, gif);
    });
    clickRowButton(run.window->properties(), 4);
    EXPECT_TRUE(listed.contains(QStringLiteral("flag.gif"))) << listed.join(u' ').toStdString();
    EXPECT_FALSE(listed.contains(QStringLiteral("note.txt")));
    EXPECT_EQ(QFileInfo(content()).canonicalFilePath(), QFileInfo(gif).canonicalFilePath());

    // Opened again it starts at the file; cancelled, the material has none.
    listed.clear();
    whenModal<QFileDialog>([&](QFileDialog* d) {
        spinUntil([&] { return listedNames(d).contains(QStringLiteral("flag.gif")); }, 3000);
        listed = listedNames(d);
        d->reject();
    });
    run.model().findCard(hall).record->modified = false;
    clickRowButton(run.window->properties(), 4);
    EXPECT_TRUE(listed.contains(QStringLiteral("flag.gif"))) << listed.join(u' ').toStdString();
    EXPECT_EQ(content(), QString());
    EXPECT_EQ(run.window->properties()->rowValue(4), QString());
    EXPECT_TRUE(run.model().findCard(hall).record->modified);
}

TEST_F(OperatorWindows, TheParameterWindowRunsItsClosingStepsHoweverItIsClosed)
{
    UdpConfig& udp = run.window->cardLink().udp();
    const QString settingsPath = QDir(home.path()).filePath(QStringLiteral("SetCfg.ini"));
    const QString kCode = QStringLiteral("1_0_0_0_0_0_0_1");
    enum class Way { Escape, TitleBar, CloseButton };
    for (Way way : {Way::Escape, Way::TitleBar, Way::CloseButton}) {
        const bool tick = way != Way::TitleBar;
        bool shown = false;
        whenModal<TfrmParamCfgSet>([&](TfrmParamCfgSet* w) {
            shown = udp.paramWindowShowing();
            auto* box = w->findChild<QCheckBox*>(QStringLiteral("cbShowNetCard"));
            ASSERT_NE(box, nullptr);
            if (box->isChecked() != tick)
                QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
            switch (way) {
            case Way::Escape:
                QTest::keyClick(w, Qt::Key_Escape);
                break;
            case Way::TitleBar:
                w->close(); // what the title bar's close button sends
                break;
            case Way::CloseButton:
                QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("btClose")), Qt::LeftButton);
                break;
            }
            if (w->isVisible()) {
                ADD_FAILURE() << "the window stayed open";
                w->reject();
            }
        });
        ASSERT_TRUE(writeAll(settingsPath, "[CommSet]\r\nCommMode=Network\r\n"));
        ParamConfig& params = run.window->cardLink().params();
        params.setSettingsPath(settingsPath);
        params.setInnerCodes({kCode});
        run.trigger(ActionId::CmmParaSet);
        EXPECT_TRUE(shown) << int(way);
        // A search after the window configures cards again.
        EXPECT_FALSE(udp.paramWindowShowing()) << int(way);
        EXPECT_EQ(run.session->settings().isShowMulNetCard, tick) << int(way);
        // The window wrote the internal codes into the settings file.
        EXPECT_TRUE(readAll(settingsPath).contains(kCode.toLatin1())) << int(way);
    }
}

TEST_F(OperatorWindows, AClickOnAnImageGroupOnTheCanvasLetsTheImageListShowItsPictures)
{
    const QString pictures = QDir(home.path()).filePath(QStringLiteral("picFiles"));
    ASSERT_TRUE(QDir().mkpath(pictures));
    QImage red(16, 16, QImage::Format_RGB32);
    red.fill(Qt::red);
    QImage blue(16, 16, QImage::Format_RGB32);
    blue.fill(Qt::blue);
    ASSERT_TRUE(red.save(QDir(pictures).filePath(QStringLiteral("a.bmp"))));
    ASSERT_TRUE(blue.save(QDir(pictures).filePath(QStringLiteral("b.bmp"))));
    addPageWithRegions(1);
    const NodePath group = run.addMaterial(ActionId::Picture);
    run.clickNode(group);
    ImageGroupPanel* list = run.window->imageGroupPanel();
    ASSERT_TRUE(list->isVisible());
    list->setFolder(pictures);
    ASSERT_TRUE(spinUntil([&] { return list->fileList()->count() == 2; }));
    QTest::mouseClick(list->findChild<QPushButton*>(QStringLiteral("bBtnAllAdd")), Qt::LeftButton);
    ASSERT_EQ(list->rows()->rowCount(), 2);

    // Away to the page, then back through the canvas.
    run.clickNode(NodePath::ofPage(hall, page));
    MaterialPanel* panel = materialPanel(run, group);
    ASSERT_NE(panel, nullptr);
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(2, 2));
    ASSERT_EQ(run.window->selection().node(), group);
    ASSERT_TRUE(list->isVisible());
    ASSERT_EQ(list->rows()->rowCount(), 2);
    for (int row : {1, 0}) {
        const QRect cell = list->rows()->visualItemRect(list->rows()->item(row, 1));
        QTest::mouseClick(list->rows()->viewport(), Qt::LeftButton, {}, cell.center());
        const QRgb shown = panel->picture().pixel(0, 0) & 0xFFFFFF;
        EXPECT_EQ(shown, (row == 1 ? blue : red).pixel(0, 0) & 0xFFFFFF) << row;
        EXPECT_TRUE(panel->marked());
    }
}

// A file manager's drag of `files` to a point of the window and its drop,
// delivered as the windowing system delivers them: to the widget under the
// point that takes drops, or its nearest parent that does.
bool dragAndDrop(QWidget* window, const QPoint& at, const QStringList& files)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& f : files)
        urls << QUrl::fromLocalFile(f);
    data.setUrls(urls);
    QWidget* target = window->childAt(at);
    while (target && !target->acceptDrops() && !target->isWindow())
        target = target->parentWidget();
    if (!target || !target->acceptDrops())
        return false;
    const QPoint local = target->mapFrom(window, at);
    QDragEnterEvent enter(local, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(target, &enter);
    QDragMoveEvent move(local, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(target, &move);
    if (!enter.isAccepted() || !move.isAccepted())
        return false;
    QDropEvent drop(QPointF(local), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

TEST_F(OperatorWindows, PictureFilesDroppedOnARegionOrOnATextInItJoinItsImageGroup)
{
    const QString pictures = QDir(home.path()).filePath(QStringLiteral("picFiles"));
    QImage red(8, 8, QImage::Format_RGB32);
    red.fill(Qt::red);
    const QString picture = QDir(pictures).filePath(QStringLiteral("red.png"));
    ASSERT_TRUE(red.save(picture));
    addPageWithRegions(2);
    const NodePath first = NodePath::ofRegion(hall, page, run.model().regionNames(hall, page).value(0));
    const NodePath second = NodePath::ofRegion(hall, page, run.model().regionNames(hall, page).value(1));
    run.clickNode(first);
    const NodePath text = run.addMaterial(ActionId::SglTxt);
    run.clickNode(second);
    QWidget* window = run.window.get();
    // On the text shown in the first region, and on the bare second one.
    for (const NodePath& region : {first, second}) {
        QWidget* panel = run.canvas()->panel(run.model().findRegion(hall, page, region.region).record->panelName);
        ASSERT_NE(panel, nullptr);
        ASSERT_TRUE(panel->isVisible());
        const QPoint at = panel->mapTo(window, QPoint(3, 3));
        EXPECT_FALSE(dragAndDrop(window, at, {home.filePath(QStringLiteral("SetCfg.ini"))})) << "not a picture";
        EXPECT_TRUE(dragAndDrop(window, at, {picture})) << region.region.toStdString();
        const QStringList names = run.model().materialNames(hall, page, region.region);
        const TFodder* group = nullptr;
        for (const QString& n : names) {
            const TFodder* m = run.model().findMaterial(hall, page, region.region, n).record;
            if (m->kind == kImageGroup)
                group = m;
        }
        ASSERT_NE(group, nullptr) << names.join(' ').toStdString();
        ASSERT_EQ(group->fileList.size(), 1);
        EXPECT_EQ(QFileInfo(group->fileList.first().path).fileName(), QStringLiteral("red.png"));
    }
    EXPECT_TRUE(run.model().findMaterial(text.card, text.page, text.region, text.material)) << "the text stays";
}

TEST_F(OperatorWindows, ThePropertyTitleWrapsOnlyBetweenWordsAndShowsWholeInEveryLanguage)
{
    for (const ActionId language : {ActionId::English, ActionId::SimpleChn, ActionId::TraditionalChn}) {
        run.trigger(language);
        pump(20);
        auto* title = run.window->findChild<QLabel*>(QStringLiteral("pnAttrTitle"));
        ASSERT_NE(title, nullptr);
        const QString text = title->text();
        EXPECT_EQ(QString(text).remove(QChar(0x2060)), GetLgText(0, QStringLiteral("pnAttrTitle")));
        // A text of words may end a line only after a space, never inside
        // "255-->Static]"; Chinese breaks between any two characters.
        QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, text);
        for (qsizetype at = breaks.toNextBoundary(); text.contains(u' ') && at > 0 && at < text.size();
             at = breaks.toNextBoundary())
            EXPECT_EQ(text.at(at - 1), u' ') << "a break inside a word at " << at << " of " << text.toStdString();
        EXPECT_GE(title->height(), title->heightForWidth(title->width())) << "the whole title shows";
    }
    run.trigger(ActionId::English);
}

TEST_F(OperatorWindows, AnEnglishSystemOffersEveryLanguageAndASwitchLeavesNoTextOfTheOther)
{
    ASSERT_EQ(currentLanguage(), kEnglish);
    for (ActionId id : {ActionId::SimpleChn, ActionId::TraditionalChn, ActionId::English})
        EXPECT_TRUE(run.window->actions().action(id)->isVisible()) << actionName(id).toStdString();
    // The new-card window is made here, in English.
    run.addCard(hall, 64, 32, 0);
    run.trigger(ActionId::AddPrg); // unsaved work: the exit asks

    static const QRegularExpression latinWord(QStringLiteral("[A-Za-z]{2,}"));
    static const QRegularExpression han(QStringLiteral("[\\x{4e00}-\\x{9fff}]"));
    // Every caption the window shows.
    const auto captions = [](QWidget* w) {
        QStringList texts{w->windowTitle()};
        for (QLabel* l : w->findChildren<QLabel*>())
            if (l->isVisibleTo(w))
                texts << l->text();
        for (QAbstractButton* b : w->findChildren<QAbstractButton*>())
            if (b->isVisibleTo(w))
                texts << b->text();
        return texts;
    };
    const auto newCardWindowTexts = [&] {
        QStringList texts;
        whenModal<UsbDiskWindow>([&](UsbDiskWindow* w) {
            texts = captions(w);
            w->reject();
        });
        run.trigger(ActionId::NewCard);
        return texts;
    };
    const auto popupTexts = [&] {
        QStringList texts;
        for (QAction* a : run.window->findChild<QMenu*>(QStringLiteral("pMenuObject"))->actions())
            if (!a->isSeparator() && a->isVisible())
                texts << a->text();
        return texts;
    };
    const auto exitButtonTexts = [&] {
        QStringList texts;
        whenModal<QMessageBox>([&](QMessageBox* box) {
            for (QAbstractButton* b : box->buttons())
                texts << b->text();
            clickBox(box, QMessageBox::Cancel);
        });
        run.trigger(ActionId::Exit);
        EXPECT_TRUE(run.window->isVisible());
        texts.sort();
        return texts;
    };

    run.trigger(ActionId::SimpleChn);
    for (const QString& t : newCardWindowTexts() + popupTexts())
        EXPECT_FALSE(latinWord.match(t).hasMatch()) << t.toStdString();
    EXPECT_EQ(exitButtonTexts(), (QStringList{QStringLiteral("取消"), QStringLiteral("否(&N)"), QStringLiteral("是(&Y)")}));

    run.trigger(ActionId::English);
    // The export shows the same window with its parameter labels.
    UsbDiskWindow& usb = run.window->tools().usbWindow();
    usb.prepareExport(*run.model().findCard(hall).record, home.path(), {});
    const QStringList exportTexts = captions(&usb);
    EXPECT_GT(exportTexts.size(), 12);
    for (const QString& t : newCardWindowTexts() + popupTexts() + exportTexts)
        EXPECT_FALSE(han.match(t).hasMatch()) << t.toStdString();
    EXPECT_EQ(exitButtonTexts(), (QStringList{QStringLiteral("&No"), QStringLiteral("&Yes"), QStringLiteral("Cancel")}));
}

} // namespace
} // namespace ledsign::test
