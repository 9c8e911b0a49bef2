// demo: the whole way from content to a card on one machine. The sample card
// is built in the demo data folder, its playbill written, a virtual card
// (ledsign-card, next to this program) started on loopback, the playbill
// sent to it, and the card writes what it would show as PNG files.
#include "argparser.h"
#include "cardsession.h"
#include "clioptions.h"
#include "commands.h"
#include "networkoptions.h"
#include "output.h"
#include "progressline.h"

#include "editing/democard.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <csignal>
#include <sys/prctl.h>

namespace ledsign::cli {

namespace {

constexpr int kRegisterMs = 15000;
constexpr int kDownloadMs = 120000;
constexpr int kCardExitMs = 10000;

QString demoUsage()
{
    return QStringLiteral("usage: ledsign-cli demo [--home DIR] [--out DIR]\n\n"
                          "Builds the sample card (128 x 32, dual colour: a line of text, two lines, a clock\n"
                          "and three pictures), starts the virtual card ledsign-card on 127.0.0.1, sends it\n"
                          "the playbill and has it write what it shows as PNG files.\n\n"
                          "  --home DIR   the demo data folder (default %1)\n"
                          "  --out DIR    where the card writes its pictures (default: card-pictures in the\n"
                          "               demo data folder)\n")
               .arg(defaultDemoFolder())
        + exitStatusHelp();
}

// Removes the pictures an earlier demo left, so that only this run's remain.
void removeOldPictures(const QDir& dir)
{
    const QStringList old = dir.entryList({QStringLiteral("material*_*_*.png"), QStringLiteral("page*.png")}, QDir::Files);
    for (const QString& name : old)
        QFile::remove(dir.filePath(name));
}

// Reads the card's event lines as they come; errors are passed on.
struct CardOutput {
    QString partial;
    QStringList lines;
    void take(QProcess& process)
    {
        partial += QString::fromUtf8(process.readAllStandardOutput());
        qsizetype nl;
        while ((nl = partial.indexOf(u'\n')) >= 0) {
            const QString line = partial.left(nl);
            partial.remove(0, nl + 1);
            lines << line;
            if (line.startsWith(QLatin1String("error ")))
                printError(QStringLiteral("ledsign-cli demo: the card reports: ") + line.mid(6));
        }
    }
};

} // namespace

int runDemo(const QStringList& args)
{
    ParsedArgs parsed;
    QString error;
    bool ok = parseArgs(args, {QStringLiteral("home"), QStringLiteral("out")}, {}, parsed, error);
    if (ok && !parsed.help && !parsed.positional.isEmpty()) {
        error = QStringLiteral("unexpected %1").arg(parsed.positional.first());
        ok = false;
    }
    if (!ok) {
        printError(QStringLiteral("ledsign-cli demo: ") + error);
        printError(demoUsage());
        return kExitUsage;
    }
    if (parsed.help) {
        printLine(demoUsage());
        return kExitOk;
    }
    const QString home =
        QFileInfo(parsed.has(QStringLiteral("home")) ? parsed.value(QStringLiteral("home")) : defaultDemoFolder())
            .absoluteFilePath();
    const DataFolder folders(home);
    const QString outDir = QFileInfo(parsed.has(QStringLiteral("out")) ? parsed.value(QStringLiteral("out"))
                                                                       : QDir(home).filePath(QStringLiteral("card-pictures")))
                               .absoluteFilePath();
    const QString cardProgram = QCoreApplication::applicationDirPath() + QStringLiteral("/ledsign-card");
    if (!QFileInfo(cardProgram).isExecutable()) {
        printError(QStringLiteral("ledsign-cli demo: the virtual card %1 is missing (build ledsign-card)").arg(cardProgram));
        return kExitFailure;
    }

    // 1. The sample card and its playbill. The playbill is written on the
    // first run only: one edited in the editor since is what gets sent.
    ProjectModel model;
    const QString cardName = QString::fromLatin1(kDemoCardName);
    const QString playbill = demoPlaybillPath(folders);
    bool stored = false;
    if (!setUpDemoCard(model, folders, &stored, &error)) {
        printError(QStringLiteral("ledsign-cli demo: %1").arg(error));
        if (stored)
            printError(QStringLiteral("(remove it to start the demo afresh)"));
        return kExitFailure;
    }
    printLine(QStringLiteral("sample card %1: %2 x %3, dual colour, %4 pages, %5 materials")
                  .arg(cardName)
                  .arg(kDemoWidth)
                  .arg(kDemoHeight)
                  .arg(model.pages().size())
                  .arg(model.materials().size()));
    printLine((stored ? QStringLiteral("playbill read from %1") : QStringLiteral("playbill written to %1")).arg(playbill));

    // 2. The virtual card, connecting to our server on loopback.
    CardSession session(model);
    if (!session.listen(QHostAddress::LocalHost, 0, error)) {
        printError(QStringLiteral("ledsign-cli demo: ") + error);
        return kExitFailure;
    }
    if (!QDir().mkpath(outDir)) {
        printError(QStringLiteral("ledsign-cli demo: cannot create %1").arg(outDir));
        return kExitFailure;
    }
    removeOldPictures(QDir(outDir));
    QProcess card;
    CardOutput cardOutput;
    QObject::connect(&card, &QProcess::readyReadStandardOutput, &card, [&] { cardOutput.take(card); });
    card.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // An interrupted demo (Ctrl+C) takes its card with it.
    card.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    card.start(cardProgram,
               {QStringLiteral("--tcp"), QStringLiteral("127.0.0.1:%1").arg(session.port()), QStringLiteral("--once"),
                QStringLiteral("--code"), QString::fromLatin1(kDemoInternalCode), QStringLiteral("--width"),
                QString::number(kDemoWidth), QStringLiteral("--height"), QString::number(kDemoHeight),
                QStringLiteral("--colors"), QStringLiteral("2"), QStringLiteral("--png"), outDir,
                // The whole sample card as it plays: four pages of about 5 s,
                // the last of three pictures.
                QStringLiteral("--record"), QDir(outDir).filePath(QStringLiteral("demo.gif")),
                QStringLiteral("--seconds"), QStringLiteral("32")});
    auto stopCard = [&card] {
        if (card.state() == QProcess::NotRunning)
            return;
        card.terminate();
        if (!card.waitForFinished(2000)) {
            card.kill();
            card.waitForFinished(2000);
        }
    };
    if (!card.waitForStarted(5000)) {
        printError(QStringLiteral("ledsign-cli demo: cannot start %1: %2").arg(cardProgram, card.errorString()));
        return kExitFailure;
    }
    printLine(QStringLiteral("virtual card started: ledsign-card connecting to 127.0.0.1:%1").arg(session.port()));
    if (session.waitForCard(QString::fromLatin1(kDemoInternalCode), kRegisterMs).isEmpty()) {
        printError(QStringLiteral("ledsign-cli demo: the virtual card did not register within %1 s").arg(kRegisterMs / 1000));
        stopCard();
        return kExitNoCard;
    }
    printLine(QStringLiteral("card registered as %1 (internal code %2)").arg(cardName, QString::fromLatin1(kDemoInternalCode)));

    // 3. The send, as the editor's Send action does it. The materials are
    // rendered before the first packet leaves.
    bool renderedShown = false;
    auto showRendered = [&] {
        if (renderedShown)
            return;
        renderedShown = true;
        for (const TFodder& material : model.materials()) {
            const QString what = material.frameCount > 0
                ? QStringLiteral("%1 frame(s), %2 bytes").arg(material.frameCount).arg(material.byteCount)
                : QStringLiteral("drawn by the card itself");
            printLine(QStringLiteral("rendered %1 / %2: %3").arg(material.pageName, material.name, what));
        }
    };
    ProgressLine progress(QStringLiteral("sending"));
    const CardSession::SendResult sent = session.sendPlaybill(cardName, kDownloadMs, [&](int position, int maximum) {
        if (!renderedShown) {
            progress.finish();
            showRendered();
        }
        progress.show(position, maximum);
    });
    progress.finish();
    showRendered();
    if (!sent.ok) {
        printError(QStringLiteral("ledsign-cli demo: the send failed: %1").arg(sent.message));
        stopCard();
        return kExitFailure;
    }
    printLine(QStringLiteral("%1 %2 packet(s) in %3 ms").arg(sent.message).arg(sent.packets).arg(sent.elapsedMs));

    // 4. The card has written its pictures before it confirmed the last
    // frame; closing the connection ends it (it does not reconnect).
    session.link().channels().server().closeAllConnections();
    const bool ended = waitUntil([&] { return card.state() == QProcess::NotRunning; }, kCardExitMs);
    cardOutput.take(card);
    if (!ended || card.exitStatus() != QProcess::NormalExit || card.exitCode() != 0) {
        printError(QStringLiteral("ledsign-cli demo: the virtual card %1")
                       .arg(ended ? QStringLiteral("ended with status %1").arg(card.exitCode())
                                  : QStringLiteral("did not finish")));
        stopCard();
        return kExitFailure;
    }
    const QStringList pngs = QDir(outDir).entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name);
    if (pngs.isEmpty()) {
        printError(QStringLiteral("ledsign-cli demo: the card wrote no pictures to %1").arg(outDir));
        return kExitFailure;
    }
    printLine(QStringLiteral("the card wrote %1 PNG file(s) to %2:").arg(pngs.size()).arg(outDir));
    for (const QString& name : pngs)
        printLine(QStringLiteral("  ") + name);
    const QString gif = QDir(outDir).filePath(QStringLiteral("demo.gif"));
    if (!QFileInfo::exists(gif)) {
        printError(QStringLiteral("ledsign-cli demo: the card recorded nothing to %1").arg(gif));
        return kExitFailure;
    }
    printLine(QStringLiteral("the card recorded 32 s of its panel to %1").arg(gif));
    return kExitOk;
}

} // namespace ledsign::cli
