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

MainWindow::MainWindow(WorkspaceSession& session, std::unique_ptr<MainWindowDialogs> dialogs, QWidget* parent)
    : QMainWindow(parent)
    , session_(session)
    , dialogs_(dialogs ? std::move(dialogs) : std::make_unique<QtMainWindowDialogs>(this))
    , scriptedDialogs_(dialogs_ && !dynamic_cast<QtMainWindowDialogs*>(dialogs_.get()))
    , commands_(session.model(), session.folders(), selection_)
{
    setObjectName(QStringLiteral("frmMain"));
    actions_ = new ActionSet(this);
    // Every action is part of the window, so its shortcut works even when
    // no menu or tool bar shows it.
    addActions(actions_->all());
    connect(actions_, &ActionSet::triggered, this, &MainWindow::runCommand);
    connect(actions_, &ActionSet::popupTriggered, this, &MainWindow::runPopupItem);

    document_ = new ProjectDocument(session.model(), this);
    makeHistoryActions();

    deleteObject_ = new QAction(fixedtext::deleteObject(), this);
    deleteObject_->setObjectName(QStringLiteral("pmDelObject"));
    deleteObject_->setShortcut(QKeySequence::Delete);
    connect(deleteObject_, &QAction::triggered, this, &MainWindow::deleteSelectedObject);
    addAction(deleteObject_);

    // Message boxes and button boxes speak the chosen language.
    QCoreApplication::installTranslator(new ButtonTextTranslator(this));

    buildMenus();
    buildToolBars();
    buildCentre();
    buildStatusBar();
    buildTreePopup();
    // A font name without a stand-in is told once, whichever view draws it first.
    connect(&UnknownFontNotice::instance(), &UnknownFontNotice::unknownFontDrawn, this,
            [this](const QString& name, const QString& family) {
                showStatus(messageText("warn_font_stand_in").arg(name, family));
            });

    const QStringList icons = session_.iconFiles();
    if (!icons.isEmpty())
        setWindowIcon(QIcon(icons.last()));

    link_ = new CardLinkController(*this, session_);
    tools_ = new ToolWindowsController(*this, session_);
    // Scripted answers stand for a user: no tool window waits for one.
    if (scriptedDialogs_)
        tools_->setModalRunner([](QDialog&) { return int(QDialog::Rejected); });
    else if (auto* own = dynamic_cast<QtMainWindowDialogs*>(dialogs_.get()))
        own->setNewCardWindow([this](const QString& proposal, const std::function<QString(const QString&)>& check) {
            return tools_->askNewCard(proposal, check);
        });

    wireDocument();
    retranslate();
    setCommandsFor(NodeLevel::None);
    resize(1180, 760);
    applyStoredGeometry();
}

MainWindow::~MainWindow() = default;

// ---------------------------------------------------------------- texts

void MainWindow::applyWindowTexts()
{
    setWindowTitle(session_.caption());
    for (const rLgMap& row : currentLanguageTable().rows(kWindowCategory)) {
        const QString key = row.key.trimmed();
        if (key == QLatin1String("pnObjectList"))
            objectTitle_->setText(row.text);
        else if (key == QLatin1String("pnAttrTitle"))
            attrTitle_->setText(unbrokenWords(row.text)); // wraps at its spaces only
        else if (key == QLatin1String("lbStopTime"))
            stopTime_->setText(row.text);
        else if (key == QLatin1String("cbAllCard"))
            allCards_->setText(row.text);
        else if (key == QLatin1String("sBarStatus") && (row.sub == 0 || row.sub == 2))
            statusPanels_[static_cast<std::size_t>(row.sub)]->setText(row.text);
    }
    // Once a channel is open the panel shows its state, not the bare mode.
    const QString channel = link_ ? link_->channelStatus() : QString();
    statusPanels_[kCommModePanel]->setText(channel.isEmpty() ? session_.settings().commMode : channel);
}

