#include "language/fixedtexts.h"

#include "language/language.h"

namespace ledsign::fixedtext {

QString sendToAll() { return QStringLiteral("群发"); }
QString deleteObject() { return messageText(QStringLiteral("delete_object")); }
QString enlargeHint() { return messageText(QStringLiteral("hint_enlarge")); }
QString narrowHint() { return messageText(QStringLiteral("hint_narrow")); }
QString narrowName() { return QStringLiteral("缩小显示"); }
QString newCardName() { return messageText(QStringLiteral("new_card_name")); }

QString textFileFilter(const QString& extension)
{
    return QStringLiteral("%1(*.%2)").arg(messageText(QStringLiteral("filter_text_file")), extension);
}

} // namespace ledsign::fixedtext
