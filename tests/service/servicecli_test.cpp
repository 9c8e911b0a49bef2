// ledsign-cli beside a running ledsignd on the same data folder: the
// commands that need the card server go through the service instead of
// failing to take its port; --no-service runs them by themselves.
#include "servicecard.h"

#include "cli/clitestsupport.h"
#include "support/cardprocess.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace ledsign::test {
namespace {

constexpr char kCode[] = "3_1_4_1_5_9_2_6";

TEST(ServiceCli, CommandsGoThroughTheServiceOfTheirDataFolder)
{
    QTemporaryDir home;
    QTemporaryDir png;
    ServiceProcess service;
    ASSERT_TRUE(service.start(home.path())) << service.output().toStdString();
    const QString code = QString::fromLatin1(kCode);
    CardProcess card;
    ASSERT_TRUE(card.start(cardArguments(service, code, 64, 16, png.path())));
    ASSERT_TRUE(service.waitForOnline(code));
    const QString port = QString::number(service.cardPort());
    const QStringList where{QStringLiteral("--home"), home.path(), QStringLiteral("--timeout"), QStringLiteral("2")};

    struct Case {
        QStringList args;
        int exit;
        QString out;      // in stdout
        QString cardLine; // what the card then prints, if anything
    };
    const Case cases[] = {
        {{QStringLiteral("cards")}, 0, code + QStringLiteral("  ") + code + QStringLiteral("  64 x 16"), {}},
        {{QStringLiteral("cards"), QStringLiteral("--port"), port, QStringLiteral("--card-code"), code}, 0, code, {}},
        {{QStringLiteral("time"), QStringLiteral("--port"), port}, 0, QStringLiteral("clock set"), QStringLiteral("time ")},
        {{QStringLiteral("play"), QStringLiteral("stop"), QStringLiteral("--card-code"), code}, 0,
         QStringLiteral("play stopped"), QStringLiteral("play stop")},
        {{QStringLiteral("play"), QStringLiteral("start")}, 0, QStringLiteral("play started"), QStringLiteral("play start")},
        {{QStringLiteral("cards"), QStringLiteral("--card-code"), QStringLiteral("9_9_9_9_9_9_9_9")}, 3, {}, {}},
        // By itself, the command cannot take the port the service holds.
        {{QStringLiteral("cards"), QStringLiteral("--port"), port, QStringLiteral("--no-service")}, 1, {}, {}},
    };
    for (const Case& c : cases) {
        const CliRun run = runCli(c.args + where);
        const std::string what = c.args.join(u' ').toStdString() + "\n" + run.out.toStdString() + run.err.toStdString();
        EXPECT_EQ(run.exitCode, c.exit) << what;
        EXPECT_TRUE(run.out.contains(c.out)) << what;
        if (!c.cardLine.isEmpty()) {
            EXPECT_TRUE(card.waitForLine(c.cardLine, 10000)) << what;
        }
    }

    EXPECT_TRUE(service.output().contains(QStringLiteral("card %1: time set").arg(code))) << "the clock was set by the service";

    // send: the playbill replaces the card's in the service and is sent; a
    // damaged one is refused and the card keeps the one it has.
    QTemporaryDir files;
    const QString good = files.filePath(QStringLiteral("good.prg"));
    const QString bad = files.filePath(QStringLiteral("bad.prg"));
    const QByteArray goodBytes = titlePlaybill(QStringLiteral("CLI"), 64, 16);
    {
        QFile f(good);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(goodBytes) == goodBytes.size());
        QFile g(bad);
        // A region wider than the card.
        ASSERT_TRUE(g.open(QIODevice::WriteOnly) && g.write(titlePlaybill(QStringLiteral("WIDE"), 128, 16)) > 0);
    }
    CliRun run = runCli(QStringList{QStringLiteral("send"), good, QStringLiteral("--port"), port} + where);
    EXPECT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();
    EXPECT_TRUE(card.waitForLine(QStringLiteral("png ") + png.path() + QStringLiteral("/page1.png"), 10000));
    EXPECT_EQ(service.get(path(code, QStringLiteral("/playbill"))).body, goodBytes);

    run = runCli(QStringList{QStringLiteral("send"), bad} + where);
    EXPECT_EQ(run.exitCode, 1) << run.out.toStdString() << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("refused"))) << run.err.toStdString();
    EXPECT_EQ(service.get(path(code, QStringLiteral("/playbill"))).body, goodBytes);
    EXPECT_EQ(service.terminate(), 0) << service.output().toStdString();
}

} // namespace
} // namespace ledsign::test
