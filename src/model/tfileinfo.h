// One image file of a material: its place in the material's list and its
// full path.
#pragma once

#include <QString>
#include <QtGlobal>

namespace ledsign {

struct TFileInfo {
    qint32 number = 0;   // 1-based position at the time the file was added
    qint32 reserved = 0;
    QString path;        // full path of the image file

    bool operator==(const TFileInfo&) const = default;
};

} // namespace ledsign
