// What one card's playbill is at a moment: its pages, regions and materials
// in list order, with where each stood in its list, and the card fields an
// edit changes. An undo step keeps two of these and puts the card back to
// one of them; the difference of two names the records that were added,
// removed, changed or moved.
//
// What the card link writes (a material's download flags, send number and
// conversion counts; the card's on-line state, packets and counters) is not
// part of the playbill: a snapshot neither compares nor restores it, so that
// a send is never an edit and an undo never touches a running download.
#pragma once

#include "model/projectmodel.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

namespace ledsign {

struct CardSnapshot {
    QString cardName;
    quint8 remoteTextFree = 1;
    QList<TProgram> pages;
    QList<TRegion> regions;
    QList<TFodder> materials;
    // Where each record stood in its list, ascending.
    QList<qsizetype> pageAt;
    QList<qsizetype> regionAt;
    QList<qsizetype> materialAt;
};

// The card's records as they stand (an empty snapshot named `cardName` when
// there is no such card). Pages of the text-program window are not part of
// a card's playbill and stay out.
CardSnapshot takeCardSnapshot(const ProjectModel& model, const QString& cardName);
// Every card's snapshot, by card name, in one pass over the lists.
QHash<QString, CardSnapshot> takeAllSnapshots(const ProjectModel& model);

// The cards of `known` whose playbill now differs from their snapshot there
// (as samePlaybill would tell), found in one walk over the lists without
// copying a record: what an edit costs then follows the cards it touched,
// not the size of the fleet. Cards missing from `known` are left out. When
// two cards share a name every known card is named.
QSet<QString> cardsChangedSince(const ProjectModel& model, const QHash<QString, CardSnapshot>& known);

// True when both hold the same playbill: the same card name and records in
// the same order, link state and list positions aside.
bool samePlaybill(const CardSnapshot& a, const CardSnapshot& b);

// Replaces the records of the card now named `liveName` with the snapshot's
// and gives the card record the snapshot's name. Each material keeps the
// link state of the live material of its id. Records of other cards keep
// their order; the snapshot's go back to their positions as far as the
// lists allow. Nothing happens when there is no such card.
void restoreCardSnapshot(ProjectModel& model, const QString& liveName, const CardSnapshot& snapshot);

// One record that differs between two snapshots, named by its path in the
// snapshot it is found in (the later one unless it was removed).
struct RecordChange {
    enum class Kind { Page, Region, Material };
    enum class What { Added, Removed, Changed, Moved };
    Kind kind = Kind::Page;
    What what = What::Changed;
    QString card;
    QString page;
    QString region;
    QString material;

    bool operator==(const RecordChange&) const = default;
};

// Records are matched by their identifiers; a record whose place among its
// siblings changed is Moved, one whose fields changed is Changed.
QList<RecordChange> diffSnapshots(const CardSnapshot& before, const CardSnapshot& after);
// True when the change alters the tree: a record added, removed, moved or
// renamed (a node's text), or the card renamed.
bool changesOutline(const CardSnapshot& before, const CardSnapshot& after, const QList<RecordChange>& changes);

} // namespace ledsign
