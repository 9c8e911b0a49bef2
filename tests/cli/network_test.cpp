// ledsign-cli against ledsign-card over loopback: send, play, time, cards and
// the demo, each run as a process, and how each ends when no card comes.
#include "clifixture.h"

#include <QImageReader>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace ledsign;
using namespace ledsign::test;

namespace {

constexpr int kExitNoCard = 3;

QStringList portArgs(quint16 port, int timeoutSeconds = 10)
{
    return {QStringLiteral("--port"), QString::number(port), QStringLiteral("--listen"), QStringLiteral("127.0.0.1"),
            QStringLiteral("--timeout"), QString::number(timeoutSeconds)};
}

TEST_F(CliTest, SendDownloadsThePlaybillToTheCardThatRegisters)
{
    const quint16 port = freePort();
    ASSERT_NE(port, 0);
    CardChild card;
    const QString pictures = dir.filePath(QStringLiteral("card"));
    ASSERT_TRUE(card.start(port, {QStringLiteral("--width"), QString::number(kWidth), QStringLiteral("--height"),
                                  QString::number(kHeight), QStringLiteral("--colors"), QStringLiteral("2"),
                                  QStringLiteral("--png"), pictures}));
    const CliRun run = runCli(QStringList{QStringLiteral("send"), playbill} + portArgs(port)
                              + QStringList{QStringLiteral("--card-code"), QStringLiteral("9_8_7_6_5_4_3_2"),
                                            QStringLiteral("--home"), home.path(), QStringLiteral("--trace"),
                                            dir.filePath(QStringLiteral("tcp.trace"))},
                              60000);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("card 9_8_7_6_5_4_3_2 registered"))) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("Playbill been sent."))) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("sending: "))) << run.out.toStdString();

    // The card checked every frame and drew both materials: the text's two
    // lines and the two pictures, red first.
    const QStringList lines = card.stop();
    EXPECT_TRUE(lines.contains(QStringLiteral("playbill complete materials=2"))) << lines.join(u'\n').toStdString();
    EXPECT_TRUE(lines.filter(QStringLiteral("error ")).isEmpty()) << lines.join(u'\n').toStdString();
    const QStringList group = QDir(pictures).entryList({QStringLiteral("material2_*.png")}, QDir::Files, QDir::Name);
    ASSERT_EQ(group.size(), 2);
    EXPECT_EQ(QImage(QDir(pictures).filePath(group[0])).pixel(0, 0) & 0xFFFFFFu, 0xFF0000u);
    EXPECT_EQ(QImage(QDir(pictures).filePath(group[1])).pixel(0, 0) & 0xFFFFFFu, 0x00FF00u);
    EXPECT_EQ(QDir(pictures).entryList({QStringLiteral("material1_*.png")}, QDir::Files).size(), 2);

    // The trace has the exchange both ways: the identity query on the new
    // connection and the card's report, the header and the material frames
    // (the text's two pictures fit one block, the group's two another), and
    // the card's confirmations.
    const CliRun decoded = runCli({QStringLiteral("decode"), dir.filePath(QStringLiteral("tcp.trace"))});
    EXPECT_EQ(decoded.exitCode, 0) << decoded.out.toStdString();
    const QStringList trace = decoded.out.split(u'\n', Qt::SkipEmptyParts);
    auto count = [&](const QString& pattern) {
        return int(trace.filter(QRegularExpression(pattern)).size());
    };
    EXPECT_EQ(count(QStringLiteral(R"(^\S+ sent tcp frame 0x71 serial 01020304 length 19$)")), 1);
    EXPECT_GE(count(QStringLiteral(R"(^\S+ received tcp frame 0x61 )")), 1);
    EXPECT_EQ(count(QStringLiteral(R"(^\S+ sent tcp frame 0x22 .* header )")), 1);
    EXPECT_GE(count(QStringLiteral(R"(^\S+ sent tcp frame 0x31 .* material 100000003 .* send 1 block 1/1 .*check ok)")), 1);
    EXPECT_GE(count(QStringLiteral(R"(^\S+ sent tcp frame 0x31 .* material 100000004 .* send 2 block 1/1 .*check ok end$)")), 1);
    EXPECT_GE(count(QStringLiteral(R"(^\S+ received tcp frame 0x81 )")), 3);
}

