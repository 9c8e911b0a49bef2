// The selection of the main window: which tree node is selected (named by
// its card, page, region and material names, as the records name their
// owners), the first-page switch, the copied page, and the look-ups from a
// selected node to the records and their list indexes.
#pragma once

#include "model/projectmodel.h"

#include <QString>

namespace ledsign {

// Levels of the object tree.
enum class NodeLevel : int {
    None = -1,
    Card = 0,
    Page = 1,
    Region = 2,
    Material = 3,
};

// One node of the tree, by the names on its way down from its card.
struct NodePath {
    NodeLevel level = NodeLevel::None;
    QString card;
    QString page;
    QString region;
    QString material;

    static NodePath none() { return {}; }
    static NodePath ofCard(const QString& card);
    static NodePath ofPage(const QString& card, const QString& page);
    static NodePath ofRegion(const QString& card, const QString& page, const QString& region);
    static NodePath ofMaterial(const QString& card, const QString& page, const QString& region,
                               const QString& material);

    bool isNone() const { return level == NodeLevel::None; }
    // The node one level up (a card's parent is none).
    NodePath parent() const;
    // The node of this level or its nearest ancestor at `up` (a material
    // stands for its region when a region is wanted, and so on).
    NodePath at(NodeLevel up) const;

    bool operator==(const NodePath&) const = default;
};

// Whether the node's records all exist.
bool pathExists(const ProjectModel& model, const NodePath& path);

// The card name of a tree text: the text up to a "【" when it holds one.
QString cardNameOfNodeText(const QString& text);

// True when the page is the first page of its card.
bool isFirstPageOfCard(const ProjectModel& model, const QString& card, const QString& page);

// The node of the material shown by a canvas panel; none when no material
// has that panel.
NodePath pathOfMaterialPanel(const ProjectModel& model, const QString& panelName);

// The last node of the whole tree in display order (the last descendant of
// the last card); none when there are no cards.
NodePath lastNodeOfTree(const ProjectModel& model);

// The selection state of the main window.
class SelectionState {
public:
    const NodePath& node() const { return node_; }
    NodeLevel level() const { return node_.level; }
    const QString& cardName() const { return node_.card; }

    // Selects the node and recomputes the first-page switch: on when the
    // selected region or material lies in the first page of its card, on for
    // a page that is its card's first page (what Add Area puts in force),
    // off otherwise.
    void select(const ProjectModel& model, const NodePath& node);
    void clear() { node_ = {}; firstPage_ = false; }

    bool firstPage() const { return firstPage_; }

    // Indexes in the record lists, -1 when there is no such record.
    qsizetype cardIndex(const ProjectModel& model) const;
    qsizetype pageIndex(const ProjectModel& model) const;
    qsizetype regionIndex(const ProjectModel& model) const;
    qsizetype materialIndex(const ProjectModel& model) const;

    // The page remembered by Copy Page (names; empty when none).
    void rememberPage(const QString& card, const QString& page)
    {
        copiedCard_ = card;
        copiedPage_ = page;
    }
    const QString& copiedCard() const { return copiedCard_; }
    const QString& copiedPage() const { return copiedPage_; }

private:
    NodePath node_;
    bool firstPage_ = false;
    QString copiedCard_;
    QString copiedPage_;
};

} // namespace ledsign