void MainWindow::showSearchSwitch()
{
    // An icon has no caption to turn silver: on, the button looks pressed in;
    // off, it stands out flat with a greyed icon; the tip says which.
    const bool on = session_.settings().isOpenSearch;
    QAction* search = actions_->action(ActionId::Search);
    searchButton_->setText(search->text());
    const QIcon icon = search->icon();
    searchButton_->setIcon(on ? icon : QIcon(icon.pixmap(QSize(20, 20), QIcon::Disabled)));
    searchButton_->setChecked(on);
    searchButton_->setStyleSheet(on ? QString() : QStringLiteral("QToolButton { color: rgb(192, 192, 192); }"));
    searchButton_->setToolTip(search->text() + QStringLiteral(": ")
                              + messageText(on ? "tip_card_search_enable" : "tip_card_search_close_enable"));
}

void MainWindow::retranslate()
{
    actions_->retranslate();
    for (auto it = menus_.cbegin(); it != menus_.cend(); ++it)
        it.value()->setTitle(actions_->action(it.key())->text());
    if (QAction* checked = actions_->action(currentLanguage() == kSimplifiedChinese    ? ActionId::SimpleChn
                                            : currentLanguage() == kTraditionalChinese ? ActionId::TraditionalChn
                                                                                       : ActionId::English))
        checked->setChecked(true);
    applyWindowTexts();
    deleteObject_->setText(fixedtext::deleteObject());
    canvas_->retranslate();
    showSearchSwitch();
    showHistory();
}

void MainWindow::switchLanguage(int index)
{
    session_.switchLanguage(index);
    session_.noteChange();
    retranslate();
    imageGroups_->retranslate();
    // An open guide turns to the new language.
    if (help_ && help_->isVisible())
        openHelp();
    // The rows of the selected object are shown again in the new language.
    onNodeSelected(selection_.node());
}

// ---------------------------------------------------------------- start and exit

void MainWindow::startUp()
{
    tools_->startUp();
    const QStringList unread = session_.loadCards(messageSink());
    tellFontsWithoutStandIn(fontNamesOfMaterials(session_.model().materials()));
    document_->startAll();
    canvas_->syncWithModel();
    tree_->rebuild(session_.model());
    tree_->expandAll();
    const QList<TFIXModem>& cards = session_.model().cards();
    if (cards.isEmpty())
        onNodeSelected({});
    else
        selectNode(NodePath::ofCard(cards.last().name));
    if (!unread.isEmpty()) {
        showStatus(messageText("object_card") + QLatin1Char('[') + unread.join(QStringLiteral(", ")) + QLatin1Char(']')
                   + messageText("object_playbill") + messageText("action_open_failed"));
    } else if (!session_.loadNotes().isEmpty()) {
        showStatus(session_.loadNotes().join(QLatin1Char(' ')));
    }
    rebuildRecentMenu();
    statusPanels_[kCommModePanel]->setText(session_.settings().commMode);
    // A settings file that could not be read or understood is kept as it
    // is; the operator learns why and where this session's settings go.
    if (!session_.settingsFile().isLoaded())
        dialogs_->showMessage(session_.settingsFile().errorString());
    // A failed background write names the file and the reason; the
    // settings stay in memory and the next change tries again.
    connect(&session_.autosave(), &CoalescedWriter::writeFailed, this, [this](const QString& error) { showStatus(error); });
    session_.startAutosave();
    // The columns are divided once the window has its size.
    applyStoredSplits();
    recordingLayout_ = true;
}

void MainWindow::applyStoredGeometry()
{
    const WindowLayout& stored = session_.settings().window;
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens << screen->availableGeometry();
    // A window left on a screen that is no longer there opens as at first.
    if (!isWindowReachable(stored.geometry, screens))
        return;
    setGeometry(stored.geometry);
    if (stored.maximized)
        setWindowState(windowState() | Qt::WindowMaximized);
}

void MainWindow::applyStoredSplits()
{
    const WindowLayout& stored = session_.settings().window;
    if (stored.mainSplit.size() == 2)
        mainSplit_->setSizes(stored.mainSplit);
    if (stored.leftSplit.size() == 2)
        leftSplit_->setSizes(stored.leftSplit);
}

