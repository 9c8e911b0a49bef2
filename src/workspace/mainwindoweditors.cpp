// The main window: the material editors, row dialogs and the image-group panel it opens.
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

void MainWindow::showMaterialEditor(qsizetype materialIndex)
{
    ProjectModel& model = session_.model();
    if (materialIndex < 0 || materialIndex >= model.materials().size())
        return;
    // The editors work on a copy: the lists may not change under them, and
    // the record is found again by its names afterwards.
    TFodder edited = model.materials().at(materialIndex);
    const auto region = model.findRegion(edited.cardName, edited.pageName, edited.regionName);
    const auto card = model.findCard(edited.cardName);
    if (!region || !card)
        return;
    bool changed = false;
    StepOptions step;
    step.selectBefore = step.selectAfter =
        NodePath::ofMaterial(edited.cardName, edited.pageName, edited.regionName, edited.name);
    QString caption = stepcaption::editMaterial();
    switch (edited.kind) {
    case kSingleText:
    case kMultiText:
        changed = dialogs_->editText(edited, region.record->width);
        caption = stepcaption::editText();
        break;
    case kTable: {
        // The table editor writes the table file and its pictures: the step
        // keeps their bytes.
        QStringList watched;
        for (const TFileInfo& file : std::as_const(edited.fileList)) {
            watched << file.path;
            const QString name = baseName(file.path);
            const qsizetype cut = name.indexOf(QStringLiteral("__"));
            if (cut > 0)
                watched << pathInFolder(session_.folders().tableFolder(), name.left(cut)) + QStringLiteral(".tbl");
        }
        step.files.watch(session_.folders().tableFolder(), watched);
        changed = dialogs_->editTable(edited, session_.folders(), QSize(region.record->width, region.record->height));
        step.files.settle();
        caption = stepcaption::editTable();
        break;
    }
    case kInternalCodeText:
        changed = dialogs_->editInternalCode(edited);
        break;
    case kAnimation: {
        const QString start = edited.content.isEmpty() ? session_.folders().pictureFolder() : edited.content;
        const QString path = dialogs_->askOpenFileName(edited.name, start, dialogFilter(kAnimationFileFilter));
        changed = !path.isEmpty() && path != edited.content;
        if (changed)
            edited.content = path;
        break;
    }
    case kRemoteText:
        changed = tools_->openRemoteText(edited);
        break;
    default:
        return;
    }
    const auto record = model.findMaterial(edited.cardName, edited.pageName, edited.regionName, edited.name);
    if (!record)
        return;
    // An editor closed without a change hands back nothing.
    if (changed) {
        *record.record = edited;
        document_->record(caption, step);
        session_.noteChange();
        showStatus(messageText("tip_material_edit"));
    }
    canvas_->refreshMaterial(edited.cardName, edited.pageName, edited.regionName, edited.name);
    properties_->reshow();
    if (changed)
        emit projectChanged();
}

void MainWindow::openRowDialog(const DialogRequest& request)
{
    switch (request.kind) {
    case DialogKind::PlayByWeek:
        if (const auto value = dialogs_->askPlayWeek(request.text, request.items, request.note))
            properties_->acceptPlayByWeek(*value != weekDialogTexts(request.items).everyDayValue, *value);
        break;
    case DialogKind::PlayByDate:
        if (const auto chosen = dialogs_->askPlayDate(request))
            properties_->acceptPlayByDate(chosen->first, chosen->second);
        break;
    case DialogKind::CountTime:
        if (const auto value = dialogs_->askCountTime(request.text))
            properties_->acceptCountTime(*value);
        break;
    default:
        break;
    }
}

void MainWindow::showImageGroupPanel(const NodePath& path)
{
    TFodder* material = nullptr;
    if (path.level == NodeLevel::Material) {
        const auto found = session_.model().findMaterial(path.card, path.page, path.region, path.material);
        if (found && found.record->kind == kImageGroup)
            material = found.record;
    }
    imageGroups_->setMaterial(material);
    const bool show = material != nullptr;
    if (show && !imageGroups_->isVisible()) {
        // The canvas keeps the larger part of the column.
        const int total = rightColumn_->height();
        const int panel = qMin(kImageGroupPanelHeight, total / 2);
        imageGroups_->show();
        rightColumn_->setSizes({total - panel, panel});
    } else if (!show) {
        imageGroups_->hide();
    }
}

void MainWindow::makeImageGroupPanel()
{
    // Made once; a language switch retitles it in place.
    QString folder = session_.folders().pictureFolder();
    if (imageGroups_) {
        folder = imageGroups_->folder();
        imageGroups_->setMaterial(nullptr);
        imageGroups_->deleteLater();
    }
    imageGroups_ = new ImageGroupPanel;
    imageGroups_->setObjectName(QStringLiteral("pnBmpList"));
    imageGroups_->setFolder(folder);
    imageGroups_->setMessageSink(messageSink());
    imageGroups_->hide();
    rightColumn_->addWidget(imageGroups_);
    connect(imageGroups_, &ImageGroupPanel::showFile, canvas_, &LayoutCanvas::showImageOnMaterial);
    connect(imageGroups_, &ImageGroupPanel::listChanged, this, [this] {
        // The panel changed its material in place; the document makes it a
        // step and the canvas follows its signal.
        recordEdit(stepcaption::editImageGroup(), selection_.node());
        properties_->reshow();
        emit projectChanged();
    });
}

void MainWindow::dropFilesOnRegion(const QString& regionPanelName, const QStringList& files)
{
    const ProjectModel& model = session_.model();
    const auto region = std::find_if(model.regions().begin(), model.regions().end(),
                                     [&](const TRegion& r) { return r.panelName == regionPanelName; });
    if (region == model.regions().end())
        return;
    const NodePath regionNode = NodePath::ofRegion(region->cardName, region->pageName, region->name);
    // The image group chosen in that region takes the files, else its first
    // image group, else a new one.
    const NodePath chosen = selection_.node();
    auto isImageGroupHere = [&](const TFodder& m) {
        return m.kind == kImageGroup && m.cardName == regionNode.card && m.pageName == regionNode.page
            && m.regionName == regionNode.region;
    };
    const TFodder* selected = nullptr;
    if (chosen.level == NodeLevel::Material)
        if (const auto found = model.findMaterial(chosen.card, chosen.page, chosen.region, chosen.material))
            selected = found.record;
    if (!selected || !isImageGroupHere(*selected)) {
        const auto first = std::find_if(model.materials().begin(), model.materials().end(), isImageGroupHere);
        if (first != model.materials().end())
            selectNode(NodePath::ofMaterial(regionNode.card, regionNode.page, regionNode.region, first->name));
        else
            apply(commands_.addMaterial(regionNode, kImageGroup));
    }
    imageGroups_->addFiles(files);
}

} // namespace ledsign
