// ledsign: the desktop editor and loader for LED display controller cards.
//
//   ledsign [--home DIR] [--demo]
//   ledsign --help | --version
//
// --home DIR  keep the settings and working folders in DIR
// --demo      start with the sample card and a virtual card connected on
//             127.0.0.1 (data in ~/.local/share/ledsign-demo unless --home
//             is given as well)
#include "session/terminationsignals.h"
#include "virtualcardprocess.h"

#include "editing/democard.h"
#include "language/language.h"
#include "model/settings.h"
#include "transport/cardlink.h"
#include "transport/channelstartup.h"
#include "transport/filelimit.h"
#include "workspace/mainwindow.h"
#include "workspace/objecttree.h"
#include "session/workspacesession.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <QScreen>
#include <QStatusBar>

#include <cstdio>
#include <cstring>

namespace {

bool hasOption(const QStringList& args, const QString& option)
{
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args.at(i) == option)
            return true;
    }
    return false;
}

bool hasHome(const QStringList& args)
{
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--home") || args.at(i).startsWith(QLatin1String("--home=")))
            return true;
    }
    return false;
}

// The demo: the sample card, saved as a playbill the first time, and a
// virtual card that connects to the editor's server as that card.
void startDemo(ledsign::WorkspaceSession& session, ledsign::MainWindow& window, ledsign::VirtualCardProcess& card)
{
    using namespace ledsign;
    const QString name = QString::fromLatin1(kDemoCardName);
    if (!session.model().findCard(name)) {
        QString error;
        if (!setUpDemoCard(session.model(), session.folders(), nullptr, &error))
            QMessageBox::warning(&window, session.caption(), error);
        window.refreshTree();
        window.tree()->expandAll();
    }
    window.selectCard(name);

    // The window opens the server at start-up in network mode; when it has
    // not, the demo opens it on the port chosen for this run.
    CommChannels& channels = session.link().channels();
    if (!channels.server().isListening())
        channels.openServer(quint16(session.settings().serverPort));
    QString error;
    if (!channels.server().isListening())
        error = QStringLiteral("The server cannot listen on port %1.").arg(session.settings().serverPort);
    else {
        // On a screen too narrow for both, the editor makes room for the
        // card's panel on its right.
        if (const QScreen* screen = window.screen()) {
            const QRect frame = window.frameGeometry();
            const QRect wanted = demoEditorFrame(frame, screen->availableGeometry(), window.minimumSizeHint().width());
            if (wanted != frame)
                window.resize(window.width() - (frame.width() - wanted.width()), window.height());
        }
        card.start(channels.serverPort(), window.frameGeometry(), error);
    }
    if (!error.isEmpty())
        QMessageBox::warning(&window, session.caption(), error);
}

// --help and --version answer before anything needs a display, so that
// they work in a terminal without one. Returns true when one was given.
bool answeredWithoutWindow(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs("Usage: ledsign [--home DIR] [--demo]\n"
                       "       ledsign --help | --version\n"
                       "  --home DIR  keep the settings and working folders in DIR\n"
                       "  --demo      start with a sample card and a virtual card connected to it\n"
                       "  --help, -h  print this help and exit\n"
                       "  --version   print the version and exit\n",
                       stdout);
            return true;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::fputs("ledsign " LEDSIGN_VERSION_TEXT "\n", stdout);
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (answeredWithoutWindow(argc, argv))
        return 0;
    // Every card on the network holds a connection, and a connection is an
    // open file.
    ledsign::raiseOpenFileLimit();
    // The editor works at 96 dots per inch, so that text wraps where the
    // card's lines break.
    if (qEnvironmentVariableIsEmpty("QT_FONT_DPI"))
        qputenv("QT_FONT_DPI", "96");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ledsign"));
    QApplication::setApplicationVersion(QStringLiteral(LEDSIGN_VERSION_TEXT));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/ledsign/ledsign.svg")));
    QApplication::setDesktopFileName(QStringLiteral("org.example.ledsign"));
    const QStringList args = QApplication::arguments();

    const bool demo = hasOption(args, QStringLiteral("--demo"));
    ledsign::DataFolder folders = ledsign::DataFolder::resolve(args);
    if (demo && !hasHome(args))
        folders = ledsign::DataFolder(ledsign::defaultDemoFolder());

    ledsign::WorkspaceSession session(folders);
    switch (session.start()) {
    case ledsign::WorkspaceSession::StartResult::Ready:
        break;
    case ledsign::WorkspaceSession::StartResult::AlreadyRunning: {
        // The service may be the one holding the folder: the operator is told which program.
        QString text = ledsign::messageText(QStringLiteral("tip_softwear_running"));
        if (const QString holder = session.holderNote(); !holder.isEmpty())
            text += QStringLiteral("\n") + holder;
        QMessageBox::information(nullptr, session.caption(), text);
        return 0;
    }
    case ledsign::WorkspaceSession::StartResult::FolderError:
        QMessageBox::critical(nullptr, session.caption(), session.errorString());
        return 1;
    }

    if (demo) {
        // The virtual card connects over the network.
        session.settings().commParam01.clear();
        session.settings().commMode = ledsign::currentCommModeTexts().network;
        // The demo opens on its card; the remote-text tip would stand in front of it.
        session.settings().isShowTips = true;
    }
    ledsign::MainWindow window(session);
    window.show();
    window.startUp();
    window.openCardLink();
    ledsign::VirtualCardProcess card;
    if (demo) {
        QObject::connect(&card, &ledsign::VirtualCardProcess::endedEarly, &window,
                         [&](const QString& message) { window.statusBar()->showMessage(message); });
        startDemo(session, window, card);
    }
    // A termination request closes the window as the Exit command does; the
    // exit question may keep it open (modified playbills), and a second
    // request then ends the program after writing the settings.
    ledsign::TerminationSignals terminations;
    QObject::connect(&terminations, &ledsign::TerminationSignals::terminationRequested, &window,
                     [&](int, int count) {
                         if (count == 1)
                             window.close();
                         else
                             window.closeWithoutAsking();
                     });
    const int status = app.exec();
    card.stop();
    return status;
}
