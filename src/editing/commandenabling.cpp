#include "editing/commandenabling.h"

#include "model/materialkinds.h"

#include <array>

namespace ledsign {

namespace {

// Columns of the action table.
struct ActionRowValues {
    bool sendPrg;
    bool newOpen;      // New and Open
    bool save;         // Save and Save As
    bool addPagePaste; // Add Page and Paste
    bool delPageCopy;  // Del Page and Copy
    bool addArea;
    bool delArea;
    bool delFodder;
    bool materialAdds;
    bool queue;        // further needs the first-page switch
    bool remoteText;   // further needs the card's feature and a free slot
};

ActionRowValues valuesOf(CommandRow row)
{
    switch (row) {
    case CommandRow::StartupNoCard:
        return {false, false, false, false, false, false, false, false, false, false, false};
    case CommandRow::StartupCardsLoaded:
    case CommandRow::CardSelected:
        return {true, true, true, true, false, false, false, false, false, false, false};
    case CommandRow::PageSelected:
        return {true, false, true, true, true, true, false, false, false, false, false};
    case CommandRow::RegionSelected:
        return {true, false, true, false, false, true, true, false, true, true, true};
    case CommandRow::MaterialSelected:
        return {true, false, true, false, false, false, false, true, true, true, true};
    }
    return valuesOf(CommandRow::StartupNoCard);
}

// The add commands of the "material adds" column (all but queue and remote
// text; the clock is hidden and has no kind).
constexpr std::array<ActionId, 11> kMaterialAdds{
    ActionId::SglTxt, ActionId::MulText, ActionId::DateTime, ActionId::AddTime, ActionId::DelTime,
    ActionId::Colck,  ActionId::Table,   ActionId::Picture,  ActionId::Movie,   ActionId::InnerInfo,
    ActionId::CollectData,
};

int featureFlagOfKind(int kind)
{
    switch (kind) {
    case kQueue:
        return kFeatureQueue;
    case kAcquisition:
        return kFeatureAcquisition;
    case kAnimation:
        return kFeatureAnimation;
    case kSingleText:
    case kMultiText:
    case kImageGroup:
    case kTable:
        return kFeatureText;
    case kRemoteText:
        return kFeatureRemoteText;
    case kCountUp:
    case kCountDown:
        return kFeatureCount;
    case kInternalCodeText:
        return kFeatureInternalCode;
    case kDateTime:
        return kFeatureTime;
    default:
        return -1;
    }
}

} // namespace

CommandRow commandRowFor(NodeLevel level, bool anyCard)
{
    switch (level) {
    case NodeLevel::Card:
        return CommandRow::CardSelected;
    case NodeLevel::Page:
        return CommandRow::PageSelected;
    case NodeLevel::Region:
        return CommandRow::RegionSelected;
    case NodeLevel::Material:
        return CommandRow::MaterialSelected;
    default:
        return anyCard ? CommandRow::StartupCardsLoaded : CommandRow::StartupNoCard;
    }
}

bool cardOffersKind(const TFIXModem& card, int kind)
{
    const int flag = featureFlagOfKind(kind);
    if (flag < 0 || flag >= static_cast<int>(card.featureFlags.size()))
        return true;
    return card.featureFlags[static_cast<std::size_t>(flag)] == 1;
}

QList<QPair<ActionId, bool>> actionStates(CommandRow row, bool firstPage, const TFIXModem* card)
{
    const ActionRowValues v = valuesOf(row);
    QList<QPair<ActionId, bool>> states{
        {ActionId::SendPrg, v.sendPrg},       {ActionId::NewPrg, v.newOpen},
        {ActionId::InsertPrg, v.newOpen},     {ActionId::SavePrg, v.save},
        {ActionId::SaveFileAs, v.save},       {ActionId::AddPrg, v.addPagePaste},
        {ActionId::PastePrg, v.addPagePaste}, {ActionId::DelPrg, v.delPageCopy},
        {ActionId::CopyPrg, v.delPageCopy},   {ActionId::AddRgn, v.addArea},
        {ActionId::DelRegion, v.delArea},     {ActionId::DelFodder, v.delFodder},
    };

    // The card's features narrow the adds only where a material can be added.
    const bool narrow = card && (row == CommandRow::RegionSelected || row == CommandRow::MaterialSelected);
    for (ActionId id : kMaterialAdds) {
        bool on = v.materialAdds;
        if (on && narrow) {
            if (const auto kind = materialKindOfAction(id))
                on = cardOffersKind(*card, *kind);
        }
        states.append({id, on});
    }
    bool queue = v.queue && firstPage;
    if (queue && narrow)
        queue = cardOffersKind(*card, kQueue);
    states.append({ActionId::CallNo, queue});
    // A card holds at most one remote server text.
    const bool remote = v.remoteText && card && cardOffersKind(*card, kRemoteText) && card->remoteTextFree == 1;
    states.append({ActionId::TxtSet, remote});
    return states;
}

QList<QPair<PopupItem, bool>> popupStates(NodeLevel level)
{
    const bool none = level == NodeLevel::None;
    const bool card = level == NodeLevel::Card;
    const bool page = level == NodeLevel::Page;
    const bool region = level == NodeLevel::Region;
    const bool material = level == NodeLevel::Material;
    return {
        {PopupItem::NewCard, true},
        {PopupItem::DelCard, card},
        {PopupItem::SendPrg, !none},
        {PopupItem::Send, !none},
        {PopupItem::NewPrg, card},
        {PopupItem::InsertPrg, card},
        {PopupItem::SavePrg, card || page},
        {PopupItem::AddPrg, card || page},
        {PopupItem::DelPrg, page},
        {PopupItem::AddRgn, page || region},
        {PopupItem::DelRegion, region},
        {PopupItem::DelFodder, material},
    };
}

std::optional<ActionId> actionOfPopupItem(PopupItem item)
{
    switch (item) {
    case PopupItem::NewCard:
        return ActionId::NewCard;
    case PopupItem::DelCard:
        return ActionId::DelCard;
    case PopupItem::ReName:
        return ActionId::ReName;
    case PopupItem::SendPrg:
        return ActionId::SendPrg;
    case PopupItem::Send:
        return ActionId::Send;
    case PopupItem::NewPrg:
        return ActionId::NewPrg;
    case PopupItem::InsertPrg:
        return ActionId::InsertPrg;
    case PopupItem::SavePrg:
        return ActionId::SavePrg;
    case PopupItem::AddPrg:
        return ActionId::AddPrg;
    case PopupItem::DelPrg:
        return ActionId::DelPrg;
    case PopupItem::CopyPrg:
        return ActionId::CopyPrg;
    case PopupItem::PastePrg:
        return ActionId::PastePrg;
    case PopupItem::AddRgn:
        return ActionId::AddRgn;
    case PopupItem::DelRegion:
        return ActionId::DelRegion;
    case PopupItem::DelFodder:
        return ActionId::DelFodder;
    case PopupItem::Export:
        return ActionId::Export2UDisk;
    case PopupItem::Collapse:
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace ledsign
