#include "servicecommands.h"

#include "clioptions.h"
#include "networkoptions.h"
#include "output.h"
#include "progressline.h"
#include "serviceclient.h"

#include "service/servicefile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QSet>
#include <QThread>

namespace ledsign::cli {

namespace {

// How often the card list and a job are asked for while waiting.
constexpr int kPollMs = 200;
// A download has its own supervision in the service; this bounds the wait.
constexpr int kSendLimitMs = 300000;
// Longest token file read, as the service reads it.
constexpr qint64 kTokenFileLimit = 4096;

// Takes a "--name VALUE" or "--name=VALUE" out of the arguments.
std::optional<QString> takeValue(QStringList& args, const QString& name)
{
    const QString flag = QStringLiteral("--") + name;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == flag && i + 1 < args.size()) {
            const QString value = args[i + 1];
            args.remove(i, 2);
            return value;
        }
        if (args[i].startsWith(flag + QLatin1Char('='))) {
            const QString value = args[i].mid(flag.size() + 1);
            args.remove(i);
            return value;
        }
    }
    return std::nullopt;
}

bool takeSwitch(QStringList& args, const QString& name)
{
    return args.removeAll(QStringLiteral("--") + name) > 0;
}

QString colourText(int colors)
{
    return colors == 1 ? QStringLiteral("single colour") : colors == 2 ? QStringLiteral("dual colour")
                                                                       : QStringLiteral("tri-colour");
}

class ServiceRun {
public:
    ServiceRun(const QString& command, const ServiceAddress& service, QByteArray token, const NetworkOptions& net)
        : m_prefix(QStringLiteral("ledsign-cli %1: ").arg(command))
        , m_client(service.api, std::move(token))
        , m_net(net)
    {
    }

    int cards();
    int cardCommand(const QString& path, const QString& done);
    int send(const QString& playbillFile);

private:
    // Every card the service has, or nothing with the failure printed.
    std::optional<QJsonArray> cardList();
    // Waits for the wanted card (by --card-code, else the one card on-line)
    // and gives its name; empty with the failure printed and `status` set.
    QString waitForCard(int& status);
    void printNoCard();
    int failed(const ServiceReply& reply);

    QString m_prefix;
    ServiceClient m_client;
    NetworkOptions m_net;
};

int ServiceRun::failed(const ServiceReply& reply)
{
    if (reply.status == 0) {
        printError(m_prefix + QStringLiteral("the ledsignd at %1 does not answer: %2 (--no-service runs without it)")
                                  .arg(m_client.api(), reply.reason()));
    } else if (reply.status == 401) {
        printError(m_prefix + QStringLiteral("the ledsignd at %1 refused its token: %2").arg(m_client.api(), reply.reason()));
    } else {
        printError(m_prefix + reply.reason());
    }
    return reply.status == 503 ? kExitNoCard : kExitFailure;
}

std::optional<QJsonArray> ServiceRun::cardList()
{
    const ServiceReply reply = m_client.get(QStringLiteral("/api/cards"));
    if (reply.status != 200) {
        failed(reply);
        return std::nullopt;
    }
    return reply.json().value(QStringLiteral("cards")).toArray();
}

QString ServiceRun::waitForCard(int& status)
{
    QElapsedTimer waited;
    waited.start();
    int online = 0;
    for (;;) {
        const std::optional<QJsonArray> cards = cardList();
        if (!cards) {
            status = kExitFailure;
            return {};
        }
        QString found;
        online = 0;
        for (const QJsonValue& v : *cards) {
            const QJsonObject c = v.toObject();
            if (!c.value(QStringLiteral("online")).toBool())
                continue;
            ++online;
            if (m_net.cardCode.isEmpty() || c.value(QStringLiteral("internalCode")).toString() == m_net.cardCode)
                found = c.value(QStringLiteral("name")).toString();
        }
        // Without a code only a single card on-line is taken: the service may
        // hold a fleet, and the first of them is not what was meant.
        if (!found.isEmpty() && (!m_net.cardCode.isEmpty() || online == 1))
            return found;
        if (m_net.cardCode.isEmpty() && online > 1) {
            printError(m_prefix + QStringLiteral("%1 cards are on-line at the ledsignd at %2; say which with --card-code")
                                      .arg(online)
                                      .arg(m_client.api()));
            status = kExitUsage;
            return {};
        }
        if (waited.elapsed() >= qint64(m_net.timeoutSeconds) * 1000)
            break;
        QThread::msleep(kPollMs);
    }
    printNoCard();
    status = kExitNoCard;
    return {};
}

