// Start-up with a large card list: 200 cards in "SetCfg.ini", each with a
// playbill of 20 pages (one region and one single-line text per page),
// measured from the session's start to the main window shown with every
// card loaded and the events of the first paint handled. Target: under 2 s.
#include "model/inifile.h"
#include "workspace/mainwindow.h"
#include "workspace/workspacesession.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>

using namespace ledsign;

namespace {

constexpr int kCards = 200;
constexpr int kPages = 20;

QByteArray playbill(int card)
{
    QByteArray pages = "[ProgramList]\r\n";
    QByteArray regions = "[RegionList]\r\n";
    QByteArray materials = "[FodderList]\r\n";
    QByteArray texts = "[TxtContentList]\r\n";
    int id = 100000000 + card * 1000;
    int panel = 0;
    for (int p = 1; p <= kPages; ++p) {
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

bool makeFolder(const QString& home)
{
    if (!QDir().mkpath(home + QStringLiteral("/prgFiles")))
        return false;
    IniFile ini;
    ini.setValue(QStringLiteral("IsShowTips"), QStringLiteral("IsShowTips"), QStringLiteral("1"));
    ini.setValue(QStringLiteral("IsShowMulNetCard"), QStringLiteral("IsShowMulNetCard"), QStringLiteral("0"));
    for (int c = 1; c <= kCards; ++c) {
        const QString file = QStringLiteral("card%1.prg").arg(c);
        ini.setValue(QStringLiteral("CardsInfo"), QStringLiteral("Card%1").arg(c),
                     QStringLiteral("64,32,%1,1_2_3_4_5_6_7_%2,192.168.1.%2,0:0:0:0:0:%2,80,1").arg(file).arg(c % 250));
        QFile f(home + QStringLiteral("/prgFiles/") + file);
        if (!f.open(QIODevice::WriteOnly) || f.write(playbill(c)) < 0)
            return false;
    }
    return ini.save(home + QStringLiteral("/SetCfg.ini"));
}

void BM_StartupWithLargeCardList(benchmark::State& state)
{
    QTemporaryDir home;
    if (!home.isValid() || !makeFolder(home.path())) {
        state.SkipWithError("cannot prepare the data folder");
        return;
    }
    qsizetype materials = 0;
    for (auto _ : state) {
        WorkspaceSession session{DataFolder(home.path())};
        WorkspaceSession::StartOptions options;
        options.bindPort = [](int) { return BindResult::Bound; };
        options.localAddress = QStringLiteral("127.0.0.1");
        if (session.start(options) != WorkspaceSession::StartResult::Ready) {
            state.SkipWithError("the session did not start");
            return;
        }
        MainWindow window(session);
        window.show();
        window.startUp();
        QApplication::processEvents();
        materials = session.model().materials().size();
        state.PauseTiming();
        // Nothing was changed: the window closes without a question.
        window.close();
        state.ResumeTiming();
    }
    if (materials != qsizetype(kCards) * kPages)
        state.SkipWithError("not every playbill was loaded");
    state.counters["materials"] = double(materials);
}
BENCHMARK(BM_StartupWithLargeCardList)->Unit(benchmark::kMillisecond)->Iterations(3);

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
