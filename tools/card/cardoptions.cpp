#include "cardoptions.h"

#include "playoptions.h"
#include "udpoptions.h"

#include <QCommandLineParser>

namespace ledsign::card {

namespace {

bool readInt(const QString& text, int low, int high, int& out)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (!ok || v < low || v > high)
        return false;
    out = v;
    return true;
}

} // namespace

bool parseCardOptions(const QStringList& arguments, CardOptions& o, QString& error)
{
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "A virtual LED controller card: connects to the editor's TCP server or sits on a serial "
        "line, reports itself, checks every frame it receives and confirms it as a card does."));
    p.addHelpOption();
    const QCommandLineOption tcp(QStringLiteral("tcp"), QStringLiteral("Connect to the server at HOST:PORT."),
                                 QStringLiteral("host:port"));
    const QCommandLineOption once(QStringLiteral("once"), QStringLiteral("Do not reconnect after the connection ends."));
    const QCommandLineOption serial(QStringLiteral("serial"), QStringLiteral("Use the serial device (or pty)."),
                                    QStringLiteral("device"));
    const QCommandLineOption baud(QStringLiteral("baud"), QStringLiteral("Baud rate (9600)."), QStringLiteral("n"));
    const QCommandLineOption rs485(QStringLiteral("rs485"), QStringLiteral("The serial line is an RS-485 line."));
    const QCommandLineOption code(QStringLiteral("code"), QStringLiteral("Internal code, eight numbers joined by _."),
                                  QStringLiteral("code"));
    const QCommandLineOption width(QStringLiteral("width"), QStringLiteral("Panel width in pixels (64)."),
                                   QStringLiteral("n"));
    const QCommandLineOption height(QStringLiteral("height"), QStringLiteral("Panel height in pixels (32)."),
                                    QStringLiteral("n"));
    const QCommandLineOption colors(QStringLiteral("colors"), QStringLiteral("Colour depth 1, 2 or 3 (1)."),
                                    QStringLiteral("n"));
    const QCommandLineOption version(QStringLiteral("card-version"), QStringLiteral("Firmware version (60)."),
                                     QStringLiteral("n"));
    const QCommandLineOption fonts(QStringLiteral("fonts"), QStringLiteral("Number of fonts (6)."), QStringLiteral("n"));
    const QCommandLineOption speed(QStringLiteral("speed"), QStringLiteral("Speed unit digit (1)."), QStringLiteral("n"));
    const QCommandLineOption type(QStringLiteral("type"), QStringLiteral("Type name, up to five characters."),
                                  QStringLiteral("name"));
    const QCommandLineOption heartbeat(QStringLiteral("heartbeat"),
                                       QStringLiteral("Heartbeat period in seconds (the poll time told by the program)."),
                                       QStringLiteral("s"));
    const QCommandLineOption png(QStringLiteral("png"), QStringLiteral("Write the pictures of each playbill here."),
                                 QStringLiteral("dir"));
    const QCommandLineOption exitAfter(QStringLiteral("exit-after"),
                                       QStringLiteral("Quit after this many complete playbills."), QStringLiteral("n"));
    const QCommandLineOption noHeader(QStringLiteral("no-header-confirm"), QStringLiteral("Never confirm a playbill header."));
    const QCommandLineOption noLast(QStringLiteral("no-final-confirm"), QStringLiteral("Never confirm the final frame."));
    const QCommandLineOption exception(QStringLiteral("exception"),
                                       QStringLiteral("Answer the first material frame with an exception."));
    const QCommandLineOption exceptionAt(QStringLiteral("exception-at"),
                                         QStringLiteral("Answer the n-th material frame (or the final one: "
                                                        "\"final\") with an exception."),
                                         QStringLiteral("n|final"));
    const QCommandLineOption late(QStringLiteral("late"),
                                  QStringLiteral("Send every confirmation, request and exception MS late."),
                                  QStringLiteral("ms"));
    const QCommandLineOption confirmTime(QStringLiteral("confirm-time"), QStringLiteral("Confirm time frames too."));
    const QCommandLineOption lose(QStringLiteral("lose-block"),
                                  QStringLiteral("The n-th material frame (on RS-485 its first piece) never arrives."),
                                  QStringLiteral("n"));
    const QCommandLineOption damage(QStringLiteral("damage-block"),
                                    QStringLiteral("One byte of the n-th material frame (on RS-485 its first "
                                                   "piece) arrives changed."),
                                    QStringLiteral("n"));
    const QCommandLineOption request(QStringLiteral("request"),
                                     QStringLiteral("Ask once for material SENDNO, block BLOCK again."),
                                     QStringLiteral("sendno:block"));
    const QCommandLineOption mute(QStringLiteral("mute-rs485"), QStringLiteral("Never answer on the RS-485 line."));
    const QCommandLineOption turnaround(QStringLiteral("turnaround"),
                                        QStringLiteral("RS-485: ignore a packet that comes sooner than MS after "
                                                       "the card's own last reply (the line is still turning round)."),
                                        QStringLiteral("ms"));
    const QCommandLineOption quitAfter(QStringLiteral("quit-after-material"),
                                       QStringLiteral("Quit without an answer when the n-th material frame arrives."),
                                       QStringLiteral("n"));
    const QCommandLineOption confirmAs(QStringLiteral("confirm-materials-as"),
                                       QStringLiteral("Confirm material frames as this command (a number)."),
                                       QStringLiteral("command"));
    p.addOptions({tcp, once, serial, baud, rs485, code, width, height, colors, version, fonts, speed, type, heartbeat,
                  png, exitAfter, noHeader, noLast, exception, request, mute, turnaround, quitAfter, confirmAs,
                  exceptionAt, late, confirmTime, lose, damage});
    addUdpOptions(p);
    addPlayOptions(p);
    if (!p.parse(arguments)) {
        error = p.errorText();
        return false;
    }
    if (p.isSet(QStringLiteral("help"))) {
        error = p.helpText();
        return false;
    }

    if (p.isSet(tcp)) {
        const QString v = p.value(tcp);
        const qsizetype colon = v.lastIndexOf(u':');
        int port = 0;
        if (colon <= 0 || !readInt(v.mid(colon + 1), 1, 65535, port)) {
            error = QStringLiteral("--tcp needs HOST:PORT");
            return false;
        }
        o.tcpHost = v.left(colon);
        o.tcpPort = quint16(port);
    }
    o.reconnect = !p.isSet(once);
    o.serialDevice = p.value(serial);
    o.rs485 = p.isSet(rs485);
    if (!readUdpOptions(p, o, error) || !readPlayOptions(p, o, error))
        return false;
    if (!o.tcpHost.isEmpty() && !o.serialDevice.isEmpty()) {
        error = QStringLiteral("give only one of --tcp and --serial");
        return false;
    }
    if (o.tcpHost.isEmpty() && o.serialDevice.isEmpty() && o.udpAddress.isEmpty() && o.storeDir.isEmpty()) {
        error = QStringLiteral("give one of --tcp, --serial, --udp and --store");
        return false;
    }
    if (o.rs485 && o.serialDevice.isEmpty()) {
        error = QStringLiteral("--rs485 needs --serial");
        return false;
    }
    struct IntOption {
        const QCommandLineOption* option;
        int* target;
        int low;
        int high;
    };
    const IntOption ints[] = {
        {&baud, &o.baudRate, 50, 4000000}, {&width, &o.width, 8, 8192}, {&height, &o.height, 1, 8192},
        {&colors, &o.colorDepth, 1, 3}, {&version, &o.version, 0, 999}, {&fonts, &o.fontCount, 1, 10},
        {&speed, &o.speedUnit, 0, 9}, {&exitAfter, &o.exitAfterPlaybills, 0, 1000000},
    };
    for (const IntOption& io : ints) {
        if (p.isSet(*io.option) && !readInt(p.value(*io.option), io.low, io.high, *io.target)) {
            error = QStringLiteral("--%1 must be a number from %2 to %3")
                        .arg(io.option->names().first())
                        .arg(io.low)
                        .arg(io.high);
            return false;
        }
    }
    if (p.isSet(code) && !convert::internalCodeToBytes(p.value(code), o.internalCode)) {
        error = QStringLiteral("--code needs eight numbers joined by _");
        return false;
    }
    if (p.isSet(type))
        o.cardType = p.value(type);
    if (p.isSet(heartbeat)) {
        bool ok = false;
        o.heartbeatSeconds = p.value(heartbeat).toDouble(&ok);
        if (!ok || o.heartbeatSeconds <= 0) {
            error = QStringLiteral("--heartbeat needs a positive number of seconds");
            return false;
        }
    }
    o.pngDir = p.value(png);
    o.confirmHeaders = !p.isSet(noHeader);
    o.confirmLast = !p.isSet(noLast);
    if (p.isSet(exception))
        o.exceptionAt = 1;
    if (p.isSet(exceptionAt)) {
        if (p.value(exceptionAt) == QLatin1String("final")) {
            o.exceptionAtFinal = true;
        } else if (!readInt(p.value(exceptionAt), 1, 65535, o.exceptionAt)) {
            error = QStringLiteral("--exception-at needs a number from 1 to 65535 or \"final\"");
            return false;
        }
    }
    o.confirmTime = p.isSet(confirmTime);
    const IntOption faults[] = {
        {&late, &o.answerDelayMs, 1, 60000}, {&lose, &o.loseBlock, 1, 65535}, {&damage, &o.damageBlock, 1, 65535}};
    for (const IntOption& io : faults) {
        if (p.isSet(*io.option) && !readInt(p.value(*io.option), io.low, io.high, *io.target)) {
            error = QStringLiteral("--%1 must be a number from %2 to %3")
                        .arg(io.option->names().first())
                        .arg(io.low)
                        .arg(io.high);
            return false;
        }
    }
    o.answerRs485 = !p.isSet(mute);
    if (p.isSet(turnaround) && !readInt(p.value(turnaround), 1, 60000, o.turnaroundMs)) {
        error = QStringLiteral("--turnaround needs a number of milliseconds from 1 to 60000");
        return false;
    }
    if (o.turnaroundMs > 0 && !o.rs485) {
        error = QStringLiteral("--turnaround needs --rs485");
        return false;
    }
    if (p.isSet(quitAfter) && !readInt(p.value(quitAfter), 1, 65535, o.quitAfterMaterials)) {
        error = QStringLiteral("--quit-after-material needs a number from 1 to 65535");
        return false;
    }
    if (p.isSet(confirmAs) && !readInt(p.value(confirmAs), 0, 255, o.confirmMaterialsAs)) {
        error = QStringLiteral("--confirm-materials-as needs a number from 0 to 255");
        return false;
    }
    if (p.isSet(request)) {
        const QStringList parts = p.value(request).split(u':');
        if (parts.size() != 2 || !readInt(parts[0], 1, 65535, o.requestSendNo)
            || !readInt(parts[1], 1, 65535, o.requestBlockNo)) {
            error = QStringLiteral("--request needs SENDNO:BLOCK");
            return false;
        }
    }
    return true;
}

} // namespace ledsign::card