void ServiceRun::printNoCard()
{
    printError(m_prefix + (m_net.cardCode.isEmpty()
                               ? QStringLiteral("no card was on-line at the ledsignd at %1 within %2 s").arg(m_client.api())
                               : QStringLiteral("card %1 was not on-line at the ledsignd at %2 within %3 s")
                                     .arg(m_net.cardCode, m_client.api()))
                              .arg(m_net.timeoutSeconds));
}

int ServiceRun::cards()
{
    // The service knows its cards already: those on-line now are listed at
    // once; only when there is none (or not the one asked for) is there a wait.
    QElapsedTimer waited;
    waited.start();
    QSet<QString> listed;
    for (;;) {
        const std::optional<QJsonArray> cards = cardList();
        if (!cards)
            return kExitFailure;
        for (const QJsonValue& v : *cards) {
            const QJsonObject c = v.toObject();
            const QString code = c.value(QStringLiteral("internalCode")).toString();
            const QString name = c.value(QStringLiteral("name")).toString();
            if (!c.value(QStringLiteral("online")).toBool() || listed.contains(name))
                continue;
            if (!m_net.cardCode.isEmpty() && code != m_net.cardCode)
                continue;
            listed.insert(name);
            printLine(QStringLiteral("%1  %2  %3 x %4  %5")
                          .arg(code, name)
                          .arg(c.value(QStringLiteral("width")).toInt())
                          .arg(c.value(QStringLiteral("height")).toInt())
                          .arg(colourText(c.value(QStringLiteral("colors")).toInt())));
        }
        if (!listed.isEmpty())
            return kExitOk;
        if (waited.elapsed() >= qint64(m_net.timeoutSeconds) * 1000)
            break;
        QThread::msleep(kPollMs);
    }
    printNoCard();
    return kExitNoCard;
}

int ServiceRun::cardCommand(const QString& path, const QString& done)
{
    int status = kExitOk;
    const QString name = waitForCard(status);
    if (name.isEmpty())
        return status;
    const ServiceReply reply = m_client.post(cardPath(name, path));
    if (reply.status != 200)
        return failed(reply);
    printLine(QStringLiteral("card %1: %2").arg(name, done));
    return kExitOk;
}

int ServiceRun::send(const QString& playbillFile)
{
    QFile file(playbillFile);
    if (!file.open(QIODevice::ReadOnly)) {
        printError(m_prefix + QStringLiteral("cannot read %1: %2").arg(playbillFile, file.errorString()));
        return kExitFailure;
    }
    const QByteArray playbill = file.readAll();
    int status = kExitOk;
    const QString name = waitForCard(status);
    if (name.isEmpty())
        return status;
    printLine(QStringLiteral("card %1 through the ledsignd at %2").arg(name, m_client.api()));
    // The service checks the playbill before it stores it; a damaged one
    // leaves the card's playbill as it was.
    const ServiceReply put = m_client.put(cardPath(name, QStringLiteral("/playbill")), playbill, "text/plain");
    if (put.status != 200) {
        printError(m_prefix + QStringLiteral("the playbill %1 was refused: %2").arg(playbillFile, put.reason()));
        return put.status == 0 || put.status == 401 ? failed(put) : kExitFailure;
    }
    const ServiceReply started = m_client.post(cardPath(name, QStringLiteral("/send")));
    if (started.status != 202)
        return failed(started);
    const QString job = started.json().value(QStringLiteral("id")).toString();
    ProgressLine progress(QStringLiteral("sending"));
    QElapsedTimer clock;
    clock.start();
    QJsonObject state = started.json();
    while (state.value(QStringLiteral("state")).toString() == QLatin1String("running") && clock.elapsed() < kSendLimitMs) {
        QThread::msleep(kPollMs);
        const ServiceReply r = m_client.get(QStringLiteral("/api/jobs/") + job);
        if (r.status != 200) {
            progress.finish();
            return failed(r);
        }
        state = r.json();
        const QJsonObject card = state.value(QStringLiteral("cards")).toArray().at(0).toObject();
        if (card.value(QStringLiteral("total")).toInt() > 0)
            progress.show(card.value(QStringLiteral("done")).toInt(), card.value(QStringLiteral("total")).toInt());
    }
    progress.finish();
    const QString end = state.value(QStringLiteral("state")).toString();
    if (end == QLatin1String("sent")) {
        printLine(QStringLiteral("card %1: sent (%2 ms)").arg(name).arg(clock.elapsed()));
        return kExitOk;
    }
    const QString why = state.value(QStringLiteral("cards")).toArray().at(0).toObject().value(QStringLiteral("message")).toString();
    printError(m_prefix + QStringLiteral("%1: %2").arg(name, end == QLatin1String("running")
                                                                 ? QStringLiteral("the send did not end in time")
                                                                 : why.isEmpty() ? QStringLiteral("the send failed") : why));
    return kExitFailure;
}

