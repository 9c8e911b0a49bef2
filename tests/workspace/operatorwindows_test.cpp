// The main window as an operator uses it: clicks in the tree and on the
// canvas, keys on the focused control, and the dialogs the window opens
// itself answered on the screen. Each case is a fault an operator met.
#include "config/paramconfig.h"
#include "config/ui/paramwindow.h"
#include "config/ui/usbdiskwindow.h"
#include "content/ui/datetimedialog.h"
#include "content/ui/imagegrouppanel.h"
#include "model/materialkinds.h"
#include "realwindow.h"
#include "support/testsupport.h"
#include "transport/udpconfig.h"
#include "workspace/cardlinkcontroller.h"
#include "workspace/dragframe.h"
#include "workspace/layoutcanvaspanels.h"
#include "workspace/propertyeditor.h"
#include "workspace/propertyeditordelegate.h"
#include "workspace/toolwindows.h"

#include <QCalendarWidget>
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

namespace ledsign::test {
namespace {

QString lg(const char* key)
{
    return GetLgText(3, QString::fromLatin1(key));
}

// The new-card window, filled in as the operator types.
void addCard(RealRun& run, const QString& name, int width, int height, int colorIndex)
{
    whenModal<UsbDiskWindow>([=](UsbDiskWindow* w) {
        const QList<QLineEdit*> boxes = w->findChildren<QLineEdit*>();
        ASSERT_GE(boxes.size(), 3);
        for (int i = 0; i < 3; ++i) {
            boxes[i]->selectAll();
            QTest::keyClicks(boxes[i], i == 0 ? name : QString::number(i == 1 ? width : height));
        }
        w->findChildren<QComboBox*>().first()->setCurrentIndex(colorIndex);
        static_cast<QDialog*>(w)->accept(); // its OK button
    });
    run.trigger(ActionId::NewCard);
    ASSERT_TRUE(run.model().findCard(name)) << run.outline().join(u'\n').toStdString();
}

MaterialPanel* materialPanel(RealRun& run, const NodePath& path)
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
        run = startRealRun(home.path());
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
        addCard(run, QStringLiteral("Hall"), 128, 64, 1);
        run.trigger(ActionId::AddPrg);
        for (int i = 0; i < regions; ++i) {
            run.window->selectNode(NodePath::ofPage(hall, page));
            run.trigger(ActionId::AddRgn);
        }
    }

    QTemporaryDir home;
    RealRun run;
    const QString hall = QStringLiteral("Hall");
    const QString page = QStringLiteral("show_page1");
};

TEST_F(OperatorWindows, AddsBeforeTheSelectedMaterialComeOutNewestFirstInTheTreeAndThePlaybill)
{
    addPageWithRegions(2);
    run.clickNode(NodePath::ofRegion(hall, page, QStringLiteral("area1")));
    ASSERT_EQ(run.window->selection().node(), NodePath::ofRegion(hall, page, QStringLiteral("area1")));
    for (int i = 1; i <= 4; ++i) {
        run.trigger(ActionId::SglTxt);
        const NodePath added = NodePath::ofMaterial(hall, page, QStringLiteral("area1"),
                                                    QStringLiteral("single-text%1").arg(i));
        // The new material is selected in the tree and in the window.
        EXPECT_EQ(run.window->selection().node(), added) << i;
        EXPECT_EQ(run.tree()->selectedPath(), added) << i;
    }
    const QStringList expected{"Hall",           "  show_page1",   "    area1",      "      single-text4",
                               "      single-text3", "      single-text2", "      single-text1", "    area2"};
    EXPECT_EQ(run.outline(), expected);

    // Saved through the save dialog: the playbill lists them in that order.
    const QString file = QDir(home.path()).filePath(QStringLiteral("prgFiles/order.prg"));
    whenModal<QFileDialog>([file](QFileDialog* d) {
        chooseFile(d, file);
    });
    run.trigger(ActionId::SavePrg);
    const QString saved = QString::fromUtf8(readAll(file));
    ASSERT_FALSE(saved.isEmpty()) << file.toStdString();
    QList<qsizetype> at;
    for (int i = 4; i >= 1; --i)
        at << saved.indexOf(QStringLiteral(",single-text%1,").arg(i));
    for (qsizetype p : at)
        EXPECT_GE(p, 0) << saved.toStdString();
    EXPECT_TRUE(std::is_sorted(at.begin(), at.end())) << saved.toStdString();
}

