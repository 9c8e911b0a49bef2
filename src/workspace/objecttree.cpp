#include "workspace/objecttree.h"

#include "model/projectoutline.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QSet>

#include <algorithm>

namespace ledsign {

namespace {

constexpr int kLevelRole = Qt::UserRole;
constexpr int kOnlineRole = Qt::UserRole + 1;
constexpr int kStateRole = Qt::UserRole + 2;
constexpr int kStateOffline = 1;
constexpr int kStateOnline = 2;
constexpr int kStateSent = 3;
constexpr int kIconSize = 12;

QIcon stateIcon(const QColor& fill)
{
    QPixmap pixmap(kIconSize, kIconSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(fill.darker(160), 1));
    p.setBrush(fill);
    p.drawEllipse(QRectF(1.5, 1.5, kIconSize - 3, kIconSize - 3));
    return QIcon(pixmap);
}

QTreeWidgetItem* childNamed(QTreeWidgetItem* parent, const QString& text)
{
    for (int i = 0; i < parent->childCount(); ++i) {
        if (parent->child(i)->text(0) == text)
            return parent->child(i);
    }
    return nullptr;
}

} // namespace

ObjectTree::ObjectTree(QWidget* parent)
    : QTreeWidget(parent)
    , offline_(stateIcon(QColor(170, 170, 170)))
    , online_(stateIcon(QColor(40, 180, 60)))
    , sent_(stateIcon(QColor(40, 110, 220)))
{
    setObjectName(QStringLiteral("tvObject"));
    setColumnCount(1);
    header()->hide();
    setEditTriggers(NoEditTriggers);
    setSelectionMode(SingleSelection);
    setContextMenuPolicy(Qt::CustomContextMenu);
    // The selected node is drawn in white on the highlight colour, also
    // while the tree does not have the focus.
    QPalette pal = palette();
    const QColor highlight = pal.color(QPalette::Active, QPalette::Highlight);
    pal.setColor(QPalette::Inactive, QPalette::Highlight, highlight);
    pal.setColor(QPalette::Active, QPalette::HighlightedText, Qt::white);
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText, Qt::white);
    setPalette(pal);

    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current, QTreeWidgetItem*) {
        if (!rebuilding_)
            emit nodeSelected(pathOf(current));
    });
    // Card nodes that go forget their names.
    connect(model(), &QAbstractItemModel::modelAboutToBeReset, this, [this] { cardItems_.clear(); });
    connect(model(), &QAbstractItemModel::rowsAboutToBeRemoved, this, [this](const QModelIndex& parent) {
        if (!parent.isValid())
            cardItems_.clear();
    });
    connect(this, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item, int) { emit nodeDoubleClicked(pathOf(item)); });
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { emit popupRequested(viewport()->mapToGlobal(pos)); });
}

ObjectTree::~ObjectTree()
{
    // The base class clears its model after this object's members are gone.
    disconnect(model(), nullptr, this, nullptr);
}

void ObjectTree::mousePressEvent(QMouseEvent* event)
{
    // A press on the empty area clears the selection, as a press on a node
    // selects it; either way the window hears of it.
    QTreeWidgetItem* item = itemAt(event->position().toPoint());
    if (!item && currentItem()) {
        setCurrentItem(nullptr);
        clearSelection();
    }
    QTreeWidget::mousePressEvent(event);
    if (event->button() == Qt::RightButton && item && item != currentItem())
        setCurrentItem(item);
}

QString ObjectTree::keyOf(const NodePath& path) const
{
    return QString::number(static_cast<int>(path.level)) + QChar(0x1f) + path.card + QChar(0x1f) + path.page
        + QChar(0x1f) + path.region + QChar(0x1f) + path.material;
}

