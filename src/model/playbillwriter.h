// Writes one card's playbill file: its pages, regions (clipped to the card)
// and materials, and the text contents of the materials. Saving to a path
// also copies the image-group pictures and animation files into the picture
// folder, so that the base names written in the file resolve there, and
// replaces the file atomically.
#pragma once

#include "model/datafolder.h"
#include "model/projectmodel.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class QIODevice;

namespace ledsign {

class PlaybillWriter {
public:
    PlaybillWriter(const ProjectModel& model, const DataFolder& folders);

    // The whole file for the card, GB18030 with CR LF line ends.
    QByteArray toBytes(const QString& cardName) const;

    bool write(const QString& cardName, QIODevice& device);
    // Copies the material files, then replaces the file at `path`. On
    // failure the old file is left as it was.
    bool write(const QString& cardName, const QString& path);

    QString errorString() const { return error_; }
    // Files that could not be copied into the picture folder by the last write.
    QStringList warnings() const { return warnings_; }

private:
    void copyMaterialFiles(const QString& cardName);

    const ProjectModel& model_;
    DataFolder folders_;
    QString error_;
    QStringList warnings_;
};

} // namespace ledsign
