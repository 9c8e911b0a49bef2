// send: the editor's Send action from the command line. The server listens
// and the card connects, or the serial line is asked for its card; the card
// registers, the playbill is read into its record and downloaded with the
// same scheduler, pacing and supervision the editor uses.
#include "cardsession.h"
#include "clioptions.h"
#include "commands.h"
#include "networkoptions.h"
#include "output.h"
#include "playbillsource.h"
#include "progressline.h"
#include "tracefile.h"

#include "model/inifile.h"
#include "model/settings.h"

#include <QFileInfo>

namespace ledsign::cli {

namespace {

// The download itself has its own supervision (header watchdog, packet
// repeats); this only bounds a card that keeps the line open but stalls.
constexpr int kDownloadLimitMs = 300000;

QString sendUsage()
{
    return QStringLiteral("usage: ledsign-cli send PLAYBILL --port P [--listen ADDR] [--card-code CODE]"
                          " [--timeout S] [--delay MS] [--trace FILE] [--home DIR]\n"
                          "       ledsign-cli send PLAYBILL --serial DEVICE [--baud N] [--card-code CODE]"
                          " [--timeout S] [--delay MS] [--trace FILE] [--home DIR]\n"
                          "       ledsign-cli send PLAYBILL --serial DEVICE [--baud N] --rs485 --card-code CODE"
                          " [--timeout S] [--delay MS] [--trace FILE] [--home DIR]\n\n"
                          "Sends the playbill to a card with a progress line. Done when the card has confirmed\n"
                          "the whole playbill. Over the network the program listens on TCP port P and waits\n"
                          "for the card to connect and register; on a serial line it asks the one card on\n"
                          "the line to report itself; on an RS-485 line it asks the card with that internal\n"
                          "code, and sends the playbill in addressed 485 packets.\n\n")
        + networkOptionsHelp()
        + QStringLiteral(
              "  --serial DEVICE    the serial port the card is on: a path (/dev/ttyUSB0, ./pty) or a\n"
              "                     name under /dev (ttyS1)\n"
              "  --baud N           its baud rate (default 9600)\n"
              "  --rs485            the serial port is an RS-485 line; --card-code says which card\n"
              "  --delay MS         pause between packets (default: NetDelayTime of the data folder, 100)\n"
              "  --trace FILE       write every block sent and received, with its time, to FILE\n"
              "                     (\"ledsign-cli decode FILE\" prints its frames)\n"
              "  --home DIR         the data folder that relative picture paths are taken from\n")
        + exitStatusHelp();
}

struct SerialOptions {
    QString device;      // empty: the network
    int baudRate = 9600;
    bool rs485 = false;
};

// Reads --serial, --baud and --rs485 and checks they go with the rest.
bool readSerialOptions(const ParsedArgs& parsed, const NetworkOptions& net, SerialOptions& out, QString& error)
{
    out.device = parsed.value(QStringLiteral("serial"));
    // A path is a path (also a relative one); only a bare name such as
    // ttyUSB0 is a device under /dev.
    if (!out.device.isEmpty()
        && (out.device.contains(u'/')
            || (QFileInfo::exists(out.device) && !QFileInfo::exists(QStringLiteral("/dev/") + out.device))))
        out.device = QFileInfo(out.device).absoluteFilePath();
    out.rs485 = parsed.switches.contains(QStringLiteral("rs485"));
    const bool port = parsed.values.contains(QStringLiteral("port"));
    if (out.device.isEmpty()) {
        if (parsed.values.contains(QStringLiteral("baud")) || out.rs485) {
            error = QStringLiteral("--baud and --rs485 go with --serial DEVICE");
            return false;
        }
        if (!port) {
            error = QStringLiteral("--port P or --serial DEVICE is needed");
            return false;
        }
        return true;
    }
    if (port || parsed.values.contains(QStringLiteral("listen"))) {
        error = QStringLiteral("give either --port (the network) or --serial (a serial line), not both");
        return false;
    }
    if (out.rs485 && net.cardCode.isEmpty()) {
        error = QStringLiteral("--rs485 needs --card-code CODE: the cards of the line are addressed by it");
        return false;
    }
    return intOption(parsed, QStringLiteral("baud"), 50, 4000000, out.baudRate, out.baudRate, error);
}

// The pause between packets: the data folder's "NetDelayTime", or --delay.
bool readSendDelay(const ParsedArgs& parsed, const DataFolder& folders, int& delay, QString& error)
{
    IniFile ini;
    delay = AppSettings{}.netDelayTime;
    if (QFileInfo::exists(folders.settingsFile()) && ini.load(folders.settingsFile()))
        delay = AppSettings::fromIni(ini, QString()).netDelayTime;
    return intOption(parsed, QStringLiteral("delay"), 0, 60000, delay, delay, error);
}

} // namespace

int runSend(const QStringList& args)
{
    ParsedArgs parsed;
    NetworkOptions net;
    QString error;
    SerialOptions serial;
    QStringList names = networkValueOptions();
    names << QStringLiteral("home") << QStringLiteral("serial") << QStringLiteral("baud") << QStringLiteral("trace")
          << QStringLiteral("delay");
    bool ok = parseArgs(args, names, {QStringLiteral("rs485")}, parsed, error);
    if (ok && !parsed.help) {
        ok = readNetworkOptions(parsed, true, net, error) && readSerialOptions(parsed, net, serial, error);
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
    int sendDelay = 0;
    if (!readSendDelay(parsed, folders, sendDelay, error)) {
        printError(QStringLiteral("ledsign-cli send: ") + error);
        printError(sendUsage());
        return kExitUsage;
    }

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

    // The trace outlives the session that writes to it.
    TraceWriter trace;
    ProjectModel model;
    CardSession session(model);
    // As the parameter window sets it: the repeat and watchdog times grow by it.
    session.link().scheduler().setSendDelay(sendDelay);
    if (parsed.has(QStringLiteral("trace"))) {
        if (!trace.open(parsed.value(QStringLiteral("trace")), error)) {
            printError(QStringLiteral("ledsign-cli send: ") + error);
            return kExitFailure;
        }
        session.setTrace(&trace);
    }
    const QString wanted = net.cardCode.isEmpty() ? QStringLiteral("a card") : QStringLiteral("card ") + net.cardCode;
    QString cardName;
    if (serial.device.isEmpty()) {
        if (!session.listen(net.listen, net.port, error)) {
            printError(QStringLiteral("ledsign-cli send: ") + error);
            return kExitFailure;
        }
        printLine(QStringLiteral("waiting up to %1 s for %2 on port %3").arg(net.timeoutSeconds).arg(wanted).arg(session.port()));
        cardName = session.waitForCard(net.cardCode, net.timeoutSeconds * 1000);
        if (cardName.isEmpty()) {
            printError(QStringLiteral("ledsign-cli send: no card registered on port %1 within %2 s")
                           .arg(session.port())
                           .arg(net.timeoutSeconds));
            return kExitNoCard;
        }
    } else {
        if (!session.openSerial(serial.device, serial.baudRate, serial.rs485, error)) {
            printError(QStringLiteral("ledsign-cli send: ") + error);
            return kExitFailure;
        }
        const QString line = QStringLiteral("%1 at %2 baud%3")
                                 .arg(serial.device)
                                 .arg(serial.baudRate)
                                 .arg(serial.rs485 ? QStringLiteral(" (RS-485)") : QString());
        printLine(QStringLiteral("asking %1 on %2 for up to %3 s").arg(wanted, line).arg(net.timeoutSeconds));
        cardName = session.waitForSerialCard(net.cardCode, net.timeoutSeconds * 1000);
        if (cardName.isEmpty() && !session.lineGone().isEmpty()) {
            printError(QStringLiteral("ledsign-cli send: ") + session.lineGone());
            return kExitFailure;
        }
        if (cardName.isEmpty()) {
            printError(QStringLiteral("ledsign-cli send: no card registered on %1 within %2 s")
                           .arg(line)
                           .arg(net.timeoutSeconds));
            return kExitNoCard;
        }
    }
    const TFIXModem& card = *model.findCard(cardName).record;
    printLine(QStringLiteral("card %1 registered from %2: %3 x %4")
                  .arg(cardName, serial.device.isEmpty() ? card.ipAddress : serial.device)
                  .arg(card.width)
                  .arg(card.height));

    if (!readPlaybillInto(model, folders, cardName, playbill, error)) {
        printError(QStringLiteral("ledsign-cli send: ") + error);
        return kExitFailure;
    }
    printLine(QStringLiteral("pause of %1 ms between packets").arg(sendDelay));
    for (const QString& warning : unsentTableRows(model, cardName))
        printError(QStringLiteral("ledsign-cli send: ") + warning);
    ProgressLine progress(QStringLiteral("sending"));
    const CardSession::SendResult result =
        session.sendPlaybill(cardName, kDownloadLimitMs, [&progress](int position, int maximum) {
            progress.show(position, maximum);
        });
    progress.finish();
    if (!trace.close())
        printError(QStringLiteral("ledsign-cli send: the trace could not be written whole"));
    if (!result.ok) {
        printError(QStringLiteral("ledsign-cli send: %1: %2").arg(cardName, result.message));
        return kExitFailure;
    }
    printLine(QStringLiteral("%1 (%2 packet(s) in %3 ms)").arg(result.message).arg(result.packets).arg(result.elapsedMs));
    return kExitOk;
}

} // namespace ledsign::cli
