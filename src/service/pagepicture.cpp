#include "service/pagepicture.h"

#include "content/bitplanereader.h"
#include "content/bitplanes.h"
#include "content/sendconversion.h"
#include "model/projectmodel.h"

#include <QPainter>

namespace ledsign {

Outcome pagePicture(const ProjectModel& model, const QString& cardName, int page, QImage* picture)
{
    const auto card = model.findCard(cardName);
    if (!card)
        return Outcome::refuse(Refusal::NotFound, QStringLiteral("no card named %1").arg(cardName));
    const QStringList pages = model.pageNames(cardName);
    if (page < 1 || page > pages.size())
        return Outcome::refuse(Refusal::NotFound,
                               QStringLiteral("card %1 has %2 page(s); there is no page %3").arg(cardName).arg(pages.size()).arg(page));
    const QString pageName = pages[page - 1];
    const int planes = planeCountOfColorType(card.record->colorType);

    QImage shown(std::max(card.record->width, 1), std::max(card.record->height, 1), QImage::Format_RGB32);
    shown.fill(Qt::black);
    QPainter painter(&shown);
    for (const TRegion& region : model.regions()) {
        if (region.cardName != cardName || region.pageName != pageName)
            continue;
        const auto first = std::find_if(model.materials().cbegin(), model.materials().cend(), [&](const TFodder& m) {
            return m.cardName == cardName && m.pageName == pageName && m.regionName == region.name;
        });
        if (first == model.materials().cend())
            continue;
        TFodder material = *first; // the conversion writes its counts into the material
        QByteArray data;
        if (!sendConversion(material, region.width, region.height, cardName, card.record->colorType, data) || data.isEmpty())
            continue;
        painter.drawImage(region.left, region.top,
                          pictureFromBitPlanes(data, 0, region.width, region.height, planes));
    }
    painter.end();
    *picture = shown;
    return Outcome::done();
}

} // namespace ledsign
