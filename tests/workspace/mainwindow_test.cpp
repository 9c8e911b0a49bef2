#include "model/cardlist.h"
#include "model/inifile.h"
#include "model/materialkinds.h"
#include "support/testsupport.h"
#include "windowfixture.h"
#include "content/ui/imagegrouppanel.h"
#include "workspace/dragframe.h"
#include "workspace/layoutcanvas.h"
#include "workspace/propertyeditor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QToolButton>

namespace ledsign::test {
namespace {

QString lg(const char* key)
{
    return GetLgText(3, QString::fromLatin1(key));
}

// A playbill of one page, one region of the given width and one single text.
QByteArray playbill(int regionWidth)
{
    return QByteArray("[ProgramList]\r\n"
                      "P1,100000001,pnProgram1,00:00,24:00,everyday,,-1\r\n"
                      "[RegionList]\r\n"
                      "P1,100000001,R1,100000002,pnRegion2,0,0,")
        + QByteArray::number(regionWidth)
        + ",32\r\n"
          "[FodderList]\r\n"
          "P1,R1,100000002,T1,100000003,pnSglTxt3,0,1,9,1,1,56,49,49,,1,1,1,1,1,1,1,0,0,0,0,0,0,0,0\r\n"
          "[TxtContentList]\r\n"
          "100000003=hello\r\n";
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(home.isValid()); }
    QString prg(const QString& name) const { return home.path() + "/prgFiles/" + name; }

