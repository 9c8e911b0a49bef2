// Why a material or a download could not be prepared: the language key of
// the message to show and, for a key the language tables do not hold yet, a
// plain text to show instead.
#pragma once

#include <QString>

namespace ledsign {

struct EncodeFailure {
    QString messageKey;
    QString detail;

    // The text of the key in the current language; the detail when the
    // tables have no such key (the detail follows on a new line when both
    // exist and differ).
    QString message() const;
};

} // namespace ledsign
