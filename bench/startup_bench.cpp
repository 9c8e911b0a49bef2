// Start-up with a large card list, measured from the session's start to the
// main window shown with every card loaded and the events of the first paint
// handled:
//   - 200 cards in "SetCfg.ini", each with a playbill of 20 pages (one region
//     and one single-line text per page); target under 2 s;
//   - a fleet of 10,000 cards, each with a small playbill (one page, one
//     region, one text); target under 3 s.
// The settings file is written as text, so that preparing the folder does
// not measure the settings writer.
#include "workspace/mainwindow.h"
#include "session/workspacesession.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>

using namespace ledsign;

namespace {

QByteArray playbill(int card, int pageCount)
{
    QByteArray pages = "[ProgramList]\r\n";
    QByteArray regions = "[RegionList]\r\n";
    QByteArray materials = "[FodderList]\r\n";
    QByteArray texts = "[TxtContentList]\r\n";
    int id = 100000000 + card * 1000;
    int panel = 0;
    for (int p = 1; p <= pageCount; ++p) {
        const QByteArray page = "P" + QByteArray::number(p);
        const QByteArray pageId = QByteArray::number(++id);
        const QByteArray regionId = QByteArray::number(++id);
        const QByteArray textId = QByteArray::number(++id);
        pages += page + "," + pageId + ",pnProgram" + QByteArray::number(++panel) + ",00:00,24:00,everyday,,-1\r\n";
        regions += page + "," + pageId + ",R1," + regionId + ",pnRegion" + QByteArray::number(++panel)
                   + ",0,0,64,32\r\n";
        materials += page + ",R1," + regionId + ",T1," + textId + ",pnSglTxt" + QByteArray::number(++panel)
                     + ",0,1,9,1,1,56,49,49,,1,1,1,1,1,1,1,0,0,0,0,0,0,0,0\r\n";
        texts += textId + "=page " + QByteArray::number(p) + " of card " + QByteArray::number(card) + "\r\n";
    }
    return pages + regions + materials + texts;
}

bool makeFolder(const QString& home, int cardCount, int pageCount)
{
    if (!QDir().mkpath(home + QStringLiteral("/prgFiles")))
        return false;
    QByteArray ini = "[IsShowTips]\r\nIsShowTips=1\r\n\r\n[IsShowMulNetCard]\r\nIsShowMulNetCard=0\r\n\r\n"
                     "[CardsInfo]\r\n";
    for (int c = 1; c <= cardCount; ++c) {
        const QByteArray file = "card" + QByteArray::number(c) + ".prg";
        const QByteArray host = QByteArray::number(c % 250);
        ini += "Card" + QByteArray::number(c) + "=64,32," + file + ",1_2_3_" + QByteArray::number(c >> 16) + "_"
               + QByteArray::number((c >> 8) & 255) + "_" + QByteArray::number(c & 255) + "_7_" + host
               + ",192.168.1." + host + ",0:0:0:0:0:" + host + ",80,1\r\n";
        QFile f(home + QStringLiteral("/prgFiles/") + QString::fromLatin1(file));
        if (!f.open(QIODevice::WriteOnly) || f.write(playbill(c, pageCount)) < 0)
            return false;
    }
    QFile settings(home + QStringLiteral("/SetCfg.ini"));
    return settings.open(QIODevice::WriteOnly) && settings.write(ini + "\r\n") > 0;
}

// The session on the folder, its port taken as bound without a socket.
bool startSession(WorkspaceSession& session)
{
    WorkspaceSession::StartOptions options;
    options.bindPort = [](int) { return BindResult::Bound; };
    options.localAddress = QStringLiteral("127.0.0.1");
    return session.start(options) == WorkspaceSession::StartResult::Ready;
}

// The window shown with every card loaded and its first paint handled.
void showStarted(MainWindow& window)
{
    window.show();
    window.startUp();
    QApplication::processEvents();
}

void BM_StartupWithLargeCardList(benchmark::State& state)
{
    const int cardCount = int(state.range(0));
    const int pageCount = int(state.range(1));
    QTemporaryDir home;
    if (!home.isValid() || !makeFolder(home.path(), cardCount, pageCount)) {
        state.SkipWithError("cannot prepare the data folder");
        return;
    }
    qsizetype materials = 0;
    for (auto _ : state) {
        WorkspaceSession session{DataFolder(home.path())};
        if (!startSession(session)) {
            state.SkipWithError("the session did not start");
            return;
        }
        MainWindow window(session);
        showStarted(window);
        materials = session.model().materials().size();
        state.PauseTiming();
        // Nothing was changed: the window closes without a question.
        window.close();
        state.ResumeTiming();
    }
    if (materials != qsizetype(cardCount) * pageCount)
        state.SkipWithError("not every playbill was loaded");
    state.counters["materials"] = double(materials);
}
BENCHMARK(BM_StartupWithLargeCardList)
    ->ArgNames({"cards", "pages"})
    ->Args({200, 20})
    ->Args({10000, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

// One edit and its undo in a window holding the fleet: Add Page on the
// first card through its action, then Undo. Every edit becomes an undo step,
// so this is what an operator waits for after each change.
void BM_EditAndUndoWithLargeCardList(benchmark::State& state)
{
    const int cardCount = int(state.range(0));
    QTemporaryDir home;
    if (!home.isValid() || !makeFolder(home.path(), cardCount, 1)) {
        state.SkipWithError("cannot prepare the data folder");
        return;
    }
    WorkspaceSession session{DataFolder(home.path())};
    if (!startSession(session)) {
        state.SkipWithError("the session did not start");
        return;
    }
    MainWindow window(session);
    showStarted(window);
    const QString first = session.model().cards().first().name;
    const qsizetype pages = session.model().pages().size();
    for (auto _ : state) {
        window.selectNode(NodePath::ofCard(first));
        window.runCommand(ActionId::AddPrg);
        window.undoAction()->trigger();
        QApplication::processEvents();
    }
    if (session.model().pages().size() != pages)
        state.SkipWithError("the undo did not take the page back");
    window.close();
}
BENCHMARK(BM_EditAndUndoWithLargeCardList)
    ->ArgNames({"cards"})
    ->Arg(200)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("QT_FONT_DPI"))
        qputenv("QT_FONT_DPI", "96");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
