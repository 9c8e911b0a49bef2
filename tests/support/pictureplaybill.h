// A test playbill of image-group materials: one page, a region per
// material, the pictures written as PNG files. Downloads of it have frames
// of known sizes, so link tests can count and check what a card receives.
#pragma once

#include "model/projectmodel.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

namespace ledsign::test {

// One image-group material: its id, its region, and its pictures.
struct PictureMaterial {
    QByteArray id;
    int x, y, w, h;
    QList<QImage> images;
};

QImage blackPicture(int w, int h);

// The card's page "page" (08:00-12:00), its regions "region<i>" and
// materials "pictures<i>" in the model; the pictures are saved into `folder`
// under names that hold the card's name, so cards may share a folder.
void addPicturePlaybill(ProjectModel& model, const QString& cardName, const QList<PictureMaterial>& materials,
                        const QString& folder);

} // namespace ledsign::test
