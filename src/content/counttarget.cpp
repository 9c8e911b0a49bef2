#include "content/counttarget.h"

#include "model/lenientdate.h"

namespace ledsign {

CountTarget readCountTarget(TFodder& material, const QDateTime& now, const QLocale& locale)
{
    CountTarget target;
    if (material.content.trimmed().isEmpty()) {
        target.ok = true;
        target.value = now;
        return target;
    }
    const LenientDate read = parseLenientDate(material.content, locale);
    if (!read.ok)
        return target;
    material.content = read.text;
    target.ok = true;
    target.value = read.value;
    return target;
}

} // namespace ledsign