void MainWindow::recordLayout()
{
    if (!recordingLayout_)
        return;
    WindowLayout now;
    now.maximized = isMaximized();
    now.geometry = now.maximized || isFullScreen() ? normalGeometry() : geometry();
    now.mainSplit = mainSplit_->sizes();
    now.leftSplit = leftSplit_->sizes();
    WindowLayout& kept = session_.settings().window;
    if (now == kept)
        return;
    kept = now;
    session_.noteChange();
}

void MainWindow::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    recordLayout();
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    recordLayout();
}

void MainWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        recordLayout();
}

void MainWindow::openCardLink()
{
    if (!link_->started())
        link_->startLink();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (session_.anyCardModified()) {
        switch (dialogs_->askYesNoCancel(messageText("dlg_sys_exit"))) {
        case MainWindowDialogs::Answer::Cancel:
            event->ignore();
            return;
        case MainWindowDialogs::Answer::No:
            break;
        case MainWindowDialogs::Answer::Yes: {
            PlaybillSaver saver(session_.model(), session_.folders(), *dialogs_);
            const PlaybillSaver::Result result = saver.savePlaybills(kSaveAllModified, {});
            document_->noteSaved();
            // A playbill that was not written would be lost: stay open.
            QStringList unsaved;
            for (const TFIXModem& c : session_.model().cards()) {
                if (c.modified && !session_.model().pageNames(c.name).isEmpty())
                    unsaved << c.name;
            }
            if (result != PlaybillSaver::Result::Done || !unsaved.isEmpty()) {
                // A cancelled save dialog is the one case no message explained.
                if (result == PlaybillSaver::Result::Done)
                    dialogs_->showMessage(messageText("warn_exit_not_saved").arg(unsaved.join(QStringLiteral(", "))));
                event->ignore();
                return;
            }
            break;
        }
        }
    }
    session_.settings().isSendAll = allCards_->isChecked();
    recordLayout();
    // A settings file that cannot be written (full disk, refused write) is
    // named with the reason; the operator may stay to make room.
    if (!session_.saveSettings()
        && !dialogs_->askYesNo(session_.errorString() + QLatin1Char('\n') + messageText("dlg_exit_settings_unsaved"))) {
        event->ignore();
        return;
    }
    session_.autosave().stop();
    link_->releaseCards();
    link_->closeChannels();
    event->accept();
}

void MainWindow::closeWithoutAsking()
{
    session_.settings().isSendAll = allCards_->isChecked();
    recordLayout();
    session_.autosave().stop();
    session_.saveSettings();
    link_->releaseCards();
    link_->closeChannels();
    QCoreApplication::exit(0);
}

// ---------------------------------------------------------------- selection

void MainWindow::selectNode(const NodePath& path)
{
    tree_->selectPath(path);
    showSelection(tree_->selectedPath(), true);
}

void MainWindow::selectFromCanvas(const NodePath& path)
{
    tree_->selectPath(path);
    showSelection(tree_->selectedPath(), false);
}

void MainWindow::onNodeSelected(const NodePath& path)
{
    showSelection(path, true);
}

void MainWindow::showSelection(const NodePath& path, bool showOnCanvas)
{
    selection_.select(session_.model(), path);
    document_->setActiveCard(path.isNone() ? QString() : cardNameOfNodeText(path.card));
    if (!path.isNone())
        statusPanels_[kCardNamePanel]->setText(cardNameOfNodeText(path.card));
    switch (path.level) {
    case NodeLevel::Card:
        properties_->showCard(path.card);
        if (showOnCanvas)
            canvas_->showCard(cardNameOfNodeText(path.card));
        break;
    case NodeLevel::Page:
        properties_->showPage(path.card, path.page);
        if (showOnCanvas)
            canvas_->showPage(path.card, path.page);
        break;
    case NodeLevel::Region:
        properties_->showRegion(path.card, path.page, path.region);
        if (showOnCanvas)
            canvas_->showRegion(path.card, path.page, path.region);
        break;
    case NodeLevel::Material:
        properties_->showMaterial(path.card, path.page, path.region, path.material);
        if (showOnCanvas)
            canvas_->showMaterial(path.card, path.page, path.region, path.material);
        break;
    case NodeLevel::None:
        properties_->clearRows();
        break;
    }
    showImageGroupPanel(path);
    setCommandsFor(path.level);
    emit selectionChanged(path);
}

