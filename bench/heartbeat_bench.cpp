// Fleets of cards on the program's TCP server, one after another in one run
// (1,000, 4,000 and 10,000 cards unless told otherwise): how long until every
// card is registered, the program's CPU while they send heartbeats, the CPU
// per heartbeat, and the program's memory. The cost per heartbeat must not
// grow with the fleet: the ratio of the largest fleet's cost to the
// smallest's is printed at the end.
//
// The cards are simulated by a second process of this program (plain
// non-blocking sockets on one epoll set, the program's own report frames),
// so that getrusage of this process measures the program side alone. The
// cards connect to 127.0.0.1 only.
//
// Targets: 10,000 cards registered within 10 s; steady CPU under 5 % of one
// core; CPU per heartbeat at 10,000 cards at most 1.5 times that at 1,000;
// peak RSS under 300 MB.
//
// Run: bench_heartbeat_bench [cards,cards,...] [heartbeat period ms] [steady window s]
#include "language/language.h"
#include "model/projectmodel.h"
#include "protocol/cardreport.h"
#include "protocol/frame.h"
#include "simulatedcards.h"
#include "transport/cardlink.h"
#include "transport/filelimit.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <vector>

using namespace ledsign;
using ledsign::bench::runSimulatedCards;

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

double peakRssMb()
{
    rusage u {};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_maxrss) / 1024.0;
}

double rssMb()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = f.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0) : 0;
}

// ------------------------------------------------------------------ program

struct FleetResult {
    int cards = 0;
    bool registered = false;
    qint64 registeredMs = 0;
    double cpuPercent = 0;
    double usPerHeartbeat = 0;
    qint64 heartbeats = 0;
    int online = 0;
    double rss = 0;
    double peakRss = 0;
};

FleetResult runFleet(int count, int periodMs, int windowS)
{
    FleetResult result;
    result.cards = count;
    ProjectModel model;
    auto link = std::make_unique<CardLink>(model);
    link->setCommMode(CommModeKind::Network);
    if (!link->channels().openServer(0, QHostAddress::LocalHost)) {
        std::fprintf(stderr, "bench_heartbeat: no server\n");
        return result;
    }
    const qsizetype heartbeatSize = [] {
        CardReportContent c;
        c.command = frame::reply::kHeartbeat;
        return buildCardReport(c, 0).size();
    }();
    qint64 bytesIn = 0;
    QObject::connect(&link->channels(), &CommChannels::tcpBytesReceived,
                     [&bytesIn](QTcpSocket*, const QByteArray& bytes) { bytesIn += bytes.size(); });

    QProcess cards;
    cards.setProcessChannelMode(QProcess::ForwardedChannels);
    QElapsedTimer clock;
    clock.start();
    cards.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--cards"), QString::number(count), QString::number(link->channels().serverPort()),
                 QString::number(periodMs)});
    auto online = [&] {
        int n = 0;
        for (const TFIXModem& c : model.cards())
            n += c.online == 1 ? 1 : 0;
        return n;
    };
    result.registered = waitFor([&] { return online() == count; }, 30000);
    result.registeredMs = clock.elapsed();

    // Let the start settle (time frames, the first presence ticks), then
    // measure with nothing of the benchmark's own running.
    waitFor([] { return false; }, 3000);
    bytesIn = 0;
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
    result.heartbeats = bytesIn / heartbeatSize;
    result.cpuPercent = 100.0 * cpu / wall;
    result.usPerHeartbeat = result.heartbeats > 0 ? 1e6 * cpu / double(result.heartbeats) : 0;
    result.online = online();
    result.rss = rssMb();
    result.peakRss = peakRssMb();
    cards.kill();
    cards.waitForFinished(3000);
    link.reset();
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() >= 5 && args[1] == QLatin1String("--cards"))
        return runSimulatedCards(args[2].toInt(), quint16(args[3].toUInt()), args[4].toInt(), 600);

    const long files = raiseOpenFileLimit();
    QList<int> counts {1000, 4000, 10000};
    if (args.size() > 1) {
        counts.clear();
        for (const QString& n : args[1].split(u','))
            counts << n.toInt();
    }
    const int periodMs = args.size() > 2 ? args[2].toInt() : 30000; // the poll time cards are told
    const int windowS = args.size() > 3 ? args[3].toInt() : 30;
    setCurrentLanguage(kEnglish);
    std::printf("open files allowed: %ld; a heartbeat every %d ms per card; steady window %d s\n", files, periodMs,
                windowS);

    QList<FleetResult> results;
    bool all = true;
    for (int count : std::as_const(counts)) {
        const FleetResult r = runFleet(count, periodMs, windowS);
        results << r;
        all = all && r.registered;
        std::printf("%6d cards: %s registered in %lld ms (target < 10000 ms)\n", r.cards,
                    r.registered ? "all" : "NOT all", static_cast<long long>(r.registeredMs));
        std::printf("        steady: %lld heartbeats, CPU %.2f %% of one core (target < 5 %%), %.1f us per heartbeat\n",
                    static_cast<long long>(r.heartbeats), r.cpuPercent, r.usPerHeartbeat);
        std::printf("        still on line %d of %d; RSS %.1f MB, peak RSS %.1f MB (target < 300 MB)\n", r.online,
                    r.cards, r.rss, r.peakRss);
        std::fflush(stdout);
    }
    if (results.size() > 1 && results.first().usPerHeartbeat > 0) {
        const double ratio = results.last().usPerHeartbeat / results.first().usPerHeartbeat;
        std::printf("CPU per heartbeat, %d cards / %d cards: %.2f (target <= 1.5)\n", results.last().cards,
                    results.first().cards, ratio);
    }
    return all ? 0 : 1;
}
