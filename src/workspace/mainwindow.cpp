#include "transport/channeltexts.h"
#include "content/fontresolver.h"
#include "content/materialfonts.h"
#include "language/fixedtexts.h"
#include "language/unbrokenwords.h"
#include "workspace/mainwindow.h"

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

namespace {

constexpr int kWindowCategory = 0;
constexpr int kCardNamePanel = 1;
constexpr int kCommModePanel = 3;
constexpr int kImageGroupPanelHeight = 240;

// A file path as a menu caption: "&" in the path must not become a mnemonic.
QString recentCaption(const QString& path)
{
    QString shown = path;
    shown.replace(u'&', QStringLiteral("&&"));
    return QStringLiteral("& ") + shown;
}

} // namespace

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
    for (const QString& font : fontNamesOfMaterials(session_.model().materials()))
        cardFontFamilies(font); // tells the names without a stand-in
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
