#include "editing/cardsnapshot.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace ledsign {

namespace {

QString regionKey(const QString& page, const QString& region)
{
    return page + QChar(0x1f) + region;
}

// The card's playbill records: its pages outside the text-program window
// and what lies in them, as indexes into the lists.
struct Owned {
    QList<qsizetype> pages;
    QList<qsizetype> regions;
    QList<qsizetype> materials;
};

// Every card's playbill records in one pass over each list.
QHash<QString, Owned> ownedByAll(const ProjectModel& model, const QString* onlyCard)
{
    QHash<QString, Owned> owned;
    QHash<QString, QSet<QString>> pageNames;
    for (qsizetype i = 0; i < model.pages().size(); ++i) {
        const TProgram& p = model.pages().at(i);
        if (p.textProgramPage != 0 || (onlyCard && p.cardName != *onlyCard))
            continue;
        owned[p.cardName].pages << i;
        pageNames[p.cardName].insert(p.name);
    }
    QHash<QString, QSet<QString>> regionKeys;
    for (qsizetype i = 0; i < model.regions().size(); ++i) {
        const TRegion& r = model.regions().at(i);
        const auto names = pageNames.constFind(r.cardName);
        if (names == pageNames.cend() || !names->contains(r.pageName))
            continue;
        owned[r.cardName].regions << i;
        regionKeys[r.cardName].insert(regionKey(r.pageName, r.name));
    }
    for (qsizetype i = 0; i < model.materials().size(); ++i) {
        const TFodder& m = model.materials().at(i);
        const auto keys = regionKeys.constFind(m.cardName);
        if (keys != regionKeys.cend() && keys->contains(regionKey(m.pageName, m.regionName)))
            owned[m.cardName].materials << i;
    }
    return owned;
}

Owned ownedBy(const ProjectModel& model, const QString& card)
{
    return ownedByAll(model, &card).value(card);
}

CardSnapshot snapshotOf(const ProjectModel& model, const TFIXModem& card, const Owned& owned)
{
    CardSnapshot s;
    s.cardName = card.name;
    s.remoteTextFree = card.remoteTextFree;
    s.pageAt = owned.pages;
    s.regionAt = owned.regions;
    s.materialAt = owned.materials;
    for (qsizetype i : owned.pages)
        s.pages << model.pages().at(i);
    for (qsizetype i : owned.regions)
        s.regions << model.regions().at(i);
    for (qsizetype i : owned.materials)
        s.materials << model.materials().at(i);
    return s;
}

void copyLinkState(TFodder& to, const TFodder& from)
{
    to.downloadFlags = from.downloadFlags;
    to.sendNo = from.sendNo;
    to.partCount = from.partCount;
    to.byteCount = from.byteCount;
    to.frameCount = from.frameCount;
}

TFodder withoutLinkState(TFodder m)
{
    copyLinkState(m, TFodder{});
    return m;
}

template <typename T>
void removeAt(QList<T>& list, const QList<qsizetype>& indexes)
{
    for (auto it = indexes.crbegin(); it != indexes.crend(); ++it)
        list.removeAt(*it);
}

template <typename T>
void insertAt(QList<T>& list, const QList<T>& records, const QList<qsizetype>& at)
{
    for (qsizetype i = 0; i < records.size(); ++i) {
        const qsizetype where = qBound<qsizetype>(0, at.value(i, list.size()), list.size());
        list.insert(where, records.at(i));
    }
}

QString idOf(const TProgram& p) { return p.id.isEmpty() ? QStringLiteral("=") + p.name : p.id; }
QString idOf(const TRegion& r) { return r.id.isEmpty() ? QStringLiteral("=") + regionKey(r.pageName, r.name) : r.id; }
QString idOf(const TFodder& m) { return m.id.isEmpty() ? QStringLiteral("=") + m.panelName + m.name : m.id; }

// The identifier of a record's owner, for telling moves among siblings.
QString ownerOf(const TProgram&) { return {}; }
QString ownerOf(const TRegion& r) { return r.pageName; }
QString ownerOf(const TFodder& m) { return regionKey(m.pageName, m.regionName); }

bool sameRecord(const TProgram& a, const TProgram& b) { return a == b; }
bool sameRecord(const TRegion& a, const TRegion& b) { return a == b; }
bool sameRecord(const TFodder& a, const TFodder& b)
{
    // One copy, not two: `a` with the link state of `b`.
    TFodder x = a;
    copyLinkState(x, b);
    return x == b;
}

void fillPath(RecordChange& c, const TProgram& p) { c.card = p.cardName; c.page = p.name; }
void fillPath(RecordChange& c, const TRegion& r)
{
    c.card = r.cardName;
    c.page = r.pageName;
    c.region = r.name;
}
void fillPath(RecordChange& c, const TFodder& m)
{
    c.card = m.cardName;
    c.page = m.pageName;
    c.region = m.regionName;
    c.material = m.name;
}

template <typename T>
void diffList(RecordChange::Kind kind, const QList<T>& before, const QList<T>& after, QList<RecordChange>& out)
{
    QHash<QString, qsizetype> beforeById;
    for (qsizetype i = 0; i < before.size(); ++i)
        beforeById.insert(idOf(before.at(i)), i);
    QHash<QString, qsizetype> afterById;
    for (qsizetype i = 0; i < after.size(); ++i)
        afterById.insert(idOf(after.at(i)), i);

    auto change = [&](RecordChange::What what, const T& record) {
        RecordChange c;
        c.kind = kind;
        c.what = what;
        fillPath(c, record);
        out << c;
    };
    for (const T& r : before) {
        if (!afterById.contains(idOf(r)))
            change(RecordChange::What::Removed, r);
    }
    // The order of the records both hold, per owner: a record whose place
    // in that order differs was moved.
    QHash<QString, QStringList> orderBefore;
    for (const T& r : before) {
        if (afterById.contains(idOf(r)))
            orderBefore[ownerOf(r)] << idOf(r);
    }
    QHash<QString, QStringList> orderAfter;
    for (const T& r : after) {
        if (beforeById.contains(idOf(r)))
            orderAfter[ownerOf(r)] << idOf(r);
    }
    for (const T& r : after) {
        const auto found = beforeById.constFind(idOf(r));
        if (found == beforeById.cend()) {
            change(RecordChange::What::Added, r);
            continue;
        }
        const T& old = before.at(*found);
        if (!sameRecord(old, r)) {
            change(RecordChange::What::Changed, r);
        } else if (orderBefore.value(ownerOf(r)).indexOf(idOf(r)) != orderAfter.value(ownerOf(r)).indexOf(idOf(r))) {
            change(RecordChange::What::Moved, r);
        }
    }
}

} // namespace

