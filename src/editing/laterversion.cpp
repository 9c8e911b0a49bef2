#include "editing/laterversion.h"

#include "language/language.h"

namespace ledsign {

QString laterVersionText(const QString& caption)
{
    QString name = caption;
    name.remove(u'&');
    name = name.trimmed();
    switch (currentLanguage()) {
    case kSimplifiedChinese:
        return QStringLiteral("【%1】此功能将在以后的版本中提供。").arg(name);
    case kTraditionalChinese:
        return QStringLiteral("【%1】此功能將在以後的版本中提供。").arg(name);
    default:
        return QStringLiteral("%1: this function comes with a later version.").arg(name);
    }
}

} // namespace ledsign
