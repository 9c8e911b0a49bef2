// The options every command that talks to cards over the network shares:
// the port and address the server listens on, the card wanted and how long
// to wait for it.
#pragma once

#include "argparser.h"

#include <QHostAddress>
#include <QString>

namespace ledsign::cli {

// Exit status when no card registered or answered in time.
inline constexpr int kExitNoCard = 3;

struct NetworkOptions {
    QHostAddress listen = QHostAddress::Any;
    quint16 port = 0;
    QString cardCode;     // empty: the first card that registers
    int timeoutSeconds = 30;
};

// The option names parseArgs is to accept for these.
QStringList networkValueOptions();

// Reads --port (required unless `portOptional`), --listen, --card-code and
// --timeout. False with `error`.
bool readNetworkOptions(const ParsedArgs& args, bool portOptional, NetworkOptions& out, QString& error);

// Help lines for the options above.
QString networkOptionsHelp();

// The exit-status paragraph of every --help.
QString exitStatusHelp();

} // namespace ledsign::cli