void MainWindow::renameSelectedNode(int level, const QString& newName)
{
    // The property editor renamed the record of the selected node; the
    // node and the selection follow without showing the rows again.
    NodePath path = selection_.node();
    if (static_cast<int>(path.level) != level)
        return;
    QTreeWidgetItem* item = tree_->itemOf(path);
    switch (path.level) {
    case NodeLevel::Card:
        path.card = newName;
        statusPanels_[kCardNamePanel]->setText(newName);
        break;
    case NodeLevel::Page:
        path.page = newName;
        break;
    case NodeLevel::Region:
        path.region = newName;
        break;
    case NodeLevel::Material:
        path.material = newName;
        break;
    case NodeLevel::None:
        return;
    }
    if (item)
        item->setText(0, newName);
    selection_.select(session_.model(), path);
    canvas_->syncWithModel();
}

void MainWindow::setCommandsFor(NodeLevel level)
{
    const ProjectModel& model = session_.model();
    const TFIXModem* card = nullptr;
    if (level != NodeLevel::None)
        card = model.findCard(selection_.cardName()).record;
    actions_->applyStates(actionStates(commandRowFor(level, !model.cards().isEmpty()), selection_.firstPage(), card));
    actions_->applyPopupStates(popupStates(level));
}

void MainWindow::refreshTree()
{
    // What the card link changed is no step.
    document_->adopt();
    CommandResult redraw;
    redraw.changed = true;
    viewsFollowed_ = false;
    showResult(redraw);
}

void MainWindow::selectCard(const QString& cardName)
{
    if (session_.model().findCard(cardName))
        selectNode(NodePath::ofCard(cardName));
}

void MainWindow::markModified(const QString& cardName)
{
    session_.model().markModified(cardName);
}

bool MainWindow::findNodeOfMaterial(const QString& panelName)
{
    const NodePath path = pathOfMaterialPanel(session_.model(), panelName);
    if (path.isNone())
        return false;
    selectNode(path);
    return true;
}

void MainWindow::changeCardSize(qsizetype cardIndex, int width, int height)
{
    const QList<TFIXModem>& cards = session_.model().cards();
    if (cardIndex < 0 || cardIndex >= cards.size())
        return;
    const QString name = cards.at(cardIndex).name;
    viewsFollowed_ = false;
    const CommandResult resized = commands_.changeCardSize(name, width, height);
    // A new size empties the playbill: its history starts again.
    if (resized.changed)
        document_->restart(name);
    showResult(resized);
}

void MainWindow::bindCardSize(qsizetype cardIndex, QSize size, BindChoice choice)
{
    const QList<TFIXModem>& cards = session_.model().cards();
    if (cardIndex < 0 || cardIndex >= cards.size())
        return;
    const QString name = cards.at(cardIndex).name;
    stepCaption_ = stepcaption::bindCard();
    viewsFollowed_ = false;
    apply(commands_.bindCardSize(name, size, choice));
    // The card's panel takes the new size.
    canvas_->syncWithModel();
}

void MainWindow::refreshCardStates()
{
    tree_->refreshCardStates(session_.model());
}

void MainWindow::refreshCardState(const QString& cardName)
{
    tree_->refreshCardState(session_.model(), cardName);
}

void MainWindow::showStatus(const QString& text)
{
    statusPanels_[kMessagePanel]->setText(text);
}

void MainWindow::showChannelStatus(const QString& text)
{
    statusPanels_[kCommModePanel]->setText(text);
}

QString MainWindow::statusText(int panel) const
{
    if (panel < 0 || panel >= kStatusPanelCount - 1)
        return {};
    return statusPanels_[static_cast<std::size_t>(panel)]->text();
}

} // namespace ledsign
