#include "content/materialfonts.h"

#include "content/textrunmarkup.h"
#include "model/materialkinds.h"
#include "model/tfodder.h"

namespace ledsign {

QStringList fontNamesOfMaterials(const QList<TFodder>& materials)
{
    QStringList names;
    for (const TFodder& material : materials) {
        if (material.kind != kSingleText && material.kind != kMultiText)
            continue;
        for (const TextRun& run : parseTextRuns(material.content)) {
            const QString name = run.fontName.trimmed();
            if (!name.isEmpty() && !names.contains(name))
                names << name;
        }
    }
    return names;
}

} // namespace ledsign
