// Where the subcommands write their lines: results to stdout, errors and
// usage to stderr, both in UTF-8.
#pragma once

#include <QString>

namespace ledsign::cli {

void printLine(const QString& text);
void printError(const QString& text);

} // namespace ledsign::cli
