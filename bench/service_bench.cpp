// ledsignd under a fleet and an API load: 10,000 simulated cards connected
// and sending heartbeats, a few virtual cards (ledsign-card) that take real
// downloads, and 100 API requests a second for 60 s: reads of single cards,
// now and then the whole card list, and text updates on the virtual cards.
// Reported: the service's CPU over the load window (goal < 10 % of one
// core), its peak memory, the time from a text PUT to the end of the card's
// confirmed download (as the event stream tells it) at the 50th and 99th
// percentile (goal p99 < 1 s), and the answer time of the reads.
//
// A text update only goes to a virtual card with no send of its own under
// way; when all are busy the request is a read instead (counted).
//
// The simulated cards are a second process of this program (non-blocking
// sockets on one epoll set, each card's report frames), so that the service's
// CPU and memory are read from /proc for the service alone.
//
// Run: bench_service_bench [cards] [seconds] [requests per s] [virtual cards]
//      (default 10000 60 100 4); LEDSIGND and LEDSIGN_CARD name the programs
//      when they are not in ../bin beside this one.
#include "model/codec.h"
#include "protocol/cardreport.h"
#include "protocol/conversions.h"
#include "protocol/frame.h"
#include "simulatedcards.h"
#include "transport/filelimit.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <memory>
#include <vector>

using namespace ledsign;
using ledsign::bench::runSimulatedCards;
using ledsign::bench::simulatedCardCode;

namespace {

qint64 nowUs() { return ledsign::bench::monotonicUs(); }

template <class Condition>
bool waitFor(Condition condition, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QEventLoop loop;
        QTimer::singleShot(20, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

// ------------------------------------------------------------------ the service from outside

struct ProcStat {
    double cpuSeconds = 0;
    double rssMb = 0;
    double peakMb = 0;
};

ProcStat procStat(qint64 pid)
{
    ProcStat s;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (stat.open(QIODevice::ReadOnly)) {
        const QByteArray line = stat.readAll();
        // The fields after the command name, which is in parentheses.
        const QList<QByteArray> f = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (f.size() > 13)
            s.cpuSeconds = (f[11].toDouble() + f[12].toDouble()) / double(sysconf(_SC_CLK_TCK));
    }
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& l : status.readAll().split('\n')) {
            const QList<QByteArray> w = l.simplified().split(' ');
            if (w.size() >= 2 && w[0] == "VmHWM:")
                s.peakMb = w[1].toDouble() / 1024.0;
            if (w.size() >= 2 && w[0] == "VmRSS:")
                s.rssMb = w[1].toDouble() / 1024.0;
        }
    }
    return s;
}

QString program(const char* env, const QString& name)
{
    const QString given = qEnvironmentVariable(env);
    return given.isEmpty() ? QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../bin/") + name)
                           : given;
}

// One page, one 64 x 16 region, the single-line text material "title".
QByteArray titlePlaybill(const QString& text)
{
    return codec::encode(QStringLiteral(
                             "[ProgramList]\r\n"
                             "page1,100000001,pnProgram1,00:00,24:00,everyday,,-1\r\n"
                             "[RegionList]\r\n"
                             "page1,100000001,area1,100000002,pnRegion2,0,0,64,16\r\n"
                             "[FodderList]\r\n"
                             "page1,area1,100000002,title,100000003,pnSglTxt3,0,1,9,1,1,56,49,49,,1,1,1,1,1,1,1,0,0,0,0,0,0,0,0\r\n"
                             "[TxtContentList]\r\n"
                             "100000003=clRed^\u5b8b\u4f53^12^0^0^0^0^0^1^%1\r\n")
                             .arg(text));
}

double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(p / 100.0 * double(v.size())))];
}

class Client {
public:
    explicit Client(QString api) : m_api(std::move(api)) { m_net.setProxy(QNetworkProxy::NoProxy); }

