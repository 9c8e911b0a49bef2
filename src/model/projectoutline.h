// The project's records grouped by owner in one pass, for code that walks
// the whole project (the object tree, the canvas panels) and would otherwise
// look every child up by name again: with thousands of pages those repeated
// look-ups dominate start-up. Answers are those of the model's own look-ups
// at the time the outline was made; it must be made again after the lists
// change.
#pragma once

#include "model/projectmodel.h"

#include <QHash>
#include <QStringList>

namespace ledsign {

class ProjectOutline {
public:
    explicit ProjectOutline(const ProjectModel& model);
    // Only the records of one card: what a view that redraws one card needs,
    // without hashing the rest of the fleet.
    ProjectOutline(const ProjectModel& model, const QString& onlyCard);

    // As ProjectModel::pageNames, regionNames and materialNames.
    QStringList pageNames(const QString& card) const;
    QStringList regionNames(const QString& card, const QString& page) const;
    QStringList materialNames(const QString& card, const QString& page, const QString& region) const;

    // List indexes of the first record of that name, as the model's find
    // functions give them; -1 when there is none.
    qsizetype pageIndex(const QString& card, const QString& page) const;
    qsizetype regionIndex(const QString& card, const QString& page, const QString& region) const;

private:
    void take(const ProjectModel& model, const QString* onlyCard);

    QHash<QString, QStringList> pagesOfCard_;
    QHash<QStringList, QStringList> regionsOfPage_;
    QHash<QStringList, QStringList> materialsOfRegion_;
    QHash<QStringList, qsizetype> pageIndex_;
    QHash<QStringList, qsizetype> regionIndex_;
};

} // namespace ledsign
