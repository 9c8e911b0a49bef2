// A card's playbill file handed out and taken in whole. What comes in is
// read by the playbill reader first, into a card of the same size apart from
// the fleet: a file the reader refuses, or from which it would drop lines,
// is refused with the reader's reason and nothing is written. Otherwise it
// replaces the card's file in one step and the card's records are read
// from it again.
#pragma once

#include "model/datafolder.h"
#include "service/outcome.h"

#include <QByteArray>

namespace ledsign {

class PlaybillStore;
class ProjectModel;

class PlaybillExchange {
public:
    PlaybillExchange(ProjectModel& model, PlaybillStore& store, const DataFolder& folders);

    Outcome read(const QString& cardName, QByteArray* bytes) const;
    Outcome replace(const QString& cardName, const QByteArray& bytes);

private:
    Outcome check(const QString& cardName, const QByteArray& bytes) const;

    ProjectModel& m_model;
    PlaybillStore& m_store;
    DataFolder m_folders;
};

} // namespace ledsign
