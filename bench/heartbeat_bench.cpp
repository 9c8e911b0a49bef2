// 1000 cards on the program's TCP server: how long until every one is
// registered, the program's CPU while they send heartbeats, and its peak
// memory. The cards are simulated by a second process of this program
// (plain sockets, the program's own report frames), so that getrusage of
// this process measures the program side alone.
// Targets: all registered within 5 s; steady CPU under 5 % of one core;
// peak RSS under 150 MB.
// Run: bench_heartbeat_bench [cards] [heartbeat period ms] [steady window s]
#include "language/language.h"
#include "model/projectmodel.h"
#include "protocol/cardreport.h"
#include "protocol/frame.h"
#include "transport/cardlink.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTcpSocket>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>
#include <memory>
#include <vector>

using namespace ledsign;

namespace {

// Runs the event loop (sleeping while idle, as the program does) until the
// condition holds or the time is up.
template <class Condition>
bool waitFor(Condition condition, int timeoutMs)
{
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (condition())
            loop.quit();
    });
    check.start(10);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    if (!condition())
        loop.exec();
    return condition();
}

double cpuSeconds()
{
    rusage u {};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

long peakRssKb()
{
    rusage u {};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

convert::InternalCode codeOf(int n) { return {7, 7, 7, 7, 0, quint8(n >> 16), quint8(n >> 8), quint8(n)}; }

// The simulated cards: each connects, answers the identity query with its
// report, then sends a heartbeat every period (spread over the period).
int runCards(int count, quint16 port, int periodMs)
{
    std::vector<std::unique_ptr<QTcpSocket>> sockets;
    std::vector<QByteArray> heartbeats;
    for (int i = 0; i < count; ++i) {
        CardReportContent c;
        c.internalCode = codeOf(i);
        c.cardType = QStringLiteral("SIM");
        const QByteArray report = buildCardReport(c, quint32(i));
        c.command = frame::reply::kHeartbeat;
        heartbeats.push_back(buildCardReport(c, quint32(i)));
        auto* s = new QTcpSocket;
        sockets.emplace_back(s);
        QObject::connect(s, &QTcpSocket::readyRead, [s, report] {
            const QByteArray in = s->readAll();
            // Every identity query gets the report; the time frame needs nothing.
            if (in.size() > 12 && frame::startsWithMarker(in) && frame::command(in) == frame::cmd::kIdentityQuery)
                s->write(report);
        });
        s->connectToHost(QHostAddress::LocalHost, port);
    }
    // One card per tick, so that the heartbeats are spread over the period
    // as independent cards spread them.
    int next = 0;
    QTimer beat;
    beat.setTimerType(Qt::PreciseTimer);
    const int tick = std::max(1, periodMs / std::max(count, 1));
    QObject::connect(&beat, &QTimer::timeout, [&] {
        QTcpSocket* s = sockets[size_t(next)].get();
        if (s->state() == QAbstractSocket::ConnectedState)
            s->write(heartbeats[size_t(next)]);
        next = (next + 1) % count;
    });
    beat.start(tick);
    return QCoreApplication::exec();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() >= 5 && args[1] == QLatin1String("--cards"))
        return runCards(args[2].toInt(), quint16(args[3].toUInt()), args[4].toInt());

    const int count = args.size() > 1 ? args[1].toInt() : 1000;
    const int periodMs = args.size() > 2 ? args[2].toInt() : 30000; // the poll time cards are told
    const int windowS = args.size() > 3 ? args[3].toInt() : 30;
    setCurrentLanguage(kEnglish);

    ProjectModel model;
    CardLink link(model);
    link.setCommMode(CommModeKind::Network);
    if (!link.channels().openServer(0, QHostAddress::LocalHost)) {
        std::fprintf(stderr, "bench_heartbeat: no server\n");
        return 2;
    }
    QProcess cards;
    cards.setProcessChannelMode(QProcess::ForwardedChannels);
    QElapsedTimer clock;
    clock.start();
    cards.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--cards"), QString::number(count), QString::number(link.channels().serverPort()),
                 QString::number(periodMs)});
    auto online = [&] {
        int n = 0;
        for (const TFIXModem& c : model.cards())
            n += c.online == 1 ? 1 : 0;
        return n;
    };
    const bool all = waitFor([&] { return online() == count; }, 30000);
    const qint64 registeredMs = clock.elapsed();
    std::printf("%d cards: %s registered in %lld ms (target < 5000 ms)\n", count, all ? "all" : "NOT all",
                static_cast<long long>(registeredMs));

    // Let the start settle (time frames, the first presence tick), then
    // measure with nothing of the benchmark's own running.
    waitFor([] { return false; }, 3000);
    QList<QDateTime> heardBefore;
    for (const TFIXModem& c : model.cards())
        heardBefore << c.lastHeard;
    // Every turn of the event loop polls every connection: the count of
    // turns explains most of the CPU.
    int turns = 0;
    const QMetaObject::Connection counting = QObject::connect(
        QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake, [&turns] { ++turns; });
    const double cpuStart = cpuSeconds();
    QElapsedTimer window;
    window.start();
    {
        QEventLoop loop;
        QTimer::singleShot(windowS * 1000, &loop, &QEventLoop::quit);
        loop.exec();
    }
    const double cpu = cpuSeconds() - cpuStart;
    const double wall = double(window.elapsed()) / 1000.0;
    QObject::disconnect(counting);
    int heard = 0;
    for (int i = 0; i < model.cards().size() && i < heardBefore.size(); ++i)
        heard += model.cards()[i].lastHeard != heardBefore[i] ? 1 : 0;
    std::printf("  steady window %.1f s, a heartbeat every %d ms per card (%d cards heard in the window): "
                "CPU %.2f %% of one core (target < 5 %%)\n",
                wall, periodMs, heard, 100.0 * cpu / wall);
    std::printf("  event-loop turns: %.0f per second, %.1f per heartbeat\n", turns / wall,
                heard > 0 ? turns * double(periodMs) / 1000.0 / wall / count : 0.0);
    std::printf("  still on line: %d of %d; peak RSS %.1f MB (target < 150 MB)\n", online(), count,
                double(peakRssKb()) / 1024.0);
    cards.kill();
    cards.waitForFinished(3000);
    return all ? 0 : 1;
}