    QTemporaryDir home;
};

TEST_F(MainWindowTest, CardsPagesRegionsAndMaterialsMadeThroughTheActionsComeBackAfterARestart)
{
    const QStringList expected{
        "Hall", "  show_page1", "    area1", "      window_no1", "      single-text1", "    area2", "      time1",
        "Door", "  show_page1",
    };
    {
        Running run = startRun(home.path());
        EXPECT_TRUE(run.outline().isEmpty());
        EXPECT_FALSE(run.enabled(ActionId::AddPrg));
        EXPECT_FALSE(run.enabled(ActionId::SavePrg));
        EXPECT_TRUE(run.enabled(ActionId::NewCard));

        run.dialogs->newCards.push_back(NewCardInput{"Hall", "128", "64", 1});
        run.trigger(ActionId::NewCard);
        EXPECT_EQ(run.dialogs->asked.last(), QStringLiteral("Card1")) << "the name in the window's language";
        ASSERT_EQ(run.window->selection().node(), NodePath::ofCard("Hall"));
        EXPECT_EQ(run.window->statusText(1), QStringLiteral("Hall"));
        EXPECT_TRUE(run.enabled(ActionId::AddPrg));
        EXPECT_FALSE(run.enabled(ActionId::AddRgn));

        run.trigger(ActionId::AddPrg);
        EXPECT_TRUE(run.enabled(ActionId::AddRgn));
        EXPECT_FALSE(run.enabled(ActionId::SglTxt));
        run.trigger(ActionId::AddRgn);
        EXPECT_EQ(addMaterial(run, ActionId::SglTxt).level, NodeLevel::Material);
        EXPECT_EQ(run.window->selection().level(), NodeLevel::Region) << "the region stays selected";
        run.trigger(ActionId::CallNo); // first page: allowed, and placed first
        run.window->selectNode(NodePath::ofPage("Hall", "show_page1"));
        run.trigger(ActionId::AddRgn);
        run.trigger(ActionId::DateTime);

        run.dialogs->newCards.push_back(NewCardInput{"Door", "64", "32", 0});
        run.trigger(ActionId::NewCard);
        run.trigger(ActionId::AddPrg);
        EXPECT_EQ(run.outline(), expected);

        // Save one card by the action, the other on exit.
        run.window->selectCard("Hall");
        run.dialogs->saveNames.push_back(prg("hall.prg"));
        run.trigger(ActionId::SavePrg);
        EXPECT_TRUE(QFileInfo::exists(prg("hall.prg")));
        EXPECT_FALSE(run.model().findCard("Hall").record->modified);
        EXPECT_TRUE(run.model().findCard("Door").record->modified);

        run.dialogs->yesNoCancel.push_back(MainWindowDialogs::Answer::Yes);
        run.dialogs->saveNames.push_back(prg("door.prg"));
        EXPECT_TRUE(run.window->close());
        EXPECT_TRUE(run.dialogs->asked.contains(lg("dlg_sys_exit")));
        EXPECT_TRUE(QFileInfo::exists(prg("door.prg")));
    }
    Running again = startRun(home.path());
    EXPECT_EQ(again.outline(), expected);
    const TFIXModem& hall = *again.model().findCard("Hall").record;
    EXPECT_EQ(hall.width, 128);
    EXPECT_EQ(hall.height, 64);
    EXPECT_EQ(hall.colorType, kColorDual);
    EXPECT_EQ(hall.programFile, prg("hall.prg"));
    // Nothing was changed since the start: no question on exit.
    EXPECT_TRUE(again.window->close());
    EXPECT_FALSE(again.dialogs->asked.contains(lg("dlg_sys_exit")));
}

TEST_F(MainWindowTest, AnUnreadablePlaybillIsSkippedAndTheOtherCardsStillLoad)
{
    {
        IniFile ini;
        ini.setValue("CardsInfo", "Bad", "64,32,bad.prg,1_2_3_4_5_6_7_8,192.168.1.9,1:2:3:4:5:6,80,1");
        ini.setValue("CardsInfo", "Good", "64,32,good.prg,1_2_3_4_5_6_7_9,192.168.1.10,1:2:3:4:5:7,80,2");
        ini.setValue("CardsInfo", "Gone", "64,32,gone.prg,1_2_3_4_5_6_7_10,192.168.1.11,1:2:3:4:5:8,80,3");
        ASSERT_TRUE(QDir().mkpath(home.path() + "/prgFiles"));
        ASSERT_TRUE(ini.save(home.path() + "/SetCfg.ini"));
        ASSERT_TRUE(writeAll(prg("bad.prg"), playbill(128))); // wider than its card
        ASSERT_TRUE(writeAll(prg("good.prg"), playbill(64)));
    }
    Running run = startRun(home.path());
    EXPECT_EQ(run.outline(), QStringList({"Bad", "Good", "  P1", "    R1", "      T1", "Gone"}));
    EXPECT_TRUE(run.dialogs->messages.contains(lg("warn_open_load_fail")));
    EXPECT_TRUE(run.window->statusText(MainWindow::kMessagePanel).contains("Bad"));
    const auto good = run.model().findMaterial("Good", "P1", "R1", "T1");
    ASSERT_TRUE(good);
    EXPECT_EQ(good.record->content, QStringLiteral("hello"));
    // The last card of the list is selected, as after loading each one.
    EXPECT_EQ(run.window->selection().node(), NodePath::ofCard("Gone"));

    EXPECT_TRUE(run.window->close());
    IniFile saved;
    ASSERT_TRUE(saved.load(home.path() + "/SetCfg.ini"));
    const QList<CardListLine> lines = readCardList(saved, home.path() + "/prgFiles");
    ASSERT_EQ(lines.size(), 3);
    // The cards keep naming their stored files, read or not.
    EXPECT_EQ(lines[0].programFile, prg("bad.prg"));
    EXPECT_EQ(lines[1].programFile, prg("good.prg"));
    EXPECT_EQ(lines[2].programFile, prg("gone.prg"));
    EXPECT_EQ(lines[2].colorType, kColorTri);
    EXPECT_EQ(readAll(prg("bad.prg")), playbill(128));
}

TEST_F(MainWindowTest, APlaybillNamingAFontWithoutStandInIsToldOnceInTheStatusBar)
{
    {
        IniFile ini;
        ini.setValue("CardsInfo", "Hall", "64,32,hall.prg,1_2_3_4_5_6_7_8,192.168.1.9,1:2:3:4:5:6,80,1");
        ASSERT_TRUE(QDir().mkpath(home.path() + "/prgFiles"));
        ASSERT_TRUE(ini.save(home.path() + "/SetCfg.ini"));
        QByteArray bill = playbill(64);
        bill.replace("100000003=hello", "100000003=clRed^Arial^12^0^0^0^0^0^1^a~*clRed^Frutiger Roman^12^0^0^0^0^0^1^b");
        ASSERT_TRUE(writeAll(prg("hall.prg"), bill));
    }
    Running run = startRun(home.path());
    QCoreApplication::processEvents();
    const QString told = messageText(QStringLiteral("warn_font_stand_in")).arg(QStringLiteral("Frutiger Roman"), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(run.window->statusText(MainWindow::kMessagePanel), told);
    EXPECT_TRUE(run.window->close());
}

TEST_F(MainWindowTest, TheExitQuestionKeepsUnsavedWorkUnlessTheUserLetsItGo)
{
    Running run = startRun(home.path());
    run.dialogs->newCards.push_back(NewCardInput{"A", "64", "32", 0});
    run.trigger(ActionId::NewCard);
    run.trigger(ActionId::AddPrg);

    run.dialogs->yesNoCancel.push_back(MainWindowDialogs::Answer::Cancel);
    EXPECT_FALSE(run.window->close());
    // Yes, but the file name is not given: the playbill would be lost.
    run.dialogs->yesNoCancel.push_back(MainWindowDialogs::Answer::Yes);
    EXPECT_FALSE(run.window->close());
    EXPECT_TRUE(run.model().findCard("A").record->modified);

    run.dialogs->yesNoCancel.push_back(MainWindowDialogs::Answer::No);
    EXPECT_TRUE(run.window->close());
    EXPECT_TRUE(QDir(home.path() + "/prgFiles").entryList({"*.prg"}).isEmpty());
    // The card list is written all the same.
    IniFile saved;
    ASSERT_TRUE(saved.load(home.path() + "/SetCfg.ini"));
    EXPECT_EQ(readCardList(saved, home.path() + "/prgFiles").size(), 1);
}

TEST_F(MainWindowTest, ASecondInstanceOnTheSameFolderIsTurnedAway)
{
    Running run = startRun(home.path());
    WorkspaceSession second{DataFolder(home.path())};
    EXPECT_EQ(second.start(testStartOptions()), WorkspaceSession::StartResult::AlreadyRunning);
    EXPECT_FALSE(lg("tip_softwear_running").isEmpty());
}

TEST_F(MainWindowTest, SwitchingTheLanguageTranslatesActionsPanelsAndTheModeText)
{
    Running run = startRun(home.path());
    EXPECT_EQ(run.window->windowTitle(), QStringLiteral("LED Edit Softwear V2.50"));
    EXPECT_EQ(run.window->actions().action(ActionId::AddPrg)->text(), QStringLiteral("Add Page"));
    EXPECT_EQ(run.window->statusText(0), QStringLiteral("Current Card"));
    EXPECT_EQ(run.window->statusText(2), QStringLiteral("Comm Mode"));
    EXPECT_EQ(run.window->statusText(3), QStringLiteral("Network"));
    // An English system offers every language.
    EXPECT_TRUE(run.window->actions().action(ActionId::SimpleChn)->isVisible());
    EXPECT_TRUE(run.window->actions().action(ActionId::TraditionalChn)->isVisible());
    EXPECT_TRUE(run.window->actions().action(ActionId::English)->isChecked());

    run.trigger(ActionId::SimpleChn);
    EXPECT_EQ(currentLanguage(), kSimplifiedChinese);
    EXPECT_EQ(run.window->windowTitle(), QStringLiteral("LED显示屏编辑软件 V2.50"));
    EXPECT_EQ(run.window->actions().action(ActionId::AddPrg)->text(), QStringLiteral("添加显示页"));
    EXPECT_EQ(run.window->actions().action(ActionId::AddPrg)->toolTip(), QStringLiteral("添加显示页"));
    EXPECT_EQ(run.window->actions().popupItem(PopupItem::AddPrg)->text(), QStringLiteral("添加显示页"));
    EXPECT_EQ(run.window->fileMenu()->title(), QStringLiteral("文件(&F)"));
    EXPECT_EQ(run.window->statusText(0), QStringLiteral("当前控制卡"));
    EXPECT_EQ(run.window->statusText(3), QStringLiteral("网络"));
    EXPECT_TRUE(run.window->actions().action(ActionId::SimpleChn)->isChecked());
    EXPECT_FALSE(run.window->actions().action(ActionId::English)->isChecked());
    // Copy page keeps its own caption in simplified Chinese.
    EXPECT_EQ(run.window->actions().action(ActionId::CopyPrg)->text(), QStringLiteral("复制显示页 "));

    // The export caption of the traditional window is a row of its own.
    run.trigger(ActionId::TraditionalChn);
    EXPECT_EQ(run.window->actions().action(ActionId::Export2UDisk)->text(), QStringLiteral("導出到U盤"));
    EXPECT_NE(run.window->actions().action(ActionId::AddPrg)->text(), QStringLiteral("添加显示页"));
    run.trigger(ActionId::English);
    EXPECT_EQ(run.window->actions().action(ActionId::Export2UDisk)->text(), QStringLiteral("Export To UDisk"));

    run.trigger(ActionId::SimpleChn);
    EXPECT_TRUE(run.window->close());
    IniFile saved;
    ASSERT_TRUE(saved.load(home.path() + "/SetCfg.ini"));
    EXPECT_EQ(saved.value("LgType", "LgType"), QStringLiteral("0"));
    setCurrentLanguage(kEnglish);
}

TEST_F(MainWindowTest, TheTitleFileNamesTheWindowInEveryLanguage)
{
    IniFile title;
    title.setValue("Title", "Title", "Hall Sign");
    ASSERT_TRUE(title.save(home.path() + "/Title.ini"));
    Running run = startRun(home.path());
    EXPECT_EQ(run.window->windowTitle(), QStringLiteral("Hall Sign V2.50"));
    run.trigger(ActionId::SimpleChn);
    EXPECT_EQ(run.window->windowTitle(), QStringLiteral("Hall Sign V2.50"));
    run.trigger(ActionId::English);
}

TEST_F(MainWindowTest, OpenedFilesJoinTheRecentListAboveExit)
{
    Running run = startRun(home.path());
    run.dialogs->newCards.push_back(NewCardInput{"A", "64", "32", 0});
    run.trigger(ActionId::NewCard);
    QStringList files;
    for (const char* name : {"a.prg", "b.prg", "c.prg", "d.prg"}) {
        files << prg(name);
        ASSERT_TRUE(writeAll(files.last(), playbill(64).replace("P1", QByteArray(name).left(1).toUpper() + "1")));
    }
    for (const QString& f : files) {
        run.dialogs->openNames.push_back(f);
        run.window->selectCard("A");
        run.trigger(ActionId::InsertPrg);
    }
    EXPECT_EQ(run.outline().value(1), QStringLiteral("  D1"));

    const QList<QAction*> recent = run.window->recentFileActions();
    ASSERT_EQ(recent.size(), 4); // separator and the three newest
    EXPECT_TRUE(recent[0]->isSeparator());
    EXPECT_EQ(recent[1]->text(), "& " + files[1]);
    EXPECT_EQ(recent[3]->text(), "& " + files[3]);
    const QList<QAction*> menu = run.window->fileMenu()->actions();
    ASSERT_GE(menu.size(), 6);
    EXPECT_EQ(menu.last(), run.window->actions().action(ActionId::Exit));
    EXPECT_TRUE(menu[menu.size() - 2]->isSeparator());
    EXPECT_EQ(menu[menu.size() - 3], recent[3]);

    // A recent item needs a card node and leaves the list as it is.
    run.window->selectNode(NodePath::ofPage("A", "D1"));
    recent[1]->trigger();
    EXPECT_TRUE(run.dialogs->messages.contains(lg("warn_card_select_open")));
    run.window->selectCard("A");
    recent[1]->trigger();
    EXPECT_EQ(run.outline().value(1), QStringLiteral("  B1"));
    EXPECT_EQ(run.session->recentFiles().entries(), files.mid(1));

    EXPECT_TRUE(run.window->close());
    run.window.reset();
    run.session.reset(); // the next run takes the folder over
    Running again = startRun(home.path());
    EXPECT_EQ(again.session->recentFiles().entries(), files.mid(1));
    EXPECT_EQ(again.window->recentFileActions().size(), 4);
}

TEST_F(MainWindowTest, CommandsFollowTheSelectionAndTheDeleteQuestions)
{
    Running run = startRun(home.path());
    run.dialogs->newCards.push_back(NewCardInput{"A", "256", "128", 0});
    run.trigger(ActionId::NewCard);
    run.trigger(ActionId::AddPrg);
    run.trigger(ActionId::AddRgn);
    const NodePath remote = addMaterial(run, ActionId::TxtSet);
    EXPECT_FALSE(run.enabled(ActionId::TxtSet)); // one remote text per card
    run.window->selectCard("A");
    run.trigger(ActionId::AddPrg);
    run.trigger(ActionId::AddRgn);
    EXPECT_FALSE(run.enabled(ActionId::CallNo)); // not the first page
    EXPECT_TRUE(run.enabled(ActionId::SglTxt));

    run.window->selectNode(remote);
    EXPECT_TRUE(run.enabled(ActionId::CallNo));
    EXPECT_TRUE(run.enabled(ActionId::DelFodder));
    run.dialogs->yesNo.push_back(false);
    run.trigger(ActionId::DelFodder);
    EXPECT_TRUE(run.model().findMaterial(remote.card, remote.page, remote.region, remote.material));
    run.dialogs->yesNo.push_back(true);
    run.trigger(ActionId::DelFodder);
    EXPECT_TRUE(run.dialogs->asked.contains(lg("dlg_del_material")));
    EXPECT_FALSE(run.model().findMaterial(remote.card, remote.page, remote.region, remote.material));
    EXPECT_EQ(run.window->selection().node(), remote.parent());
    EXPECT_TRUE(run.enabled(ActionId::TxtSet)); // the slot is free again

    // The pop-up items of a region, and the delete key on it.
    EXPECT_TRUE(run.window->actions().popupItem(PopupItem::DelRegion)->isEnabled());
    EXPECT_FALSE(run.window->actions().popupItem(PopupItem::DelCard)->isEnabled());
    EXPECT_FALSE(run.window->actions().popupItem(PopupItem::SavePrg)->isEnabled());
    run.window->deleteObjectAction()->trigger();
    EXPECT_TRUE(run.dialogs->asked.contains(lg("dlg_del_area")));
    EXPECT_EQ(run.window->selection().node(), NodePath::ofPage("A", "show_page1"));
    EXPECT_TRUE(run.window->actions().popupItem(PopupItem::DelPrg)->isEnabled());

    // On-line marks follow the records, also across a move of the cards.
    run.dialogs->newCards.push_back(NewCardInput{"B", "64", "32", 0});
    run.trigger(ActionId::NewCard);
    run.model().findCard("A").record->online = 1;
    run.window->refreshCardStates();
    EXPECT_TRUE(run.window->tree()->showsOnline("A"));
    EXPECT_FALSE(run.window->tree()->showsOnline("B"));
    run.window->findChild<QToolButton*>("sBtnUp")->click();
    EXPECT_EQ(run.outline().first(), QStringLiteral("B"));
    EXPECT_TRUE(run.window->tree()->showsOnline("A"));
    run.window->selectNode(NodePath::ofPage("A", "show_page1"));

    // Copy the page and paste it into the card.
    run.trigger(ActionId::CopyPrg);
    run.window->selectCard("A");
    run.trigger(ActionId::PastePrg);
    EXPECT_EQ(run.model().pageNames("A"), QStringList({"show_page1", "show_page2", "show_page3"}));
    run.window->runPopupItem(PopupItem::Collapse);
    EXPECT_FALSE(run.window->tree()->topLevelItem(0)->isExpanded());

    run.dialogs->yesNoCancel.push_back(MainWindowDialogs::Answer::No);
    EXPECT_TRUE(run.window->close());
}

TEST_F(MainWindowTest, MaterialsMoveWithTheHeaderButtons)
{
    Running run = startRun(home.path());
    run.dialogs->newCards.push_back(NewCardInput{"A", "256", "128", 0});
    run.trigger(ActionId::NewCard);
    run.trigger(ActionId::AddPrg);
    run.trigger(ActionId::AddRgn);
    const NodePath text = addMaterial(run, ActionId::SglTxt);
    run.trigger(ActionId::MulText);
    auto* down = run.window->findChild<QToolButton*>("sBtnDown");
    auto* up = run.window->findChild<QToolButton*>("sBtnUp");
    ASSERT_TRUE(down && up);
    run.window->selectNode(text);
    down->click();
    EXPECT_EQ(run.model().materialNames("A", text.page, text.region), QStringList({"multi_text1", "single-text1"}));
    EXPECT_EQ(run.window->selection().node(), text);
    up->click();
    up->click(); // already first
    EXPECT_EQ(run.model().materialNames("A", text.page, text.region), QStringList({"single-text1", "multi_text1"}));

    run.dialogs->yesNoCancel.push_back(MainWindowDialogs::Answer::No);
    EXPECT_TRUE(run.window->close());
}

TEST_F(MainWindowTest, PropertyEditsAndCanvasClicksReachTheTreeAndTheRecords)
{
    Running run = startRun(home.path());
    run.dialogs->newCards.push_back(NewCardInput{"A", "256", "128", 0});
    run.trigger(ActionId::NewCard);
    run.trigger(ActionId::AddPrg);
    run.trigger(ActionId::AddRgn);
    PropertyEditor* rows = run.window->properties();
    LayoutCanvas* canvas = run.window->canvas();
    ASSERT_EQ(rows->rowCount(), 6);
    EXPECT_EQ(rows->rowValue(1), QStringLiteral("area1"));
    const QString regionPanel = run.model().findRegion("A", "show_page1", "area1").record->panelName;
    EXPECT_NE(canvas->panel(regionPanel), nullptr);
    const QString labelInEnglish = rows->item(1, 0)->text();

    // A rename in the rows renames the selected node.
    run.model().findCard("A").record->modified = 0;
    rows->editRow(1, "Stage");
    EXPECT_EQ(run.outline().value(2), QStringLiteral("    Stage"));
    EXPECT_EQ(run.window->selection().node(), NodePath::ofRegion("A", "show_page1", "Stage"));
    EXPECT_TRUE(run.model().findCard("A").record->modified);
    rows->editRow(2, "16");
    EXPECT_EQ(run.model().findRegion("A", "show_page1", "Stage").record->left, 16);

    const NodePath text = addMaterial(run, ActionId::SglTxt);
    const QString textPanel = run.model().findMaterial("A", "show_page1", "Stage", text.material).record->panelName;
    EXPECT_NE(canvas->panel(textPanel), nullptr);

    // Clicks on the canvas select the tree node and switch the commands.
    emit canvas->regionClicked("A", "show_page1", "Stage");
    EXPECT_EQ(run.window->selection().node(), text.parent());
    EXPECT_TRUE(run.enabled(ActionId::DelRegion));
    EXPECT_EQ(rows->rowValue(1), QStringLiteral("Stage"));
    emit canvas->materialClicked("A", "show_page1", "Stage", text.material);
    EXPECT_EQ(run.window->selection().node(), text);
    EXPECT_TRUE(run.enabled(ActionId::DelFodder));
    EXPECT_FALSE(run.enabled(ActionId::DelRegion));
    // The canvas stores what the frame was dragged to, then says so.
    run.model().findCard("A").record->modified = 0;
    run.model().findRegion("A", "show_page1", "Stage").record->left = 24;
    emit canvas->regionGeometryChanged("A", "show_page1", "Stage");
    EXPECT_TRUE(run.model().findCard("A").record->modified);

    run.window->selectCard("A");
    EXPECT_TRUE(run.window->findNodeOfMaterial(textPanel));
    EXPECT_EQ(run.window->selection().node(), text);
    EXPECT_FALSE(run.window->findNodeOfMaterial("pnNothing"));

    // Deleting frees the panels; a language switch relabels the rows.
    run.window->selectNode(text.parent());
    run.trigger(ActionId::DelRegion);
    EXPECT_EQ(canvas->panel(regionPanel), nullptr);
    EXPECT_EQ(canvas->panel(textPanel), nullptr);
    run.trigger(ActionId::AddRgn);
    run.trigger(ActionId::SimpleChn);
    EXPECT_NE(rows->item(1, 0)->text(), labelInEnglish);
    run.trigger(ActionId::English);
    EXPECT_EQ(rows->item(1, 0)->text(), labelInEnglish);

    run.dialogs->yesNoCancel.push_back(MainWindowDialogs::Answer::No);
    EXPECT_TRUE(run.window->close());
}

TEST_F(MainWindowTest, NewAreasGoBesideTheLastZoomKeepsTheFrameAndCaptionsFitTheirRegions)
{
    Running run = startRun(home.path());
    run.dialogs->newCards.push_back(NewCardInput{"A", "256", "128", 0});
    run.trigger(ActionId::NewCard);
    run.trigger(ActionId::AddPrg);
    for (int i = 0; i < 5; ++i)
        run.trigger(ActionId::AddRgn);
    const auto placed = [&](const char* name) {
        const TRegion* r = run.model().findRegion("A", "show_page1", name).record;
        return r ? QRect(r->left, r->top, r->width, r->height) : QRect();
    };
    EXPECT_EQ(placed("area1"), QRect(0, 0, 128, 64));
    EXPECT_EQ(placed("area2"), QRect(128, 0, 128, 64));
    EXPECT_EQ(placed("area3"), QRect(0, 64, 128, 64));
    EXPECT_EQ(placed("area4"), QRect(128, 64, 128, 64));
    EXPECT_EQ(placed("area5"), QRect(0, 0, 128, 64)); // the page is full

    // Zooming with a region selected: the frame stays on it, at the new zoom.
    LayoutCanvas* canvas = run.window->canvas();
    run.window->selectNode(NodePath::ofRegion("A", "show_page1", "area2"));
    QWidget* area2 = canvas->panel(run.model().findRegion("A", "show_page1", "area2").record->panelName);
    canvas->enlargeButton()->click();
    DragFrame* frame = canvas->dragFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->target(), area2);
    EXPECT_EQ(frame->geometry(), QRect(256, 0, 256, 128));
    QTest::keyClick(frame, Qt::Key_Down); // one LED row: two canvas pixels
    EXPECT_EQ(placed("area2"), QRect(128, 1, 128, 64));
    EXPECT_EQ(area2->geometry(), QRect(256, 2, 256, 128));

    // A region too small for its caption at the zoom's size shows it whole,
    // smaller: the black letters stay clear of the region's edges.
    run.dialogs->newCards.push_back(NewCardInput{"B", "64", "32", 0});
    run.trigger(ActionId::NewCard);
    run.trigger(ActionId::AddPrg);
    run.trigger(ActionId::AddRgn);
    QWidget* small = canvas->panel(run.model().findRegion("B", "show_page1", "area1").record->panelName);
    ASSERT_NE(small, nullptr);
    ASSERT_EQ(small->size(), QSize(32, 32));
    const QImage shot = small->grab().toImage();
    QRect letters;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            if (qGray(shot.pixel(x, y)) < 40)
                letters |= QRect(x, y, 1, 1);
        }
    }
    EXPECT_FALSE(letters.isEmpty());
    EXPECT_TRUE(QRect(1, 1, 30, 30).contains(letters)) << letters.x() << "," << letters.width();

    run.dialogs->yesNoCancel.push_back(MainWindowDialogs::Answer::No);
    EXPECT_TRUE(run.window->close());
}

