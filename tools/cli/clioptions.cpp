#include "clioptions.h"

namespace ledsign::cli {

namespace {

// A whole number in [low, high]; false otherwise.
bool toBoundedInt(const QString& text, int low, int high, int& out)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < low || value > high)
        return false;
    out = value;
    return true;
}

} // namespace

bool parseCardOptions(const QStringList& args, bool needOut, CardOptions& options, QString& error)
{
    // The largest panel the cards address; guards against sizes that would
    // make pictures too large to hold.
    constexpr int kMaxSide = 8192;
    QStringList positional;
    for (qsizetype i = 0; i < args.size(); ++i) {
        QString name = args.at(i);
        QString value;
        bool hasValue = false;
        if (name == QLatin1String("--help") || name == QLatin1String("-h")) {
            options.help = true;
            continue;
        }
        if (!name.startsWith(QLatin1String("--"))) {
            positional << name;
            continue;
        }
        const qsizetype eq = name.indexOf(u'=');
        if (eq > 0) {
            value = name.mid(eq + 1);
            name = name.left(eq);
            hasValue = true;
        } else if (i + 1 < args.size()) {
            value = args.at(++i);
            hasValue = true;
        }
        static const QStringList known{QStringLiteral("--width"), QStringLiteral("--height"),
                                       QStringLiteral("--colors"), QStringLiteral("--card"),
                                       QStringLiteral("--home"), QStringLiteral("--out"),
                                       QStringLiteral("--params")};
        if (!known.contains(name)) {
            error = QStringLiteral("unknown option %1").arg(name);
            return false;
        }
        if (!hasValue || value.isEmpty()) {
            error = QStringLiteral("%1 needs a value").arg(name);
            return false;
        }
        if (name == QLatin1String("--width")) {
            if (!toBoundedInt(value, 1, kMaxSide, options.width)) {
                error = QStringLiteral("--width must be a whole number from 1 to %1").arg(kMaxSide);
                return false;
            }
        } else if (name == QLatin1String("--height")) {
            if (!toBoundedInt(value, 1, kMaxSide, options.height)) {
                error = QStringLiteral("--height must be a whole number from 1 to %1").arg(kMaxSide);
                return false;
            }
        } else if (name == QLatin1String("--colors")) {
            if (!toBoundedInt(value, 1, 3, options.colors)) {
                error = QStringLiteral("--colors must be 1, 2 or 3");
                return false;
            }
        } else if (name == QLatin1String("--card")) {
            options.cardName = value;
        } else if (name == QLatin1String("--home")) {
            options.home = value;
        } else if (name == QLatin1String("--out")) {
            options.outDir = value;
        } else if (name == QLatin1String("--params")) {
            options.params = value;
        }
    }
    if (options.help)
        return true;
    if (positional.size() != 1) {
        error = positional.isEmpty() ? QStringLiteral("a playbill file is needed")
                                     : QStringLiteral("only one playbill file can be given");
        return false;
    }
    options.playbill = positional.first();
    const bool anyGeometry = options.width || options.height || options.colors;
    if (!options.cardName.isEmpty() && anyGeometry) {
        error = QStringLiteral("give either --card or --width, --height and --colors, not both");
        return false;
    }
    if (options.cardName.isEmpty() && !(options.width && options.height && options.colors)) {
        error = QStringLiteral("--width, --height and --colors are needed (or --card NAME)");
        return false;
    }
    if (needOut && options.outDir.isEmpty()) {
        error = QStringLiteral("--out DIR is needed");
        return false;
    }
    return true;
}

QString cardOptionsHelp()
{
    return QStringLiteral(
        "  --width W          width of the card in pixels\n"
        "  --height H         height of the card in pixels\n"
        "  --colors 1|2|3     single, dual or tri-colour card\n"
        "  --card NAME        take the card's size and colours from the data folder's card list\n"
        "  --home DIR         the data folder (default: LEDSIGN_HOME, then ~/.local/share/ledsign)\n");
}

} // namespace ledsign::cli
