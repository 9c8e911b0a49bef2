#include "workspace/objecttree.h"

#include "model/projectoutline.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDropEvent>
#include <QHeaderView>
#include <QIODevice>
#include <QMimeData>
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
// What a drag of a node carries: the node's path, with the process and the
// tree it comes from, so that a drop from another window or program is
// never taken for one of this tree's nodes.
const QString kNodeMimeType = QStringLiteral("application/x-ledsign-tree-node");

bool isMovableLevel(NodeLevel level)
{
    return level == NodeLevel::Card || level == NodeLevel::Page || level == NodeLevel::Material;
}

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
    // Every node is one line: the view then finds a node's place without
    // measuring every node above it (thousands of cards).
    setUniformRowHeights(true);
    setContextMenuPolicy(Qt::CustomContextMenu);
    // The records move, not the items: a drop asks the window, which draws
    // the tree again.
    setDragDropMode(DragDrop);
    setDefaultDropAction(Qt::MoveAction);
    setDropIndicatorShown(true);
    invisibleRootItem()->setFlags(Qt::ItemIsEnabled);
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

    // Nodes are made apart from the tree and handed to it at once: one
    // insertion for the view, not one per node.
    QList<QTreeWidgetItem*> cardNodes;
    auto add = [&](QTreeWidgetItem* parent, const NodePath& path, const QString& text) {
        auto* item = new QTreeWidgetItem;
        if (parent)
            parent->addChild(item);
        else
            cardNodes.append(item);
        item->setText(0, text);
        item->setData(0, kLevelRole, static_cast<int>(path.level));
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (isMovableLevel(path.level))
            flags |= Qt::ItemIsDragEnabled;
        item->setFlags(flags);
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
    addTopLevelItems(cardNodes);
    for (QTreeWidgetItemIterator it(this); !expanded.isEmpty() && *it; ++it) {
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
    const ProjectOutline outline(model, cardName);
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

QMimeData* ObjectTree::dragData(const NodePath& path) const
{
    if (!isMovableLevel(path.level))
        return nullptr;
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << qint64(QCoreApplication::applicationPid()) << quint64(reinterpret_cast<quintptr>(this))
        << qint32(static_cast<int>(path.level)) << path.card << path.page << path.region << path.material;
    auto* data = new QMimeData;
    data->setData(kNodeMimeType, bytes);
    return data;
}

std::optional<NodePath> ObjectTree::draggedNode(const QMimeData* data) const
{
    if (!data || !data->hasFormat(kNodeMimeType))
        return std::nullopt;
    QDataStream in(data->data(kNodeMimeType));
    qint64 pid = 0;
    quint64 tree = 0;
    qint32 level = -1;
    NodePath path;
    in >> pid >> tree >> level >> path.card >> path.page >> path.region >> path.material;
    path.level = static_cast<NodeLevel>(level);
    if (in.status() != QDataStream::Ok || pid != QCoreApplication::applicationPid()
        || tree != quint64(reinterpret_cast<quintptr>(this)) || !isMovableLevel(path.level))
        return std::nullopt;
    return path;
}

QStringList ObjectTree::mimeTypes() const
{
    return {kNodeMimeType};
}

QMimeData* ObjectTree::mimeData(const QList<QTreeWidgetItem*>& items) const
{
    return items.isEmpty() ? nullptr : dragData(pathOf(items.first()));
}

Qt::DropActions ObjectTree::supportedDropActions() const
{
    return Qt::MoveAction;
}

void ObjectTree::dragEnterEvent(QDragEnterEvent* event)
{
    const std::optional<NodePath> node = draggedNode(event->mimeData());
    if (!node) {
        event->ignore();
        return;
    }
    // Only the nodes one level up can hold the dragged node: a drop in the
    // middle of any other node counts as above or below it.
    const int parentLevel = static_cast<int>(node->level) - 1;
    for (QTreeWidgetItemIterator it(this); *it; ++it) {
        const bool holds = (*it)->data(0, kLevelRole).toInt() == parentLevel;
        (*it)->setFlags((*it)->flags().setFlag(Qt::ItemIsDropEnabled, holds));
    }
    invisibleRootItem()->setFlags(node->level == NodeLevel::Card ? Qt::ItemIsEnabled | Qt::ItemIsDropEnabled
                                                                  : Qt::ItemIsEnabled);
    setDropIndicatorShown(true);
    QTreeWidget::dragEnterEvent(event);
}

std::optional<ObjectTree::DropPlace> ObjectTree::allowedPlace(const QDropEvent* event, const NodePath& node) const
{
    QTreeWidgetItem* item = itemAt(event->position().toPoint());
    DropPlace place;
    switch (dropIndicatorPosition()) {
    case OnItem:
        if (!item)
            return std::nullopt;
        place.parent = pathOf(item);
        break;
    case AboveItem:
        if (!item)
            return std::nullopt;
        place.parent = pathOf(item->parent());
        place.before = pathOf(item);
        break;
    case BelowItem: {
        if (!item)
            return std::nullopt;
        QTreeWidgetItem* parent = item->parent() ? item->parent() : invisibleRootItem();
        place.parent = pathOf(item->parent());
        place.before = pathOf(parent->child(parent->indexOfChild(item) + 1));
        break;
    }
    case OnViewport:
        break;
    }
    if (!moveRule_ || !moveRule_(node, place.parent, place.before))
        return std::nullopt;
    return place;
}

void ObjectTree::dragMoveEvent(QDragMoveEvent* event)
{
    // The view places the indicator and accepts what the item flags allow;
    // the move rule has the last word, and a refused place shows nothing.
    setDropIndicatorShown(true);
    QTreeWidget::dragMoveEvent(event);
    const std::optional<NodePath> node = draggedNode(event->mimeData());
    if (event->isAccepted() && node && allowedPlace(event, *node))
        return;
    event->ignore();
    setDropIndicatorShown(false);
    viewport()->update();
}

void ObjectTree::dropEvent(QDropEvent* event)
{
    const std::optional<NodePath> node = draggedNode(event->mimeData());
    const std::optional<DropPlace> place = node ? allowedPlace(event, *node) : std::nullopt;
    // The view's own drop only ends the drag here (dropMimeData takes
    // nothing); the tree widget's would move the items itself.
    QTreeView::dropEvent(event);
    event->ignore();
    if (!place)
        return;
    // Once the drag is over: the move draws the tree again.
    const NodePath moved = *node;
    const DropPlace to = *place;
    QMetaObject::invokeMethod(
        this, [this, moved, to] { emit moveRequested(moved, to.parent, to.before); }, Qt::QueuedConnection);
}

bool ObjectTree::dropMimeData(QTreeWidgetItem*, int, const QMimeData*, Qt::DropAction)
{
    return false;
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
