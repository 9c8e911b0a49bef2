// The main window as an operator uses it: its own dialogs and editor
// windows open, and the test answers them with the mouse and keyboard.
// Each case is one thing an operator ran into: a preview region that moved
// on, an exit that stayed open without a word, a shortcut that emptied a
// card unasked, a search switch nobody could see, pieces of a table cut at
// the canvas zoom, an editor box that shrank with the zoom, editors that
// marked a card modified without an edit, a time field deaf to digits.
#include "content/dateforms.h"
#include "content/ui/datetimedialog.h"
#include "content/ui/internalcodeeditor.h"
#include "content/ui/richtextarea.h"
#include "content/ui/richtexteditor.h"
#include "content/ui/tableeditor.h"
#include "livewindow.h"
#include "model/materialkinds.h"
#include "preview/ui/previewwindow.h"
#include "workspace/layoutcanvas.h"
#include "workspace/propertyeditor.h"

#include <QCalendarWidget>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimeEdit>
#include <QToolButton>

namespace ledsign::test {
namespace {

QString lg(int category, const char* key)
{
    return GetLgText(category, QString::fromLatin1(key));
}

bool anyLit(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) & 0xFFFFFF)
                return true;
        }
    }
    return false;
}

class OperatorEditors : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        run = startLive(home.path());
    }
    void TearDown() override
    {
        cancelPendingModals();
        // Nothing is left to ask about when the test's window goes.
        for (TFIXModem& c : run.model().cards())
            c.modified = 0;
    }

    TFodder* material(const NodePath& p)
    {
        return run.model().findMaterial(p.card, p.page, p.region, p.material).record;
    }
    TRegion* region(const NodePath& p) { return run.model().findRegion(p.card, p.page, p.region).record; }
    TFIXModem* card(const QString& name) { return run.model().findCard(name).record; }

    // A card with one page and one region, the region selected.
    NodePath cardWithRegion(const QString& name, int width = 128, int height = 64)
    {
        run.addCard(name, width, height, 1);
        run.trigger(ActionId::AddPrg);
        run.trigger(ActionId::AddRgn);
        return run.selected();
    }

    QTemporaryDir home;
    LiveRun run;
};

// ---------------------------------------------------------------- preview

TEST_F(OperatorEditors, PreviewPlaysAQueuePageForItsStayAndMovesOnCheckingEveryTenMilliseconds)
{
    const NodePath r1 = cardWithRegion(QStringLiteral("Hall"));
    const NodePath queue = run.addMaterial(ActionId::CallNo);
    ASSERT_EQ(queue.level, NodeLevel::Material) << "a queue material was added";
    run.window->selectNode(NodePath::ofPage(r1.card, r1.page));
    run.trigger(ActionId::AddRgn);
    const NodePath remote = run.addMaterial(ActionId::TxtSet);
    ASSERT_EQ(remote.level, NodeLevel::Material) << "a remote-text material was added";
    // Stays of 0: a second each, so that the test waits little.
    material(queue)->remainTime = 0;
    material(remote)->remainTime = 0;
    // A second page, so that there is a page to move on to.
    run.window->selectCard(r1.card);
    run.trigger(ActionId::AddPrg);
    const QString secondPage = run.selected().page;
    run.trigger(ActionId::AddRgn);
    run.trigger(ActionId::SglTxt);
    run.window->selectCard(r1.card);

    QList<int> intervalsOnPlay;
    int checkOnPlay = -1;
    bool queueShown = false;
    bool movedOn = false;
    auto came = whenModal([&](QWidget* w) {
        auto* preview = qobject_cast<PreviewWindow*>(w);
        ASSERT_NE(preview, nullptr) << w->metaObject()->className();
        EXPECT_TRUE(preview->playing()) << "opened from the command, it plays at once";
        auto* play = preview->findChild<QPushButton*>(QStringLiteral("tBtnPlay"));
        ASSERT_NE(play, nullptr);
        QTest::mouseClick(play, Qt::LeftButton);
        for (const QTimer* t : preview->regionTimers())
            intervalsOnPlay << t->interval();
        checkOnPlay = preview->pageCheckTimer().interval();
        queueShown = spinUntil([&] {
            const auto& regions = preview->player().regions();
            return !regions.isEmpty() && anyLit(regions.first().picture());
        });
        if (const QString shots = qEnvironmentVariable("LEDSIGN_SCREENSHOT_DIR"); !shots.isEmpty())
            preview->grab().save(shots + QStringLiteral("/preview-queue-page.png"));
        movedOn = spinUntil([&] { return preview->player().regionRecords().value(0).pageName == secondPage; }, 10000);
        QTest::mouseClick(preview->findChild<QPushButton*>(QStringLiteral("tBtnExit")), Qt::LeftButton);
    });
    run.key(Qt::Key_F5);
    ASSERT_TRUE(*came) << "F5 opened the preview";
    EXPECT_EQ(checkOnPlay, 10) << "the page check runs at 10 ms once play starts";
    ASSERT_FALSE(intervalsOnPlay.isEmpty());
    for (int interval : intervalsOnPlay)
        EXPECT_EQ(interval, 10);
    EXPECT_TRUE(queueShown) << "the queue region shows a number";
    EXPECT_TRUE(movedOn) << "the queue and remote-text page gave way to " << secondPage.toStdString();
}