TEST_F(OperatorWindows, ANewTextWithoutContentShowsItsNameAndCanBeClickedOnTheCanvas)
{
    addPageWithRegions(1);
    run.trigger(ActionId::SglTxt);
    const NodePath text = run.window->selection().node();
    ASSERT_EQ(text.level, NodeLevel::Material);
    MaterialPanel* panel = materialPanel(run, text);
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(hasRed(panel->picture())) << "the panel shows the material's name in red, not a black panel";
    EXPECT_TRUE(hasRed(panel->grab().toImage()));

    run.clickNode(NodePath::ofPage(hall, page));
    ASSERT_TRUE(panel->isVisible());
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(4, 4));
    EXPECT_EQ(run.window->selection().node(), text);
    EXPECT_EQ(run.window->statusText(MainWindow::kMessagePanel), lg("warn_material_layer_drag"));
}

TEST_F(OperatorWindows, AfterAClickOnARegionNodeTheArrowKeysMoveTheRegionWhileTreeKeysStayInTheTree)
{
    addPageWithRegions(2);
    const NodePath area1 = NodePath::ofRegion(hall, page, QStringLiteral("area1"));
    run.model().findCard(hall).record->modified = false;

    run.clickNode(area1);
    auto* frame = qobject_cast<DragFrame*>(QApplication::focusWidget());
    ASSERT_NE(frame, nullptr) << "focus: "
                              << (QApplication::focusWidget() ? QApplication::focusWidget()->metaObject()->className()
                                                              : "none");
    const int left = run.model().findRegion(hall, page, QStringLiteral("area1")).record->left;
    const int secondLeft = run.model().findRegion(hall, page, QStringLiteral("area2")).record->left;
    QTest::keyClick(frame, Qt::Key_Right);
    EXPECT_EQ(run.model().findRegion(hall, page, QStringLiteral("area1")).record->left, left + 8);
    EXPECT_TRUE(run.model().findCard(hall).record->modified);
    EXPECT_EQ(run.window->properties()->rowValue(2), QString::number(left + 8));

    // Walking the tree with the keys selects nodes and moves no region.
    run.clickNode(NodePath::ofPage(hall, page));
    ASSERT_EQ(QApplication::focusWidget(), run.tree());
    QTest::keyClick(run.tree(), Qt::Key_Down);
    EXPECT_EQ(run.window->selection().node(), area1);
    EXPECT_EQ(QApplication::focusWidget(), run.tree());
    QTest::keyClick(run.tree(), Qt::Key_Down);
    EXPECT_EQ(run.window->selection().node(), NodePath::ofRegion(hall, page, QStringLiteral("area2")));
    EXPECT_EQ(run.model().findRegion(hall, page, QStringLiteral("area1")).record->left, left + 8);
    EXPECT_EQ(run.model().findRegion(hall, page, QStringLiteral("area2")).record->left, secondLeft);
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

TEST_F(OperatorWindows, TheAnimationChooserListsGifFilesAndACancelLeavesNoFile)
{
    const QString pictures = QDir(home.path()).filePath(QStringLiteral("picFiles"));
    ASSERT_TRUE(QDir().mkpath(pictures));
    const QString gif = QDir(pictures).filePath(QStringLiteral("flag.gif"));
    ASSERT_TRUE(writeAll(gif, kGif));
    ASSERT_TRUE(writeAll(QDir(pictures).filePath(QStringLiteral("note.txt")), "x"));
    addPageWithRegions(1);
    run.trigger(ActionId::Movie);
    const NodePath movie = run.window->selection().node();
    ASSERT_EQ(movie.level, NodeLevel::Material);
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
    run.trigger(ActionId::Picture);
    const NodePath group = run.window->selection().node();
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

TEST_F(OperatorWindows, AnEnglishSystemOffersEveryLanguageAndASwitchLeavesNoTextOfTheOther)
{
    ASSERT_EQ(currentLanguage(), kEnglish);
    for (ActionId id : {ActionId::SimpleChn, ActionId::TraditionalChn, ActionId::English})
        EXPECT_TRUE(run.window->actions().action(id)->isVisible()) << actionName(id).toStdString();
    // The new-card window is made here, in English.
    addCard(run, hall, 64, 32, 0);
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
            pressMessageButton(box, QMessageBox::Cancel);
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
