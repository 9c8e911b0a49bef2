// The moves of the tree commands: Up and Down, and the drops of the tree.
#include "editing/treecommands.h"

#include "language/language.h"
#include "model/materialkinds.h"

namespace ledsign {

namespace {


bool pageHoldsQueue(const ProjectModel& model, const QString& card, const QString& page)
{
    for (const TFodder& m : model.materials()) {
        if (m.kind == kQueue && m.cardName == card && m.pageName == page)
            return true;
    }
    return false;
}

QString siblingName(const NodePath& node)
{
    switch (node.level) {
    case NodeLevel::Card:
        return node.card;
    case NodeLevel::Page:
        return node.page;
    case NodeLevel::Material:
        return node.material;
    default:
        return {};
    }
}

} // namespace

QStringList TreeCommands::movableSiblings(const NodePath& node) const
{
    switch (node.level) {
    case NodeLevel::Card: {
        QStringList names;
        names.reserve(model_.cards().size());
        for (const TFIXModem& c : model_.cards())
            names << c.name;
        return names;
    }
    case NodeLevel::Page:
        return model_.pageNames(node.card);
    case NodeLevel::Material:
        return model_.materialNames(node.card, node.page, node.region);
    default:
        return {};
    }
}

QString TreeCommands::orderRefusal(const NodePath& node, const QStringList& before, const QStringList& after) const
{
    if (node.level != NodeLevel::Page || before.isEmpty() || after.first() == before.first())
        return {};
    if (pageHoldsQueue(model_, node.card, before.first()))
        return messageText(QStringLiteral("warn_page_move_queue_first"));
    return {};
}

bool TreeCommands::swapSiblings(const NodePath& node, const QString& a, const QString& b)
{
    switch (node.level) {
    case NodeLevel::Card: {
        const auto x = model_.findCard(a);
        const auto y = model_.findCard(b);
        if (!x || !y)
            return false;
        model_.cards().swapItemsAt(x.index, y.index);
        model_.cardsChanged();
        return true;
    }
    case NodeLevel::Page: {
        const auto x = model_.findPage(node.card, a);
        const auto y = model_.findPage(node.card, b);
        if (!x || !y)
            return false;
        // Regions and materials name their page: they go with it, and the
        // send order, which walks the page list, follows.
        model_.pages().swapItemsAt(x.index, y.index);
        return true;
    }
    case NodeLevel::Material: {
        const auto x = model_.findMaterial(node.card, node.page, node.region, a);
        const auto y = model_.findMaterial(node.card, node.page, node.region, b);
        if (!x || !y)
            return false;
        model_.materials().swapItemsAt(x.index, y.index);
        return true;
    }
    default:
        return false;
    }
}

CommandResult TreeCommands::reorder(const NodePath& node, qsizetype from, qsizetype to)
{
    CommandResult result;
    const QStringList siblings = movableSiblings(node);
    if (from < 0 || to < 0 || from >= siblings.size() || to >= siblings.size() || from == to)
        return result;
    QStringList after = siblings;
    after.move(from, to);
    result.status = orderRefusal(node, siblings, after);
    if (!result.status.isEmpty())
        return result;
    // One neighbour at a time, as repeated Up or Down would: records of
    // other owners between two siblings stay where they are.
    const qsizetype step = to > from ? 1 : -1;
    for (qsizetype at = from; at != to; at += step) {
        if (!swapSiblings(node, siblings.at(from), after.at(at)))
            break;
        result.changed = true;
    }
    if (!result.changed)
        return result;
    if (node.level == NodeLevel::Card)
        result.expandAll = true;
    else
        model_.markModified(node.card);
    result.select = node;
    return result;
}

CommandResult TreeCommands::moveUp(const NodePath& node)
{
    return move(node, -1);
}

CommandResult TreeCommands::moveDown(const NodePath& node)
{
    return move(node, 1);
}

CommandResult TreeCommands::move(const NodePath& node, int step)
{
    if (!pathExists(model_, node))
        return {};
    const qsizetype at = movableSiblings(node).indexOf(siblingName(node));
    return reorder(node, at, at + step);
}

bool TreeCommands::planMove(const NodePath& node, const NodePath& parent, const NodePath& before, qsizetype* from,
                            qsizetype* to) const
{
    if (node.parent() != parent || !pathExists(model_, node) || (!parent.isNone() && !pathExists(model_, parent)))
        return false;
    if (!before.isNone() && (before.level != node.level || before.parent() != parent))
        return false;
    const QStringList siblings = movableSiblings(node);
    *from = siblings.indexOf(siblingName(node));
    *to = before.isNone() ? siblings.size() - 1 : siblings.indexOf(siblingName(before));
    if (*from < 0 || *to < 0)
        return false;
    // Before a later sibling is after the one before it, once the node is
    // out of the row.
    if (!before.isNone() && *to > *from)
        --*to;
    return true;
}

bool TreeCommands::canMoveTo(const NodePath& node, const NodePath& parent, const NodePath& before) const
{
    qsizetype from = -1;
    qsizetype to = -1;
    if (!planMove(node, parent, before, &from, &to))
        return false;
    QStringList after = movableSiblings(node);
    const QStringList siblings = after;
    after.move(from, to);
    return orderRefusal(node, siblings, after).isEmpty();
}

CommandResult TreeCommands::moveTo(const NodePath& node, const NodePath& parent, const NodePath& before)
{
    qsizetype from = -1;
    qsizetype to = -1;
    if (!planMove(node, parent, before, &from, &to))
        return {};
    return reorder(node, from, to);
}

} // namespace ledsign