// ---------------------------------------------------------------- exit

TEST_F(OperatorEditors, ExitWithASaveDialogCancelledStaysOpenAndSaysWhy)
{
    run.addCard(QStringLiteral("Hall"), 64, 32, 0);
    run.trigger(ActionId::AddPrg);
    ASSERT_TRUE(card("Hall")->modified);

    QString said;
    std::shared_ptr<bool> dialogCame, messageCame;
    auto question = whenModal([&](QWidget* box) {
        dialogCame = whenModal(
            [&](QWidget* dialog) {
                EXPECT_NE(qobject_cast<QFileDialog*>(dialog), nullptr) << dialog->metaObject()->className();
                messageCame = whenModal(
                    [&](QWidget* message) {
                        if (auto* m = qobject_cast<QMessageBox*>(message))
                            said = m->text();
                        clickBox(message, QMessageBox::Ok);
                    },
                    dialog);
                static_cast<QDialog*>(dialog)->reject();
            },
            box);
        clickBox(box, QMessageBox::Yes);
    });
    run.key(Qt::Key_Q, Qt::ControlModifier);
    pump(100);
    ASSERT_TRUE(*question) << "the exit asked about saving";
    ASSERT_TRUE(dialogCame && *dialogCame) << "Yes asked for a file name";
    EXPECT_TRUE(run.window->isVisible()) << "nothing was saved: the window stays";
    ASSERT_TRUE(messageCame && *messageCame) << "the operator is told why the window stays";
    EXPECT_TRUE(said.contains(QStringLiteral("Hall"))) << said.toStdString();
    EXPECT_EQ(said, lg(3, "warn_exit_not_saved").arg(QStringLiteral("Hall")));
    EXPECT_TRUE(card("Hall")->modified);
}

// ---------------------------------------------------------------- shortcuts

TEST_F(OperatorEditors, CtrlNAsksBeforeItEmptiesTheCard)
{
    const NodePath r = cardWithRegion(QStringLiteral("Hall"));
    run.trigger(ActionId::SglTxt);
    run.window->selectCard(r.card);
    QString asked;
    auto came = whenModal([&](QWidget* box) {
        if (auto* m = qobject_cast<QMessageBox*>(box))
            asked = m->text();
        clickBox(box, QMessageBox::No);
    });
    run.key(Qt::Key_N, Qt::ControlModifier);
    pump(50);
    ASSERT_TRUE(*came) << "Ctrl+N asked first";
    EXPECT_EQ(asked, lg(3, "dlg_new_playbill"));
    EXPECT_TRUE(region(r) != nullptr) << "No keeps the pages, regions and materials";
    EXPECT_EQ(run.model().materials().size(), 1);

    came = whenModal([&](QWidget* box) { clickBox(box, QMessageBox::Yes); });
    run.key(Qt::Key_N, Qt::ControlModifier);
    pump(50);
    ASSERT_TRUE(*came);
    EXPECT_TRUE(run.model().materials().isEmpty()) << "Yes empties the card";
    EXPECT_EQ(run.model().pageNames(r.card).size(), 1) << "and starts it with one page";
}

