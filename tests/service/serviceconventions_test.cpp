// How ledsignd behaves as a system service: SIGHUP reads the card list
// again, SIGTERM writes it and ends, under the journal every registration
// and send is one line with its priority, and a second program on the same
// data folder names the holder and writes nothing.
#include "servicecard.h"

#include "support/cardprocess.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace ledsign::test {
namespace {

constexpr char kCode[] = "5_6_7_8_9_10_11_12";

int linesStartingWith(const QString& output, const QString& start)
{
    int n = 0;
    for (const QString& line : output.split(QLatin1Char('\n')))
        n += line.startsWith(start) ? 1 : 0;
    return n;
}

TEST(ServiceConventions, JournalLinesHangupReloadsAndTermSaves)
{
    const QString code = QString::fromLatin1(kCode);
    QTemporaryDir first;
    QTemporaryDir png;
    {
        // The journal's stream is named in JOURNAL_STREAM.
        qputenv("JOURNAL_STREAM", "8:1234");
        ServiceProcess service;
        const bool started = service.start(first.path());
        qunsetenv("JOURNAL_STREAM");
        ASSERT_TRUE(started) << service.output().toStdString();
        CardProcess card;
        ASSERT_TRUE(card.start(cardArguments(service, code, 64, 16, png.path())));
        ASSERT_TRUE(service.waitForOnline(code));
        EXPECT_FALSE(shownForTitle(card, png.path(), service, code, QStringLiteral("AB"), 64, 16).isEmpty());
        EXPECT_EQ(service.terminate(), 0) << service.output().toStdString();
        const QString out = service.output();
        EXPECT_EQ(linesStartingWith(out, QStringLiteral("<6>ledsign.cards: card %1 registered").arg(code)), 1) << out.toStdString();
        EXPECT_EQ(linesStartingWith(out, QStringLiteral("<6>ledsign.send: card %1: sent").arg(code)), 1) << out.toStdString();
        EXPECT_EQ(linesStartingWith(out, QStringLiteral("<6>ledsign.service: stopped")), 1) << out.toStdString();
    }
    const QByteArray saved = readAll(first.filePath(QStringLiteral("SetCfg.ini")));
    ASSERT_TRUE(saved.contains(kCode)) << "SIGTERM wrote the card list";

    // A second service on an empty folder learns the card only when told to
    // read its card list again.
    QTemporaryDir second;
    ServiceProcess service;
    ASSERT_TRUE(service.start(second.path())) << service.output().toStdString();
    EXPECT_EQ(service.get(path(code)).status, 404);
    QFile::remove(second.filePath(QStringLiteral("SetCfg.ini")));
    ASSERT_TRUE(QFile::copy(first.filePath(QStringLiteral("SetCfg.ini")), second.filePath(QStringLiteral("SetCfg.ini"))));
    service.hangUp();
    ASSERT_TRUE(waitUntil([&] { return service.get(path(code)).status == 200; }, 10000)) << service.output().toStdString();
    EXPECT_FALSE(service.get(path(code)).json().value(QStringLiteral("online")).toBool());
    EXPECT_TRUE(service.output().contains(QStringLiteral("card list read again: 1 card(s)")));
    EXPECT_EQ(service.terminate(), 0) << service.output().toStdString();
    EXPECT_TRUE(readAll(second.filePath(QStringLiteral("SetCfg.ini"))).contains(kCode));
}

TEST(ServiceConventions, ASecondServiceOnTheFolderNamesTheHolderAndWritesNothing)
{
    QTemporaryDir home;
    ServiceProcess first;
    ASSERT_TRUE(first.start(home.path())) << first.output().toStdString();
    CardProcess card;
    ASSERT_TRUE(card.start(cardArguments(first, QString::fromLatin1(kCode), 64, 16)));
    ASSERT_TRUE(first.waitForOnline(QString::fromLatin1(kCode)));
    // Written once the registration's change has been taken up.
    ASSERT_TRUE(waitUntil([&] { return readAll(home.filePath(QStringLiteral("SetCfg.ini"))).contains(kCode); }, 10000));
    const QByteArray cards = readAll(home.filePath(QStringLiteral("SetCfg.ini")));
    const QByteArray serviceFile = readAll(home.filePath(QStringLiteral("ledsignd.json")));

    ServiceProcess second;
    EXPECT_EQ(second.runToExit({QStringLiteral("--home"), home.path(), QStringLiteral("--card-port"), QStringLiteral("0"),
                                QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0")}),
              1);
    EXPECT_TRUE(second.output().contains(QStringLiteral("ledsignd (process %1) holds the data folder").arg(first.pid())))
        << second.output().toStdString();
    EXPECT_EQ(readAll(home.filePath(QStringLiteral("SetCfg.ini"))), cards);
    EXPECT_EQ(readAll(home.filePath(QStringLiteral("ledsignd.json"))), serviceFile) << "the holder's address stays";
    EXPECT_EQ(first.get(path(QString::fromLatin1(kCode))).status, 200) << "the holder serves on";
    EXPECT_EQ(first.terminate(), 0);
}

} // namespace
} // namespace ledsign::test
