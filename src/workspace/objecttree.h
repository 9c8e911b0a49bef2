// The object tree of the main window: cards, their pages, regions and
// materials, drawn from the project model's lists. It keeps no records of
// its own; after a change the window rebuilds it and selects a node by its
// path. Card nodes show whether the card is on line. Cards, pages and
// materials can be dragged; where a drop may go is the move rule's answer,
// and a drop only asks the window to move the records.
#pragma once

#include "editing/selection.h"

#include <QHash>
#include <QIcon>
#include <QSet>
#include <QTreeWidget>

class QMimeData;

#include <functional>
#include <optional>

namespace ledsign {

class ObjectTree : public QTreeWidget {
    Q_OBJECT
public:
    explicit ObjectTree(QWidget* parent = nullptr);
    ~ObjectTree() override;

    // Rebuilds every node from the model; nodes that were expanded stay so.
    void rebuild(const ProjectModel& model);
    // Rebuilds the nodes under one card node (its pages, regions and
    // materials); the whole tree when the card has no node.
    void rebuildCard(const ProjectModel& model, const QString& cardName);
    // Only the on-line marks of the card nodes follow their records.
    void refreshCardStates(const ProjectModel& model);
    // The same for one card's node.
    void refreshCardState(const ProjectModel& model, const QString& cardName);
    // True when the card node shows the on-line mark.
    bool showsOnline(const QString& cardName) const;
    // Once the link runs, a card node shows the card's state as the send
    // supervision keeps it (1 off-line, 2 on-line, 3 playbill sent) instead
    // of its record's on-line flag.
    void setStateSource(std::function<int(const QString& cardName)> source);
    // The cards the tree shows: every card of the list unless the source
    // names the ones to show (a serial line that shows only its card).
    void setShownCards(std::function<QStringList()> source);
    // The state the card node shows (1, 2 or 3); 0 when there is no node.
    int shownState(const QString& cardName) const;

    // Selects the node of the path (expanding its owners) without
    // announcing it; returns false when the tree has no such node.
    bool selectPath(const NodePath& path);
    NodePath selectedPath() const;

    NodePath pathOf(const QTreeWidgetItem* item) const;
    QTreeWidgetItem* itemOf(const NodePath& path) const;

    // Which drops the tree takes: (dragged node, new parent, the sibling it
    // goes before or none) -> allowed. Without a rule no drop is taken.
    using MoveRule = std::function<bool(const NodePath& node, const NodePath& parent, const NodePath& before)>;
    void setMoveRule(MoveRule rule) { moveRule_ = std::move(rule); }
    // What a drag of the node carries, owned by the caller (null for a node
    // that does not move).
    QMimeData* dragData(const NodePath& path) const;

    // The texts of the tree, one line per node, indented two blanks per
    // level: what the user sees, for tests and diagnostics.
    QStringList outline() const;

signals:
    // The user selected a node (mouse, keyboard) or cleared the selection.
    void nodeSelected(const NodePath& path);
    void nodeDoubleClicked(const NodePath& path);
    // The pop-up menu was asked for at a global position (the node under
    // the mouse is selected first).
    void popupRequested(const QPoint& globalPos);
    // A node was dropped where the move rule allows it; sent once the drag
    // is over.
    void moveRequested(const ledsign::NodePath& node, const ledsign::NodePath& parent,
                       const ledsign::NodePath& before);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QList<QTreeWidgetItem*>& items) const override;
    Qt::DropActions supportedDropActions() const override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool dropMimeData(QTreeWidgetItem* parent, int index, const QMimeData* data, Qt::DropAction action) override;

private:
    struct DropPlace {
        NodePath parent;
        NodePath before;
    };
    // The node a drag carries, when it comes from this tree.
    std::optional<NodePath> draggedNode(const QMimeData* data) const;
    // Where a drop at the event's position would put the node, when the
    // move rule allows it.
    std::optional<DropPlace> allowedPlace(const QDropEvent* event, const NodePath& node) const;
    QString keyOf(const NodePath& path) const;
    void showCardState(QTreeWidgetItem* item, const TFIXModem* card);

    QIcon offline_;
    QIcon online_;
    QIcon sent_;
    std::function<int(const QString&)> stateOf_;
    // The first card node of each name, as rebuild() made them.
    QHash<QString, QTreeWidgetItem*> cardItems_;
    std::function<QStringList()> shownCards_;
    MoveRule moveRule_;
    bool rebuilding_ = false;
};

} // namespace ledsign