// ---------------------------------------------------------------- search switch

// What a right click sends a widget: the button press, then the request for
// its context menu.
void rightClick(QWidget* w)
{
    const QPoint at = w->rect().center();
    QTest::mousePress(w, Qt::RightButton, {}, at);
    QContextMenuEvent menu(QContextMenuEvent::Mouse, at, w->mapToGlobal(at));
    QApplication::sendEvent(w, &menu);
    QTest::mouseRelease(w, Qt::RightButton, {}, at);
    pump(20);
}

TEST_F(OperatorEditors, TheSearchButtonShowsWhetherSearchIsOn)
{
    QToolButton* button = run.window->searchButton();
    ASSERT_TRUE(button->isVisible());
    ASSERT_TRUE(run.session->settings().isOpenSearch);
    EXPECT_TRUE(button->isChecked()) << "on: pressed in";
    const QImage on = button->grab().toImage();

    rightClick(button);
    ASSERT_FALSE(run.session->settings().isOpenSearch) << "the right click switched search off";
    EXPECT_FALSE(button->isChecked());
    EXPECT_TRUE(button->toolTip().contains(lg(3, "tip_card_search_close_enable"))) << button->toolTip().toStdString();
    const QImage off = button->grab().toImage();
    EXPECT_NE(on, off) << "the button looks different when search is off";
    EXPECT_NE(button->icon().pixmap(20, 20).toImage(), run.window->actions().action(ActionId::Search)->icon().pixmap(20, 20).toImage())
        << "a greyed icon";
    // A click while off neither searches nor turns the look back.
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(run.window->statusText(MainWindow::kMessagePanel), lg(3, "tip_card_search_close_enable"));
    EXPECT_FALSE(button->isChecked());

    rightClick(button);
    EXPECT_TRUE(run.session->settings().isOpenSearch);
    EXPECT_TRUE(button->isChecked());
    EXPECT_TRUE(button->toolTip().contains(lg(3, "tip_card_search_enable")));
}

// ---------------------------------------------------------------- table at zoom

