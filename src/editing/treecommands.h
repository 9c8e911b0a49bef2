// The commands of the object tree as operations on the project model: add
// and delete cards, pages, regions and materials, move cards, pages and
// materials (a step up or down, or to a place a drop in the tree names),
// copy and paste a page, start a new playbill or open one into a card, and
// change a card's size. The window asks the confirmations and shows the
// messages; the commands assume a confirmed request and say which node to
// select afterwards.
#pragma once

#include "editing/cardbinding.h"

#include "editing/selection.h"
#include "model/datafolder.h"
#include "model/projectmodel.h"
#include "model/tfodder.h"

#include <QDateTime>
#include <QSize>
#include <QString>

#include <functional>

namespace ledsign {

// What the new-card window hands over.
struct NewCardInput {
    QString name;
    QString width;       // text as typed; not a positive number gives 256
    QString height;      // text as typed; not a positive number gives 128
    int colorIndex = 0;  // 0 single, 1 dual, 2 tri-colour
};

struct CommandResult {
    bool changed = false;  // the project changed
    QString message;       // a warning for a message box; empty when none
    QString status;        // a notice for the status bar; empty when none
    NodePath select;       // the node to select afterwards (none: keep)
    bool expandAll = false;
};

// The default colour depth of the new-card window's choice.
int colorTypeOfChoice(int index);
// A card size typed by the user; `fallback` when it is not a positive number.
int cardSizeFromText(const QString& text, int fallback);
// The message that refuses a card size no card can have.
QString cardSizeRefusal(int width, int height);

// The size in LED pixels of a new region on a card of that size at that
// zoom (tenths): half the page's width, its whole height when the page is at
// most 32 canvas pixels high, else half of it.
QSize defaultRegionSize(int cardWidth, int cardHeight, int zoomTenths);

// The name of a new material of a kind in a region: the kind's base text
// and the first number, from the kind's increased counter on, that no
// material of the region has.
QString nextMaterialName(ProjectModel& model, const QString& card, const QString& page, const QString& region,
                         int kind);

// Sets the card's remote-text slot from what it holds: free while none of
// its materials is a remote server text.
void refreshRemoteTextFree(ProjectModel& model, const QString& card);

class TreeCommands {
public:
    using Clock = std::function<QDateTime()>;

    TreeCommands(ProjectModel& model, const DataFolder& folders, SelectionState& selection, Clock clock = {});

    // The name the new-card window proposes: "控制卡" and the next panel number.
    QString proposedCardName() const;
    // Empty when the name can be given to a new card, else the reason.
    QString checkNewCardName(const QString& name) const;

    CommandResult addCard(const NewCardInput& input);
    CommandResult deleteCard(const NodePath& node);
    CommandResult addPage(const NodePath& node);
    CommandResult deletePage(const NodePath& node);
    CommandResult addRegion(const NodePath& node);
    CommandResult deleteRegion(const NodePath& node);
    CommandResult addMaterial(const NodePath& node, int kind);
    CommandResult deleteMaterial(const NodePath& node);

    // Cards, pages and materials move, regions do not: a card among the
    // cards, a page among the pages of its card, a material among the
    // materials of its region. A page that holds a queue stays the first
    // page of its card (the queue is offered only there).
    CommandResult moveUp(const NodePath& node);
    CommandResult moveDown(const NodePath& node);
    // Whether moveTo would move the node among the children of `parent`
    // (none: the cards), before the child `before` (none: after the last).
    bool canMoveTo(const NodePath& node, const NodePath& parent, const NodePath& before) const;
    // Puts the node there, as far as the rules above allow; the records
    // between its old and new place keep their order.
    CommandResult moveTo(const NodePath& node, const NodePath& parent, const NodePath& before);

    CommandResult copyPage(const NodePath& node);
    CommandResult pastePage(const NodePath& node);

    // Clears the card's playbill and starts it again with one page.
    CommandResult newPlaybill(const NodePath& node);
    // Reads a playbill file into the card of the node.
    CommandResult openPlaybill(const NodePath& node, const QString& path, const MessageSink& report = {});

    // The card loses its playbill and takes the new size; nothing when
    // there is no such card.
    CommandResult changeCardSize(const QString& card, int width, int height);
    // The size of the card on the line a card was bound to: the playbill
    // stays (its regions that no longer fit kept or clipped) or goes.
    CommandResult bindCardSize(const QString& card, QSize size, BindChoice choice);

private:
    CommandResult move(const NodePath& node, int step);
    // The names of the node and its siblings in list order (empty for a
    // level that does not move).
    QStringList movableSiblings(const NodePath& node) const;
    // Empty when the siblings may take the new order, else why not.
    QString orderRefusal(const NodePath& node, const QStringList& before, const QStringList& after) const;
    // Exchanges the records of two siblings of the node in their list.
    bool swapSiblings(const NodePath& node, const QString& a, const QString& b);
    // The node's place among its siblings and the one a move to `parent`
    // before `before` gives it; false when the move leaves its owner or
    // names no sibling.
    bool planMove(const NodePath& node, const NodePath& parent, const NodePath& before, qsizetype* from,
                  qsizetype* to) const;
    // Steps the node from one place among its siblings to another.
    CommandResult reorder(const NodePath& node, qsizetype from, qsizetype to);
    TFodder makeMaterial(const TRegion& region, int kind);
    void insertMaterial(const TFodder& material, const NodePath& at);
    QString freeTableBase() const;
    void duplicateTableFiles(TFodder& material);

    ProjectModel& model_;
    DataFolder folders_;
    SelectionState& selection_;
    Clock clock_;
};

} // namespace ledsign
