// The object tree of the main window: cards, their pages, regions and
// materials, drawn from the project model's lists. It keeps no records of
// its own; after a change the window rebuilds it and selects a node by its
// path. Card nodes show whether the card is on line.
#pragma once

#include "editing/selection.h"

#include <QHash>
#include <QIcon>
#include <QSet>
#include <QTreeWidget>

#include <functional>

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

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    QString keyOf(const NodePath& path) const;
    void showCardState(QTreeWidgetItem* item, const TFIXModem* card);

    QIcon offline_;
    QIcon online_;
    QIcon sent_;
    std::function<int(const QString&)> stateOf_;
    // The first card node of each name, as rebuild() made them.
    QHash<QString, QTreeWidgetItem*> cardItems_;
    std::function<QStringList()> shownCards_;
    bool rebuilding_ = false;
};

} // namespace ledsign
