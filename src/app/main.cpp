// ledsign: the desktop editor and loader for LED display controller cards.
//
//   ledsign [--home DIR] [--demo]
//
// --home DIR  keep the settings and working folders in DIR
// --demo      start with a sample card (in a temporary folder unless --home
//             is given as well)
#include "editing/selection.h"
#include "editing/treecommands.h"
#include "language/language.h"
#include "model/materialkinds.h"
#include "model/settings.h"
#include "workspace/mainwindow.h"
#include "workspace/objecttree.h"
#include "workspace/workspacesession.h"

#include <QApplication>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTextStream>

#include <memory>

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

// A sample card with one page: a greeting on the left, the date and time
// on the right, shown three times larger.
void addDemoCard(ledsign::ProjectModel& model, const ledsign::DataFolder& folders)
{
    using namespace ledsign;
    SelectionState selection;
    TreeCommands commands(model, folders, selection);
    const CommandResult card =
        commands.addCard({QStringLiteral("Demo"), QStringLiteral("192"), QStringLiteral("32"), 1});
    if (!card.changed)
        return;
    const NodePath page = commands.addPage(card.select).select;
    const NodePath left = commands.addRegion(page).select;
    const NodePath right = commands.addRegion(page).select;
    if (auto r = model.findRegion(left.card, left.page, left.region))
        r.record->width = 64;
    if (auto r = model.findRegion(right.card, right.page, right.region)) {
        r.record->left = 64;
        r.record->width = 128;
    }
    const NodePath text = commands.addMaterial(left, kSingleText).select;
    if (auto m = model.findMaterial(text.card, text.page, text.region, text.material))
        m.record->content = QStringLiteral("clRed^宋体^12^0^0^0^0^2^1^Hello");
    commands.addMaterial(right, kDateTime);
    if (auto c = model.findCard(card.select.card)) {
        c.record->zoom = 30;
        c.record->modified = 0;
    }
}

} // namespace

int main(int argc, char** argv)
{
    // The editor works at 96 dots per inch, so that text wraps where the
    // card's lines break.
    if (qEnvironmentVariableIsEmpty("QT_FONT_DPI"))
        qputenv("QT_FONT_DPI", "96");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ledsign"));
    QApplication::setApplicationVersion(QStringLiteral(LEDSIGN_VERSION_TEXT));
    const QStringList args = QApplication::arguments();

    if (hasOption(args, QStringLiteral("--help")) || hasOption(args, QStringLiteral("-h"))) {
        QTextStream(stdout) << "Usage: ledsign [--home DIR] [--demo]\n"
                            << "  --home DIR  keep the settings and working folders in DIR\n"
                            << "  --demo      start with a sample card\n";
        return 0;
    }
    const bool demo = hasOption(args, QStringLiteral("--demo"));
    std::unique_ptr<QTemporaryDir> demoFolder;
    ledsign::DataFolder folders = ledsign::DataFolder::resolve(args);
    if (demo && !hasHome(args)) {
        demoFolder = std::make_unique<QTemporaryDir>();
        if (demoFolder->isValid())
            folders = ledsign::DataFolder(demoFolder->path());
    }

    ledsign::WorkspaceSession session(folders);
    switch (session.start()) {
    case ledsign::WorkspaceSession::StartResult::Ready:
        break;
    case ledsign::WorkspaceSession::StartResult::AlreadyRunning:
        QMessageBox::information(nullptr, session.caption(), ledsign::GetLgText(3, QStringLiteral("tip_softwear_running")));
        return 0;
    case ledsign::WorkspaceSession::StartResult::FolderError:
        QMessageBox::critical(nullptr, session.caption(), session.errorString());
        return 1;
    }

    ledsign::MainWindow window(session);
    window.show();
    window.startUp();
    window.openCardLink();
    if (demo && session.model().cards().isEmpty()) {
        addDemoCard(session.model(), session.folders());
        window.refreshTree();
        window.tree()->expandAll();
        window.selectCard(QStringLiteral("Demo"));
    }
    return app.exec();
}