CardSnapshot takeCardSnapshot(const ProjectModel& model, const QString& cardName)
{
    const auto card = model.findCard(cardName);
    if (!card) {
        CardSnapshot empty;
        empty.cardName = cardName;
        return empty;
    }
    return snapshotOf(model, *card.record, ownedBy(model, cardName));
}

QHash<QString, CardSnapshot> takeAllSnapshots(const ProjectModel& model)
{
    const QHash<QString, Owned> owned = ownedByAll(model, nullptr);
    QHash<QString, CardSnapshot> all;
    for (const TFIXModem& card : model.cards()) {
        if (!all.contains(card.name))
            all.insert(card.name, snapshotOf(model, card, owned.value(card.name)));
    }
    return all;
}

QSet<QString> cardsChangedSince(const ProjectModel& model, const QHash<QString, CardSnapshot>& known)
{
    QSet<QString> changed;
    struct Cursor {
        const CardSnapshot* known = nullptr;
        qsizetype pages = 0;
        qsizetype regions = 0;
        qsizetype materials = 0;
    };
    QHash<QString, Cursor> cursors;
    cursors.reserve(known.size());
    for (const TFIXModem& card : model.cards()) {
        const auto k = known.constFind(card.name);
        if (k == known.cend())
            continue;
        if (cursors.contains(card.name)) {
            // Two cards of one name share records: no walk tells them apart.
            const QList<QString> all = known.keys();
            return QSet<QString>(all.cbegin(), all.cend());
        }
        cursors.insert(card.name, Cursor{&*k});
        if (k->cardName != card.name || k->remoteTextFree != card.remoteTextFree)
            changed.insert(card.name);
    }
    // Each list in the order a snapshot takes it; a card found changed is
    // not looked at further, so the owner tests below may use its snapshot.
    const auto step = [&](const QString& cardName) -> Cursor* {
        if (changed.contains(cardName))
            return nullptr;
        const auto c = cursors.find(cardName);
        return c == cursors.end() ? nullptr : &*c;
    };
    const auto checkCounts = [&](auto count) {
        for (auto it = cursors.cbegin(); it != cursors.cend(); ++it) {
            if (!changed.contains(it.key()) && count(it.value()))
                changed.insert(it.key());
        }
    };
    for (const TProgram& p : model.pages()) {
        Cursor* c = p.textProgramPage == 0 ? step(p.cardName) : nullptr;
        if (!c)
            continue;
        const qsizetype at = c->pages++;
        if (at >= c->known->pages.size() || !sameRecord(c->known->pages.at(at), p))
            changed.insert(p.cardName);
    }
    checkCounts([](const Cursor& c) { return c.pages != c.known->pages.size(); });
    for (const TRegion& r : model.regions()) {
        Cursor* c = step(r.cardName);
        if (!c)
            continue;
        const auto& pages = c->known->pages;
        if (std::none_of(pages.cbegin(), pages.cend(), [&](const TProgram& p) { return p.name == r.pageName; }))
            continue; // a region of no page of the card's playbill
        const qsizetype at = c->regions++;
        if (at >= c->known->regions.size() || !sameRecord(c->known->regions.at(at), r))
            changed.insert(r.cardName);
    }
    checkCounts([](const Cursor& c) { return c.regions != c.known->regions.size(); });
    for (const TFodder& m : model.materials()) {
        Cursor* c = step(m.cardName);
        if (!c)
            continue;
        const auto& regions = c->known->regions;
        if (std::none_of(regions.cbegin(), regions.cend(), [&](const TRegion& r) {
                return r.pageName == m.pageName && r.name == m.regionName;
            }))
            continue;
        const qsizetype at = c->materials++;
        if (at >= c->known->materials.size() || !sameRecord(c->known->materials.at(at), m))
            changed.insert(m.cardName);
    }
    checkCounts([](const Cursor& c) { return c.materials != c.known->materials.size(); });
    return changed;
}

