#include "networkoptions.h"

#include "servicecommands.h"

#include "protocol/conversions.h"

#include <algorithm>

namespace ledsign::cli {

QStringList networkValueOptions()
{
    return {QStringLiteral("port"), QStringLiteral("listen"), QStringLiteral("card-code"), QStringLiteral("timeout")};
}

namespace {

bool readStrictInternalCode(const QString& text, convert::InternalCode& out)
{
    // Every part a plain number of 0 to 255: a part out of range would be cut
    // to its low byte and reach another card of the line.
    const QStringList parts = text.split(u'_');
    if (parts.size() != 8)
        return false;
    convert::InternalCode code {};
    for (int k = 0; k < 8; ++k) {
        const QString& part = parts[k];
        if (part.isEmpty() || part.size() > 3
            || !std::all_of(part.cbegin(), part.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
            return false;
        const int v = part.toInt();
        if (v > 255)
            return false;
        code[k] = quint8(v);
    }
    out = code;
    return true;
}

} // namespace

bool readNetworkOptions(const ParsedArgs& args, bool portOptional, NetworkOptions& out, QString& error)
{
    if (!args.values.contains(QStringLiteral("port")) && !portOptional) {
        error = QStringLiteral("--port P is needed (the TCP port the card connects to)");
        return false;
    }
    int port = 0;
    if (!intOption(args, QStringLiteral("port"), portOptional ? 0 : 1, 65535, 0, port, error))
        return false;
    out.port = quint16(port);
    if (!intOption(args, QStringLiteral("timeout"), 1, 3600, out.timeoutSeconds, out.timeoutSeconds, error))
        return false;
    if (args.values.contains(QStringLiteral("listen"))) {
        if (!out.listen.setAddress(args.value(QStringLiteral("listen")))) {
            error = QStringLiteral("--listen needs an IP address, not \"%1\"").arg(args.value(QStringLiteral("listen")));
            return false;
        }
    }
    if (args.values.contains(QStringLiteral("card-code"))) {
        // Written the way the cards report it, so that it compares equal.
        convert::InternalCode code {};
        if (!readStrictInternalCode(args.value(QStringLiteral("card-code")), code)) {
            error = QStringLiteral("--card-code needs eight numbers from 0 to 255 joined by _, such as 1_2_3_4_5_6_7_8");
            return false;
        }
        out.cardCode = convert::internalCodeText(code);
    }
    return true;
}

QString networkOptionsHelp()
{
    return QStringLiteral(
        "  --port P           the TCP port the card connects to\n"
        "  --listen ADDR      listen on this local address only (default: every address)\n"
        "  --card-code CODE   wait for the card with this internal code (eight numbers joined by _)\n"
        "  --timeout S        seconds to wait for the card to register (default 30)\n")
        + serviceOptionHelp();
}

QString exitStatusHelp()
{
    return QStringLiteral(
        "\nExit status: 0 done; 1 failed (the card refused or did not finish, a file could not be\n"
        "read or written); 2 wrong arguments; 3 no card registered or answered in time.\n");
}

} // namespace ledsign::cli
