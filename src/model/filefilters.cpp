#include "model/filefilters.h"

namespace ledsign {

QString dialogFilter(const QString& fileFilter)
{
    return fileFilter.section(QLatin1Char('|'), 0, 0);
}

} // namespace ledsign