void ObjectTree::rebuild(const ProjectModel& model)
{
    rebuilding_ = true;
    const NodePath selected = selectedPath();
    QSet<QString> expanded;
    for (QTreeWidgetItemIterator it(this); *it; ++it) {
        if ((*it)->isExpanded())
            expanded.insert(keyOf(pathOf(*it)));
    }
    clear();
    cardItems_.clear();

    auto add = [&](QTreeWidgetItem* parent, const NodePath& path, const QString& text) {
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
        item->setText(0, text);
        item->setData(0, kLevelRole, static_cast<int>(path.level));
        return item;
    };
    const ProjectOutline outline(model);
    // A set: the fleet may hold thousands of cards.
    const QStringList shownList = shownCards_ ? shownCards_() : QStringList();
    const QSet<QString> shown(shownList.cbegin(), shownList.cend());
    for (const TFIXModem& card : model.cards()) {
        if (shownCards_ && !shown.contains(card.name))
            continue;
        QTreeWidgetItem* cardItem = add(nullptr, NodePath::ofCard(card.name), card.name);
        if (!cardItems_.contains(card.name))
            cardItems_.insert(card.name, cardItem);
        showCardState(cardItem, &card);
        for (const QString& page : outline.pageNames(card.name)) {
            QTreeWidgetItem* pageItem = add(cardItem, NodePath::ofPage(card.name, page), page);
            for (const QString& region : outline.regionNames(card.name, page)) {
                QTreeWidgetItem* regionItem = add(pageItem, NodePath::ofRegion(card.name, page, region), region);
                for (const QString& material : outline.materialNames(card.name, page, region))
                    add(regionItem, NodePath::ofMaterial(card.name, page, region, material), material);
            }
        }
    }
    for (QTreeWidgetItemIterator it(this); *it; ++it) {
        if (expanded.contains(keyOf(pathOf(*it))))
            (*it)->setExpanded(true);
    }
    selectPath(selected);
    rebuilding_ = false;
}

void ObjectTree::rebuildCard(const ProjectModel& model, const QString& cardName)
{
    QTreeWidgetItem* cardItem = cardItems_.value(cardName);
    if (!cardItem || cardItem->text(0) != cardName) {
        rebuild(model);
        return;
    }
    rebuilding_ = true;
    const NodePath selected = selectedPath();
    QSet<QString> expanded;
    for (int p = 0; p < cardItem->childCount(); ++p) {
        QTreeWidgetItem* pageItem = cardItem->child(p);
        if (pageItem->isExpanded())
            expanded.insert(keyOf(pathOf(pageItem)));
        for (int r = 0; r < pageItem->childCount(); ++r) {
            if (pageItem->child(r)->isExpanded())
                expanded.insert(keyOf(pathOf(pageItem->child(r))));
        }
    }
    const bool cardOpen = cardItem->isExpanded();
    qDeleteAll(cardItem->takeChildren());
    auto add = [&](QTreeWidgetItem* parent, const NodePath& path, const QString& text) {
        auto* item = new QTreeWidgetItem(parent);
        item->setText(0, text);
        item->setData(0, kLevelRole, static_cast<int>(path.level));
        return item;
    };
    const ProjectOutline outline(model);
    for (const QString& page : outline.pageNames(cardName)) {
        QTreeWidgetItem* pageItem = add(cardItem, NodePath::ofPage(cardName, page), page);
        pageItem->setExpanded(expanded.contains(keyOf(NodePath::ofPage(cardName, page))));
        for (const QString& region : outline.regionNames(cardName, page)) {
            const NodePath regionPath = NodePath::ofRegion(cardName, page, region);
            QTreeWidgetItem* regionItem = add(pageItem, regionPath, region);
            for (const QString& material : outline.materialNames(cardName, page, region))
                add(regionItem, NodePath::ofMaterial(cardName, page, region, material), material);
            regionItem->setExpanded(expanded.contains(keyOf(regionPath)));
        }
    }
    cardItem->setExpanded(cardOpen);
    selectPath(selected);
    rebuilding_ = false;
}

void ObjectTree::refreshCardStates(const ProjectModel& model)
{
    for (int i = 0; i < topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = topLevelItem(i);
        const auto card = model.findCard(item->text(0));
        showCardState(item, card ? card.record : nullptr);
    }
}

