// The four ordered record lists of the program (cards, pages, regions,
// materials) and what works on them as a whole: look-ups by name, renames
// that carry the new owner name into every dependent record, free names,
// identifiers, the name and panel counters, and adding and removing records.
//
// Records name their owners by name, never by pointer. A record or index
// handed out stays valid only until the lists change.
#pragma once

#include "model/cardindex.h"
#include "model/materialkinds.h"
#include "model/tfixmodem.h"
#include "model/tfodder.h"
#include "model/timestampid.h"
#include "model/tprogram.h"
#include "model/tregion.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>

namespace ledsign {

// A record found in its list, with its index; empty when not found.
template <typename T>
struct Found {
    T* record = nullptr;
    qsizetype index = -1;
    explicit operator bool() const { return record != nullptr; }
};

class ProjectModel {
public:
    ProjectModel();
    explicit ProjectModel(TimeStampIds ids);

    QList<TFIXModem>& cards() { return cards_; }
    const QList<TFIXModem>& cards() const { return cards_; }
    QList<TProgram>& pages() { return pages_; }
    const QList<TProgram>& pages() const { return pages_; }
    QList<TRegion>& regions() { return regions_; }
    const QList<TRegion>& regions() const { return regions_; }
    QList<TFodder>& materials() { return materials_; }
    const QList<TFodder>& materials() const { return materials_; }

    // Look-ups compare names exactly.
    Found<TFIXModem> findCard(const QString& name);
    Found<const TFIXModem> findCard(const QString& name) const;
    // Indexes of the cards with that internal code, or registered on that
    // connection, in list order; found through an index, not a walk.
    QList<qsizetype> findCardsByInternalCode(const QString& code) const;
    QList<qsizetype> findCardsOnConnection(const QTcpSocket* connection) const;
    // The card (a record of the card list) was just given its connection.
    void connectionSet(const TFIXModem& card);
    // To be called after a listed card's name or internal code was changed,
    // or cards were moved or removed, other than through this class.
    void cardsChanged() { cardIndex_.invalidate(); }
    Found<TProgram> findPage(const QString& cardName, const QString& pageName);
    Found<const TProgram> findPage(const QString& cardName, const QString& pageName) const;
    Found<TRegion> findRegion(const QString& cardName, const QString& pageName, const QString& regionName);
    Found<const TRegion> findRegion(const QString& cardName, const QString& pageName,
                                    const QString& regionName) const;
    Found<TFodder> findMaterial(const QString& cardName, const QString& pageName, const QString& regionName,
                                const QString& name);
    Found<const TFodder> findMaterial(const QString& cardName, const QString& pageName,
                                      const QString& regionName, const QString& name) const;

    // Names of the children of a card, page or region, in list order (the
    // texts of the tree node's children). Pages of the text-program window
    // are not children of a card.
    QStringList pageNames(const QString& cardName) const;
    QStringList regionNames(const QString& cardName, const QString& pageName) const;
    QStringList materialNames(const QString& cardName, const QString& pageName, const QString& regionName) const;

    // Renames return the name actually given (empty when the record does not
    // exist). A name already taken by a sibling, or an empty one, is
    // replaced by the kind's word and the first free number from the list's
    // size + 1.
    QString renameCard(const QString& oldName, const QString& newName);
    QString renamePage(const QString& cardName, const QString& oldName, const QString& newName);
    QString renameRegion(const QString& cardName, const QString& pageName, const QString& oldName,
                         const QString& newName);
    QString renameMaterial(const QString& cardName, const QString& pageName, const QString& regionName,
                           const QString& oldName, const QString& newName);

    // prefix + the smallest n = 1, 2, ... not among the sibling texts; the
    // search ends at 100, which is returned even when taken.
    static QString nextFreeName(const QStringList& siblings, const QString& prefix);

    // A new 9-digit identifier.
    QString newId() { return ids_.next(); }
    TimeStampIds& ids() { return ids_; }

    // The panel counter that numbers every panel name, and the per-kind
    // counters of material names; both only grow.
    int panelCounter() const { return panelCounter_; }
    int nextPanelNumber() { return ++panelCounter_; }
    int kindCounter(int kind) const;
    int nextKindNumber(int kind);

    // Adds a card at the end of the card list through createCard; its
    // cardNo is the number of cards before it + 1.
    TFIXModem& addCard(const TFIXModem& given);
    void appendPage(const TProgram& page) { pages_.append(page); }
    void appendRegion(const TRegion& region) { regions_.append(region); }
    // Inserts at index (clamped) and returns where it went.
    qsizetype insertMaterial(const TFodder& material, qsizetype index);
    // After the last material of the material's region (at the end when the
    // region has none); returns the index.
    qsizetype appendMaterialToRegion(const TFodder& material);
    // Before the first material of the material's region (queue materials).
    qsizetype insertMaterialFirstInRegion(const TFodder& material);

    // Removes the card's pages, regions and materials, forgets its playbill
    // file and frees it for a remote text material.
    void clearCard(const QString& cardName);
    // Removes the card and everything it owns.
    void removeCard(const QString& cardName);
    void removePage(const QString& cardName, const QString& pageName);
    void removeRegion(const QString& cardName, const QString& pageName, const QString& regionName);
    void removeMaterial(const QString& cardName, const QString& pageName, const QString& regionName,
                        const QString& name);

    // Sets the card's modified flag (nothing when there is no such card).
    void markModified(const QString& cardName);

private:
    QString freeFallbackName(const QString& word, qsizetype start, const QStringList& taken) const;

    QList<TFIXModem> cards_;
    CardIndex cardIndex_;
    QList<TProgram> pages_;
    QList<TRegion> regions_;
    QList<TFodder> materials_;
    TimeStampIds ids_;
    int panelCounter_ = 0;
    std::array<int, kMaterialKindCount> kindCounters_{};
};

} // namespace ledsign