TEST_F(CliTest, WithoutACardTheNetworkCommandsEndAtTheirTimeout)
{
    const quint16 port = freePort();
    ASSERT_NE(port, 0);
    const QList<QStringList> commands{
        QStringList{QStringLiteral("send"), playbill, QStringLiteral("--home"), home.path()},
        {QStringLiteral("play"), QStringLiteral("start")},
        {QStringLiteral("time")},
        {QStringLiteral("cards")},
    };
    for (const QStringList& command : commands) {
        const CliRun run = runCli(command + portArgs(port, 1), 20000);
        ASSERT_TRUE(run.finished) << command.first().toStdString();
        EXPECT_EQ(run.exitCode, kExitNoCard) << command.first().toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("no card registered on port %1 within 1 s").arg(port)))
            << run.err.toStdString();
    }
    // A card other than the one asked for does not count.
    CardChild other;
    ASSERT_TRUE(other.start(port));
    const CliRun run = runCli(QStringList{QStringLiteral("cards")} + portArgs(port, 2)
                                  + QStringList{QStringLiteral("--card-code"), QStringLiteral("1_1_1_1_1_1_1_1")},
                              20000);
    EXPECT_EQ(run.exitCode, kExitNoCard);
    EXPECT_TRUE(run.err.contains(QStringLiteral("1_1_1_1_1_1_1_1"))) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("9_8_7_6_5_4_3_2  127.0.0.1"))) << run.out.toStdString();
}

TEST_F(CliTest, AnUnreadablePlaybillFailsBeforeWaitingForACard)
{
    const QString junk = dir.filePath(QStringLiteral("junk.prg"));
    ASSERT_TRUE(writeAll(junk, QByteArray("\x00\xff\x01 not a playbill\r\n", 21)));
    const CliRun run = runCli(QStringList{QStringLiteral("send"), junk} + portArgs(freePort(), 30), 10000);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(junk)) << run.err.toStdString();
    EXPECT_FALSE(run.out.contains(QStringLiteral("waiting")));
}

TEST_F(CliTest, PlayAndTimeReachTheCard)
{
    const quint16 port = freePort();
    ASSERT_NE(port, 0);
    CardChild card;
    ASSERT_TRUE(card.start(port));
    const struct {
        QStringList args;
        QString cardSays;
        QString weSay;
    } cases[] = {
        {{QStringLiteral("play"), QStringLiteral("stop")}, QStringLiteral("play stop"), QStringLiteral("play stopped")},
        {{QStringLiteral("play"), QStringLiteral("start")}, QStringLiteral("play start"), QStringLiteral("play started")},
        {{QStringLiteral("time")}, QStringLiteral("rx cmd=62"), QStringLiteral("clock set")},
    };
    for (const auto& c : cases) {
        const CliRun run = runCli(c.args + portArgs(port), 20000);
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_TRUE(run.out.contains(QStringLiteral("card 9_8_7_6_5_4_3_2: ") + c.weSay)) << run.out.toStdString();
        EXPECT_TRUE(card.waitForText(c.cardSays)) << c.cardSays.toStdString();
    }
}

TEST_F(CliTest, NetworkCommandsRefuseWrongArguments)
{
    const QList<QStringList> bad{
        {QStringLiteral("send"), playbill},                                                    // no port
        {QStringLiteral("send"), QStringLiteral("--port"), QStringLiteral("8900")},            // no playbill
        {QStringLiteral("send"), playbill, QStringLiteral("--port"), QStringLiteral("70000")},
        {QStringLiteral("send"), playbill, QStringLiteral("--port"), QStringLiteral("8900"),
         QStringLiteral("--card-code"), QStringLiteral("1_2_3")},
        {QStringLiteral("play"), QStringLiteral("pause"), QStringLiteral("--port"), QStringLiteral("8900")},
        {QStringLiteral("play"), QStringLiteral("--port"), QStringLiteral("8900")},
        {QStringLiteral("time"), QStringLiteral("--port"), QStringLiteral("8900"), QStringLiteral("--timeout"),
         QStringLiteral("0")},
        {QStringLiteral("cards"), QStringLiteral("--port"), QStringLiteral("8900"), QStringLiteral("--listen"),
         QStringLiteral("localhost:1")},
        {QStringLiteral("search"), QStringLiteral("--wait"), QStringLiteral("x")},
        {QStringLiteral("demo"), QStringLiteral("--home")},
        {QStringLiteral("demo"), QStringLiteral("--fast")},
    };
    for (const QStringList& args : bad) {
        const CliRun run = runCli(args, 10000);
        EXPECT_EQ(run.exitCode, 2) << args.join(u' ').toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("usage: ledsign-cli ") + args.first()))
            << args.join(u' ').toStdString() << ": " << run.err.toStdString();
    }
    for (const QString& command : {QStringLiteral("render"), QStringLiteral("export"), QStringLiteral("send"),
                                   QStringLiteral("cards"), QStringLiteral("search"),
                                   QStringLiteral("play"), QStringLiteral("time"), QStringLiteral("demo")}) {
        const CliRun help = runCli({command, QStringLiteral("--help")}, 10000);
        EXPECT_EQ(help.exitCode, 0) << command.toStdString();
        EXPECT_TRUE(help.out.contains(QStringLiteral("Exit status"))) << command.toStdString();
    }
}

