// The target time of a count-up (its start) or count-down (its end): the
// material's content read as a date and time, with the same retries as every
// date the user types; an empty content means now.
#pragma once

#include "model/tfodder.h"

#include <QDateTime>
#include <QLocale>

namespace ledsign {

struct CountTarget {
    bool ok = false;
    QDateTime value;
};

// Reads the target. When the text reads only after its separators were
// replaced, the material's content keeps the form that read; when it does
// not read at all, the content is left as it was and ok is false.
CountTarget readCountTarget(TFodder& material, const QDateTime& now, const QLocale& locale = QLocale());

} // namespace ledsign
