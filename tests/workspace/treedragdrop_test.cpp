// Moving nodes in the object tree: drags as a drag session delivers them to
// the tree's viewport (enter over the dragged node, move to the place, drop),
// and the Up and Down buttons on a page.
#include "model/materialkinds.h"
#include "windowfixture.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QTest>
#include <QToolButton>

namespace ledsign::test {
namespace {

enum class Spot { Top, Middle, Bottom };

QPoint spotOf(ObjectTree* tree, const NodePath& path, Spot spot)
{
    QTreeWidgetItem* item = tree->itemOf(path);
    EXPECT_NE(item, nullptr);
    const QRect rect = item ? tree->visualItemRect(item) : QRect();
    switch (spot) {
    case Spot::Top:
        return {rect.center().x(), rect.top() + 1};
    case Spot::Bottom:
        return {rect.center().x(), rect.bottom() - 1};
    default:
        return rect.center();
    }
}

struct DragSeen {
    bool accepted = false;  // the tree took the drag at the place
    bool indicator = false; // and shows where it would go
};

// Drags the node to the spot of the target node and drops it there.
DragSeen drag(ObjectTree* tree, const NodePath& node, const NodePath& target, Spot spot)
{
    tree->expandAll();
    std::unique_ptr<QMimeData> data(tree->dragData(node));
    EXPECT_NE(data, nullptr);
    if (!data)
        return {};
    QWidget* viewport = tree->viewport();
    QDragEnterEvent enter(spotOf(tree, node, Spot::Middle), Qt::MoveAction, data.get(), Qt::LeftButton, {});
    QApplication::sendEvent(viewport, &enter);
    const QPoint at = spotOf(tree, target, spot);
    QDragMoveEvent move(at, Qt::MoveAction, data.get(), Qt::LeftButton, {});
    QApplication::sendEvent(viewport, &move);
    const DragSeen seen{move.isAccepted(), tree->showDropIndicator()};
    QDropEvent drop(QPointF(at), Qt::MoveAction, data.get(), Qt::LeftButton, {});
    QApplication::sendEvent(viewport, &drop);
    QTest::qWait(20); // the move follows the drag
    return seen;
}

TEST(TreeDragDrop, NodesMoveWhereTheMoveRulesAllowAndNowhereElse)
{
    QTemporaryDir home;
    Running run = startRun(home.path());
    for (const char* name : {"A", "B"}) {
        run.dialogs->newCards.push_back(NewCardInput{QString::fromLatin1(name), QStringLiteral("128"),
                                                     QStringLiteral("64"), 0});
        run.trigger(ActionId::NewCard);
    }
    const NodePath a = NodePath::ofCard(QStringLiteral("A"));
    const NodePath b = NodePath::ofCard(QStringLiteral("B"));
    run.window->selectNode(a);
    run.trigger(ActionId::AddPrg);
    const NodePath p1 = run.window->selection().node();
    run.trigger(ActionId::AddRgn);
    const NodePath r1 = run.window->selection().node();
    for (int i = 0; i < 3; ++i) {
        run.window->selectNode(r1);
        run.trigger(ActionId::SglTxt);
    }
    run.window->selectNode(r1);
    run.trigger(ActionId::AddRgn);
    const NodePath r2 = run.window->selection().node();
    const NodePath other = addMaterial(run, ActionId::MulText);
    run.window->selectNode(a);
    run.trigger(ActionId::AddPrg);
    const NodePath p2 = run.window->selection().node();
    ObjectTree* tree = run.window->tree();
    const QStringList texts = run.model().materialNames(a.card, p1.page, r1.region);
    ASSERT_EQ(texts.size(), 3);
    auto text = [&](int i) { return NodePath::ofMaterial(a.card, p1.page, r1.region, texts.at(i)); };
    run.model().findCard(a.card).record->modified = 0;

    // A material within its region: the last one before the first.
    DragSeen seen = drag(tree, text(2), text(0), Spot::Top);
    EXPECT_TRUE(seen.accepted);
    EXPECT_TRUE(seen.indicator);
    const QStringList reordered{texts[2], texts[0], texts[1]};
    EXPECT_EQ(run.model().materialNames(a.card, p1.page, r1.region), reordered);
    EXPECT_TRUE(run.model().findCard(a.card).record->modified);
    EXPECT_EQ(run.window->selection().node(), text(2));
    // Dropped on its region it goes to the end.
    drag(tree, text(2), r1, Spot::Middle);
    EXPECT_EQ(run.model().materialNames(a.card, p1.page, r1.region), texts);

    // Refused: into another region, a page onto another card, a region at
    // all. No indicator, nothing moves.
    const QStringList before = run.outline();
    for (const auto& [node, target] : {std::pair{text(0), other}, std::pair{text(0), r2}, std::pair{p2, b},
                                       std::pair{text(1), p2}}) {
        seen = drag(tree, node, target, Spot::Middle);
        EXPECT_FALSE(seen.accepted) << node.material.toStdString() << node.page.toStdString();
        EXPECT_FALSE(seen.indicator);
    }
    EXPECT_EQ(tree->dragData(r1), nullptr);
    EXPECT_EQ(run.outline(), before);
    EXPECT_EQ(run.model().materialNames(a.card, p1.page, r2.region), QStringList({other.material}));

    // A page within its card: the second above the first, its regions with it.
    seen = drag(tree, p2, p1, Spot::Top);
    EXPECT_TRUE(seen.accepted);
    EXPECT_EQ(run.model().pageNames(a.card), QStringList({p2.page, p1.page}));
    EXPECT_EQ(tree->itemOf(a)->child(0)->text(0), p2.page);
    EXPECT_EQ(run.model().regionNames(a.card, p1.page), QStringList({r1.region, r2.region}));

    // A card among the cards: B above A.
    seen = drag(tree, b, a, Spot::Top);
    EXPECT_TRUE(seen.accepted);
    EXPECT_EQ(run.model().cards().first().name, b.card);
    EXPECT_EQ(tree->topLevelItem(0)->text(0), b.card);

    // Up and Down on a page, as the operator clicks them.
    run.window->selectNode(p1);
    auto* up = run.window->findChild<QToolButton*>(QStringLiteral("sBtnUp"));
    auto* down = run.window->findChild<QToolButton*>(QStringLiteral("sBtnDown"));
    ASSERT_NE(up, nullptr);
    ASSERT_NE(down, nullptr);
    QTest::mouseClick(up, Qt::LeftButton);
    EXPECT_EQ(run.model().pageNames(a.card), QStringList({p1.page, p2.page}));
    EXPECT_EQ(tree->itemOf(a)->child(0)->text(0), p1.page);
    EXPECT_EQ(run.window->selection().node(), p1);
    QTest::mouseClick(down, Qt::LeftButton);
    EXPECT_EQ(run.model().pageNames(a.card), QStringList({p2.page, p1.page}));
}

} // namespace
} // namespace ledsign::test
