#include "editing/commandenabling.h"
#include "editingfixture.h"
#include "model/materialkinds.h"

#include <QHash>

#include <map>

namespace ledsign::test {
namespace {

QHash<ActionId, bool> asHash(const QList<QPair<ActionId, bool>>& states)
{
    QHash<ActionId, bool> h;
    for (const auto& s : states) {
        EXPECT_FALSE(h.contains(s.first)) << actionName(s.first).toStdString() << " listed twice";
        h.insert(s.first, s.second);
    }
    return h;
}

// One row of the action table: SendPrg, New, Open, Save, AddPage+Paste,
// DelPage+Copy, AddArea, DelArea, DelFodder, material adds, Queue, RemoteText.
struct TableRow {
    CommandRow row;
    std::array<int, 12> cells;
};

const std::array<TableRow, 6> kTable{{
    {CommandRow::StartupNoCard, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {CommandRow::StartupCardsLoaded, {1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0}},
    {CommandRow::CardSelected, {1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0}},
    {CommandRow::PageSelected, {1, 0, 0, 1, 1, 1, 1, 0, 0, 0, 0, 0}},
    {CommandRow::RegionSelected, {1, 0, 0, 1, 0, 0, 1, 1, 0, 1, 1, 1}},
    {CommandRow::MaterialSelected, {1, 0, 0, 1, 0, 0, 0, 0, 1, 1, 1, 1}},
}};

const std::array<ActionId, 10> kAddsWithKind{
    ActionId::SglTxt, ActionId::MulText, ActionId::DateTime, ActionId::AddTime, ActionId::DelTime,
    ActionId::Table,  ActionId::Picture, ActionId::Movie,    ActionId::InnerInfo, ActionId::CollectData,
};

TEST(CommandTable, EveryRowOfTheActionTable)
{
    TFIXModem card = createCard({});
    for (const TableRow& t : kTable) {
        SCOPED_TRACE(static_cast<int>(t.row));
        // First page on: the Queue column then shows the table's own value.
        const auto h = asHash(actionStates(t.row, true, &card));
        const auto& c = t.cells;
        EXPECT_EQ(h.value(ActionId::SendPrg), bool(c[0]));
        EXPECT_EQ(h.value(ActionId::NewPrg), bool(c[1]));
        EXPECT_EQ(h.value(ActionId::InsertPrg), bool(c[2]));
        EXPECT_EQ(h.value(ActionId::SavePrg), bool(c[3]));
        EXPECT_EQ(h.value(ActionId::SaveFileAs), bool(c[3]));
        EXPECT_EQ(h.value(ActionId::AddPrg), bool(c[4]));
        EXPECT_EQ(h.value(ActionId::PastePrg), bool(c[4]));
        EXPECT_EQ(h.value(ActionId::DelPrg), bool(c[5]));
        EXPECT_EQ(h.value(ActionId::CopyPrg), bool(c[5]));
        EXPECT_EQ(h.value(ActionId::AddRgn), bool(c[6]));
        EXPECT_EQ(h.value(ActionId::DelRegion), bool(c[7]));
        EXPECT_EQ(h.value(ActionId::DelFodder), bool(c[8]));
        for (ActionId add : kAddsWithKind)
            EXPECT_EQ(h.value(add), bool(c[9])) << actionName(add).toStdString();
        EXPECT_EQ(h.value(ActionId::CallNo), bool(c[10]));
        EXPECT_EQ(h.value(ActionId::TxtSet), bool(c[11]));
        // Commands outside the table keep their own state.
        EXPECT_FALSE(h.contains(ActionId::NewCard));
        EXPECT_FALSE(h.contains(ActionId::Exit));
    }
}

TEST(CommandTable, QueueNeedsTheFirstPageAndRemoteTextAFreeSlot)
{
    TFIXModem card = createCard({});
    for (CommandRow row : {CommandRow::RegionSelected, CommandRow::MaterialSelected}) {
        EXPECT_FALSE(asHash(actionStates(row, false, &card)).value(ActionId::CallNo));
        EXPECT_TRUE(asHash(actionStates(row, true, &card)).value(ActionId::CallNo));
        card.remoteTextFree = 0;
        EXPECT_FALSE(asHash(actionStates(row, true, &card)).value(ActionId::TxtSet));
        card.remoteTextFree = 1;
        EXPECT_TRUE(asHash(actionStates(row, true, &card)).value(ActionId::TxtSet));
    }
    // Without a card nothing can take a remote text.
    EXPECT_FALSE(asHash(actionStates(CommandRow::RegionSelected, true, nullptr)).value(ActionId::TxtSet));
}

TEST(CommandTable, FeatureFlagsNarrowEachAddForRegionsAndMaterials)
{
    // Flag index -> the add commands it governs.
    const std::map<int, std::vector<ActionId>> governed{
        {kFeatureQueue, {ActionId::CallNo}},
        {kFeatureAcquisition, {ActionId::CollectData}},
        {kFeatureAnimation, {ActionId::Movie}},
        {kFeatureText, {ActionId::SglTxt, ActionId::MulText, ActionId::Picture, ActionId::Table}},
        {kFeatureRemoteText, {ActionId::TxtSet}},
        {kFeatureCount, {ActionId::AddTime, ActionId::DelTime}},
        {kFeatureInternalCode, {ActionId::InnerInfo}},
        {kFeatureTime, {ActionId::DateTime}},
    };
    for (const auto& [flag, ids] : governed) {
        SCOPED_TRACE(flag);
        TFIXModem card = createCard({});
        card.featureFlags[static_cast<std::size_t>(flag)] = 0;
        for (CommandRow row : {CommandRow::RegionSelected, CommandRow::MaterialSelected}) {
            const auto h = asHash(actionStates(row, true, &card));
            for (const auto& [id, on] : h.asKeyValueRange()) {
                const bool isGoverned = std::find(ids.begin(), ids.end(), id) != ids.end();
                const bool isAdd = materialKindOfAction(id).has_value();
                if (isGoverned)
                    EXPECT_FALSE(on) << actionName(id).toStdString();
                else if (isAdd)
                    EXPECT_TRUE(on) << actionName(id).toStdString();
            }
        }
    }
}

TEST(CommandTable, PopupItemsFollowTheSelectedLevel)
{
    // New Card, Del Card, Send, New+Open, Save, Add Page, Del Page, Add Area, Del Area, Del Fodder.
    const std::map<NodeLevel, std::array<int, 10>> expected{
        {NodeLevel::None, {1, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {NodeLevel::Card, {1, 1, 1, 1, 1, 1, 0, 0, 0, 0}},
        {NodeLevel::Page, {1, 0, 1, 0, 1, 1, 1, 1, 0, 0}},
        {NodeLevel::Region, {1, 0, 1, 0, 0, 0, 0, 1, 1, 0}},
        {NodeLevel::Material, {1, 0, 1, 0, 0, 0, 0, 0, 0, 1}},
    };
    for (const auto& [level, c] : expected) {
        SCOPED_TRACE(static_cast<int>(level));
        QHash<PopupItem, bool> h;
        for (const auto& s : popupStates(level))
            h.insert(s.first, s.second);
        EXPECT_EQ(h.value(PopupItem::NewCard), bool(c[0]));
        EXPECT_EQ(h.value(PopupItem::DelCard), bool(c[1]));
        EXPECT_EQ(h.value(PopupItem::SendPrg), bool(c[2]));
        EXPECT_EQ(h.value(PopupItem::Send), bool(c[2]));
        EXPECT_EQ(h.value(PopupItem::NewPrg), bool(c[3]));
        EXPECT_EQ(h.value(PopupItem::InsertPrg), bool(c[3]));
        EXPECT_EQ(h.value(PopupItem::SavePrg), bool(c[4]));
        EXPECT_EQ(h.value(PopupItem::AddPrg), bool(c[5]));
        EXPECT_EQ(h.value(PopupItem::DelPrg), bool(c[6]));
        EXPECT_EQ(h.value(PopupItem::AddRgn), bool(c[7]));
        EXPECT_EQ(h.value(PopupItem::DelRegion), bool(c[8]));
        EXPECT_EQ(h.value(PopupItem::DelFodder), bool(c[9]));
    }
}

TEST(CommandIds, NamesKindsAndAddCommandsMatch)
{
    for (int i = 0; i < kActionCount; ++i) {
        const auto id = static_cast<ActionId>(i);
        EXPECT_EQ(actionByName(actionName(id)), id);
        EXPECT_FALSE(actionDefaultCaption(id).isEmpty());
    }
    EXPECT_FALSE(actionByName(QStringLiteral("actNothing")).has_value());
    for (int kind = 0; kind < kMaterialKindCount; ++kind)
        EXPECT_EQ(materialKindOfAction(addActionOfKind(kind)), kind);
    EXPECT_EQ(materialKindOfAction(ActionId::CallNo), kQueue);
    EXPECT_EQ(materialKindOfAction(ActionId::TxtSet), kRemoteText);
    EXPECT_EQ(materialKindOfAction(ActionId::Picture), kImageGroup);
    EXPECT_FALSE(materialKindOfAction(ActionId::Colck).has_value());
}

// The first-page switch as the selection computes it on the real model.
class FirstPageSwitch : public EditingFixture {};

TEST_F(FirstPageSwitch, QueueOnlyInTheFirstPageOfACard)
{
    const NodePath a = card(QStringLiteral("A"));
    const NodePath p1 = page(a);
    const NodePath p2 = page(a);
    const NodePath r1 = region(p1);
    const NodePath r2 = region(p2);
    const NodePath m1 = material(r1, kSingleText);
    const NodePath m2 = material(r2, kSingleText);
    const TFIXModem* c = model->findCard(QStringLiteral("A")).record;

    auto queueFor = [&](const NodePath& node) {
        selection.select(*model, node);
        return asHash(actionStates(commandRowFor(node.level, true), selection.firstPage(), c))
            .value(ActionId::CallNo);
    };
    EXPECT_TRUE(queueFor(r1));
    EXPECT_FALSE(queueFor(r2));
    EXPECT_FALSE(queueFor(m2));
    // A material of the first page right after one of another page.
    EXPECT_TRUE(queueFor(m1));
    EXPECT_FALSE(queueFor(p1));

    // Deleting the first page makes the second one first.
    commands->deletePage(p1);
    EXPECT_TRUE(queueFor(r2));
}

} // namespace
} // namespace ledsign::test
