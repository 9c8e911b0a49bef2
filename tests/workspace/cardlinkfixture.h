// The main window with its link to the cards opened, on a temporary data
// folder whose settings put the TCP server on a free loopback-reachable port.
// The adapter list, the host address and the card windows are scripted.
#pragma once

#include "model/inifile.h"
#include "support/cardprocess.h"
#include "transport/cardlink.h"
#include "transport/waitfor.h"
#include "windowfixture.h"
#include "workspace/cardlinkcontroller.h"

#include <QFileInfo>
#include <QTcpServer>

#include <functional>

namespace ledsign::test {

class ScriptedLinkDialogs : public CardLinkDialogs {
public:
    std::optional<AdapterChoice> chooseAdapter(const QList<TAdapterInfo>& adapters, const QString& serverIp) override
    {
        chooserShown << serverIp;
        chooserRows = int(adapters.size());
        return adapterChoice;
    }
    void runSearch(CardSearch& search) override
    {
        ++searches;
        if (duringSearch)
            duringSearch(search);
    }
    void runParameters(ParamConfig& config) override
    {
        ++parameterWindows;
        config.shown();
        if (duringParameters)
            duringParameters(config);
        config.closed();
    }
    void showMessage(const QString& text) override { messages << text; }

    std::optional<AdapterChoice> adapterChoice;
    QStringList chooserShown;
    int chooserRows = 0;
    int searches = 0;
    int parameterWindows = 0;
    std::function<void(CardSearch&)> duringSearch;
    std::function<void(ParamConfig&)> duringParameters;
    QStringList messages;
};

// A TCP port nobody listens on right now.
inline quint16 freeTcpPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

inline void writeIni(const QString& path, const QList<QStringList>& entries)
{
    IniFile ini;
    for (const QStringList& e : entries)
        ini.setValue(e.value(0), e.value(1), e.value(2));
    ini.save(path);
}

struct LinkedRun : Running {
    ScriptedLinkDialogs* linkDialogs = nullptr;

    CardLinkController& controller() { return window->cardLink(); }
    CardLink& link() { return session->link(); }
};

struct LinkOptions {
    QList<TAdapterInfo> adapters{{1, QStringLiteral("loopback"), QStringLiteral("127.0.0.2"), {}, {}}};
    QString lastHost = QStringLiteral("127.0.0.2");
    std::optional<AdapterChoice> adapterChoice;
    // Runs after the cards are loaded, just before the link opens.
    std::function<void(struct LinkedRun&)> beforeOpen;
};

// Starts the session and the window as the program does: the window shows,
// the cards load, then the link opens.
inline LinkedRun startLinkedRun(const QString& home, const LinkOptions& options = {})
{
    LinkedRun run;
    run.session = std::make_unique<WorkspaceSession>(DataFolder(home));
    EXPECT_EQ(run.session->start(testStartOptions()), WorkspaceSession::StartResult::Ready)
        << run.session->errorString().toStdString();
    // Every designed interval of the send supervision, shortened.
    run.session->link().scheduler().state().timeScale = 0.1;
    auto dialogs = std::make_unique<ScriptedDialogs>();
    run.dialogs = dialogs.get();
    run.window = std::make_unique<MainWindow>(*run.session, std::move(dialogs));
    auto linkDialogs = std::make_unique<ScriptedLinkDialogs>();
    linkDialogs->adapterChoice = options.adapterChoice;
    run.linkDialogs = linkDialogs.get();
    run.controller().setDialogs(std::move(linkDialogs));
    const QList<TAdapterInfo> adapters = options.adapters;
    run.controller().setAdapterSource([adapters] { return adapters; });
    const QString lastHost = options.lastHost;
    run.controller().setLastHostSource([lastHost] { return lastHost; });
    run.window->show();
    run.window->startUp();
    if (options.beforeOpen)
        options.beforeOpen(run);
    run.window->openCardLink();
    return run;
}

// Ends the run as the program ends: the window first, then the session.
inline void endRun(LinkedRun& run)
{
    run.window.reset();
    run.session.reset();
}

} // namespace ledsign::test