TEST_F(OperatorEditors, ATableIsCutForTheRegionInLedPixelsAtAnyZoomAndOldPiecesGo)
{
    const NodePath r = cardWithRegion(QStringLiteral("Hall"));
    TRegion* area = region(r);
    area->width = 32;
    area->height = 32;
    card("Hall")->zoom = 40;
    run.window->refreshTree();
    run.window->selectNode(r);
    const NodePath t = run.addMaterial(ActionId::Table);
    ASSERT_EQ(t.level, NodeLevel::Material);

    // New table: 3 rows of 16 pixels, 3 columns of 8.
    auto editor = whenModal([&](QWidget* newTable) {
        const QList<QSpinBox*> spins = newTable->findChildren<QSpinBox*>();
        ASSERT_EQ(spins.size(), 3);
        spins[0]->setValue(3);
        spins[1]->setValue(16);
        spins[2]->setValue(3);
        // The column width box (the spin boxes' own edits are not direct children).
        newTable->findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly).first()->setText(QStringLiteral("8"));
        whenModal([&](QWidget* w) { static_cast<QDialog*>(w)->close(); }, newTable);
        QTest::mouseClick(buttonWithText(newTable, lg(6, "btOK")), Qt::LeftButton);
    });
    run.doubleClickNode(t);
    ASSERT_TRUE(*editor);
    QStringList pieces;
    for (const TFileInfo& f : material(t)->fileList)
        pieces << f.path;
    ASSERT_EQ(pieces.size(), 2) << "two rows on the first sheet, the third on the last: " << pieces.join(' ').toStdString();
    EXPECT_TRUE(pieces[0].endsWith(QStringLiteral("__i0.bmp")));
    EXPECT_TRUE(pieces[1].endsWith(QStringLiteral("__j1.bmp")));
    EXPECT_EQ(QImage(pieces[0]).size(), QSize(24, 32));
    EXPECT_EQ(QImage(pieces[1]).size(), QSize(24, 16));

    // Reopened, one row deleted: one sheet is left, the old last sheet goes.
    auto again = whenModal([&](QWidget* w) {
        auto* table = qobject_cast<TableEditor*>(w);
        ASSERT_NE(table, nullptr) << w->metaObject()->className();
        table->selectRange({3, 1, 3, 1});
        QAction* del = actionWithText(table, lg(6, "tBtnDelRow"));
        ASSERT_NE(del, nullptr);
        del->trigger();
        table->close();
    });
    run.doubleClickNode(t);
    ASSERT_TRUE(*again);
    ASSERT_EQ(material(t)->fileList.size(), 1);
    EXPECT_EQ(QImage(material(t)->fileList.first().path).size(), QSize(24, 32));
    EXPECT_FALSE(QFileInfo::exists(pieces[1])) << "the piece of the earlier cut is removed";
}

// ---------------------------------------------------------------- text box at zoom

TEST_F(OperatorEditors, TheTextBoxIsTheRegionWidthPlusTwentyAtEveryZoom)
{
    const NodePath r = cardWithRegion(QStringLiteral("Hall"));
    region(r)->width = 64;
    const NodePath t = run.addMaterial(ActionId::MulText);
    for (int zoom : {10, 40}) {
        card("Hall")->zoom = zoom;
        run.window->refreshTree();
        int width = -1, wrap = -1, widened = -1;
        auto came = whenModal([&](QWidget* w) {
            auto* editor = qobject_cast<RichTextEditor*>(w);
            ASSERT_NE(editor, nullptr) << w->metaObject()->className();
            QTextEdit* box = editor->textArea();
            width = box->width();
            wrap = box->lineWrapColumnOrWidth();
            editor->resize(editor->width() + 300, editor->height());
            pump(20);
            widened = box->width();
            editor->close();
        });
        run.doubleClickNode(t);
        ASSERT_TRUE(*came);
        EXPECT_EQ(width, 84) << "zoom " << zoom;
        EXPECT_EQ(wrap, 64) << "lines break where the card's do, zoom " << zoom;
        EXPECT_EQ(widened, 84) << "a wider window keeps the card's line breaks, zoom " << zoom;
    }
}

// ---------------------------------------------------------------- editors without an edit

TEST_F(OperatorEditors, EditorsClosedWithoutAnEditLeaveTheCardUnmodified)
{
    const NodePath r = cardWithRegion(QStringLiteral("Hall"));
    const NodePath text = run.addMaterial(ActionId::SglTxt);
    material(text)->content = QStringLiteral("clRed^宋体^12^0^0^0^0^0^1^Hi");
    const NodePath code = run.addMaterial(ActionId::InnerInfo);
    const NodePath table = run.addMaterial(ActionId::Table);
    // The table gets its file on a first edit.
    auto made = whenModal([&](QWidget* newTable) {
        whenModal([&](QWidget* w) { static_cast<QDialog*>(w)->close(); }, newTable);
        QTest::mouseClick(buttonWithText(newTable, lg(6, "btOK")), Qt::LeftButton);
    });
    run.doubleClickNode(table);
    ASSERT_TRUE(*made);
    ASSERT_FALSE(material(table)->fileList.isEmpty());

    for (const NodePath& p : {text, code, table}) {
        card("Hall")->modified = 0;
        QString opened;
        auto came = whenModal([&](QWidget* w) {
            opened = QString::fromLatin1(w->metaObject()->className());
            w->close();
        });
        run.doubleClickNode(p);
        ASSERT_TRUE(*came) << p.material.toStdString();
        EXPECT_FALSE(card("Hall")->modified) << opened.toStdString() << " closed without an edit";
    }

    // So the exit has nothing to ask.
    auto asked = whenModal([&](QWidget* box) { clickBox(box, QMessageBox::No); }, {nullptr, 300, true});
    EXPECT_TRUE(run.window->close());
    pump(350);
    EXPECT_FALSE(*asked) << "the exit asked to save a session without an edit";
}

