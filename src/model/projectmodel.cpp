#include "model/projectmodel.h"

#include "language/language.h"

#include <algorithm>

namespace ledsign {

namespace {

constexpr int kLastFreeNameCandidate = 100;

template <typename List, typename Pred>
auto findIn(List& list, Pred pred) -> Found<std::remove_reference_t<decltype(list[0])>>
{
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (pred(list[i]))
            return {&list[i], i};
    }
    return {};
}

bool ofPage(const TRegion& r, const QString& card, const QString& page)
{
    return r.cardName == card && r.pageName == page;
}

bool ofRegion(const TFodder& m, const QString& card, const QString& page, const QString& region)
{
    return m.cardName == card && m.pageName == page && m.regionName == region;
}

} // namespace

ProjectModel::ProjectModel() = default;

ProjectModel::ProjectModel(TimeStampIds ids)
    : ids_(std::move(ids))
{
}

Found<TFIXModem> ProjectModel::findCard(const QString& name)
{
    const qsizetype i = cardIndex_.byName(cards_, name);
    return i < 0 ? Found<TFIXModem> {} : Found<TFIXModem> {&cards_[i], i};
}

Found<const TFIXModem> ProjectModel::findCard(const QString& name) const
{
    const qsizetype i = cardIndex_.byName(cards_, name);
    return i < 0 ? Found<const TFIXModem> {} : Found<const TFIXModem> {&cards_[i], i};
}

QList<qsizetype> ProjectModel::findCardsByInternalCode(const QString& code) const
{
    return cardIndex_.byInternalCode(cards_, code);
}

QList<qsizetype> ProjectModel::findCardsOnConnection(const QTcpSocket* connection) const
{
    return cardIndex_.byConnection(cards_, connection);
}

void ProjectModel::connectionSet(const TFIXModem& card)
{
    const qsizetype i = &card - cards_.constData();
    if (i >= 0 && i < cards_.size())
        cardIndex_.connectionSet(cards_, i);
}

Found<TProgram> ProjectModel::findPage(const QString& cardName, const QString& pageName)
{
    return findIn(pages_, [&](const TProgram& p) { return p.cardName == cardName && p.name == pageName; });
}

Found<const TProgram> ProjectModel::findPage(const QString& cardName, const QString& pageName) const
{
    return findIn(pages_, [&](const TProgram& p) { return p.cardName == cardName && p.name == pageName; });
}

Found<TRegion> ProjectModel::findRegion(const QString& cardName, const QString& pageName,
                                        const QString& regionName)
{
    return findIn(regions_,
                  [&](const TRegion& r) { return ofPage(r, cardName, pageName) && r.name == regionName; });
}

Found<const TRegion> ProjectModel::findRegion(const QString& cardName, const QString& pageName,
                                              const QString& regionName) const
{
    return findIn(regions_,
                  [&](const TRegion& r) { return ofPage(r, cardName, pageName) && r.name == regionName; });
}

Found<TFodder> ProjectModel::findMaterial(const QString& cardName, const QString& pageName,
                                          const QString& regionName, const QString& name)
{
    return findIn(materials_, [&](const TFodder& m) {
        return ofRegion(m, cardName, pageName, regionName) && m.name == name;
    });
}

Found<const TFodder> ProjectModel::findMaterial(const QString& cardName, const QString& pageName,
                                                const QString& regionName, const QString& name) const
{
    return findIn(materials_, [&](const TFodder& m) {
        return ofRegion(m, cardName, pageName, regionName) && m.name == name;
    });
}

QStringList ProjectModel::pageNames(const QString& cardName) const
{
    QStringList names;
    for (const TProgram& p : pages_) {
        if (p.cardName == cardName && p.textProgramPage == 0)
            names << p.name;
    }
    return names;
}

QStringList ProjectModel::regionNames(const QString& cardName, const QString& pageName) const
{
    QStringList names;
    for (const TRegion& r : regions_) {
        if (ofPage(r, cardName, pageName))
            names << r.name;
    }
    return names;
}

QStringList ProjectModel::materialNames(const QString& cardName, const QString& pageName,
                                        const QString& regionName) const
{
    QStringList names;
    for (const TFodder& m : materials_) {
        if (ofRegion(m, cardName, pageName, regionName))
            names << m.name;
    }
    return names;
}

QString ProjectModel::freeFallbackName(const QString& base, qsizetype start, const QStringList& taken) const
{
    for (qsizetype n = start;; ++n) {
        const QString candidate = base + QString::number(n);
        if (!taken.contains(candidate))
            return candidate;
    }
}

QString ProjectModel::renameCard(const QString& oldName, const QString& newName)
{
    const Found<TFIXModem> card = findCard(oldName);
    if (!card)
        return {};
    QStringList others;
    for (qsizetype i = 0; i < cards_.size(); ++i) {
        if (i != card.index)
            others << cards_[i].name;
    }
    QString given = newName;
    if (given.isEmpty() || others.contains(given))
        given = freeFallbackName(messageText("object_card"), cards_.size() + 1, others);
    card.record->name = given;
    cardIndex_.invalidate();
    for (TProgram& p : pages_) {
        if (p.cardName == oldName)
            p.cardName = given;
    }
    for (TRegion& r : regions_) {
        if (r.cardName == oldName)
            r.cardName = given;
    }
    for (TFodder& m : materials_) {
        if (m.cardName == oldName)
            m.cardName = given;
    }
    return given;
}

