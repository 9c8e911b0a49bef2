// Outside text (a URL, an MQTT topic, a reason) in a log line, with its
// control characters written out, so that no text sent to us can start a
// line of its own in the journal.
#pragma once

#include <QString>

namespace ledsign {

QString logLine(const QString& text);

} // namespace ledsign