    QNetworkReply* start(const QByteArray& method, const QString& path, const QByteArray& body = {})
    {
        QNetworkRequest request(QUrl(m_api + path));
        if (!body.isEmpty())
            request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
        return m_net.sendCustomRequest(request, method, body);
    }
    // Waits for the answer: status and body.
    std::pair<int, QByteArray> call(const QByteArray& method, const QString& path, const QByteArray& body = {})
    {
        QNetworkReply* r = start(method, path, body);
        waitFor([r] { return r->isFinished(); }, 60000);
        const std::pair<int, QByteArray> out{r->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), r->readAll()};
        r->deleteLater();
        return out;
    }

private:
    QString m_api;
    QNetworkAccessManager m_net;
};

QString cardPath(const QString& name, const QString& rest = {})
{
    return QStringLiteral("/api/cards/") + QString::fromLatin1(QUrl::toPercentEncoding(name)) + rest;
}

qsizetype g_listBytes = 0;

int onlineCount(Client& client)
{
    const auto [status, body] = client.call("GET", QStringLiteral("/api/cards"));
    g_listBytes = body.size();
    int n = 0;
    for (const QJsonValue& v : QJsonDocument::fromJson(body).object().value(QStringLiteral("cards")).toArray())
        n += v.toObject().value(QStringLiteral("online")).toBool() ? 1 : 0;
    return status == 200 ? n : -1;
}

// The job-end events of the service's event stream, by job id, with the
// time they arrived.
class JobEnds : public QObject {
public:
    JobEnds(QNetworkAccessManager& net, const QString& api)
    {
        QNetworkRequest request(QUrl(api + QStringLiteral("/api/events")));
        m_reply = net.get(request);
        connect(m_reply, &QNetworkReply::readyRead, this, [this] {
            m_buffer += m_reply->readAll();
            qsizetype end;
            while ((end = m_buffer.indexOf("\n\n")) >= 0) {
                const QByteArray event = m_buffer.left(end);
                m_buffer.remove(0, end + 2);
                if (!event.contains("\nevent: job-end\n"))
                    continue;
                const QJsonObject job =
                    QJsonDocument::fromJson(event.mid(event.indexOf("\ndata: ") + 7)).object();
                ended.insert(job.value(QStringLiteral("id")).toString(),
                             {nowUs(), job.value(QStringLiteral("state")).toString()});
            }
        });
    }
    bool open() const { return m_reply && !m_reply->isFinished(); }
    QHash<QString, std::pair<qint64, QString>> ended;

private:
    QNetworkReply* m_reply = nullptr;
    QByteArray m_buffer;
};

