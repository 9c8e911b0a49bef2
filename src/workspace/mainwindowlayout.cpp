// The main window: its menus, tool bars, panels and status bar.
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

// ---------------------------------------------------------------- layout

void MainWindow::buildMenus()
{
    auto menu = [this](ActionId heading, QMenu* parentMenu = nullptr) {
        QMenu* m = parentMenu ? parentMenu->addMenu(actionDefaultCaption(heading))
                              : menuBar()->addMenu(actionDefaultCaption(heading));
        m->setObjectName(actionName(heading).replace(0, 3, QStringLiteral("mn")));
        menus_.insert(heading, m);
        return m;
    };
    auto add = [this](QMenu* m, std::initializer_list<ActionId> ids) {
        for (ActionId id : ids)
            m->addAction(actions_->action(id));
    };

    QMenu* file = menu(ActionId::File);
    add(file, {ActionId::NewPrg, ActionId::InsertPrg, ActionId::SavePrg, ActionId::SaveFileAs});
    file->addSeparator();
    add(file, {ActionId::Export2UDisk});
    // The recent files go between this separator and Exit.
    recentSeparator_ = file->addSeparator();
    add(file, {ActionId::Exit});

    QMenu* edit = menu(ActionId::ItemEdit);
    edit->addAction(undo_);
    edit->addAction(redo_);
    edit->addSeparator();
    add(edit, {ActionId::SglTxt, ActionId::MulText});
    edit->addSeparator();
    add(edit, {ActionId::DateTime, ActionId::AddTime, ActionId::DelTime, ActionId::Colck});
    edit->addSeparator();
    add(edit, {ActionId::Table, ActionId::Picture, ActionId::Movie});
    edit->addSeparator();
    add(edit, {ActionId::InnerInfo, ActionId::CallNo, ActionId::CollectData});
    edit->addSeparator();
    add(edit, {ActionId::TxtSet});

    add(menu(ActionId::SoftTools), {ActionId::Bmp, ActionId::Note, ActionId::MovieTool});

    QMenu* cards = menu(ActionId::CardDo);
    add(cards, {ActionId::Search});
    cards->addSeparator();
    add(cards, {ActionId::Send});
    cards->addSeparator();
    add(cards, {ActionId::StopPlay, ActionId::BeginPlay});
    cards->addSeparator();
    add(cards, {ActionId::AdjTime});
    cards->addSeparator();
    add(cards, {ActionId::DelCard});

    add(menu(ActionId::PlayPreview), {ActionId::Preview});

    QMenu* setting = menu(ActionId::Setting);
    add(setting, {ActionId::CmmParaSet});
    setting->addSeparator();
    add(menu(ActionId::Languge, setting), {ActionId::SimpleChn, ActionId::TraditionalChn, ActionId::English});
    add(setting, {ActionId::PassWord});

    add(menu(ActionId::SysHelp), {ActionId::Help, ActionId::About});
}

void MainWindow::buildToolBars()
{
    auto bar = [this](const QString& name, std::initializer_list<ActionId> ids) {
        QToolBar* tb = addToolBar(name);
        tb->setObjectName(name);
        tb->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        tb->setIconSize(QSize(20, 20));
        for (ActionId id : ids) {
            if (id == ActionId::File)
                tb->addSeparator();
            else
                tb->addAction(actions_->action(id));
        }
        return tb;
    };
    // ActionId::File stands for a separator in these lists.
    QToolBar* file = bar(QStringLiteral("tbFile"), {ActionId::NewPrg, ActionId::InsertPrg, ActionId::SavePrg});
    file->addSeparator();
    file->addAction(undo_);
    file->addAction(redo_);
    // Their captions name the step: icons only, so that the row keeps its
    // width; the tip names the step.
    for (QAction* a : {undo_, redo_}) {
        if (auto* button = qobject_cast<QToolButton*>(file->widgetForAction(a)))
            button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    }
    QToolBar* objects = bar(QStringLiteral("tbObjects"),
        {ActionId::NewCard, ActionId::DelCard, ActionId::File, ActionId::AddPrg, ActionId::DelPrg, ActionId::CopyPrg,
         ActionId::PastePrg, ActionId::File, ActionId::AddRgn, ActionId::DelRegion, ActionId::File,
         ActionId::DelFodder});
    // Copy and paste of a page show their icons only, so that the row fits
    // the window's first size.
    for (ActionId id : {ActionId::CopyPrg, ActionId::PastePrg}) {
        if (auto* button = qobject_cast<QToolButton*>(objects->widgetForAction(actions_->action(id))))
            button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    }
    addToolBarBreak();
    // Twelve material kinds: their icons, with the caption as a tip, keep
    // the row short enough for the card commands beside it.
    QToolBar* materials = bar(QStringLiteral("tbMaterials"),
        {ActionId::SglTxt, ActionId::MulText, ActionId::File, ActionId::DateTime, ActionId::AddTime,
         ActionId::DelTime, ActionId::File, ActionId::Table, ActionId::Picture, ActionId::Movie, ActionId::File,
         ActionId::InnerInfo, ActionId::CallNo, ActionId::CollectData, ActionId::File, ActionId::TxtSet});
    materials->setToolButtonStyle(Qt::ToolButtonIconOnly);
    bar(QStringLiteral("tbCards"), {ActionId::Send, ActionId::Preview, ActionId::CmmParaSet});
}

