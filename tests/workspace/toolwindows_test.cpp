// The main window's tool windows: the preview, the USB-disk window in both
// modes with the drive list, the text-program window for cards and
// remote-text materials, and the remote-text tip at start-up. A runner
// stands in for the user of each modal window.
#include "config/removabledrives.h"
#include "config/ui/usbdiskwindow.h"
#include "config/usbexport.h"
#include "model/inifile.h"
#include "model/materialkinds.h"
#include "preview/ui/previewwindow.h"
#include "protocol/ui/textprogramwindow.h"
#include "textprogramfill.h"
#include "transport/cardlink.h"
#include "support/testsupport.h"
#include "windowfixture.h"
#include "workspace/toolwindows.h"
#include "workspace/toolwindowstips.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QScreen>
#include <QStatusBar>
#include <QThread>
#include <QTimeEdit>
#include <QTextEdit>
#include <QTreeWidget>

#include <functional>

namespace ledsign::test {
namespace {

QString lg(const char* key)
{
    return GetLgText(3, QString::fromLatin1(key));
}

bool waitFor(const std::function<bool()>& condition, int ms = 5000)
{
    QDeadlineTimer deadline(ms);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(20);
    }
    return true;
}

class ToolWindowsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        ASSERT_TRUE(media.isValid());
        stick = media.filePath(QStringLiteral("STICK"));
    }

    // A run whose modal windows go to `onWindow`. The tip of the start is
    // forgotten unless a test wants to see it.
    Running start(bool keepTip = false)
    {
        Running run;
        run.session = std::make_unique<WorkspaceSession>(DataFolder(home.path()));
        EXPECT_EQ(run.session->start(testStartOptions()), WorkspaceSession::StartResult::Ready);
        auto dialogs = std::make_unique<ScriptedDialogs>();
        run.dialogs = dialogs.get();
        run.window = std::make_unique<MainWindow>(*run.session, std::move(dialogs));
        ToolWindowsController& tools = run.window->tools();
        tools.setModalRunner([this](QDialog& w) {
            shown << w.metaObject()->className();
            return onWindow ? onWindow(w) : int(QDialog::Rejected);
        });
        tools.drives().setWatchedFolders({media.path()});
        tools.drives().setStandIns({stick});
        run.window->show();
        run.window->startUp();
        if (!keepTip)
            shown.clear();
        return run;
    }

    // A card with one page, one region and a single text that says hello.
    NodePath addCardWithText(Running& run, const QString& name)
    {
        run.dialogs->newCards.push_back(NewCardInput{name, "64", "32", 0});
        run.trigger(ActionId::NewCard);
        run.trigger(ActionId::AddPrg);
        run.trigger(ActionId::AddRgn);
        const NodePath text = addMaterial(run, ActionId::SglTxt);
        EXPECT_EQ(text.level, NodeLevel::Material);
        if (auto m = run.model().findMaterial(text.card, text.page, text.region, text.material))
            m.record->content = QStringLiteral("clRed^宋体^12^0^0^0^0^2^1^Hello");
        return text;
    }

    bool realDrives() const { return !RemovableDrives::scanMounted().isEmpty(); }

    QTemporaryDir home;
    QTemporaryDir media;
    QString stick;
    QStringList shown;
    std::function<int(QDialog&)> onWindow;
};

TEST_F(ToolWindowsTest, TheTipShowsAtStartUntilItIsDismissedForGood)
{
    {
        onWindow = [](QDialog& w) {
            auto* tips = qobject_cast<RemoteTextTipWindow*>(&w);
            EXPECT_NE(tips, nullptr);
            if (!tips)
                return int(QDialog::Rejected);
            EXPECT_EQ(tips->windowTitle(), QStringLiteral("Prompt of showing the remote server text"));
            EXPECT_EQ(tips->checkBox()->text(), QStringLiteral("I know, later not tip."));
            return int(QDialog::Accepted); // closed without ticking
        };
        Running run = start(true);
        EXPECT_EQ(shown, QStringList{"ledsign::RemoteTextTipWindow"});
        EXPECT_FALSE(run.session->settings().isShowTips);
    }
    shown.clear();
    {
        onWindow = [](QDialog& w) {
            if (auto* tips = qobject_cast<RemoteTextTipWindow*>(&w))
                tips->checkBox()->setChecked(true);
            return int(QDialog::Accepted);
        };
        Running run = start(true);
        EXPECT_EQ(shown, QStringList{"ledsign::RemoteTextTipWindow"}) << "not dismissed the first time";
    }
    // Written as soon as the window closed, not only on exit.
    IniFile ini;
    ASSERT_TRUE(ini.load(home.filePath(QStringLiteral("SetCfg.ini"))));
    EXPECT_EQ(ini.value(QStringLiteral("IsShowTips"), QStringLiteral("IsShowTips")), QStringLiteral("1"));
    shown.clear();
    Running run = start(true);
    EXPECT_TRUE(shown.isEmpty()) << shown.join(',').toStdString();
}

