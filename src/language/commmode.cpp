#include "language/commmode.h"

#include "language/languagetable.h"

namespace ledsign {

QString normalizedCommMode(const QString& commMode, const QString& commParam01,
                           const LanguageTable& table)
{
    if (commParam01.isEmpty())
        return table.text(3, QStringLiteral("comm_param_network"));
    if (commMode == kCommMode485)
        return commMode;
    return table.text(3, QStringLiteral("comm_param_serial_port"));
}

} // namespace ledsign
