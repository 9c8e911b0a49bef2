// ledsign-cli: the editor's engine without windows, for scripts.
#include "clioptions.h"
#include "commands.h"
#include "output.h"
#include "servicecommands.h"

#include "language/language.h"

#include <QGuiApplication>

using namespace ledsign;
using namespace ledsign::cli;

namespace {

QString mainUsage()
{
    return QStringLiteral(
        "usage: ledsign-cli COMMAND [OPTIONS]\n\n"
        "commands:\n"
        "  render   write a playbill's pictures as PNG and its display data\n"
        "  export   write the USB-disk files of a playbill\n"
        "  send     send a playbill to a card over the network, a serial line or an RS-485 line\n"
        "  decode   print the frames of a USB-disk data file or of a send's trace\n"
        "  cards    list the cards that connect and register\n"
        "  search   search the network for cards (UDP)\n"
        "  play     start or stop a card's playing\n"
        "  time     set a card's clock\n"
        "  demo     build the sample card and send it to a virtual card on this machine\n\n"
        "\"ledsign-cli COMMAND --help\" describes a command; \"ledsign-cli --version\" prints the version.\n"
        "Exit status: 0 done; 1 failed (the card refused or did not finish, a file could not be\n"
        "read or written); 2 wrong arguments; 3 no card registered or answered in time.");
}

} // namespace

int main(int argc, char** argv)
{
    // Fonts and pictures need a Gui application; no window is ever shown.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("QT_FONT_DPI"))
        qputenv("QT_FONT_DPI", "96");
    QGuiApplication app(argc, argv);
    setCurrentLanguage(kEnglish);

    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) {
        printError(mainUsage());
        return kExitUsage;
    }
    const QString command = args.first();
    QStringList rest = args.mid(1);
    if (command == QLatin1String("--help") || command == QLatin1String("-h") || command == QLatin1String("help")) {
        printLine(mainUsage());
        return kExitOk;
    }
    if (command == QLatin1String("--version")) {
        printLine(QStringLiteral("ledsign-cli " LEDSIGN_VERSION_TEXT));
        return kExitOk;
    }
    // The commands that need the card server go through a running service
    // of their data folder, which holds it.
    if (command == QLatin1String("send") || command == QLatin1String("cards") || command == QLatin1String("play")
        || command == QLatin1String("time")) {
        if (const std::optional<int> status = runThroughService(command, rest))
            return *status;
    }
    if (command == QLatin1String("render"))
        return runRender(rest);
    if (command == QLatin1String("export"))
        return runExport(rest);
    if (command == QLatin1String("send"))
        return runSend(rest);
    if (command == QLatin1String("cards"))
        return runCards(rest);
    if (command == QLatin1String("search"))
        return runSearch(rest);
    if (command == QLatin1String("play") || command == QLatin1String("time"))
        return runCardCommand(command, rest);
    if (command == QLatin1String("decode"))
        return runDecode(rest);
    if (command == QLatin1String("demo"))
        return runDemo(rest);
    printError(QStringLiteral("ledsign-cli: unknown command %1\n").arg(command) + mainUsage());
    return kExitUsage;
}