TEST_F(ToolWindowsTest, PluggingAndPullingADriveSwitchesTheExportCommands)
{
    if (realDrives())
        GTEST_SKIP() << "a removable drive is mounted on this machine";
    Running run = start();
    UsbDiskWindow& window = run.window->tools().usbWindow();
    window.prepareExport(TFIXModem{}, home.path(), [] { return QByteArray("x"); });
    EXPECT_FALSE(window.okEnabled());
    QAction* exportAction = run.window->actions().action(ActionId::Export2UDisk);
    QAction* popup = run.window->actions().popupItem(PopupItem::Export);
    EXPECT_FALSE(exportAction->isEnabled());
    EXPECT_FALSE(popup->isEnabled());

    // The media folder is watched: no refresh by hand.
    ASSERT_TRUE(QDir().mkpath(stick));
    EXPECT_TRUE(waitFor([&] { return exportAction->isEnabled(); }));
    EXPECT_TRUE(popup->isEnabled());
    EXPECT_TRUE(window.okEnabled());

    ASSERT_TRUE(QDir(stick).removeRecursively());
    EXPECT_TRUE(waitFor([&] { return !exportAction->isEnabled(); }));
    EXPECT_FALSE(popup->isEnabled());
    EXPECT_FALSE(window.okEnabled());
}

TEST_F(ToolWindowsTest, ExportRefusesWhatTheCardCannotTakeAndWritesTheDataFileToTheDrive)
{
    if (realDrives())
        GTEST_SKIP() << "a removable drive is mounted on this machine";
    Running run = start();
    const NodePath text = addCardWithText(run, QStringLiteral("Hall"));

    // No drive: the action is off, and a call that comes anyway (the drive
    // went a moment ago) gets a message and no window.
    EXPECT_FALSE(run.enabled(ActionId::Export2UDisk));
    run.dialogs->messages.clear();
    run.window->tools().exportToUsb();
    EXPECT_EQ(run.dialogs->messages, QStringList{QString::fromUtf16(usbtext::kNoDrive)});
    EXPECT_TRUE(shown.isEmpty());

    ASSERT_TRUE(QDir().mkpath(stick));
    run.window->tools().drives().refresh();
    ASSERT_TRUE(run.enabled(ActionId::Export2UDisk));

    // A card with nothing below it is not exported.
    run.dialogs->newCards.push_back(NewCardInput{"Empty", "64", "32", 0});
    run.trigger(ActionId::NewCard);
    run.dialogs->messages.clear();
    run.trigger(ActionId::Export2UDisk);
    EXPECT_EQ(run.window->statusText(MainWindow::kMessagePanel), lg("warn_contents_empty_Send"));
    EXPECT_TRUE(shown.isEmpty());

    // Group send is unticked with a message; the selected card alone goes.
    auto* group = run.window->findChild<QCheckBox*>(QStringLiteral("cbAllCard"));
    ASSERT_NE(group, nullptr);
    group->setChecked(true);
    run.window->selectNode(text);
    bool exported = false;
    QString caption;
    onWindow = [&](QDialog& w) {
        auto* usb = qobject_cast<UsbDiskWindow*>(&w);
        if (!usb)
            return int(QDialog::Rejected);
        caption = usb->windowTitle();
        exported = usb->exportNow();
        return int(QDialog::Rejected);
    };
    run.trigger(ActionId::Export2UDisk);
    EXPECT_EQ(run.dialogs->messages, QStringList{QString::fromUtf16(usbtext::kNoGroup)});
    EXPECT_FALSE(group->isChecked());
    EXPECT_EQ(caption, GetLgText(10, QStringLiteral("udisk_export")));
    EXPECT_TRUE(exported);
    const QFileInfo data(QDir(stick).filePath(QString::fromLatin1(kUsbDataFileName)));
    EXPECT_TRUE(data.isFile());
    EXPECT_GT(data.size(), 19);
    EXPECT_FALSE(QFileInfo::exists(QDir(stick).filePath(QString::fromLatin1(kUsbParamFileName))))
        << "parameters only when ticked";
    EXPECT_TRUE(run.session->link().scheduler().state().exportMode);

    // An unset internal code stops the export before the window.
    shown.clear();
    run.model().findCard(QStringLiteral("Hall")).record->internalCode =
        QStringLiteral("255_255_255_255_255_255_255_255");
    run.trigger(ActionId::Export2UDisk);
    EXPECT_EQ(run.window->statusText(MainWindow::kMessagePanel), lg("warn_innercode_error"));
    EXPECT_TRUE(shown.isEmpty());
}

