// send, cards, play and time through a running ledsignd: the service holds
// the card server of its data folder, so a command that would listen on the
// same port asks the service over its HTTP API instead of failing to bind.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace ledsign::cli {

// When a ledsignd holds the command's data folder (--home DIR, else the
// user's) and the command does not name another channel (--no-service,
// a different --port, --serial, --trace), runs it through the service and
// gives its exit status. Otherwise nothing, with `args` left for the
// command itself (--no-service taken out, and --home for the commands that
// only use it to find the service).
std::optional<int> runThroughService(const QString& command, QStringList& args);

// The help line of --no-service.
QString serviceOptionHelp();

} // namespace ledsign::cli
