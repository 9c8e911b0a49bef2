// Which commands are enabled for the current selection: one set for the
// actions of the menus and tool bars, one for the items of the tree's
// pop-up menu. The material adds are then narrowed by what the selected
// card offers (its feature flags) and by whether it still may take a
// remote server text.
#pragma once

#include "editing/commandids.h"
#include "editing/selection.h"
#include "model/tfixmodem.h"

#include <QList>
#include <QPair>

#include <optional>

namespace ledsign {

// The rows of the action table.
enum class CommandRow {
    StartupNoCard,
    StartupCardsLoaded,
    CardSelected,
    PageSelected,
    RegionSelected,
    MaterialSelected,
};

// The row of a selected node (none gives the start-up row of the card count).
CommandRow commandRowFor(NodeLevel level, bool anyCard);

// The actions the table switches, with their state; actions not listed
// keep theirs. `card` is the selected node's card (may be null), used to
// narrow the material adds for region and material rows.
QList<QPair<ActionId, bool>> actionStates(CommandRow row, bool firstPage, const TFIXModem* card);

// Whether the feature flags of the card allow the add command of a kind
// (flags outside the list allow).
bool cardOffersKind(const TFIXModem& card, int kind);

// The items of the tree pop-up menu that the selection switches.
enum class PopupItem : int {
    NewCard,
    DelCard,
    ReName,
    SendPrg,
    Send,
    NewPrg,
    InsertPrg,
    SavePrg,
    AddPrg,
    DelPrg,
    CopyPrg,
    PastePrg,
    AddRgn,
    DelRegion,
    DelFodder,
    Export,
    Collapse,
};

QList<QPair<PopupItem, bool>> popupStates(NodeLevel level);

// The action a pop-up item runs; nothing for "collapse all".
std::optional<ActionId> actionOfPopupItem(PopupItem item);

} // namespace ledsign