TEST_F(ToolWindowsTest, PreviewOpensForACardWithContentAndPlaysItsPage)
{
    Running run = start();
    run.trigger(ActionId::Preview);
    EXPECT_EQ(run.window->statusText(MainWindow::kMessagePanel), lg("warn_send_preview_card_select"));

    run.dialogs->newCards.push_back(NewCardInput{"Bare", "64", "32", 0});
    run.trigger(ActionId::NewCard);
    run.trigger(ActionId::AddPrg);
    run.trigger(ActionId::Preview);
    EXPECT_EQ(run.window->statusText(MainWindow::kMessagePanel), lg("warn_send_preview_card"));
    EXPECT_TRUE(shown.isEmpty());

    const NodePath text = addCardWithText(run, QStringLiteral("Hall"));
    run.model().findCard(QStringLiteral("Hall")).record->zoom = 20;
    int regions = 0;
    QString title;
    QSize size;
    onWindow = [&](QDialog& w) {
        auto* preview = qobject_cast<PreviewWindow*>(&w);
        if (!preview)
            return int(QDialog::Rejected);
        title = preview->windowTitle();
        size = preview->size();
        preview->play();
        regions = int(preview->player().regions().size());
        EXPECT_TRUE(preview->playing());
        return int(QDialog::Rejected);
    };
    run.window->selectNode(text);
    run.trigger(ActionId::Preview);
    EXPECT_TRUE(title.contains(QStringLiteral("Hall")));
    EXPECT_EQ(regions, 1);
    // Twice the card's 64 x 32 LEDs, with room for the buttons.
    EXPECT_EQ(size, QSize(200, 32 * 2 + 16 + 50)) << "at least 200 wide";
}

TEST_F(ToolWindowsTest, TheNewCardWindowAsksAgainForANameTheListCannotHold)
{
    Running run = start();
    run.dialogs->newCards.push_back(NewCardInput{"Hall", "64", "32", 0});
    run.trigger(ActionId::NewCard);

    int tries = 0;
    QString problem;
    onWindow = [&](QDialog& w) {
        auto* usb = qobject_cast<UsbDiskWindow*>(&w);
        if (!usb)
            return int(QDialog::Rejected);
        EXPECT_EQ(usb->windowTitle(), GetLgText(10, QStringLiteral("udisk_new_card")));
        const QList<QLineEdit*> edits = usb->findChildren<QLineEdit*>();
        edits[0]->setText(QStringLiteral("Hall"));
        edits[1]->setText(QStringLiteral("96"));
        edits[2]->setText(QStringLiteral("high"));
        w.accept();
        ++tries;
        problem = usb->statusText();
        if (w.result() == QDialog::Accepted)
            return int(QDialog::Accepted);
        edits[0]->setText(QStringLiteral("Door"));
        w.accept();
        ++tries;
        return w.result();
    };
    const auto input = run.window->tools().askNewCard(QStringLiteral("card2"), [&](const QString& name) {
        return run.model().findCard(name) ? QStringLiteral("taken") : QString();
    });
    EXPECT_EQ(tries, 2);
    EXPECT_EQ(problem, QStringLiteral("taken"));
    ASSERT_TRUE(input.has_value());
    EXPECT_EQ(input->name, QStringLiteral("Door"));
    EXPECT_EQ(input->width, QStringLiteral("96"));
    EXPECT_EQ(input->height, QStringLiteral("128")) << "not a number falls back";

    onWindow = {};
    EXPECT_FALSE(run.window->tools().askNewCard(QStringLiteral("card2"), {}).has_value()) << "closed";
}

