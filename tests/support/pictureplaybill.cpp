#include "support/pictureplaybill.h"

#include "model/materialkinds.h"

namespace ledsign::test {

QImage blackPicture(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::black);
    return image;
}

void addPicturePlaybill(ProjectModel& model, const QString& cardName, const QList<PictureMaterial>& materials,
                        const QString& folder)
{
    TProgram page;
    page.cardName = cardName;
    page.name = QStringLiteral("page");
    page.id = QStringLiteral("111111111");
    page.startTime = QStringLiteral("08:00");
    page.endTime = QStringLiteral("12:00");
    model.appendPage(page);
    for (int i = 0; i < materials.size(); ++i) {
        const PictureMaterial& m = materials[i];
        TRegion region;
        region.cardName = cardName;
        region.pageName = page.name;
        region.name = QStringLiteral("region%1").arg(i);
        region.id = QStringLiteral("30000000%1").arg(i);
        region.pageId = page.id;
        region.left = m.x;
        region.top = m.y;
        region.width = m.w;
        region.height = m.h;
        model.appendRegion(region);
        TFodder material = defaultMaterial(kImageGroup);
        material.cardName = cardName;
        material.pageName = page.name;
        material.regionName = region.name;
        material.regionId = region.id;
        material.name = QStringLiteral("pictures%1").arg(i);
        material.id = QString::fromLatin1(m.id);
        for (int k = 0; k < m.images.size(); ++k) {
            const QString path = QStringLiteral("%1/%2_m%3_%4.png").arg(folder, cardName).arg(i).arg(k);
            m.images[k].save(path);
            material.fileList.append({k + 1, 0, path});
        }
        model.appendMaterialToRegion(material);
    }
}

} // namespace ledsign::test
