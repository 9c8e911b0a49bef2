// The main window: undo and redo, and what the document tells the views.
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

// ---------------------------------------------------------------- history

void MainWindow::makeHistoryActions()
{
    undo_ = new QAction(this);
    undo_->setObjectName(QStringLiteral("actUndo"));
    undo_->setShortcut(QKeySequence::Undo);
    undo_->setIcon(QIcon(QStringLiteral(":/workspace/icons/undo.svg")));
    redo_ = new QAction(this);
    redo_->setObjectName(QStringLiteral("actRedo"));
    redo_->setShortcuts({QKeySequence(QStringLiteral("Ctrl+Shift+Z")), QKeySequence(QStringLiteral("Ctrl+Y"))});
    redo_->setIcon(QIcon(QStringLiteral(":/workspace/icons/redo.svg")));
    for (QAction* a : {undo_, redo_}) {
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a);
    }
    connect(undo_, &QAction::triggered, this, [this] { document_->undo(); });
    connect(redo_, &QAction::triggered, this, [this] { document_->redo(); });
}

void MainWindow::showHistory()
{
    const QUndoGroup* group = document_->undoGroup();
    undo_->setEnabled(group->canUndo());
    redo_->setEnabled(group->canRedo());
    undo_->setText(stepcaption::undoCommand(group->canUndo() ? group->undoText() : QString()));
    redo_->setText(stepcaption::redoCommand(group->canRedo() ? group->redoText() : QString()));
    undo_->setToolTip(undo_->text());
    redo_->setToolTip(redo_->text());
}

void MainWindow::wireDocument()
{
    ProjectDocument* d = document_;
    connect(d, &ProjectDocument::historyChanged, this, &MainWindow::showHistory);
    connect(d, &ProjectDocument::cardRecordsChanged, this, &MainWindow::followCard);
    connect(d, &ProjectDocument::cardAdded, this, &MainWindow::followCards);
    connect(d, &ProjectDocument::cardRemoved, this, &MainWindow::followCards);
    connect(d, &ProjectDocument::cardRenamed, this, &MainWindow::followCards);
    connect(d, &ProjectDocument::regionChanged, this,
            [this](const QString& card, const QString& page, const QString& region) {
                if (!canvasStoring_)
                    canvas_->placeRegion(card, page, region);
            });
    connect(d, &ProjectDocument::materialChanged, canvas_, &LayoutCanvas::refreshMaterial);
    connect(d, &ProjectDocument::stepRestored, this, &MainWindow::showRestored);
}

void MainWindow::followCard(const QString& cardName, bool outlineChanged)
{
    viewsFollowed_ = true;
    if (!outlineChanged)
        return;
    imageGroups_->setMaterial(nullptr); // the lists moved
    tree_->rebuildCard(session_.model(), cardName);
    canvas_->syncWithModel();
}

void MainWindow::followCards()
{
    viewsFollowed_ = true;
    imageGroups_->setMaterial(nullptr);
    tree_->rebuild(session_.model());
    canvas_->syncWithModel();
}

void MainWindow::showRestored(const NodePath& path)
{
    imageGroups_->setMaterial(nullptr); // the card's records were put back
    viewsFollowed_ = false;
    session_.noteChange();
    const ProjectModel& model = session_.model();
    NodePath target = path;
    while (!target.isNone() && !pathExists(model, target))
        target = target.parent();
    if (target.isNone() && model.findCard(document_->activeCard()))
        target = NodePath::ofCard(document_->activeCard());
    selectNode(target);
    emit projectChanged();
}

void MainWindow::recordEdit(const QString& caption, const NodePath& select, const QString& mergeKey)
{
    StepOptions options;
    options.selectBefore = options.selectAfter = select;
    options.mergeKey = mergeKey;
    if (document_->record(caption, options))
        session_.noteChange();
}

void MainWindow::recordPropertyRow(int row, bool renamed)
{
    // Typing in one row of one object again and again is one step.
    const PropertyTarget& t = properties_->session().target();
    const QString key = renamed ? QString()
                                : QStringLiteral("row %1|%2|%3|%4|%5")
                                      .arg(row)
                                      .arg(t.cardName, t.pageName, t.regionName, t.materialName);
    recordEdit(renamed ? stepcaption::rename() : stepcaption::editProperties(), selection_.node(), key);
}

void MainWindow::recordCanvasGeometry(const QString& card, const QString& page, const QString& region)
{
    properties_->refreshRegionRows();
    // One drag is one step: it is made when the mouse lets go.
    if (canvas_->dragFrame() && canvas_->dragFrame()->dragging())
        return;
    const auto live = session_.model().findRegion(card, page, region);
    if (!live)
        return;
    QString caption = stepcaption::moveRegion();
    const CardSnapshot known = document_->knownPlaybill(card);
    for (const TRegion& r : known.regions) {
        if (r.id == live.record->id && (r.width != live.record->width || r.height != live.record->height))
            caption = stepcaption::resizeRegion();
    }
    canvasStoring_ = true;
    recordEdit(caption, NodePath::ofRegion(card, page, region));
    canvasStoring_ = false;
}

void MainWindow::startExternalTool(bool paint)
{
    const ExternalTool tool = paint ? ExternalTool::Paint : ExternalTool::TextEditor;
    const QString program = externalToolProgram(tool);
    // A program that cannot be started is passed over, as on any desktop.
    if (program.isEmpty() || !QProcess::startDetached(program, {}))
        showStatus(externalToolVariable(tool) + QStringLiteral(": ") + messageText("action_not_exist"));
}

void MainWindow::openHelp()
{
    const QStringList folders = helpGuideFolders(QCoreApplication::applicationDirPath());
    const QString guide = findHelpGuide(folders, currentLanguage());
    if (guide.isEmpty()) {
        showStatus(missingFileMessage(QDir(folders.first()).filePath(helpGuideName(currentLanguage()))));
        return;
    }
    if (!help_)
        help_ = new HelpWindow(this);
    help_->showGuide(guide, actions_->action(ActionId::Help)->text().remove(QLatin1Char('&')));
    help_->show();
    help_->raise();
    help_->activateWindow();
}

} // namespace ledsign