// Opened from a remote-text material, the window sends to that material's
// card, which becomes the selected card, whatever card the last send or
// command was aimed at.
TEST_F(ToolWindowsTest, ARemoteTextMaterialsWindowSendsToItsCard)
{
    Running run = start();
    addCardWithText(run, QStringLiteral("Gate"));
    addCardWithText(run, QStringLiteral("Hall"));
    const NodePath remote = addMaterial(run, ActionId::TxtSet);
    ASSERT_EQ(remote.card, QStringLiteral("Hall"));
    const auto material = run.model().findMaterial(remote.card, remote.page, remote.region, remote.material);
    ASSERT_TRUE(material);
    ASSERT_EQ(material.record->kind, kRemoteText);
    SendState& state = run.session->link().scheduler().state();
    state.selectedCardName = QStringLiteral("Gate"); // the last command went to Gate

    QString selectedWhileOpen;
    QString sendStatus;
    onWindow = [&](QDialog& w) {
        auto* tp = qobject_cast<TextProgramWindow*>(&w);
        if (!tp)
            return int(QDialog::Rejected);
        selectedWhileOpen = state.selectedCardName;
        tp->pageNameField()->setText(QStringLiteral("Noon"));
        tp->newPage();
        tp->pageList()->setCurrentItem(tp->pageList()->topLevelItem(0));
        tp->materialNameField()->setText(QStringLiteral("Menu"));
        tp->editor()->setPlainText(QStringLiteral("Soup"));
        addTextProgramMaterial(*tp);
        tp->send();
        sendStatus = tp->statusText();
        return int(QDialog::Rejected);
    };
    run.window->showMaterialEditor(material.index);
    EXPECT_EQ(shown, QStringList{"ledsign::TextProgramWindow"});
    EXPECT_EQ(selectedWhileOpen, QStringLiteral("Hall"));
    EXPECT_EQ(state.selectedCardName, QStringLiteral("Hall"));
    // No channel is open: the send to Hall fails (a send to no card would
    // say nothing).
    EXPECT_EQ(sendStatus, lg("warn_program_send_failed"));
}

