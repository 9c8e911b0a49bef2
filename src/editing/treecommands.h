// The commands of the object tree as operations on the project model: add
// and delete cards, pages, regions and materials, move cards and materials,
// copy and paste a page, start a new playbill or open one into a card, and
// change a card's size. The window asks the confirmations and shows the
// messages; the commands assume a confirmed request and say which node to
// select afterwards.
#pragma once

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

    // Only cards and materials move; a material only among the materials of
    // its region.
    CommandResult moveUp(const NodePath& node);
    CommandResult moveDown(const NodePath& node);

    CommandResult copyPage(const NodePath& node);
    CommandResult pastePage(const NodePath& node);

    // Clears the card's playbill and starts it again with one page.
    CommandResult newPlaybill(const NodePath& node);
    // Reads a playbill file into the card of the node.
    CommandResult openPlaybill(const NodePath& node, const QString& path, const MessageSink& report = {});

    // The card loses its playbill and takes the new size; nothing when
    // there is no such card.
    CommandResult changeCardSize(const QString& card, int width, int height);

private:
    CommandResult move(const NodePath& node, int step);
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
