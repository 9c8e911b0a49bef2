#include "argparser.h"

namespace ledsign::cli {

bool parseArgs(const QStringList& args, const QStringList& valueOptions, const QStringList& switchOptions,
               ParsedArgs& out, QString& error)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString arg = args.at(i);
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            out.help = true;
            continue;
        }
        if (!arg.startsWith(QLatin1String("--")) || arg.size() == 2) {
            out.positional << arg;
            continue;
        }
        QString name = arg.mid(2);
        QString value;
        bool hasValue = false;
        const qsizetype eq = name.indexOf(u'=');
        if (eq >= 0) {
            value = name.mid(eq + 1);
            name = name.left(eq);
            hasValue = true;
        }
        if (switchOptions.contains(name)) {
            if (hasValue) {
                error = QStringLiteral("--%1 takes no value").arg(name);
                return false;
            }
            out.switches << name;
            continue;
        }
        if (!valueOptions.contains(name)) {
            error = QStringLiteral("unknown option --%1").arg(name);
            return false;
        }
        if (!hasValue && i + 1 < args.size()) {
            value = args.at(++i);
            hasValue = true;
        }
        if (!hasValue || value.isEmpty()) {
            error = QStringLiteral("--%1 needs a value").arg(name);
            return false;
        }
        out.values.insert(name, value);
    }
    return true;
}

bool intOption(const ParsedArgs& args, const QString& name, int low, int high, int fallback, int& out,
               QString& error)
{
    if (!args.values.contains(name)) {
        out = fallback;
        return true;
    }
    bool ok = false;
    const int value = args.value(name).trimmed().toInt(&ok);
    if (!ok || value < low || value > high) {
        error = QStringLiteral("--%1 must be a whole number from %2 to %3").arg(name).arg(low).arg(high);
        return false;
    }
    out = value;
    return true;
}

} // namespace ledsign::cli
