// A small parser for the options of the network subcommands: names with a
// value ("--port 8900" or "--port=8900"), switches, and the words between.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

namespace ledsign::cli {

struct ParsedArgs {
    QStringList positional;
    QHash<QString, QString> values;  // by option name, without "--"
    QStringList switches;            // switches given, without "--"
    bool help = false;

    bool has(const QString& name) const { return values.contains(name) || switches.contains(name); }
    QString value(const QString& name) const { return values.value(name); }
};

// False with `error` for an unknown option or an option without its value.
bool parseArgs(const QStringList& args, const QStringList& valueOptions, const QStringList& switchOptions,
               ParsedArgs& out, QString& error);

// The option's whole number in [low, high], or `fallback` when it is not
// given. False with `error` when it is given but not such a number.
bool intOption(const ParsedArgs& args, const QString& name, int low, int high, int fallback, int& out,
               QString& error);

} // namespace ledsign::cli
