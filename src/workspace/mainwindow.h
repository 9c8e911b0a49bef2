// The main window: the object tree of cards, pages, regions and materials
// with its header buttons, the property area under it, the layout canvas on
// the right, menus, tool bars and the status bar. It shows the session's
// project and forwards every command to the tree commands; which commands
// are enabled comes from the command tables.
#pragma once

#include "editing/selection.h"
#include "editing/stepfiles.h"
#include "editing/treecommands.h"
#include "workspace/actions.h"
#include "workspace/mainwindowdialogs.h"

#include <QHash>
#include <QMainWindow>

#include <array>
#include <memory>

class QCheckBox;
class QFrame;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QSplitter;
class QToolButton;

namespace ledsign {

class CardLinkController;
class HelpWindow;
class ProjectDocument;
class ImageGroupPanel;
class LayoutCanvas;
class ObjectTree;
class PropertyEditor;
class ToolWindowsController;
class WorkspaceSession;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kStatusPanelCount = 6;
    static constexpr int kMessagePanel = 4;
    // Wide enough for the longest property values (date formats) in full.
    static constexpr int kLeftColumnWidth = 360;

    // `dialogs` may be null: the window then shows its own dialogs.
    MainWindow(WorkspaceSession& session, std::unique_ptr<MainWindowDialogs> dialogs = {},
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // The work done once the window is shown: every card of the card list
    // with its playbill, the recent files in the File menu, the commands
    // for the loaded cards.
    void startUp();

    // Ends the program without the exit question: the settings and the card
    // list are written, the cards released, the channels closed; modified
    // playbills stay unsaved (a second termination request).
    void closeWithoutAsking();

    // Operations other parts of the program call.
    void selectCard(const QString& cardName);
    void markModified(const QString& cardName);
    bool findNodeOfMaterial(const QString& panelName);
    void showMaterialEditor(qsizetype materialIndex);
    void setCommandsFor(NodeLevel level);
    void changeCardSize(qsizetype cardIndex, int width, int height);
    // A card just bound to the card on the line takes its size; the
    // operator's choice for the playbill is one undo step.
    void bindCardSize(qsizetype cardIndex, QSize size, BindChoice choice);
    // Status panel 4: messages and warnings.
    void showStatus(const QString& text);
    // Status panel 3: the state of the channel to the cards.
    void showChannelStatus(const QString& text);
    // Opens the channels to the cards; run once the window shows, after
    // startUp().
    void openCardLink();

    // Selects the node (tree and selection state) as a click would.
    void selectNode(const NodePath& path);
    // Draws the tree again after records were added or removed outside the
    // window's commands; the selection stays where it can.
    void refreshTree();
    // The card nodes show again whether their cards are on line.
    void refreshCardStates();
    // The node of one card, when only its state changed.
    void refreshCardState(const QString& cardName);
    // Runs a command as its action would.
    void runCommand(ActionId id);
    void runPopupItem(PopupItem item);
    // Opens a recent file as its File menu item would.
    void openRecentFile(const QString& path);

    ActionSet& actions() { return *actions_; }
    // Every edit goes through the document; Undo and Redo work on the
    // selected card's history.
    ProjectDocument& document() { return *document_; }
    QAction* undoAction() const { return undo_; }
    QAction* redoAction() const { return redo_; }
    QMenu* editMenu() const { return menus_.value(ActionId::ItemEdit); }
    ObjectTree* tree() const { return tree_; }
    WorkspaceSession& session() { return session_; }
    const SelectionState& selection() const { return selection_; }
    QString statusText(int panel) const;
    QProgressBar* progressBar() const { return progress_; }
    QPushButton* serialButton() const { return serialButton_; }
    QToolButton* searchButton() const { return searchButton_; }
    QCheckBox* groupSendBox() const { return allCards_; }
    CardLinkController& cardLink() { return *link_; }
    QMenu* fileMenu() const { return menus_.value(ActionId::File); }
    QMenu* treePopup() const { return treePopup_; }
    QList<QAction*> recentFileActions() const { return recentActions_; }
    QAction* deleteObjectAction() const { return deleteObject_; }

    MainWindowDialogs& dialogs() { return *dialogs_; }
    ToolWindowsController& tools() { return *tools_; }

    PropertyEditor* properties() const { return properties_; }
    LayoutCanvas* canvas() const { return canvas_; }
    ImageGroupPanel* imageGroupPanel() const { return imageGroups_; }

signals:
    // The selection moved to another node (or to none).
    void selectionChanged(const ledsign::NodePath& path);
    // The project's records changed through a command.
    void projectChanged();

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // The place, size and column division of the last run, where the
    // stored values can be used; the others keep the first layout.
    void applyStoredGeometry();
    void applyStoredSplits();
    // The settings take the window's layout as it is now.
    void recordLayout();
    void buildMenus();
    void buildToolBars();
    void buildCentre();
    void buildStatusBar();
    void buildTreePopup();
    void retranslate();
    // The search button's look follows the search switch.
    void showSearchSwitch();
    void applyWindowTexts();

    // A command's result: what it changed becomes a step of the document
    // under the running command's caption, then the result is shown.
    void apply(const CommandResult& result);
    // Shows a result whose changes the document already knows.
    void showResult(const CommandResult& result);
    void makeHistoryActions();
    void wireDocument();
    void showHistory();
    void followCard(const QString& cardName, bool outlineChanged);
    void followCards();
    void showRestored(const NodePath& path);
    void recordEdit(const QString& caption, const NodePath& select, const QString& mergeKey = {});
    void recordPropertyRow(int row, bool renamed);
    void recordCanvasGeometry(const QString& card, const QString& page, const QString& region);
    void onNodeSelected(const NodePath& path);
    // The selection moved; the canvas shows it unless the click came from
    // the canvas itself.
    void showSelection(const NodePath& path, bool showOnCanvas);
    void selectFromCanvas(const NodePath& path);
    void renameSelectedNode(int level, const QString& newName);
    void wirePropertyEditor();
    void wireCanvas();
    void openRowDialog(const DialogRequest& request);
    void makeImageGroupPanel();
    void showImageGroupPanel(const NodePath& path);
    // Picture files dropped on a region of the canvas.
    void dropFilesOnRegion(const QString& regionPanelName, const QStringList& files);
    void rebuildRecentMenu();
    void openPlaybillInto(const NodePath& node, const QString& path);
    void addMaterial(int kind);
    void deleteSelected(NodeLevel level);
    void deleteSelectedObject();
    void newCard();
    void savePlaybills(int mode);
    void switchLanguage(int index);
    void startExternalTool(bool paint);
    void openHelp();
    bool confirm(const char* key);
    MessageSink messageSink();

    WorkspaceSession& session_;
    std::unique_ptr<MainWindowDialogs> dialogs_;
    bool scriptedDialogs_ = false;
    ToolWindowsController* tools_ = nullptr;
    SelectionState selection_;
    TreeCommands commands_;
    ActionSet* actions_ = nullptr;
    ObjectTree* tree_ = nullptr;
    QHash<ActionId, QMenu*> menus_;
    QMenu* treePopup_ = nullptr;
    QAction* recentSeparator_ = nullptr;
    QList<QAction*> recentActions_;
    QAction* deleteObject_ = nullptr;

    QFrame* objectHeader_ = nullptr;
    QLabel* objectTitle_ = nullptr;
    QToolButton* searchButton_ = nullptr;
    QToolButton* upButton_ = nullptr;
    QToolButton* downButton_ = nullptr;
    QPushButton* serialButton_ = nullptr;
    QCheckBox* allCards_ = nullptr;
    QToolButton* sendButton_ = nullptr;
    QLabel* attrTitle_ = nullptr;
    QLabel* stopTime_ = nullptr;
    PropertyEditor* properties_ = nullptr;
    LayoutCanvas* canvas_ = nullptr;
    QSplitter* mainSplit_ = nullptr;
    QSplitter* leftSplit_ = nullptr;
    QSplitter* rightColumn_ = nullptr;
    // The layout is recorded once the stored one has been applied.
    bool recordingLayout_ = false;
    ImageGroupPanel* imageGroups_ = nullptr;
    HelpWindow* help_ = nullptr;
    std::array<QLabel*, kStatusPanelCount - 1> statusPanels_{};
    QProgressBar* progress_ = nullptr;
    CardLinkController* link_ = nullptr;
    ProjectDocument* document_ = nullptr;
    QAction* undo_ = nullptr;
    QAction* redo_ = nullptr;
    // The caption of the step the running command makes, and the files it
    // wrote.
    QString stepCaption_;
    StepFiles stepFiles_;
    // Set when the document's signals redrew the views for a change.
    bool viewsFollowed_ = false;
    // The canvas stored a region itself: its panel already stands there.
    bool canvasStoring_ = false;
    bool closing_ = false;
};

} // namespace ledsign
