// The object tree of the main window: cards, their pages, regions and
// materials, drawn from the project model's lists. It keeps no records of
// its own; after a change the window rebuilds it and selects a node by its
// path. Card nodes show whether the card is on line.
#pragma once

#include "editing/selection.h"

#include <QIcon>
#include <QSet>
#include <QTreeWidget>

namespace ledsign {

class ObjectTree : public QTreeWidget {
    Q_OBJECT
public:
    explicit ObjectTree(QWidget* parent = nullptr);

    // Rebuilds every node from the model; nodes that were expanded stay so.
    void rebuild(const ProjectModel& model);
    // Only the on-line marks of the card nodes follow their records.
    void refreshCardStates(const ProjectModel& model);
    // True when the card node shows the on-line mark.
    bool showsOnline(const QString& cardName) const;

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

    QIcon offline_;
    QIcon online_;
    bool rebuilding_ = false;
};

} // namespace ledsign
