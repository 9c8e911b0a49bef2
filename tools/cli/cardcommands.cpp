// cards, play and time: the server listens and waits for cards to register;
// "cards" lists every card that does, "play" and "time" send the card the
// editor's play control or time calibration.
#include "cardsession.h"
#include "clioptions.h"
#include "commands.h"
#include "networkoptions.h"
#include "output.h"

#include "model/cardlist.h"
#include "protocol/registrations.h"

#include <QSet>

namespace ledsign::cli {

namespace {

// Time for the card's command to leave the connection.
constexpr int kFlushMs = 3000;

QString colourText(int colorType)
{
    switch (colorType) {
    case kColorSingle: return QStringLiteral("single colour");
    case kColorDual: return QStringLiteral("dual colour");
    default: return QStringLiteral("tri-colour");
    }
}

QString cardLine(const TFIXModem& card)
{
    return QStringLiteral("%1  %2  %3 x %4  %5  version %6")
        .arg(card.internalCode, card.ipAddress)
        .arg(card.width)
        .arg(card.height)
        .arg(colourText(card.colorType))
        .arg(card.version);
}

QString cardsUsage()
{
    return QStringLiteral("usage: ledsign-cli cards --port P [--listen ADDR] [--card-code CODE] [--timeout S]\n\n"
                          "Listens on TCP port P for S seconds (default 30) and prints a line for every card\n"
                          "that registers: internal code, address, size, colours, version. With --card-code\n"
                          "it ends as soon as that card has registered.\n\n")
        + networkOptionsHelp() + exitStatusHelp();
}

QString commandUsage(const QString& command)
{
    const QString what = command == QLatin1String("play")
        ? QStringLiteral("usage: ledsign-cli play start|stop --port P [--listen ADDR] [--card-code CODE] [--timeout S]\n\n"
                         "Waits for the card to register, then tells it to start or stop playing.\n\n")
        : QStringLiteral("usage: ledsign-cli time --port P [--listen ADDR] [--card-code CODE] [--timeout S]\n\n"
                         "Waits for the card to register, then sets its clock to this computer's time.\n\n");
    return what + networkOptionsHelp() + exitStatusHelp();
}

bool parseNetwork(const QStringList& args, ParsedArgs& parsed, NetworkOptions& net, QString& error)
{
    return parseArgs(args, networkValueOptions(), {}, parsed, error)
        && (parsed.help || readNetworkOptions(parsed, false, net, error));
}

} // namespace

int runCards(const QStringList& args)
{
    ParsedArgs parsed;
    NetworkOptions net;
    QString error;
    bool ok = parseNetwork(args, parsed, net, error);
    if (ok && !parsed.help && !parsed.positional.isEmpty()) {
        error = QStringLiteral("unexpected %1").arg(parsed.positional.first());
        ok = false;
    }
    if (!ok) {
        printError(QStringLiteral("ledsign-cli cards: ") + error);
        printError(cardsUsage());
        return kExitUsage;
    }
    if (parsed.help) {
        printLine(cardsUsage());
        return kExitOk;
    }
    ProjectModel model;
    CardSession session(model);
    if (!session.listen(net.listen, net.port, error)) {
        printError(QStringLiteral("ledsign-cli cards: ") + error);
        return kExitFailure;
    }
    // A card is listed once, when it first comes on-line; a reconnection
    // is not a new card.
    QSet<QString> listed;
    auto listNew = [&] {
        for (const TFIXModem& card : model.cards()) {
            if (card.online == 1 && !listed.contains(card.name)) {
                listed.insert(card.name);
                printLine(cardLine(card));
            }
        }
    };
    QObject::connect(&session.link().registrations(), &Registrations::cardAdded, &session, listNew);
    QObject::connect(&session.link().registrations(), &Registrations::cardUpdated, &session, listNew);
    waitUntil([&] { return !net.cardCode.isEmpty() && !session.onlineCard(net.cardCode).isEmpty(); },
              net.timeoutSeconds * 1000);
    listNew();
    if (!net.cardCode.isEmpty() && session.onlineCard(net.cardCode).isEmpty()) {
        printError(QStringLiteral("ledsign-cli cards: card %1 did not register on port %2 within %3 s")
                       .arg(net.cardCode)
                       .arg(session.port())
                       .arg(net.timeoutSeconds));
        return kExitNoCard;
    }
    if (listed.isEmpty()) {
        printError(QStringLiteral("ledsign-cli cards: no card registered on port %1 within %2 s")
                       .arg(session.port())
                       .arg(net.timeoutSeconds));
        return kExitNoCard;
    }
    return kExitOk;
}

int runCardCommand(const QString& command, const QStringList& args)
{
    ParsedArgs parsed;
    NetworkOptions net;
    QString error;
    bool ok = parseNetwork(args, parsed, net, error);
    int playValue = -1;
    if (ok && !parsed.help) {
        if (command == QLatin1String("play")) {
            const QString what = parsed.positional.value(0);
            playValue = what == QLatin1String("start") ? 0 : what == QLatin1String("stop") ? 1 : -1;
            if (playValue < 0 || parsed.positional.size() != 1) {
                error = QStringLiteral("say start or stop");
                ok = false;
            }
        } else if (!parsed.positional.isEmpty()) {
            error = QStringLiteral("unexpected %1").arg(parsed.positional.first());
            ok = false;
        }
    }
    const QString prefix = QStringLiteral("ledsign-cli %1: ").arg(command);
    if (!ok) {
        printError(prefix + error);
        printError(commandUsage(command));
        return kExitUsage;
    }
    if (parsed.help) {
        printLine(commandUsage(command));
        return kExitOk;
    }
    ProjectModel model;
    CardSession session(model);
    if (!session.listen(net.listen, net.port, error)) {
        printError(prefix + error);
        return kExitFailure;
    }
    const QString cardName = session.waitForCard(net.cardCode, net.timeoutSeconds * 1000);
    if (cardName.isEmpty()) {
        printError(prefix + QStringLiteral("no card registered on port %1 within %2 s")
                                .arg(session.port())
                                .arg(net.timeoutSeconds));
        return kExitNoCard;
    }
    TFIXModem& card = *model.findCard(cardName).record;
    CardCommandSender& commands = session.link().commands();
    const bool sent = playValue >= 0 ? commands.sendPlayControl(card, false, playValue)
                                     : commands.sendTimeCalibration(card, false);
    if (!sent || !session.flush(cardName, kFlushMs)) {
        printError(prefix + QStringLiteral("could not send to card %1").arg(cardName));
        return kExitFailure;
    }
    if (playValue == 0)
        printLine(QStringLiteral("card %1: play started").arg(cardName));
    else if (playValue == 1)
        printLine(QStringLiteral("card %1: play stopped").arg(cardName));
    else
        printLine(QStringLiteral("card %1: clock set").arg(cardName));
    return kExitOk;
}

} // namespace ledsign::cli