bool samePlaybill(const CardSnapshot& a, const CardSnapshot& b)
{
    if (a.cardName != b.cardName || a.remoteTextFree != b.remoteTextFree || a.pages != b.pages
        || a.regions != b.regions || a.materials.size() != b.materials.size())
        return false;
    for (qsizetype i = 0; i < a.materials.size(); ++i) {
        if (!sameRecord(a.materials.at(i), b.materials.at(i)))
            return false;
    }
    return true;
}

void restoreCardSnapshot(ProjectModel& model, const QString& liveName, const CardSnapshot& snapshot)
{
    const auto card = model.findCard(liveName);
    if (!card)
        return;
    const Owned owned = ownedBy(model, liveName);
    QHash<QString, TFodder> live;
    for (qsizetype i : owned.materials) {
        const TFodder& m = model.materials().at(i);
        if (!m.id.isEmpty())
            live.insert(m.id, m);
    }
    removeAt(model.materials(), owned.materials);
    removeAt(model.regions(), owned.regions);
    removeAt(model.pages(), owned.pages);

    card.record->remoteTextFree = snapshot.remoteTextFree;
    if (snapshot.cardName != liveName) {
        card.record->name = snapshot.cardName;
        model.cardsChanged();
        // What the text-program window holds of the card follows its name.
        for (TProgram& p : model.pages()) {
            if (p.cardName == liveName)
                p.cardName = snapshot.cardName;
        }
        for (TRegion& r : model.regions()) {
            if (r.cardName == liveName)
                r.cardName = snapshot.cardName;
        }
        for (TFodder& m : model.materials()) {
            if (m.cardName == liveName)
                m.cardName = snapshot.cardName;
        }
    }

    QList<TFodder> materials = snapshot.materials;
    for (TFodder& m : materials) {
        const auto found = live.constFind(m.id);
        if (found != live.cend())
            copyLinkState(m, *found);
    }
    insertAt(model.pages(), snapshot.pages, snapshot.pageAt);
    insertAt(model.regions(), snapshot.regions, snapshot.regionAt);
    insertAt(model.materials(), materials, snapshot.materialAt);
}

QList<RecordChange> diffSnapshots(const CardSnapshot& before, const CardSnapshot& after)
{
    QList<RecordChange> changes;
    diffList(RecordChange::Kind::Page, before.pages, after.pages, changes);
    diffList(RecordChange::Kind::Region, before.regions, after.regions, changes);
    diffList(RecordChange::Kind::Material, before.materials, after.materials, changes);
    return changes;
}

bool changesOutline(const CardSnapshot& before, const CardSnapshot& after, const QList<RecordChange>& changes)
{
    if (before.cardName != after.cardName)
        return true;
    for (const RecordChange& c : changes) {
        if (c.what != RecordChange::What::Changed)
            return true;
    }
    // A rename keeps the identifier and changes the name.
    auto renamed = [](const auto& a, const auto& b) {
        QHash<QString, QString> names;
        for (const auto& r : a)
            names.insert(idOf(r), r.name);
        for (const auto& r : b) {
            const auto it = names.constFind(idOf(r));
            if (it != names.cend() && *it != r.name)
                return true;
        }
        return false;
    };
    return renamed(before.pages, after.pages) || renamed(before.regions, after.regions)
        || renamed(before.materials, after.materials);
}

} // namespace ledsign
