// The service's logging categories: under systemd each message is one line
// of the journal, so that every registration, send and failure can be found
// there.
#pragma once

#include <QLoggingCategory>

namespace ledsign {

Q_DECLARE_LOGGING_CATEGORY(lcService) // "ledsign.service": start, stop, reload, the addresses
Q_DECLARE_LOGGING_CATEGORY(lcCards)   // "ledsign.cards": registrations, cards on-line and off-line
Q_DECLARE_LOGGING_CATEGORY(lcSend)    // "ledsign.send": every send, its end and why it failed

} // namespace ledsign
