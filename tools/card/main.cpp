// ledsign-card: a virtual LED controller card for trying the program without
// hardware and for the integration tests. One line per event on stdout.
#include "content/fontresolver.h"
#include "cardoptions.h"
#include "ledpanelwindow.h"
#include "udpresponder.h"
#include "virtualcard.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>

#include <cstring>
#include <memory>

int main(int argc, char** argv)
{
    // Only the LED-panel window needs a display. The card draws its clocks
    // and texts with fonts in any case, which needs a GUI application: off
    // screen when there is no window.
    bool window = false;
    for (int i = 1; i < argc; ++i)
        window = window || std::strcmp(argv[i], "--window") == 0;
    if (!window && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> app = window ? std::make_unique<QApplication>(argc, argv)
                                                   : std::make_unique<QGuiApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ledsign-card"));

    if (QCoreApplication::arguments().contains(QStringLiteral("--version"))) {
        QTextStream(stdout) << "ledsign-card " LEDSIGN_VERSION_TEXT "\n";
        return 0;
    }
    ledsign::card::CardOptions options;
    QString message;
    QTextStream err(stderr);
    if (!ledsign::card::parseCardOptions(QCoreApplication::arguments(), options, message)) {
        err << message << '\n';
        return message.contains(QStringLiteral("Usage:")) ? 0 : 2;
    }

    // Here, on the application's thread: recordings draw on a thread of their own.
    ledsign::registerPackagedFonts();
    QTextStream out(stdout);
    ledsign::card::VirtualCard card(options, out);
    QObject::connect(&card, &ledsign::card::VirtualCard::finished, app.get(), &QCoreApplication::exit);
    std::unique_ptr<ledsign::card::UdpResponder> udp;
    if (!options.udpAddress.isEmpty()) {
        udp = std::make_unique<ledsign::card::UdpResponder>(options, card);
        if (!udp->start(message)) {
            err << message << '\n';
            return 2;
        }
    }
    if (!card.start(message)) {
        err << message << '\n';
        return 2;
    }
    std::unique_ptr<ledsign::card::LedPanelWindow> panel;
    if (options.window) {
        panel = std::make_unique<ledsign::card::LedPanelWindow>(card, options);
        panel->show();
    }
    return app->exec();
}