void MainWindow::buildCentre()
{
    // Left column, top: the object list header and the tree.
    objectHeader_ = new QFrame;
    objectHeader_->setObjectName(QStringLiteral("pnObjectList"));
    objectHeader_->setFrameShape(QFrame::StyledPanel);
    objectTitle_ = new QLabel;
    QFont bold = objectTitle_->font();
    bold.setBold(true);
    objectTitle_->setFont(bold);

    searchButton_ = new QToolButton;
    searchButton_->setObjectName(QStringLiteral("bBtnSearch"));
    searchButton_->setCheckable(true);
    searchButton_->setAutoRaise(true);
    searchButton_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    connect(searchButton_, &QToolButton::clicked, this, [this] {
        showSearchSwitch(); // a click does not switch it; the right button does
        actions_->action(ActionId::Search)->trigger();
    });
    connect(actions_->action(ActionId::Search), &QAction::changed, this,
            [this] { searchButton_->setEnabled(actions_->action(ActionId::Search)->isEnabled()); });
    searchButton_->setVisible(session_.settings().isSearchVisible);
    // A right click switches the card search off and on.
    searchButton_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(searchButton_, &QWidget::customContextMenuRequested, this, [this] {
        link_->toggleSearchSwitch();
        showSearchSwitch();
    });
    upButton_ = new QToolButton;
    upButton_->setObjectName(QStringLiteral("sBtnUp"));
    upButton_->setArrowType(Qt::UpArrow);
    downButton_ = new QToolButton;
    downButton_->setObjectName(QStringLiteral("sBtnDown"));
    downButton_->setArrowType(Qt::DownArrow);
    connect(upButton_, &QToolButton::clicked, this, [this] {
        stepCaption_ = stepcaption::moveUp();
        apply(commands_.moveUp(selection_.node()));
    });
    connect(downButton_, &QToolButton::clicked, this, [this] {
        stepCaption_ = stepcaption::moveDown();
        apply(commands_.moveDown(selection_.node()));
    });
    serialButton_ = new QPushButton(channeltext::kOpenSerialCaption);
    serialButton_->setObjectName(QStringLiteral("sbSerialPort"));
    connect(serialButton_, &QPushButton::clicked, this, [this] { link_->toggleSerialPort(); });
    allCards_ = new QCheckBox(fixedtext::sendToAll());
    allCards_->setObjectName(QStringLiteral("cbAllCard"));
    allCards_->setChecked(session_.settings().isSendAll);
    connect(allCards_, &QCheckBox::toggled, this, [this](bool on) {
        session_.settings().isSendAll = on;
        session_.noteChange();
    });
    sendButton_ = new QToolButton;
    sendButton_->setObjectName(QStringLiteral("bBtnSendPrg"));
    sendButton_->setDefaultAction(actions_->action(ActionId::Send));
    sendButton_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(2);
    for (QWidget* w : std::initializer_list<QWidget*>{searchButton_, upButton_, downButton_, serialButton_})
        buttons->addWidget(w);
    buttons->addStretch();
    buttons->addWidget(allCards_);
    buttons->addWidget(sendButton_);
    auto* headerLayout = new QVBoxLayout(objectHeader_);
    headerLayout->setContentsMargins(4, 3, 4, 3);
    headerLayout->setSpacing(3);
    headerLayout->addWidget(objectTitle_);
    headerLayout->addLayout(buttons);

    tree_ = new ObjectTree;
    connect(tree_, &ObjectTree::nodeSelected, this, &MainWindow::onNodeSelected);
    connect(tree_, &ObjectTree::nodeDoubleClicked, this, [this](const NodePath& path) {
        if (path.level != NodeLevel::Material)
            return;
        // The node double-clicked is the one edited, even when the selection
        // was elsewhere.
        if (selection_.node() != path)
            selectNode(path);
        showMaterialEditor(selection_.materialIndex(session_.model()));
    });
    connect(tree_, &ObjectTree::popupRequested, this, [this](const QPoint& at) { treePopup_->popup(at); });
    tree_->setMoveRule([this](const NodePath& node, const NodePath& parent, const NodePath& before) {
        return commands_.canMoveTo(node, parent, before);
    });
    connect(tree_, &ObjectTree::moveRequested, this,
            [this](const NodePath& node, const NodePath& parent, const NodePath& before) {
                apply(commands_.moveTo(node, parent, before));
            });

    auto* treeColumn = new QWidget;
    auto* treeLayout = new QVBoxLayout(treeColumn);
    treeLayout->setContentsMargins(0, 0, 0, 0);
    treeLayout->setSpacing(0);
    treeLayout->addWidget(objectHeader_);
    treeLayout->addWidget(tree_, 1);

    // Left column, bottom: the property area with the property editor.
    auto* attrList = new QFrame;
    attrList->setObjectName(QStringLiteral("pnAttrList"));
    attrTitle_ = new QLabel;
    attrTitle_->setObjectName(QStringLiteral("pnAttrTitle"));
    attrTitle_->setFont(bold);
    attrTitle_->setWordWrap(true);
    attrTitle_->setMargin(3);
    attrTitle_->setAutoFillBackground(true);
    attrTitle_->setBackgroundRole(QPalette::Mid);
    stopTime_ = new QLabel;
    stopTime_->setObjectName(QStringLiteral("lbStopTime"));
    stopTime_->setStyleSheet(QStringLiteral("color: red"));
    stopTime_->setWordWrap(true);
    stopTime_->setMargin(2);
    properties_ = new PropertyEditor(session_.model(), session_.settings());
    properties_->setObjectName(QStringLiteral("vLEditor"));
    auto* attrLayout = new QVBoxLayout(attrList);
    attrLayout->setContentsMargins(0, 0, 0, 0);
    attrLayout->setSpacing(0);
    attrLayout->addWidget(attrTitle_);
    attrLayout->addWidget(stopTime_);
    attrLayout->addWidget(properties_, 1);

    auto* left = leftSplit_ = new QSplitter(Qt::Vertical);
    left->setObjectName(QStringLiteral("splLeft"));
    left->addWidget(treeColumn);
    left->addWidget(attrList);
    left->setStretchFactor(0, 3);
    left->setStretchFactor(1, 2);
    left->setSizes({400, 270});
    left->setChildrenCollapsible(false);

    // Right column: the layout canvas with its scroll box and zoom bar.
    canvas_ = new LayoutCanvas(session_.model());
    canvas_->setObjectName(QStringLiteral("layoutCanvas"));
    canvas_->setPictureSource(
        [](const TFodder& material, const TFIXModem&, QSize ledSize) { return panelPicture(material, ledSize); });

    auto* centre = mainSplit_ = new QSplitter(Qt::Horizontal);
    centre->setObjectName(QStringLiteral("splMain"));
    rightColumn_ = new QSplitter(Qt::Vertical);
    rightColumn_->setObjectName(QStringLiteral("splRight"));
    rightColumn_->addWidget(canvas_);
    rightColumn_->setChildrenCollapsible(false);
    centre->addWidget(left);
    centre->addWidget(rightColumn_);
    centre->setStretchFactor(0, 0);
    centre->setStretchFactor(1, 1);
    centre->setSizes({kLeftColumnWidth, 900});
    centre->setChildrenCollapsible(false);
    // Narrow enough that the window with the image-group panel fits a small screen.
    left->setMinimumWidth(200);
    setCentralWidget(centre);
    for (QSplitter* split : {mainSplit_, leftSplit_})
        connect(split, &QSplitter::splitterMoved, this, &MainWindow::recordLayout);

    wirePropertyEditor();
    wireCanvas();
    makeImageGroupPanel();
    connect(new RegionFileDrops(canvas_), &RegionFileDrops::filesDropped, this, &MainWindow::dropFilesOnRegion);
}

