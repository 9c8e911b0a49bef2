// The subcommands of ledsign-cli. Each takes the arguments after its name and
// returns the program's exit code; results go to stdout, errors to stderr.
#pragma once

#include <QStringList>

namespace ledsign::cli {

int runRender(const QStringList& args);
int runExport(const QStringList& args);
int runSend(const QStringList& args);
int runCards(const QStringList& args);
// "play" or "time".
int runCardCommand(const QString& command, const QStringList& args);
int runSearch(const QStringList& args);
int runDemo(const QStringList& args);
int runDecode(const QStringList& args);

} // namespace ledsign::cli