// The pixels of `area` of an image that differ from `other` at the same place.
int differingPixels(const QImage& a, const QImage& b, const QRect& area)
{
    int differ = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            differ += (a.pixel(x, y) & 0xFFFFFF) != (b.pixel(x, y) & 0xFFFFFF) ? 1 : 0;
    return differ;
}

TEST_F(OperatorEditors, AReopenedTableLeftWithEscapeIsNoEditAndItsCellsLookAsTheCardShowsThem)
{
    cardWithRegion(QStringLiteral("Hall"));
    const NodePath t = run.addMaterial(ActionId::Table);
    // A new table of 2 x 2 cells of 64 x 24; "Cake" typed into the first.
    auto made = whenModal([&](QWidget* newTable) {
        auto typed = whenModal([&](QWidget* w) {
            auto* table = qobject_cast<TableEditor*>(w);
            ASSERT_NE(table, nullptr) << w->metaObject()->className();
            QTableView* view = table->view();
            view->setFocus();
            view->setCurrentIndex(view->model()->index(1, 1));
            QTest::keyClick(view, Qt::Key_F2);
            auto* cellEdit = view->viewport()->findChild<QLineEdit*>();
            ASSERT_NE(cellEdit, nullptr) << "F2 opens the cell";
            QTest::keyClicks(cellEdit, QStringLiteral("Cake"));
            QTest::keyClick(cellEdit, Qt::Key_Return);
            table->close();
        }, newTable);
        QTest::mouseClick(buttonWithText(newTable, lg(6, "btOK")), Qt::LeftButton);
    });
    run.doubleClickNode(t);
    ASSERT_TRUE(*made);
    ASSERT_FALSE(material(t)->fileList.isEmpty());
    const QImage piece(material(t)->fileList.first().path);
    ASSERT_FALSE(piece.isNull());
    ASSERT_TRUE(anyLit(piece)) << "the card shows the text";

    card("Hall")->modified = 0;
    QAction* undo = run.window->findChild<QAction*>(QStringLiteral("actUndo"));
    const QString undoBefore = undo->text();
    QImage shown;
    QRect cell;
    QString text;
    auto reopened = whenModal([&](QWidget* w) {
        auto* table = qobject_cast<TableEditor*>(w);
        ASSERT_NE(table, nullptr) << w->metaObject()->className();
        QTableView* view = table->view();
        text = view->model()->index(1, 1).data().toString();
        table->selectRange({2, 2, 2, 2}); // the cell compared is not highlighted
        pump(20);
        cell = view->visualRect(view->model()->index(1, 1));
        shown = view->viewport()->grab(cell).toImage().convertToFormat(QImage::Format_RGB32);
        QTest::keyClick(view, Qt::Key_Escape);
    });
    // Opened where the operator sees it: a double click on the canvas.
    QWidget* panel = run.canvas()->panel(material(t)->panelName);
    ASSERT_NE(panel, nullptr);
    run.activate();
    QTest::mouseDClick(panel, Qt::LeftButton, {}, QPoint(3, 3));
    pump(50); // the editor opens once the click is over
    ASSERT_TRUE(*reopened);
    EXPECT_EQ(text, QStringLiteral("Cake"));
    EXPECT_FALSE(card("Hall")->modified) << "Escape is no edit";
    EXPECT_EQ(undo->text(), undoBefore) << "and no undo step";

    // The cell as the editor draws it, inside the grid lines, against the
    // same place of the card's picture (the first cell starts it).
    ASSERT_GE(shown.width(), 60);
    ASSERT_GE(shown.height(), 20);
    const QImage card = piece.convertToFormat(QImage::Format_RGB32);
    const QRect inner(1, 1, std::min(shown.width(), card.width()) - 2, std::min(shown.height(), card.height()) - 2);
    EXPECT_TRUE(anyLit(shown.copy(inner)));
    EXPECT_EQ(differingPixels(shown, card, inner), 0) << "the editor shows what the card shows";
}

