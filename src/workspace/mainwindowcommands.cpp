// The main window: the commands, their results and the editors they open.
#include "workspace/mainwindow.h"
#include "workspace/mainwindowparts.h"

#include "transport/channeltexts.h"
#include "content/fontresolver.h"
#include "content/materialfonts.h"
#include "language/fixedtexts.h"
#include "language/unbrokenwords.h"

#include "content/ui/imagegrouppanel.h"
#include "content/weekcycle.h"
#include "editing/externaltools.h"
#include "editing/helpguide.h"
#include "editing/panelpicture.h"
#include "language/buttontexts.h"
#include "editing/projectdocument.h"
#include "editing/stepcaptions.h"
#include "language/language.h"
#include "language/languagetable.h"
#include "model/imagefiles.h"
#include "model/coalescedwriter.h"
#include "model/filefilters.h"
#include "model/materialkinds.h"
#include "model/playbillsaver.h"
#include "workspace/cardlinkcontroller.h"
#include "workspace/dragframe.h" // layoutcanvas.h needs the whole DragFrame
#include "workspace/helpwindow.h"
#include "workspace/layoutcanvas.h"
#include "workspace/objecttree.h"
#include "workspace/regionfiledrops.h"
#include "workspace/propertyeditor.h"
#include "workspace/toolwindows.h"
#include "session/workspacesession.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTableWidgetItem>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QUndoGroup>
#include <QUndoStack>
#include <QUrl>
#include <QVBoxLayout>

#include <utility>

