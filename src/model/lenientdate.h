// Reading a date or date-time text the way users type it: the locale's own
// forms and the usual "2024-05-01 00:00:00", "2024/5/1", "2024.05.01". When
// the text does not read, "-" and "." are made "/" and it is tried again,
// then "-" and "/" are made "." for a third try; the text that finally read
// is handed back, because the caller stores that form.
#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace ledsign {

struct LenientDate {
    bool ok = false;
    QDateTime value;
    QString text;   // the text as it read (after any replacement)
};

LenientDate parseLenientDate(const QString& text, const QLocale& locale = QLocale());

} // namespace ledsign