// ---------------------------------------------------------------- date and time

// A click on the character at `position` of the time field, where the
// operator's mouse lands on it.
void clickTimeAt(QTimeEdit* time, int position)
{
    auto* edit = time->findChild<QLineEdit*>();
    ASSERT_NE(edit, nullptr);
    QPoint at(-1, edit->height() / 2);
    for (int x = 0; x < edit->width() && at.x() < 0; ++x) {
        if (edit->cursorPositionAt(QPoint(x, at.y())) == position)
            at.setX(x);
    }
    ASSERT_GE(at.x(), 0) << "no place of the field puts the caret at " << position;
    QTest::mouseClick(edit, Qt::LeftButton, {}, at);
    pump(20);
}

TEST_F(OperatorEditors, TheDateDialogTakesTypedDigitsAndShowsTheWholeMonth)
{
    run.addCard(QStringLiteral("Hall"), 64, 32, 0);
    run.trigger(ActionId::AddPrg);
    const NodePath page = run.selected();
    QTime typed;
    bool wholeMonth = false;
    QString note, okText;
    auto came = whenModal([&](QWidget* w) {
        auto* dialog = qobject_cast<DateTimeDialog*>(w);
        ASSERT_NE(dialog, nullptr) << w->metaObject()->className();
        auto* calendar = dialog->findChild<QCalendarWidget*>();
        auto* view = calendar->findChild<QTableView*>();
        ASSERT_NE(view, nullptr);
        const int last = view->model()->rowCount() - 1;
        wholeMonth = view->rowViewportPosition(last) >= 0
            && view->rowViewportPosition(last) + view->rowHeight(last) <= view->viewport()->height();
        // "Play before the date" makes the date and time choosable.
        QList<QRadioButton*> choices = dialog->findChildren<QRadioButton*>();
        ASSERT_EQ(choices.size(), 3);
        QTest::mouseClick(choices[1], Qt::LeftButton, {}, QPoint(4, choices[1]->height() / 2));
        auto* time = dialog->findChild<QTimeEdit*>();
        // A click into the hours and six digits.
        clickTimeAt(time, 1);
        QTest::keyClicks(time, QStringLiteral("101112"));
        typed = time->time();
        for (QLabel* l : dialog->findChildren<QLabel*>())
            if (l->isVisible() && l->styleSheet().contains(QStringLiteral("red")))
                note = l->text();
        QPushButton* ok = buttonWithText(dialog, lg(14, "btSure"));
        ASSERT_NE(ok, nullptr) << "the choose button takes its text from the table";
        okText = ok->text();
        QTest::mouseClick(ok, Qt::LeftButton);
    });
    run.window->properties()->clickEditButton(5);
    ASSERT_TRUE(*came) << "the play-date row opened the date-time dialog";
    EXPECT_EQ(typed.toString(QStringLiteral("HH:mm:ss")), QStringLiteral("10:11:12"));
    EXPECT_TRUE(wholeMonth) << "the calendar's last week row is in sight";
    EXPECT_FALSE(note.isEmpty());
    EXPECT_EQ(note, GetLgList(2, 2).value(11)) << "the page rows' note";
    const TProgram* p = run.model().findPage(page.card, page.page).record;
    EXPECT_TRUE(p->playDate.contains(QStringLiteral("10:11:12"))) << p->playDate.toStdString();
}