QString ProjectModel::renamePage(const QString& cardName, const QString& oldName, const QString& newName)
{
    const Found<TProgram> page = findPage(cardName, oldName);
    if (!page)
        return {};
    QStringList others;
    for (qsizetype i = 0; i < pages_.size(); ++i) {
        if (i != page.index && pages_[i].cardName == cardName)
            others << pages_[i].name;
    }
    QString given = newName;
    if (given.isEmpty() || others.contains(given))
        given = freeFallbackName(messageText("object_page"), pages_.size() + 1, others);
    page.record->name = given;
    for (TRegion& r : regions_) {
        if (ofPage(r, cardName, oldName))
            r.pageName = given;
    }
    for (TFodder& m : materials_) {
        if (m.cardName == cardName && m.pageName == oldName)
            m.pageName = given;
    }
    return given;
}

QString ProjectModel::renameRegion(const QString& cardName, const QString& pageName, const QString& oldName,
                                   const QString& newName)
{
    const Found<TRegion> region = findRegion(cardName, pageName, oldName);
    if (!region)
        return {};
    QStringList others;
    for (qsizetype i = 0; i < regions_.size(); ++i) {
        if (i != region.index && ofPage(regions_[i], cardName, pageName))
            others << regions_[i].name;
    }
    QString given = newName;
    if (given.isEmpty() || others.contains(given))
        given = freeFallbackName(messageText("object_area"), regions_.size() + 1, others);
    region.record->name = given;
    for (TFodder& m : materials_) {
        if (ofRegion(m, cardName, pageName, oldName))
            m.regionName = given;
    }
    return given;
}

QString ProjectModel::renameMaterial(const QString& cardName, const QString& pageName, const QString& regionName,
                                     const QString& oldName, const QString& newName)
{
    const Found<TFodder> material = findMaterial(cardName, pageName, regionName, oldName);
    if (!material)
        return {};
    QStringList others;
    for (qsizetype i = 0; i < materials_.size(); ++i) {
        if (i != material.index && ofRegion(materials_[i], cardName, pageName, regionName))
            others << materials_[i].name;
    }
    QString given = newName;
    if (given.isEmpty() || others.contains(given))
        given = freeFallbackName(messageText("object_file"), materials_.size() + 1, others);
    material.record->name = given;
    return given;
}

QString ProjectModel::nextFreeName(const QStringList& siblings, const QString& prefix)
{
    for (int n = 1; n < kLastFreeNameCandidate; ++n) {
        const QString candidate = prefix + QString::number(n);
        if (!siblings.contains(candidate))
            return candidate;
    }
    return prefix + QString::number(kLastFreeNameCandidate);
}

int ProjectModel::kindCounter(int kind) const
{
    return isValidMaterialKind(kind) ? kindCounters_[kind] : 0;
}

int ProjectModel::nextKindNumber(int kind)
{
    if (!isValidMaterialKind(kind))
        return 0;
    return ++kindCounters_[kind];
}

TFIXModem& ProjectModel::addCard(const TFIXModem& given)
{
    TFIXModem card = createCard(given);
    card.cardNo = static_cast<qint32>(cards_.size() + 1);
    cards_.append(card);
    return cards_.last();
}

qsizetype ProjectModel::insertMaterial(const TFodder& material, qsizetype index)
{
    const qsizetype at = qBound<qsizetype>(0, index, materials_.size());
    materials_.insert(at, material);
    return at;
}

qsizetype ProjectModel::appendMaterialToRegion(const TFodder& material)
{
    qsizetype last = -1;
    for (qsizetype i = 0; i < materials_.size(); ++i) {
        if (ofRegion(materials_[i], material.cardName, material.pageName, material.regionName))
            last = i;
    }
    return insertMaterial(material, last < 0 ? materials_.size() : last + 1);
}

qsizetype ProjectModel::insertMaterialFirstInRegion(const TFodder& material)
{
    for (qsizetype i = 0; i < materials_.size(); ++i) {
        if (ofRegion(materials_[i], material.cardName, material.pageName, material.regionName))
            return insertMaterial(material, i);
    }
    return insertMaterial(material, materials_.size());
}

void ProjectModel::clearCard(const QString& cardName)
{
    pages_.removeIf([&](const TProgram& p) { return p.cardName == cardName; });
    regions_.removeIf([&](const TRegion& r) { return r.cardName == cardName; });
    materials_.removeIf([&](const TFodder& m) { return m.cardName == cardName; });
    if (const Found<TFIXModem> card = findCard(cardName)) {
        card.record->programFile.clear();
        card.record->remoteTextFree = 1;
    }
}

void ProjectModel::removeCard(const QString& cardName)
{
    clearCard(cardName);
    cards_.removeIf([&](const TFIXModem& c) { return c.name == cardName; });
    cardIndex_.invalidate();
}

void ProjectModel::removePage(const QString& cardName, const QString& pageName)
{
    materials_.removeIf([&](const TFodder& m) { return m.cardName == cardName && m.pageName == pageName; });
    regions_.removeIf([&](const TRegion& r) { return ofPage(r, cardName, pageName); });
    pages_.removeIf([&](const TProgram& p) { return p.cardName == cardName && p.name == pageName; });
}

void ProjectModel::removeRegion(const QString& cardName, const QString& pageName, const QString& regionName)
{
    materials_.removeIf([&](const TFodder& m) { return ofRegion(m, cardName, pageName, regionName); });
    regions_.removeIf([&](const TRegion& r) { return ofPage(r, cardName, pageName) && r.name == regionName; });
}

void ProjectModel::removeMaterial(const QString& cardName, const QString& pageName, const QString& regionName,
                                  const QString& name)
{
    if (const Found<TFodder> m = findMaterial(cardName, pageName, regionName, name))
        materials_.removeAt(m.index);
}

void ProjectModel::markModified(const QString& cardName)
{
    if (const Found<TFIXModem> card = findCard(cardName))
        card.record->modified = 1;
}

} // namespace ledsign