void MainWindow::wirePropertyEditor()
{
    properties_->setFileChooser([this](const QString& filter, const QString& startFile) {
        return dialogs_->askOpenFileName(QString(), startFile, filter);
    });
    // The canvas follows the document's signals; the rows' changes become
    // steps.
    connect(properties_, &PropertyEditor::nodeRenamed, this,
            [this](int level, const QString&, const QString& newName) { renameSelectedNode(level, newName); });
    connect(properties_, &PropertyEditor::rowApplied, this, &MainWindow::recordPropertyRow);
    connect(properties_, &PropertyEditor::dialogRequested, this, &MainWindow::openRowDialog);
    connect(properties_, &PropertyEditor::cardListChanged, this, [this] { session_.noteChange(); });
    // Shown once the edit has ended, not from inside the editor's commit.
    connect(properties_, &PropertyEditor::valueRefused, this, [this](const QString& text) {
        QMetaObject::invokeMethod(this, [this, text] { dialogs_->showMessage(text); }, Qt::QueuedConnection);
    });
}

void MainWindow::wireCanvas()
{
    connect(canvas_, &LayoutCanvas::regionClicked, this,
            [this](const QString& card, const QString& page, const QString& region) {
                selectFromCanvas(NodePath::ofRegion(card, page, region));
            });
    connect(canvas_, &LayoutCanvas::materialClicked, this,
            [this](const QString& card, const QString& page, const QString& region, const QString& name) {
                // The clicked material becomes the canvas's current one, as
                // after a tree click: the image list shows its files on it.
                selectNode(NodePath::ofMaterial(card, page, region, name));
            });
    connect(canvas_, &LayoutCanvas::materialDoubleClicked, this,
            [this](const QString& card, const QString& page, const QString& region, const QString& name) {
                showMaterialEditor(session_.model().findMaterial(card, page, region, name).index);
            });
    connect(canvas_, &LayoutCanvas::regionGeometryChanged, this, &MainWindow::recordCanvasGeometry);
    connect(canvas_, &LayoutCanvas::statusMessage, this, &MainWindow::showStatus);
    connect(canvas_, &LayoutCanvas::deleteRequested, this, &MainWindow::deleteSelectedObject);
}

