// ledsign-card: a virtual LED controller card for trying the program without
// hardware and for the integration tests. One line per event on stdout.
#include "cardoptions.h"
#include "virtualcard.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ledsign-card"));

    ledsign::card::CardOptions options;
    QString message;
    QTextStream err(stderr);
    if (!ledsign::card::parseCardOptions(QCoreApplication::arguments(), options, message)) {
        err << message << '\n';
        return message.contains(QStringLiteral("Usage:")) ? 0 : 2;
    }

    QTextStream out(stdout);
    ledsign::card::VirtualCard card(options, out);
    QObject::connect(&card, &ledsign::card::VirtualCard::finished, &app, &QCoreApplication::exit);
    if (!card.start(message)) {
        err << message << '\n';
        return 2;
    }
    return app.exec();
}
