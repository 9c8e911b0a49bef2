#include "editing/cardbinding.h"

#include "model/projectmodel.h"

#include <algorithm>

namespace ledsign {

namespace {

QRect regionRect(const TRegion& r)
{
    return QRect(r.left, r.top, r.width, r.height);
}

// One axis of clippedToCard: start and length inside [0, size).
void clipAxis(int& start, int& length, int size)
{
    const int wanted = std::min(length, size);
    if (start >= size || start + length <= 0) {
        start = start >= size ? size - wanted : 0;
        length = wanted;
        return;
    }
    const int end = std::min(start + length, size);
    start = std::max(start, 0);
    length = end - start;
}

} // namespace

BindOffer makeBindOffer(const ProjectModel& model, const QString& card, const QString& code, QSize reported)
{
    BindOffer offer;
    offer.card = card;
    offer.code = code;
    offer.reported = reported;
    const auto found = model.findCard(card);
    if (!found)
        return offer;
    offer.listed = QSize(found.record->width, found.record->height);
    offer.hasPlaybill = !model.pageNames(card).isEmpty();
    const QRect inside(QPoint(0, 0), reported);
    for (const TRegion& r : model.regions()) {
        if (r.cardName == card && !inside.contains(regionRect(r)))
            offer.outside << r.pageName + QStringLiteral(" / ") + r.name;
    }
    return offer;
}

QRect clippedToCard(const QRect& region, QSize card)
{
    int x = region.x(), w = region.width(), y = region.y(), h = region.height();
    clipAxis(x, w, card.width());
    clipAxis(y, h, card.height());
    return QRect(x, y, w, h);
}

} // namespace ledsign