void ObjectTree::refreshCardState(const ProjectModel& model, const QString& cardName)
{
    QTreeWidgetItem* item = itemOf(NodePath::ofCard(cardName));
    if (!item)
        return;
    const auto card = model.findCard(cardName);
    showCardState(item, card ? card.record : nullptr);
}

void ObjectTree::showCardState(QTreeWidgetItem* item, const TFIXModem* card)
{
    int state = card && card->online ? kStateOnline : kStateOffline;
    if (stateOf_)
        state = std::clamp(stateOf_(item->text(0)), kStateOffline, kStateSent);
    item->setIcon(0, state == kStateSent ? sent_ : state == kStateOnline ? online_ : offline_);
    item->setData(0, kOnlineRole, state > kStateOffline);
    item->setData(0, kStateRole, state);
}

void ObjectTree::setStateSource(std::function<int(const QString&)> source)
{
    stateOf_ = std::move(source);
}

void ObjectTree::setShownCards(std::function<QStringList()> source)
{
    shownCards_ = std::move(source);
}

int ObjectTree::shownState(const QString& cardName) const
{
    const QTreeWidgetItem* item = itemOf(NodePath::ofCard(cardName));
    return item ? item->data(0, kStateRole).toInt() : 0;
}

bool ObjectTree::showsOnline(const QString& cardName) const
{
    const QTreeWidgetItem* item = itemOf(NodePath::ofCard(cardName));
    return item && item->data(0, kOnlineRole).toBool();
}

NodePath ObjectTree::pathOf(const QTreeWidgetItem* item) const
{
    if (!item)
        return {};
    const auto level = static_cast<NodeLevel>(item->data(0, kLevelRole).toInt());
    QStringList names;
    for (const QTreeWidgetItem* i = item; i; i = i->parent())
        names.prepend(i->text(0));
    switch (level) {
    case NodeLevel::Card:
        return NodePath::ofCard(names.value(0));
    case NodeLevel::Page:
        return NodePath::ofPage(names.value(0), names.value(1));
    case NodeLevel::Region:
        return NodePath::ofRegion(names.value(0), names.value(1), names.value(2));
    case NodeLevel::Material:
        return NodePath::ofMaterial(names.value(0), names.value(1), names.value(2), names.value(3));
    default:
        return {};
    }
}

QTreeWidgetItem* ObjectTree::itemOf(const NodePath& path) const
{
    if (path.isNone())
        return nullptr;
    // The card node through the names of the last rebuild, checked against
    // the node itself; a node added or renamed since is found by a walk.
    QTreeWidgetItem* item = cardItems_.value(path.card);
    if (!item || item->parent() || item->text(0) != path.card) {
        item = nullptr;
        for (int i = 0; i < topLevelItemCount(); ++i) {
            if (topLevelItem(i)->text(0) == path.card) {
                item = topLevelItem(i);
                break;
            }
        }
    }
    const QStringList below{path.page, path.region, path.material};
    for (int level = 0; item && level < static_cast<int>(path.level); ++level)
        item = childNamed(item, below.at(level));
    return item;
}

bool ObjectTree::selectPath(const NodePath& path)
{
    QTreeWidgetItem* item = itemOf(path);
    const bool was = rebuilding_;
    rebuilding_ = true;
    if (item) {
        for (QTreeWidgetItem* p = item->parent(); p; p = p->parent())
            p->setExpanded(true);
        setCurrentItem(item);
        scrollToItem(item);
    } else {
        setCurrentItem(nullptr);
        clearSelection();
    }
    rebuilding_ = was;
    return item != nullptr;
}

NodePath ObjectTree::selectedPath() const
{
    return pathOf(currentItem());
}

QStringList ObjectTree::outline() const
{
    QStringList lines;
    for (QTreeWidgetItemIterator it(const_cast<ObjectTree*>(this)); *it; ++it) {
        int depth = 0;
        for (const QTreeWidgetItem* p = (*it)->parent(); p; p = p->parent())
            ++depth;
        lines << QString(depth * 2, u' ') + (*it)->text(0);
    }
    return lines;
}

} // namespace ledsign