TEST_F(ToolWindowsTest, TextProgramsOpenForTheCardAndARemoteTextMaterialKeepsTheFileSaved)
{
    Running run = start();
    addCardWithText(run, QStringLiteral("Hall"));
    const NodePath remote = addMaterial(run, ActionId::TxtSet);
    ASSERT_EQ(remote.level, NodeLevel::Material);
    const auto material = run.model().findMaterial(remote.card, remote.page, remote.region, remote.material);
    ASSERT_TRUE(material);
    ASSERT_EQ(material.record->kind, kRemoteText);
    run.model().findCard(QStringLiteral("Hall")).record->modified = 0;

    // From the action: the selected node's card becomes current, and the
    // send goes to it through the card link; with no channel open, the
    // window says that it failed.
    QString sendStatus;
    onWindow = [&](QDialog& w) {
        auto* tp = qobject_cast<TextProgramWindow*>(&w);
        if (!tp)
            return int(QDialog::Rejected);
        tp->send();
        EXPECT_EQ(tp->statusText(), lg("warn_contents_empty")) << "nothing to send yet";
        tp->pageNameField()->setText(QStringLiteral("Noon"));
        tp->newPage();
        tp->pageList()->setCurrentItem(tp->pageList()->topLevelItem(0));
        tp->materialNameField()->setText(QStringLiteral("Menu"));
        tp->editor()->setPlainText(QStringLiteral("Soup"));
        addTextProgramMaterial(*tp);
        tp->send();
        sendStatus = tp->statusText();
        return int(QDialog::Rejected);
    };
    run.trigger(ActionId::SendPrg);
    EXPECT_EQ(shown, QStringList{"ledsign::TextProgramWindow"});
    EXPECT_EQ(run.window->selection().node(), NodePath::ofCard(QStringLiteral("Hall")));
    EXPECT_EQ(sendStatus, lg("warn_program_send_failed"));

    // From the material: the file saved there becomes its only file.
    const QString file = home.filePath(QStringLiteral("prgFiles/news.tprg"));
    onWindow = [&](QDialog& w) {
        auto* tp = qobject_cast<TextProgramWindow*>(&w);
        if (!tp)
            return int(QDialog::Rejected);
        tp->pageNameField()->setText(QStringLiteral("Morning"));
        tp->newPage();
        tp->pageList()->setCurrentItem(tp->pageList()->topLevelItem(0));
        tp->materialNameField()->setText(QStringLiteral("News"));
        tp->editor()->setPlainText(QStringLiteral("Open today"));
        addTextProgramMaterial(*tp);
        EXPECT_TRUE(tp->saveFile(file)) << tp->statusText().toStdString();
        return int(QDialog::Rejected);
    };
    run.window->showMaterialEditor(material.index);
    const auto after = run.model().findMaterial(remote.card, remote.page, remote.region, remote.material);
    ASSERT_TRUE(after);
    ASSERT_EQ(after.record->fileList.size(), 1);
    EXPECT_EQ(after.record->fileList.first().path, file);
    EXPECT_TRUE(run.model().findCard(QStringLiteral("Hall")).record->modified);

    // Opened again, the window loads that file; closing without a new file
    // leaves the material as it was.
    run.model().findCard(QStringLiteral("Hall")).record->modified = 0;
    ASSERT_TRUE(writeAll(file, "[ProgramList]\r\nEvening,123456789,18:00,22:00\r\n[FodderList]\r\n"
                               "Late,071210141512,123456789,123456790,-1,1,0,0,0,1,Red^Arial^10^Open late\r\n"));
    QStringList pages;
    onWindow = [&](QDialog& w) {
        if (auto* tp = qobject_cast<TextProgramWindow*>(&w))
            for (int i = 0; i < tp->pageList()->topLevelItemCount(); ++i)
                pages << tp->pageList()->topLevelItem(i)->text(2);
        return int(QDialog::Rejected);
    };
    run.window->showMaterialEditor(after.index);
    EXPECT_EQ(pages, QStringList{"Evening"}) << "the material's file replaces what the window held";
    EXPECT_FALSE(run.model().findCard(QStringLiteral("Hall")).record->modified);
}

} // namespace
} // namespace ledsign::test

namespace ledsign::test {
namespace {

TEST_F(ToolWindowsTest, WindowsMadeOnceTakeTheLanguageOfEachOpeningAndThePreviewFitsTheScreen)
{
    Running run = start();
    addCardWithText(run, QStringLiteral("Wall"));
    QStringList captions;
    QStringList colours;
    onWindow = [&](QDialog& w) {
        captions << w.windowTitle();
        if (qobject_cast<UsbDiskWindow*>(&w))
            colours << w.findChildren<QComboBox*>().value(0)->itemText(0);
        return int(QDialog::Rejected);
    };
    run.trigger(ActionId::SendPrg);
    run.window->tools().askNewCard(QStringLiteral("x"), {});
    run.trigger(ActionId::SimpleChn);
    run.trigger(ActionId::SendPrg);
    run.window->tools().askNewCard(QStringLiteral("x"), {});
    ASSERT_EQ(captions.size(), 4);
    EXPECT_NE(captions[0], captions[2]) << "the text-program caption follows the switch";
    EXPECT_EQ(captions[2], GetLgText(8, QStringLiteral("remote_text_send")));
    ASSERT_EQ(colours.size(), 2);
    EXPECT_NE(colours[0], colours[1]) << "the colour list follows the switch";
    run.trigger(ActionId::English);

    // A wide card at a large zoom is shown smaller, so that it fits.
    TFIXModem& card = *run.model().findCard(QStringLiteral("Wall")).record;
    card.width = 1024;
    card.zoom = 40;
    QSize size;
    onWindow = [&](QDialog& w) {
        size = w.size();
        return int(QDialog::Rejected);
    };
    run.window->selectCard(QStringLiteral("Wall"));
    run.trigger(ActionId::Preview);
    const QSize room = run.window->screen()->availableGeometry().size();
    ASSERT_TRUE(size.isValid());
    EXPECT_LE(size.width(), std::max(room.width(), 1024 + 16));
    EXPECT_LT(size.width(), 1024 * 4);
}

} // namespace
} // namespace ledsign::test