namespace ledsign {

using namespace mainwindowparts;

// ---------------------------------------------------------------- commands

void MainWindow::apply(const CommandResult& result)
{
    // Whatever command changed the records, the document makes the change
    // a step of each card it touched.
    const QString caption = stepCaption_;
    stepCaption_.clear();
    viewsFollowed_ = false;
    if (result.changed) {
        StepOptions options;
        options.files = std::exchange(stepFiles_, StepFiles());
        options.selectBefore = selection_.node();
        options.selectAfter = result.select.isNone() ? selection_.node() : result.select;
        document_->record(caption.isEmpty() ? stepcaption::edit() : caption, options);
    }
    showResult(result);
}

void MainWindow::showResult(const CommandResult& result)
{
    const bool followed = viewsFollowed_;
    viewsFollowed_ = false;
    if (!result.message.isEmpty())
        dialogs_->showMessage(result.message);
    if (!result.status.isEmpty())
        showStatus(result.status);
    if (!result.changed && result.select.isNone())
        return;
    const ProjectModel& model = session_.model();
    if (result.changed) {
        session_.noteChange();
        imageGroups_->setMaterial(nullptr); // the lists may have moved
        // Changes the document does not describe (the order of the cards,
        // the cards the tree shows) redraw everything.
        if (!followed) {
            canvas_->syncWithModel();
            tree_->rebuild(model);
        }
    }
    if (result.expandAll)
        tree_->expandAll();
    NodePath target = result.select.isNone() ? selection_.node() : result.select;
    while (!target.isNone() && !pathExists(model, target))
        target = target.parent();
    selectNode(target);
    if (result.changed)
        emit projectChanged();
}

MessageSink MainWindow::messageSink()
{
    return [this](const QString& text) { dialogs_->showMessage(text); };
}

bool MainWindow::confirm(const char* key)
{
    return dialogs_->askYesNo(messageText(key));
}

void MainWindow::runPopupItem(PopupItem item)
{
    if (item == PopupItem::Collapse) {
        tree_->collapseAll();
        return;
    }
    if (const auto id = actionOfPopupItem(item))
        runCommand(*id);
}

void MainWindow::runCommand(ActionId id)
{
    const NodePath node = selection_.node();
    const QString caption = actions_->action(id)->text();
    stepCaption_ = stepcaption::ofAction(id);
    viewsFollowed_ = false;
    if (const auto kind = materialKindOfAction(id)) {
        addMaterial(*kind);
        return;
    }
    switch (id) {
    case ActionId::NewPrg:
        // The pages of the card go: its shortcut must not take them unasked.
        if (node.level == NodeLevel::Card && !session_.model().pageNames(node.card).isEmpty()
            && !confirm("dlg_new_playbill"))
            break;
        {
            // The emptied card starts a new history; until it is saved the
            // card list keeps naming the file that still holds the old one.
            const auto card = session_.model().findCard(node.card);
            const QString file = card ? card.record->programFile : QString();
            const CommandResult emptied = commands_.newPlaybill(node);
            session_.keepListedPlaybill(node.card, file);
            if (emptied.changed)
                document_->restart(node.card);
            showResult(emptied);
        }
        break;
    case ActionId::InsertPrg: {
        if (node.level != NodeLevel::Card) {
            dialogs_->showMessage(messageText("warn_card_select_open"));
            break;
        }
        const QString path = dialogs_->askOpenFileName(caption, session_.folders().programFolder(),
                                                       QStringLiteral("prg(*.prg)"));
        if (path.isEmpty())
            break;
        openPlaybillInto(node, path);
        if (QFileInfo(path).isFile()) {
            session_.recentFiles().add(path);
            rebuildRecentMenu();
            session_.noteChange();
        }
        break;
    }
    case ActionId::SavePrg:
        savePlaybills(kSaveSelected);
        break;
    case ActionId::SaveFileAs:
        savePlaybills(kSaveSelectedAs);
        break;
    case ActionId::Exit:
        close();
        break;
    case ActionId::Bmp:
        startExternalTool(true);
        break;
    case ActionId::Note:
        startExternalTool(false);
        break;
    case ActionId::SendPrg:
        tools_->sendTextProgram();
        break;
    case ActionId::Export2UDisk:
        tools_->exportToUsb();
        break;
    case ActionId::Preview:
        tools_->preview();
        break;
    case ActionId::Search:
        link_->searchCards();
        break;
    case ActionId::Send:
        link_->send();
        break;
    case ActionId::StopPlay:
        link_->stopPlay();
        break;
    case ActionId::BeginPlay:
        link_->startPlay();
        break;
    case ActionId::AdjTime:
        link_->adjustTime();
        break;
    case ActionId::CmmParaSet:
        link_->openParameters();
        break;
    case ActionId::ScreenParam:
        link_->readScreenParameters();
        break;
    case ActionId::DelCard:
        deleteSelected(NodeLevel::Card);
        break;
    case ActionId::AddPrg:
        apply(commands_.addPage(node));
        break;
    case ActionId::DelPrg:
        deleteSelected(NodeLevel::Page);
        break;
    case ActionId::CopyPrg:
        apply(commands_.copyPage(node));
        break;
    case ActionId::PastePrg: {
        // A pasted table gets copies of its files: they come and go with
        // the step.
        stepFiles_.watch(session_.folders().tableFolder(), {});
        const CommandResult pasted = commands_.pastePage(node);
        stepFiles_.settle();
        apply(pasted);
        break;
    }
    case ActionId::AddRgn:
        apply(commands_.addRegion(node));
        break;
    case ActionId::DelRegion:
        deleteSelected(NodeLevel::Region);
        break;
    case ActionId::DelFodder:
        deleteSelected(NodeLevel::Material);
        break;
    case ActionId::SimpleChn:
        switchLanguage(kSimplifiedChinese);
        break;
    case ActionId::TraditionalChn:
        switchLanguage(kTraditionalChinese);
        break;
    case ActionId::English:
        switchLanguage(kEnglish);
        break;
    case ActionId::Help:
        openHelp();
        break;
    case ActionId::NewCard:
        newCard();
        break;
    default:
        // Show, OffPower, OpenPower, CommParam, PassWord, About, ReName and
        // the hidden clock do nothing.
        break;
    }
}

void MainWindow::addMaterial(int kind)
{
    // The selection stays where the operator put it, opened to show the new
    // material: with a region selected the next add follows this one, and
    // with a material selected each add goes before that material. Only a
    // material added after the selected one (the last node of the tree) is
    // selected itself, so that the next add goes after it in turn. Either
    // way materials play in the order they were added.
    const NodePath chosen = selection_.node();
    CommandResult result = commands_.addMaterial(chosen, kind);
    const NodePath made = result.select;
    if (result.changed && !(chosen.level == NodeLevel::Material && lastNodeOfTree(session_.model()) == made))
        result.select = chosen;
    apply(result);
    if (!result.changed)
        return;
    if (QTreeWidgetItem* item = tree_->itemOf(chosen))
        item->setExpanded(true);
    // Over a chosen region the new material's panel shows its name until
    // the operator clicks elsewhere, as a panel made over the region would.
    if (chosen.level != NodeLevel::Region)
        return;
    const auto m = session_.model().findMaterial(made.card, made.page, made.region, made.material);
    if (QWidget* panel = m ? canvas_->panel(m.record->panelName) : nullptr) {
        panel->show();
        panel->raise();
    }
}

void MainWindow::deleteSelected(NodeLevel level)
{
    const NodePath node = selection_.node();
    if (node.level != level || !pathExists(session_.model(), node))
        return;
    switch (level) {
    case NodeLevel::Card:
        if (confirm("dlg_del_card")) {
            link_->cardDeleting(node.card);
            apply(commands_.deleteCard(node));
        }
        break;
    case NodeLevel::Page:
        if (confirm("dlg_del_page"))
            apply(commands_.deletePage(node));
        break;
    case NodeLevel::Region:
        if (confirm("dlg_del_area"))
            apply(commands_.deleteRegion(node));
        break;
    case NodeLevel::Material:
        if (confirm("dlg_del_material"))
            apply(commands_.deleteMaterial(node));
        break;
    default:
        break;
    }
}

void MainWindow::deleteSelectedObject()
{
    deleteSelected(selection_.level());
}

void MainWindow::newCard()
{
    const auto check = [this](const QString& name) { return commands_.checkNewCardName(name); };
    const QString proposal = commands_.proposedCardName();
    const auto input = dialogs_->askNewCard(proposal, check);
    if (!input)
        return;
    const CommandResult added = commands_.addCard(*input);
    if (added.changed)
        link_->cardCreated(added.select.card);
    apply(added);
}

void MainWindow::savePlaybills(int mode)
{
    PlaybillSaver saver(session_.model(), session_.folders(), *dialogs_);
    const QString card = selection_.level() == NodeLevel::None ? QString() : selection_.cardName();
    saver.savePlaybills(mode, card);
    document_->noteSaved();
    session_.noteChange(); // the card list names the playbill file
}

void MainWindow::openPlaybillInto(const NodePath& node, const QString& path)
{
    viewsFollowed_ = false;
    const CommandResult opened = commands_.openPlaybill(node, path, messageSink());
    // The card holds what the file holds: its history starts there.
    if (opened.changed)
        document_->restart(node.card);
    showResult(opened);
}

void MainWindow::openRecentFile(const QString& path)
{
    if (selection_.level() != NodeLevel::Card) {
        dialogs_->showMessage(messageText("warn_card_select_open"));
        return;
    }
    openPlaybillInto(selection_.node(), path);
}

void MainWindow::rebuildRecentMenu()
{
    QMenu* file = fileMenu();
    for (QAction* a : std::as_const(recentActions_)) {
        file->removeAction(a);
        a->deleteLater();
    }
    recentActions_.clear();
    const QStringList entries = session_.recentFiles().entries();
    if (entries.isEmpty())
        return;
    auto* separator = new QAction(this);
    separator->setSeparator(true);
    file->insertAction(recentSeparator_, separator);
    recentActions_ << separator;
    for (const QString& path : entries) {
        auto* a = new QAction(recentCaption(path), this);
        a->setData(path);
        connect(a, &QAction::triggered, this, [this, path] { openRecentFile(path); });
        file->insertAction(recentSeparator_, a);
        recentActions_ << a;
    }
}

} // namespace ledsign
