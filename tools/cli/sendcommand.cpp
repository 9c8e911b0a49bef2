// send: the editor's Send action from the command line. The server listens,
// the card connects and registers, the playbill is read into its record and
// downloaded with the same scheduler, pacing and supervision the editor uses.
#include "cardsession.h"
#include "clioptions.h"
#include "commands.h"
#include "networkoptions.h"
#include "output.h"
#include "playbillsource.h"
#include "progressline.h"

#include <QFileInfo>

namespace ledsign::cli {

namespace {

// The download itself has its own supervision (header watchdog, packet
// repeats); this only bounds a card that keeps the line open but stalls.
constexpr int kDownloadLimitMs = 300000;

QString sendUsage()
{
    return QStringLiteral("usage: ledsign-cli send PLAYBILL --port P [--listen ADDR] [--card-code CODE]"
                          " [--timeout S] [--home DIR]\n\n"
                          "Listens for the card on TCP port P, waits for it to register, then sends it the\n"
                          "playbill with a progress line. Done when the card has confirmed the whole playbill.\n\n")
        + networkOptionsHelp()
        + QStringLiteral("  --home DIR         the data folder that relative picture paths are taken from\n")
        + exitStatusHelp();
}

} // namespace

int runSend(const QStringList& args)
{
    ParsedArgs parsed;
    NetworkOptions net;
    QString error;
    QStringList names = networkValueOptions();
    names << QStringLiteral("home");
    bool ok = parseArgs(args, names, {}, parsed, error);
    if (ok && !parsed.help) {
        ok = readNetworkOptions(parsed, false, net, error);
        if (ok && parsed.positional.size() != 1) {
            error = parsed.positional.isEmpty() ? QStringLiteral("a playbill file is needed")
                                                : QStringLiteral("only one playbill file can be given");
            ok = false;
        }
    }
    if (!ok) {
        printError(QStringLiteral("ledsign-cli send: ") + error);
        printError(sendUsage());
        return kExitUsage;
    }
    if (parsed.help) {
        printLine(sendUsage());
        return kExitOk;
    }
    const QString playbill = parsed.positional.first();
    const DataFolder folders = parsed.has(QStringLiteral("home"))
        ? DataFolder(QFileInfo(parsed.value(QStringLiteral("home"))).absoluteFilePath())
        : DataFolder::resolve({QString()});

    // A playbill that cannot be read is reported before anyone waits for a card.
    {
        ProjectModel scratch;
        TFIXModem card;
        card.name = QStringLiteral("check");
        scratch.addCard(card);
        if (!readPlaybillInto(scratch, folders, card.name, playbill, error)) {
            printError(QStringLiteral("ledsign-cli send: ") + error);
            return kExitFailure;
        }
        if (scratch.materials().isEmpty()) {
            printError(QStringLiteral("ledsign-cli send: the playbill %1 holds no materials").arg(playbill));
            return kExitFailure;
        }
    }

    ProjectModel model;
    CardSession session(model);
    if (!session.listen(net.listen, net.port, error)) {
        printError(QStringLiteral("ledsign-cli send: ") + error);
        return kExitFailure;
    }
    printLine(QStringLiteral("waiting up to %1 s for %2 on port %3")
                  .arg(net.timeoutSeconds)
                  .arg(net.cardCode.isEmpty() ? QStringLiteral("a card") : QStringLiteral("card ") + net.cardCode)
                  .arg(session.port()));
    const QString cardName = session.waitForCard(net.cardCode, net.timeoutSeconds * 1000);
    if (cardName.isEmpty()) {
        printError(QStringLiteral("ledsign-cli send: no card registered on port %1 within %2 s")
                       .arg(session.port())
                       .arg(net.timeoutSeconds));
        return kExitNoCard;
    }
    const TFIXModem& card = *model.findCard(cardName).record;
    printLine(QStringLiteral("card %1 registered from %2: %3 x %4")
                  .arg(cardName, card.ipAddress)
                  .arg(card.width)
                  .arg(card.height));

    if (!readPlaybillInto(model, folders, cardName, playbill, error)) {
        printError(QStringLiteral("ledsign-cli send: ") + error);
        return kExitFailure;
    }
    ProgressLine progress(QStringLiteral("sending"));
    const CardSession::SendResult result =
        session.sendPlaybill(cardName, kDownloadLimitMs, [&progress](int position, int maximum) {
            progress.show(position, maximum);
        });
    progress.finish();
    if (!result.ok) {
        printError(QStringLiteral("ledsign-cli send: %1: %2").arg(cardName, result.message));
        return kExitFailure;
    }
    printLine(QStringLiteral("%1 (%2 packet(s) in %3 ms)").arg(result.message).arg(result.packets).arg(result.elapsedMs));
    return kExitOk;
}

} // namespace ledsign::cli
