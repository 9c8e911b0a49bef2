// What the service tells systemd (Type=notify): ready once it serves, a
// reload under way and done, stopping, and a status line. Outside systemd
// these do nothing.
#pragma once

#include <QString>

namespace ledsign::service::systemd {

void ready(const QString& status);
void reloading();
void stopping();
void status(const QString& text);
// The journal reads a "<N>" priority at the start of each line when the
// output goes to it.
bool underJournal();

} // namespace ledsign::service::systemd
