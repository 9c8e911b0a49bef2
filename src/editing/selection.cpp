#include "editing/selection.h"

namespace ledsign {

NodePath NodePath::ofCard(const QString& card)
{
    return {NodeLevel::Card, card, {}, {}, {}};
}

NodePath NodePath::ofPage(const QString& card, const QString& page)
{
    return {NodeLevel::Page, card, page, {}, {}};
}

NodePath NodePath::ofRegion(const QString& card, const QString& page, const QString& region)
{
    return {NodeLevel::Region, card, page, region, {}};
}

NodePath NodePath::ofMaterial(const QString& card, const QString& page, const QString& region,
                              const QString& material)
{
    return {NodeLevel::Material, card, page, region, material};
}

NodePath NodePath::parent() const
{
    switch (level) {
    case NodeLevel::Material:
        return ofRegion(card, page, region);
    case NodeLevel::Region:
        return ofPage(card, page);
    case NodeLevel::Page:
        return ofCard(card);
    default:
        return none();
    }
}

NodePath NodePath::at(NodeLevel up) const
{
    NodePath p = *this;
    while (static_cast<int>(p.level) > static_cast<int>(up))
        p = p.parent();
    return p.level == up ? p : none();
}

bool pathExists(const ProjectModel& model, const NodePath& path)
{
    switch (path.level) {
    case NodeLevel::Card:
        return bool(model.findCard(path.card));
    case NodeLevel::Page: {
        const auto page = model.findPage(path.card, path.page);
        return page && page.record->textProgramPage == 0 && bool(model.findCard(path.card));
    }
    case NodeLevel::Region:
        return bool(model.findRegion(path.card, path.page, path.region)) && pathExists(model, path.parent());
    case NodeLevel::Material:
        return bool(model.findMaterial(path.card, path.page, path.region, path.material))
            && pathExists(model, path.parent());
    default:
        return false;
    }
}

QString cardNameOfNodeText(const QString& text)
{
    const qsizetype cut = text.indexOf(QStringLiteral("【"));
    return cut < 0 ? text : text.left(cut);
}

bool isFirstPageOfCard(const ProjectModel& model, const QString& card, const QString& page)
{
    const QStringList pages = model.pageNames(card);
    return !pages.isEmpty() && pages.first() == page;
}

NodePath pathOfMaterialPanel(const ProjectModel& model, const QString& panelName)
{
    if (panelName.isEmpty())
        return {};
    for (const TFodder& m : model.materials()) {
        if (m.panelName == panelName)
            return NodePath::ofMaterial(m.cardName, m.pageName, m.regionName, m.name);
    }
    return {};
}

NodePath lastNodeOfTree(const ProjectModel& model)
{
    if (model.cards().isEmpty())
        return {};
    const QString card = model.cards().last().name;
    const QStringList pages = model.pageNames(card);
    if (pages.isEmpty())
        return NodePath::ofCard(card);
    const QStringList regions = model.regionNames(card, pages.last());
    if (regions.isEmpty())
        return NodePath::ofPage(card, pages.last());
    const QStringList materials = model.materialNames(card, pages.last(), regions.last());
    if (materials.isEmpty())
        return NodePath::ofRegion(card, pages.last(), regions.last());
    return NodePath::ofMaterial(card, pages.last(), regions.last(), materials.last());
}

void SelectionState::select(const ProjectModel& model, const NodePath& node)
{
    node_ = node;
    // Computed from the page's place alone: a material of the first page
    // allows a queue whatever was clicked before it.
    firstPage_ = node.level != NodeLevel::None && node.level != NodeLevel::Card
        && isFirstPageOfCard(model, node.card, node.page);
}

qsizetype SelectionState::cardIndex(const ProjectModel& model) const
{
    if (node_.level == NodeLevel::None)
        return -1;
    return model.findCard(node_.card).index;
}

qsizetype SelectionState::pageIndex(const ProjectModel& model) const
{
    if (static_cast<int>(node_.level) < static_cast<int>(NodeLevel::Page))
        return -1;
    return model.findPage(node_.card, node_.page).index;
}

qsizetype SelectionState::regionIndex(const ProjectModel& model) const
{
    if (static_cast<int>(node_.level) < static_cast<int>(NodeLevel::Region))
        return -1;
    return model.findRegion(node_.card, node_.page, node_.region).index;
}

qsizetype SelectionState::materialIndex(const ProjectModel& model) const
{
    if (node_.level != NodeLevel::Material)
        return -1;
    return model.findMaterial(node_.card, node_.page, node_.region, node_.material).index;
}

} // namespace ledsign
