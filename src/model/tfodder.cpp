#include "model/tfodder.h"

#include "model/datafolder.h"
#include "model/imagefiles.h"
#include "model/materialkinds.h"

#include <QStringList>

namespace ledsign {

TFodder createMaterial(const TFodder& given, const QList<TFileInfo>* fileList, const DataFolder& folders,
                       const MessageSink& report)
{
    TFodder m = given;
    if (fileList) {
        m.fileList = *fileList;
    } else {
        m.fileList.clear();
        m.missingImages.clear();
        const QStringList names = given.imageFiles.split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (const QString& name : names) {
            QString path = name;
            // Image groups and tables keep their files in working folders;
            // only the base name counts, whatever folder it was stored with.
            if (m.kind == kImageGroup)
                path = pathInFolder(folders.pictureFolder(), baseName(name));
            else if (m.kind == kTable)
                path = pathInFolder(folders.tableFolder(), baseName(name));
            if (!addImageFile(m, path, report))
                m.missingImages << path;
        }
    }
    m.downloadFlags = {0, 0};
    m.sendNo = 1;
    m.partCount = 0;
    m.byteCount = 0;
    m.frameCount = 0;
    m.fontSizeList = QString::fromLatin1(kFullFontSizeList);
    return m;
}

} // namespace ledsign
