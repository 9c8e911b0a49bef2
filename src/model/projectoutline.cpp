#include "model/projectoutline.h"

namespace ledsign {

ProjectOutline::ProjectOutline(const ProjectModel& model)
{
    take(model, nullptr);
}

ProjectOutline::ProjectOutline(const ProjectModel& model, const QString& onlyCard)
{
    take(model, &onlyCard);
}

void ProjectOutline::take(const ProjectModel& model, const QString* onlyCard)
{
    const auto skip = [onlyCard](const QString& card) { return onlyCard && card != *onlyCard; };
    const QList<TProgram>& pages = model.pages();
    for (qsizetype i = 0; i < pages.size(); ++i) {
        const TProgram& p = pages.at(i);
        if (skip(p.cardName))
            continue;
        const QStringList key{p.cardName, p.name};
        if (!pageIndex_.contains(key))
            pageIndex_.insert(key, i);
        if (p.textProgramPage == 0)
            pagesOfCard_[p.cardName].append(p.name);
    }
    const QList<TRegion>& regions = model.regions();
    for (qsizetype i = 0; i < regions.size(); ++i) {
        const TRegion& r = regions.at(i);
        if (skip(r.cardName))
            continue;
        const QStringList key{r.cardName, r.pageName, r.name};
        if (!regionIndex_.contains(key))
            regionIndex_.insert(key, i);
        regionsOfPage_[QStringList{r.cardName, r.pageName}].append(r.name);
    }
    for (const TFodder& m : model.materials()) {
        if (skip(m.cardName))
            continue;
        materialsOfRegion_[QStringList{m.cardName, m.pageName, m.regionName}].append(m.name);
    }
}

QStringList ProjectOutline::pageNames(const QString& card) const
{
    return pagesOfCard_.value(card);
}

QStringList ProjectOutline::regionNames(const QString& card, const QString& page) const
{
    return regionsOfPage_.value(QStringList{card, page});
}

QStringList ProjectOutline::materialNames(const QString& card, const QString& page, const QString& region) const
{
    return materialsOfRegion_.value(QStringList{card, page, region});
}

qsizetype ProjectOutline::pageIndex(const QString& card, const QString& page) const
{
    return pageIndex_.value(QStringList{card, page}, -1);
}

qsizetype ProjectOutline::regionIndex(const QString& card, const QString& page, const QString& region) const
{
    return regionIndex_.value(QStringList{card, page, region}, -1);
}

} // namespace ledsign
