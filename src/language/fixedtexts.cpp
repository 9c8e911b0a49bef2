#include "language/fixedtexts.h"

namespace ledsign::fixedtext {

QString sendToAll() { return QStringLiteral("群发"); }
QString deleteObject() { return QStringLiteral("删除对象"); }
QString enlargeHint() { return QStringLiteral("放大"); }
QString narrowHint() { return QStringLiteral("缩小"); }
QString narrowName() { return QStringLiteral("缩小显示"); }

QString textFileFilter(const QString& extension)
{
    return QStringLiteral("文本文件(*.%1)").arg(extension);
}

} // namespace ledsign::fixedtext
