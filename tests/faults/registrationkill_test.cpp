// No lost cards: the program (a child process running the hidden test
// below, a session as the editor has it) registers cards one after another
// and is killed with SIGKILL. The card list on disk must then hold every
// card that registered more than a second before the kill.
#include "model/cardlist.h"
#include "model/datafolder.h"
#include "model/inifile.h"
#include "protocol/registrations.h"
#include "transport/cardlink.h"
#include "session/workspacesession.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

#include <csignal>
#include <ctime>

using namespace ledsign;

namespace {

constexpr const char* kHomeVariable = "LEDSIGN_KILL_HOME";

// Milliseconds of the monotonic clock, the same in both processes.
qint64 monotonicMs()
{
    timespec t{};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return qint64(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

QString codeOf(int n)
{
    return QStringLiteral("9_8_7_6_5_4_%1_%2").arg(n / 256).arg(n % 256);
}

} // namespace

// Run only as the child of the test below: a card registers every 15 ms;
// each registration is announced on stdout once it returned.
TEST(KillChild, DISABLED_RegistersCardsUntilKilled)
{
    const QString home = qEnvironmentVariable(kHomeVariable);
    ASSERT_FALSE(home.isEmpty());
    WorkspaceSession session{DataFolder(home)};
    WorkspaceSession::StartOptions options;
    options.bindPort = [](int) { return BindResult::Bound; };
    options.localAddress = QStringLiteral("10.0.0.5");
    ASSERT_EQ(session.start(options), WorkspaceSession::StartResult::Ready);
    session.loadCards();
    session.startAutosave();
    QTextStream out(stdout);
    int n = 0;
    QTimer next;
    QObject::connect(&next, &QTimer::timeout, [&] {
        session.link().registrations().registerUdp(
            {}, bytes({0, 1, 2, 3, n / 256, n % 256}), bytes({9, 8, 7, 6, 5, 4, n / 256, n % 256}),
            bytes({10, 0, n / 256, n % 256}), 128, 32, 0, 80);
        out << n << ' ' << monotonicMs() << '\n';
        out.flush();
        ++n;
    });
    next.start(15);
    QEventLoop().exec();
}

TEST(KilledRegistrations, CardsRegisteredASecondBeforeTheKillAreOnDisk)
{
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        QTemporaryDir home;
        ASSERT_TRUE(home.isValid());
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(kHomeVariable), home.path());
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--gtest_also_run_disabled_tests"), QStringLiteral("--gtest_filter=KillChild.*")});
        ASSERT_TRUE(child.waitForStarted(5000));

        // Registration times as the child reports them.
        QHash<int, qint64> registeredAt;
        QByteArray pending;
        auto readLines = [&] {
            pending += child.readAllStandardOutput();
            qsizetype end = 0;
            while ((end = pending.indexOf('\n')) >= 0) {
                const QList<QByteArray> parts = pending.left(end).trimmed().split(' ');
                pending.remove(0, end + 1);
                if (parts.size() == 2)
                    registeredAt.insert(parts.at(0).toInt(), parts.at(1).toLongLong());
            }
        };
        // Some registrations go by (more each round), then the kill.
        const qint64 until = monotonicMs() + 2500 + 700 * round;
        while (monotonicMs() < until) {
            child.waitForReadyRead(50);
            readLines();
        }
        const qint64 killedAt = monotonicMs();
        ::kill(pid_t(child.processId()), SIGKILL);
        ASSERT_TRUE(child.waitForFinished(5000));
        ASSERT_EQ(child.exitStatus(), QProcess::CrashExit) << "the child stopped on its own";
        readLines();

        IniFile ini;
        ASSERT_TRUE(ini.load(home.filePath(QStringLiteral("SetCfg.ini"))));
        QSet<QString> stored;
        for (const CardListLine& line : readCardList(ini, home.filePath(QStringLiteral("prgFiles"))))
            stored.insert(line.internalCode);
        int due = 0;
        for (auto it = registeredAt.cbegin(); it != registeredAt.cend(); ++it) {
            if (it.value() >= killedAt - 1000)
                continue;
            ++due;
            EXPECT_TRUE(stored.contains(codeOf(it.key()))) << "card " << it.key() << " registered "
                                                          << killedAt - it.value() << " ms before the kill";
        }
        ASSERT_GT(due, 50) << "the child registered too few cards to tell";
    }
}
