// Command-line options shared by the subcommands of ledsign-cli: the playbill,
// the card it is meant for (a card of the data folder's card list, or a size
// and colour depth given on the command line) and the output folder.
#pragma once

#include <QString>
#include <QStringList>

namespace ledsign::cli {

// Exit codes scripts can rely on.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

struct CardOptions {
    QString playbill;
    QString cardName;     // --card: a card of the card list
    QString home;         // --home: the data folder
    int width = 0;
    int height = 0;
    int colors = 0;       // 1, 2 or 3
    QString outDir;
    QString params;       // --params: the screen parameters (export only)
    bool help = false;
};

// Parses the arguments that follow the subcommand. False with `error` set
// when they cannot be used; `needOut` asks for --out.
bool parseCardOptions(const QStringList& args, bool needOut, CardOptions& options, QString& error);

// Help text of the card options, for the subcommands' --help.
QString cardOptionsHelp();

} // namespace ledsign::cli