TEST_F(MainWindowTest, EditorsAndRowDialogsChangeTheSelectedRecords)
{
    Running run = startRun(home.path());
    run.dialogs->newCards.push_back(NewCardInput{"A", "256", "128", 0});
    run.trigger(ActionId::NewCard);
    run.trigger(ActionId::AddPrg);
    const NodePath page = run.window->selection().node();
    run.trigger(ActionId::AddRgn);
    const NodePath region = run.window->selection().node();
    const NodePath text = addMaterial(run, ActionId::SglTxt);
    TFIXModem& card = *run.model().findCard("A").record;
    card.zoom = 20;

    // Double-click on the node: the text editor with the region's width.
    card.modified = 0;
    run.dialogs->texts.push_back(QStringLiteral("clRed^宋体^12^0^0^0^0^0^1^Hi"));
    emit run.window->tree()->nodeDoubleClicked(text);
    EXPECT_EQ(run.dialogs->edits.last(), QStringLiteral("text single-text1 128"));
    EXPECT_EQ(run.model().findMaterial("A", text.page, text.region, text.material).record->content,
              QStringLiteral("clRed^宋体^12^0^0^0^0^0^1^Hi"));
    EXPECT_TRUE(card.modified);
    EXPECT_EQ(run.window->statusText(MainWindow::kMessagePanel), lg("tip_material_edit"));
    // Closed without a change: the card stays unmodified.
    card.modified = 0;
    emit run.window->canvas()->materialDoubleClicked("A", text.page, text.region, text.material);
    EXPECT_EQ(run.dialogs->edits.size(), 2);
    EXPECT_FALSE(card.modified);

    run.window->selectNode(region);
    emit run.window->tree()->nodeDoubleClicked(addMaterial(run, ActionId::Table));
    EXPECT_EQ(run.dialogs->edits.last(), QStringLiteral("table table1 128x64"));
    const NodePath code = addMaterial(run, ActionId::InnerInfo);
    run.dialogs->texts.push_back(QStringLiteral("0123"));
    emit run.window->tree()->nodeDoubleClicked(code);
    EXPECT_TRUE(run.dialogs->edits.last().startsWith("code "));
    EXPECT_EQ(run.model().findMaterial("A", text.page, text.region, code.material).record->content,
              QStringLiteral("0123"));

    // An image group shows the file panel; other selections hide it.
    run.window->selectNode(region);
    run.window->selectNode(addMaterial(run, ActionId::Picture));
    EXPECT_TRUE(run.window->imageGroupPanel()->isVisible());
    run.window->selectNode(region);
    EXPECT_FALSE(run.window->imageGroupPanel()->isVisible());

    // The "..." rows of a page open their dialogs and take the answer.
    run.window->selectNode(page);
    run.dialogs->dialogValues.push_back(QStringLiteral("1;3;5"));
    run.window->properties()->clickEditButton(4);
    const TProgram& p = *run.model().findPage("A", page.page).record;
    EXPECT_EQ(p.playCycle, QStringLiteral("1;3;5"));
    EXPECT_EQ(p.playMode, kPlayByWeek);
    run.dialogs->dialogValues.push_back(std::nullopt); // cancelled: nothing changes
    run.window->properties()->clickEditButton(4);
    EXPECT_EQ(p.playCycle, QStringLiteral("1;3;5"));

    run.dialogs->yesNoCancel.push_back(MainWindowDialogs::Answer::No);
    EXPECT_TRUE(run.window->close());
}

} // namespace
} // namespace ledsign::test
