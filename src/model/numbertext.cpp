#include "model/numbertext.h"

namespace ledsign {

int numberOr(const QString& text, int fallback)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    return ok ? value : fallback;
}

} // namespace ledsign
