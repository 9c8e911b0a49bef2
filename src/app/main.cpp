// ledsign: the desktop editor and loader for LED display controller cards.
#include "model/datafolder.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ledsign"));
    QTextStream out(stdout);
    out << "ledsign " << QStringLiteral(LEDSIGN_VERSION_TEXT) << "\n"
        << "The editor window is not built yet. The core library is in place:\n"
        << "  data folder: " << ledsign::DataFolder::resolve(app.arguments()).path() << "\n";
    return 0;
}