bool readToken(const QString& path, QByteArray& token, QString& error)
{
    if (path.isEmpty())
        return true;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("cannot read the token file %1 of the running ledsignd: %2 (--no-service runs without it)")
                    .arg(path, file.errorString());
        return false;
    }
    token = file.read(kTokenFileLimit).trimmed();
    return true;
}

} // namespace

QString serviceOptionHelp()
{
    return QStringLiteral("  --no-service       do not go through the ledsignd that holds the data folder\n"
                          "                     (--home DIR, else the user's) when one runs\n");
}

std::optional<int> runThroughService(const QString& command, QStringList& args)
{
    const bool send = command == QLatin1String("send");
    // cards, play and time use the folder only to find the service.
    const std::optional<QString> home = send ? std::nullopt : takeValue(args, QStringLiteral("home"));
    if (takeSwitch(args, QStringLiteral("no-service")))
        return std::nullopt;
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h")))
        return std::nullopt;

    ParsedArgs parsed;
    QString error;
    QStringList names = networkValueOptions();
    if (send)
        names << QStringLiteral("home") << QStringLiteral("serial") << QStringLiteral("baud") << QStringLiteral("trace");
    NetworkOptions net;
    // Wrong arguments are the command's own to report.
    if (!parseArgs(args, names, {QStringLiteral("rs485")}, parsed, error) || !readNetworkOptions(parsed, true, net, error))
        return std::nullopt;
    if (parsed.has(QStringLiteral("serial")) || parsed.has(QStringLiteral("trace")))
        return std::nullopt;

    const QString homePath = send ? parsed.value(QStringLiteral("home")) : home.value_or(QString());
    const DataFolder folders = homePath.isEmpty() ? DataFolder::resolve({QString()})
                                                  : DataFolder(QFileInfo(homePath).absoluteFilePath());
    const std::optional<ServiceAddress> service = runningService(folders);
    if (!service)
        return std::nullopt;
    // Another port is a card server of its own, which the service does not hold.
    if (parsed.has(QStringLiteral("port")) && net.port != service->cardPort)
        return std::nullopt;

    const QString prefix = QStringLiteral("ledsign-cli %1: ").arg(command);
    QByteArray token;
    if (!readToken(service->tokenFile, token, error)) {
        printError(prefix + error);
        return kExitFailure;
    }
    ServiceRun run(command, *service, token, net);
    if (command == QLatin1String("cards")) {
        if (!parsed.positional.isEmpty())
            return std::nullopt;
        return run.cards();
    }
    if (command == QLatin1String("time"))
        return parsed.positional.isEmpty() ? std::optional<int>(run.cardCommand(QStringLiteral("/time"), QStringLiteral("clock set")))
                                           : std::nullopt;
    if (command == QLatin1String("play")) {
        const QString what = parsed.positional.value(0);
        if (parsed.positional.size() != 1 || (what != QLatin1String("start") && what != QLatin1String("stop")))
            return std::nullopt;
        return what == QLatin1String("start") ? run.cardCommand(QStringLiteral("/play"), QStringLiteral("play started"))
                                              : run.cardCommand(QStringLiteral("/stop"), QStringLiteral("play stopped"));
    }
    if (send && parsed.positional.size() == 1)
        return run.send(parsed.positional.first());
    return std::nullopt;
}

} // namespace ledsign::cli