void MainWindow::buildStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("sBarStatus"));
    const int widths[] = {0, 140, 0, 110, 0};
    for (int i = 0; i < kStatusPanelCount - 1; ++i) {
        auto* label = new QLabel;
        label->setObjectName(QStringLiteral("sBarPanel%1").arg(i));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setMargin(1);
        if (widths[i])
            label->setMinimumWidth(widths[i]);
        bar->addWidget(label, i == kMessagePanel ? 1 : 0);
        statusPanels_[static_cast<std::size_t>(i)] = label;
    }
    progress_ = new QProgressBar;
    progress_->setObjectName(QStringLiteral("sBarPanel5"));
    progress_->setFixedWidth(180);
    progress_->setRange(0, 100);
    progress_->setValue(0);
    progress_->setTextVisible(false);
    bar->addWidget(progress_);
}

void MainWindow::buildTreePopup()
{
    treePopup_ = new QMenu(this);
    treePopup_->setObjectName(QStringLiteral("pMenuObject"));
    auto add = [this](std::initializer_list<PopupItem> items) {
        for (PopupItem item : items)
            treePopup_->addAction(actions_->popupItem(item));
        treePopup_->addSeparator();
    };
    add({PopupItem::NewCard, PopupItem::DelCard, PopupItem::ReName});
    add({PopupItem::SendPrg, PopupItem::Send});
    add({PopupItem::NewPrg, PopupItem::InsertPrg, PopupItem::SavePrg});
    add({PopupItem::AddPrg, PopupItem::DelPrg, PopupItem::CopyPrg, PopupItem::PastePrg});
    add({PopupItem::AddRgn, PopupItem::DelRegion});
    add({PopupItem::DelFodder});
    add({PopupItem::Export});
    treePopup_->addAction(actions_->popupItem(PopupItem::Collapse));
}

} // namespace ledsign
