// The settings file of a fleet: "SetCfg.ini" with 10,000 cards read (file
// to card list) and written (card list and settings into the file, saved
// atomically), and the INI writer's setValue over 7,500 to 60,000 keys,
// whose cost must grow linearly (the complexity fit is printed as O(N)).
// Targets: read and write of 10,000 cards each under 1 s.
#include "model/cardlist.h"
#include "model/inifile.h"
#include "model/recentfiles.h"
#include "model/settings.h"
#include "model/settingsfile.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace ledsign;

namespace {

constexpr int kCards = 10000;

QList<CardListLine> fleet(const QString& folder)
{
    QList<CardListLine> cards;
    for (int i = 0; i < kCards; ++i) {
        CardListLine c;
        c.name = QStringLiteral("站点屏%1").arg(i);
        c.width = 128;
        c.height = 32;
        c.programFile = folder + QStringLiteral("/card%1.prg").arg(i);
        c.internalCode = QStringLiteral("1_2_3_4_5_6_%1_%2").arg(i / 256).arg(i % 256);
        c.ipAddress = QStringLiteral("10.1.%1.%2").arg(i / 250).arg(i % 250 + 1);
        c.macAddress = QStringLiteral("0:1:2:3:%1:%2").arg(i / 256).arg(i % 256);
        c.version = 80;
        cards << c;
    }
    return cards;
}

void BM_WriteSettings(benchmark::State& state)
{
    QTemporaryDir home;
    const QString path = home.filePath(QStringLiteral("SetCfg.ini"));
    const QList<CardListLine> cards = fleet(home.filePath(QStringLiteral("prgFiles")));
    AppSettings settings;
    for (auto _ : state) {
        SettingsFile file(path);
        file.load();
        if (!file.saveSettings(settings, RecentFiles(), cards)) {
            state.SkipWithError("the save failed");
            return;
        }
    }
    state.counters["cards"] = kCards;
}
BENCHMARK(BM_WriteSettings)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ReadSettings(benchmark::State& state)
{
    QTemporaryDir home;
    const QString path = home.filePath(QStringLiteral("SetCfg.ini"));
    const QString folder = home.filePath(QStringLiteral("prgFiles"));
    {
        SettingsFile file(path);
        file.load();
        if (!file.saveSettings(AppSettings(), RecentFiles(), fleet(folder))) {
            state.SkipWithError("cannot write the file");
            return;
        }
    }
    qsizetype read = 0;
    for (auto _ : state) {
        SettingsFile file(path);
        file.load();
        const AppSettings settings = file.settings(QStringLiteral("10.0.0.1"));
        benchmark::DoNotOptimize(settings.pollTime);
        read = file.cardList(folder).size();
    }
    if (read != kCards)
        state.SkipWithError("not every card was read");
    state.counters["cards"] = double(read);
}
BENCHMARK(BM_ReadSettings)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_IniSetValue(benchmark::State& state)
{
    const int keys = int(state.range(0));
    QStringList names;
    for (int i = 0; i < keys; ++i)
        names << QStringLiteral("Card%1").arg(i);
    for (auto _ : state) {
        IniFile ini;
        for (const QString& name : names)
            ini.setValue(QStringLiteral("CardsInfo"), name, QStringLiteral("128,32,a.prg,1_2_3_4_5_6_7_8,,,80,1"));
        // A second pass updates every key in place.
        for (const QString& name : names)
            ini.setValue(QStringLiteral("CardsInfo"), name, QStringLiteral("64,32,a.prg,1_2_3_4_5_6_7_8,,,80,1"));
        benchmark::DoNotOptimize(ini.hasKey(QStringLiteral("CardsInfo"), names.last()));
    }
    state.SetComplexityN(keys);
}
BENCHMARK(BM_IniSetValue)->RangeMultiplier(2)->Range(7500, 60000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