TEST_F(CliTest, DemoSendsTheSampleCardToAVirtualCardAndEndsWithItsPictures)
{
    const QString demoHome = dir.filePath(QStringLiteral("demo"));
    const QString pictures = dir.filePath(QStringLiteral("shown"));
    const QStringList args{QStringLiteral("demo"), QStringLiteral("--home"), demoHome, QStringLiteral("--out"), pictures};
    const CliRun run = runCli(args, 90000);
    ASSERT_TRUE(run.finished);
    ASSERT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("Playbill been sent."))) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(pictures)) << run.out.toStdString();

    // One picture per page of the card's size, and the group's three
    // pictures; the pictures the demo drew stay in its data folder.
    const QDir shown(pictures);
    const QStringList pages = shown.entryList({QStringLiteral("page*.png")}, QDir::Files, QDir::Name);
    ASSERT_EQ(pages.size(), 4);
    for (const QString& page : pages)
        EXPECT_EQ(QImage(shown.filePath(page)).size(), QSize(128, 32)) << page.toStdString();
    EXPECT_EQ(shown.entryList({QStringLiteral("material4_*.png")}, QDir::Files).size(), 3);
    // The clock page shows the card's own clock.
    const QImage clock(shown.filePath(QStringLiteral("page3.png")));
    int lit = 0;
    for (int y = 0; y < clock.height(); ++y) {
        for (int x = 0; x < clock.width(); ++x)
            lit += (clock.pixel(x, y) & 0xFFFFFF) != 0;
    }
    EXPECT_GT(lit, 100);
    // And the whole card as it played, as an animated picture.
    QImageReader gif(shown.filePath(QStringLiteral("demo.gif")));
    EXPECT_GT(gif.imageCount(), 10) << gif.errorString().toStdString();
    EXPECT_EQ(QDir(demoHome + QStringLiteral("/picFiles")).entryList({QStringLiteral("*.bmp")}, QDir::Files).size(), 3);
    EXPECT_TRUE(QFileInfo::exists(demoHome + QStringLiteral("/prgFiles/Demo.prg")));

    // A second run sends the stored playbill as it is, finds its pictures
    // and leaves only its own PNG files.
    const QString stored = demoHome + QStringLiteral("/prgFiles/Demo.prg");
    const QByteArray playbillBytes = readAll(stored);
    const QDateTime drawn = QFileInfo(demoHome + QStringLiteral("/picFiles/demo_heart.bmp")).lastModified();
    ASSERT_TRUE(writeAll(shown.filePath(QStringLiteral("page9.png")), "old"));
    const CliRun again = runCli(args, 90000);
    EXPECT_EQ(again.exitCode, 0) << again.err.toStdString();
    EXPECT_TRUE(again.out.contains(QStringLiteral("playbill read from ") + stored)) << again.out.toStdString();
    EXPECT_EQ(readAll(stored), playbillBytes);
    EXPECT_EQ(shown.entryList({QStringLiteral("page*.png")}, QDir::Files).size(), 4);
    EXPECT_FALSE(shown.exists(QStringLiteral("page9.png")));
    EXPECT_EQ(QFileInfo(demoHome + QStringLiteral("/picFiles/demo_heart.bmp")).lastModified(), drawn);

    // A stored playbill that cannot be read is reported, and kept.
    ASSERT_TRUE(writeAll(stored, QByteArray("\xff\xfe\x00broken", 9)));
    const CliRun broken = runCli(args, 30000);
    EXPECT_EQ(broken.exitCode, 1);
    EXPECT_TRUE(broken.err.contains(stored)) << broken.err.toStdString();
    EXPECT_EQ(readAll(stored), QByteArray("\xff\xfe\x00broken", 9));
}

} // namespace