TEST_F(OperatorEditors, TheDateDialogTakesMinutesAndSecondsWhereClickedAndNamesMonthsInTheWindowsLanguage)
{
    run.addCard(QStringLiteral("Hall"), 64, 32, 0);
    run.trigger(ActionId::AddPrg);
    const NodePath page = run.selected();
    const struct {
        ActionId language;
        QString march;
    } cases[] = {{ActionId::English, QStringLiteral("March")},
                 {ActionId::SimpleChn, QStringLiteral("三月")},
                 {ActionId::TraditionalChn, QStringLiteral("3月")}};
    for (const auto& c : cases) {
        run.trigger(c.language);
        TProgram* stored = run.model().findPage(page.card, page.page).record;
        stored->playMode = kPlayByDate; // played before the date
        stored->playDate = formatDialogDateTime(QDate(2026, 3, 10), QTime(8, 0, 0));
        run.window->selectNode(page);
        QString month;
        QTime typed;
        auto came = whenModal([&](QWidget* w) {
            auto* dialog = qobject_cast<DateTimeDialog*>(w);
            ASSERT_NE(dialog, nullptr) << w->metaObject()->className();
            auto* monthButton = dialog->findChild<QToolButton*>(QStringLiteral("qt_calendar_monthbutton"));
            ASSERT_NE(monthButton, nullptr);
            month = monthButton->text();
            QList<QRadioButton*> choices = dialog->findChildren<QRadioButton*>();
            QTest::mouseClick(choices[1], Qt::LeftButton, {}, QPoint(4, choices[1]->height() / 2));
            auto* time = dialog->findChild<QTimeEdit*>();
            clickTimeAt(time, 4); // in the minutes
            QTest::keyClicks(time, QStringLiteral("45")); // keys go to the field that has the focus
            clickTimeAt(time, 7); // in the seconds
            QTest::keyClicks(time, QStringLiteral("30"));
            typed = time->time();
            static_cast<QDialog*>(w)->reject();
        });
        run.window->properties()->clickEditButton(5);
        ASSERT_TRUE(*came);
        EXPECT_EQ(month, c.march) << int(c.language);
        EXPECT_EQ(typed.toString(QStringLiteral("HH:mm:ss")), QStringLiteral("08:45:30")) << int(c.language);
    }
    run.trigger(ActionId::English);
}

TEST_F(OperatorEditors, TheCountTimeDialogShowsTheWholeMonthToo)
{
    cardWithRegion(QStringLiteral("Hall"));
    run.clickNode(run.addMaterial(ActionId::DelTime));
    bool wholeMonth = false;
    QTime typed;
    auto came = whenModal([&](QWidget* w) {
        auto* calendar = w->findChild<QCalendarWidget*>();
        ASSERT_NE(calendar, nullptr) << w->metaObject()->className();
        auto* view = calendar->findChild<QTableView*>();
        const int last = view->model()->rowCount() - 1;
        wholeMonth = view->rowViewportPosition(last) + view->rowHeight(last) <= view->viewport()->height();
        auto* time = w->findChild<QTimeEdit*>();
        clickTimeAt(time, 1);
        QTest::keyClicks(time, QStringLiteral("235958"));
        typed = time->time();
        static_cast<QDialog*>(w)->reject();
    });
    // Row 9 of a count-down's rows is its target time, with a "..." button.
    run.window->properties()->clickEditButton(9);
    ASSERT_TRUE(*came);
    EXPECT_TRUE(wholeMonth);
    EXPECT_EQ(typed.toString(QStringLiteral("HH:mm:ss")), QStringLiteral("23:59:58"));
}

} // namespace
} // namespace ledsign::test