struct Target {
    QString name;
    QString job;     // the text send under way, empty when idle
    qint64 putUs = 0;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() >= 5 && args[1] == QLatin1String("--cards"))
        return runSimulatedCards(args[2].toInt(), quint16(args[3].toUInt()), args[4].toInt(), 900);
    const int cardCount = args.size() > 1 ? args[1].toInt() : 10000;
    const int seconds = args.size() > 2 ? args[2].toInt() : 60;
    const int rate = args.size() > 3 ? args[3].toInt() : 100;
    const int targetCount = args.size() > 4 ? args[4].toInt() : 4;
    constexpr int kHeartbeatMs = 30000; // the cards' poll time

    raiseOpenFileLimit();
    QTemporaryDir home;
    QProcess service;
    service.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("ledsign.*.debug=false;ledsign.*.info=false"));
    service.setProcessEnvironment(env);
    service.start(program("LEDSIGND", QStringLiteral("ledsignd")),
                  {QStringLiteral("--home"), home.path(), QStringLiteral("--card-port"), QStringLiteral("0"),
                   QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0")});
    const QString serviceFile = home.filePath(QStringLiteral("ledsignd.json"));
    if (!service.waitForStarted(10000) || !waitFor([&] { return QFile::exists(serviceFile); }, 30000)) {
        std::fprintf(stderr, "service_bench: ledsignd did not start (%s)\n", qPrintable(service.program()));
        return 1;
    }
    QFile file(serviceFile);
    file.open(QIODevice::ReadOnly);
    const QJsonObject address = QJsonDocument::fromJson(file.readAll()).object();
    const QString api = address.value(QStringLiteral("api")).toString();
    const quint16 cardPort = quint16(address.value(QStringLiteral("cardPort")).toInt());
    const qint64 pid = service.processId();
    std::printf("ledsignd %lld: API %s, cards on port %u\n", pid, qPrintable(api), cardPort);

    QProcess fleet;
    fleet.setProcessChannelMode(QProcess::ForwardedChannels);
    fleet.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--cards"), QString::number(cardCount),
                                                          QString::number(cardPort), QString::number(kHeartbeatMs)});
    std::vector<std::unique_ptr<QProcess>> virtualCards;
    std::vector<Target> targets;
    for (int i = 0; i < targetCount; ++i) {
        const QString code = QStringLiteral("9_9_9_9_9_9_9_%1").arg(i + 1);
        auto card = std::make_unique<QProcess>();
        card->setStandardOutputFile(QProcess::nullDevice());
        card->start(program("LEDSIGN_CARD", QStringLiteral("ledsign-card")),
                    {QStringLiteral("--tcp"), QStringLiteral("127.0.0.1:%1").arg(cardPort), QStringLiteral("--code"), code,
                     QStringLiteral("--width"), QStringLiteral("64"), QStringLiteral("--height"), QStringLiteral("16")});
        virtualCards.push_back(std::move(card));
        targets.push_back({code, {}, 0});
    }

    Client client(api);
    QElapsedTimer clock;
    clock.start();
    const int all = cardCount + targetCount;
    int online = 0;
    const bool registered = waitFor([&] { return (online = onlineCount(client)) >= all; }, 120000);
    std::printf("%d of %d cards on-line after %lld ms%s\n", online, all, clock.elapsed(), registered ? "" : " (NOT all)");
    for (const Target& t : targets) {
        const auto [put, body] = client.call("PUT", cardPath(t.name, QStringLiteral("/playbill")), titlePlaybill(QStringLiteral("0")));
        const auto [sent, job] = client.call("POST", cardPath(t.name, QStringLiteral("/send")));
        if (put != 200 || sent != 202)
            std::fprintf(stderr, "service_bench: card %s: playbill %d, send %d\n", qPrintable(t.name), put, sent);
    }
    QNetworkAccessManager streamNet;
    streamNet.setProxy(QNetworkProxy::NoProxy);
    JobEnds ends(streamNet, api);
    // The first sends end and the fleet settles before the window opens.
    waitFor([] { return false; }, 5000);

    std::vector<double> confirmMs;
    std::vector<double> readMs;
    int failedSends = 0, refusedPuts = 0, busySkips = 0, readErrors = 0, fullLists = 0;
    qint64 issued = 0;
    int nextTarget = 0;
    int inFlight = 0;
    QRandomGenerator random(12345);
    const ProcStat before = procStat(pid);
    const qint64 windowStart = nowUs();
    const qint64 windowUs = qint64(seconds) * 1000000;
    QTimer tick;
    tick.setInterval(2);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = nowUs();
        for (Target& t : targets) {
            if (!t.job.isEmpty() && ends.ended.contains(t.job)) {
                const auto& [at, state] = ends.ended.value(t.job);
                if (state == QLatin1String("sent"))
                    confirmMs.push_back(double(at - t.putUs) / 1000.0);
                else
                    ++failedSends;
                t.job.clear();
            }
        }
        const qint64 due = (now - windowStart) * rate / 1000000;
        for (; issued < due; ++issued) {
            const qint64 n = issued;
            if (n % 10 == 5) {
                // A text update on an idle virtual card.
                Target* idle = nullptr;
                for (int k = 0; k < targetCount && !idle; ++k) {
                    Target& t = targets[size_t((nextTarget + k) % targetCount)];
                    if (t.job.isEmpty())
                        idle = &t;
                }
                if (idle) {
                    nextTarget = int((idle - targets.data() + 1) % targetCount);
                    idle->putUs = nowUs();
                    idle->job = QStringLiteral("pending");
                    const QByteArray body = QJsonDocument(QJsonObject{{QStringLiteral("text"), QStringLiteral("T%1").arg(n)}})
                                                .toJson(QJsonDocument::Compact);
                    QNetworkReply* r = client.start("PUT", cardPath(idle->name, QStringLiteral("/texts/title")), body);
                    ++inFlight;
                    QObject::connect(r, &QNetworkReply::finished, [&, r, idle] {
                        --inFlight;
                        const int status = r->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
                        const QString job = QJsonDocument::fromJson(r->readAll()).object().value(QStringLiteral("id")).toString();
                        if (status == 202 && !job.isEmpty()) {
                            idle->job = job;
                        } else {
                            ++refusedPuts;
                            idle->job.clear();
                        }
                        r->deleteLater();
                    });
                    continue;
                }
                ++busySkips;
            }
            const bool list = n % 100 == 50;
            fullLists += list ? 1 : 0;
            const QString path = list ? QStringLiteral("/api/cards")
                                      : cardPath(convert::internalCodeText(simulatedCardCode(int(random.bounded(cardCount)))));
            const qint64 sentUs = nowUs();
            QNetworkReply* r = client.start("GET", path);
            ++inFlight;
            QObject::connect(r, &QNetworkReply::finished, [&, r, sentUs] {
                --inFlight;
                if (r->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() == 200)
                    readMs.push_back(double(nowUs() - sentUs) / 1000.0);
                else
                    ++readErrors;
                r->readAll();
                r->deleteLater();
            });
        }
    });
    tick.start();
    waitFor([&] { return nowUs() - windowStart >= windowUs; }, seconds * 1000 + 10000);
    tick.stop();
    const ProcStat after = procStat(pid);
    const double wall = double(nowUs() - windowStart) / 1e6;
    waitFor([&] { return inFlight == 0; }, 10000);
    const int stillOnline = onlineCount(client);

    const double cpu = 100.0 * (after.cpuSeconds - before.cpuSeconds) / wall;
    std::printf("load: %lld requests in %.1f s (%.1f/s): %zu reads answered (%d of the whole card list), %d read errors,\n"
                "      %zu text updates confirmed, %d failed, %d refused, %d skipped with every virtual card busy\n",
                static_cast<long long>(issued), wall, double(issued) / wall, readMs.size(), fullLists, readErrors,
                confirmMs.size(), failedSends, refusedPuts, busySkips);
    std::printf("service CPU: %.2f %% of one core (goal < 10 %%)\n", cpu);
    std::printf("service memory: RSS %.1f MB, peak %.1f MB\n", after.rssMb, after.peakMb);
    std::printf("text PUT -> card confirmed: p50 %.0f ms, p99 %.0f ms, max %.0f ms (goal p99 < 1000 ms)\n",
                percentile(confirmMs, 50), percentile(confirmMs, 99), percentile(confirmMs, 100));
    std::printf("read answered: p50 %.1f ms, p99 %.1f ms\n", percentile(readMs, 50), percentile(readMs, 99));
    std::printf("the whole card list: %.2f MB\n", double(g_listBytes) / 1e6);
    std::printf("event stream %s; %d of %d cards still on-line\n", ends.open() ? "open" : "CLOSED", stillOnline, all);
    std::fflush(stdout);

    ::kill(pid_t(pid), SIGTERM);
    service.waitForFinished(30000);
    fleet.kill();
    fleet.waitForFinished(5000);
    for (auto& card : virtualCards) {
        card->kill();
        card->waitForFinished(5000);
    }
    return registered && !confirmMs.empty() ? 0 : 1;
}
