// The region record: one rectangle of a page, in LED pixels, that plays its
// materials one after another.
#pragma once

#include <QString>
#include <QtGlobal>

namespace ledsign {

struct TRegion {
    QString cardName;
    QString pageName;
    QString name;
    QString id;
    QString panelName;
    QString pageId;
    qint32 left = 0;
    qint32 top = 0;
    qint32 width = 0;
    qint32 height = 0;

    bool operator==(const TRegion&) const = default;
};

// Creates a region from the given values (nothing beyond the assignment).
TRegion createRegion(const TRegion& given);

} // namespace ledsign
