// ledsign-card as a program: it refuses a frame the program's builder
// wrote with one wrong byte, keeps what it received across restarts
// (--store) and records what its panel shows (--record).
#include "playrig.h"

#include "protocol/cardcommands.h"
#include "support/cardprocess.h"
#include "transport/waitfor.h"

#include <QImageReader>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace ledsign {
namespace {

using test::CardProcess;
using test::PlayRig;
using test::waitFor;

// A server the card connects to; what the card sends is collected.
struct Line {
    QTcpServer server;
    QTcpSocket* socket = nullptr;
    QByteArray received;

    Line()
    {
        server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            socket = server.nextPendingConnection();
            QObject::connect(socket, &QTcpSocket::readyRead, [this] { received += socket->readAll(); });
        });
    }
    QString address() const { return QStringLiteral("127.0.0.1:%1").arg(server.serverPort()); }
    // Confirmations (0x81) the card sent so far.
    int confirmations() const
    {
        int n = 0;
        for (qsizetype at = received.indexOf("\xFE\x5C\x4B\x89"); at >= 0;
             at = received.indexOf("\xFE\x5C\x4B\x89", at + 1))
            n += at + 8 < received.size() && quint8(received[at + 8]) == 0x81;
        return n;
    }
};

// A playbill of one page: the left half of the panel lit in red.
struct Halves {
    PlayRig rig{64, 16};
    DownloadBuild build;
    Halves()
    {
        rig.pictures(rig.region(rig.page(), 0, 0, 64, 16), {test::lit(64, 16, [](int x, int) { return x < 32; })}, 9,
                     0, 255);
        build = rig.build();
    }
};

TEST(CardProgram, RefusesAHeaderWithAWrongLengthAndTakesTheSoundOne)
{
    ASSERT_TRUE(QFileInfo::exists(CardProcess::program())) << "build ledsign-card first";
    Halves h;
    ASSERT_TRUE(h.build.ok);
    Line line;
    CardProcess card;
    ASSERT_TRUE(card.start({"--tcp", line.address(), "--once"}));
    ASSERT_TRUE(waitFor([&] { return line.socket != nullptr; }, 5000));

    QByteArray bad = h.build.download.headerFrame;
    bad[13] = char(quint8(bad[13]) + 1); // the data length
    line.socket->write(bad);
    ASSERT_TRUE(card.waitForLine(QStringLiteral("error "), 3000));
    test::spin(200);
    EXPECT_EQ(line.confirmations(), 0);

    line.socket->write(h.build.download.headerFrame);
    ASSERT_TRUE(card.waitForLine(QStringLiteral("header pages=1 materials=1"), 3000));
    ASSERT_TRUE(waitFor([&] { return line.confirmations() == 1; }, 3000));
    card.stop();
}

TEST(CardProgram, KeepsWhatItReceivedAcrossRestartsAndRecordsItsPanel)
{
    ASSERT_TRUE(QFileInfo::exists(CardProcess::program())) << "build ledsign-card first";
    Halves h;
    ASSERT_TRUE(h.build.ok);
    QTemporaryDir dir;
    const QString store = dir.filePath(QStringLiteral("memory"));
    {
        Line line;
        CardProcess card;
        ASSERT_TRUE(card.start({"--tcp", line.address(), "--once", "--store", store, "--height", "16"}));
        ASSERT_TRUE(waitFor([&] { return line.socket != nullptr; }, 5000));
        line.socket->write(h.build.download.headerFrame);
        ASSERT_TRUE(card.waitForLine(QStringLiteral("header "), 3000));
        for (const rSendFdrContent& p : h.build.download.materialPackets)
            line.socket->write(p.bytes);
        ASSERT_TRUE(card.waitForLine(QStringLiteral("stored 2 frame(s)"), 3000));
        card.stop();
    }
    // Switched on again, with nothing to connect to: it plays what it kept.
    const QString gif = dir.filePath(QStringLiteral("panel.gif"));
    {
        CardProcess card;
        ASSERT_TRUE(card.start({"--store", store, "--height", "16", "--record", gif, "--seconds", "1"}));
        ASSERT_TRUE(card.waitForLine(QStringLiteral("restored 1 page(s)"), 3000));
        QString recorded;
        ASSERT_TRUE(card.waitForLine(QStringLiteral("recorded "), 5000, &recorded));
        EXPECT_TRUE(recorded.startsWith(QStringLiteral("recorded 10 picture(s)"))) << recorded.toStdString();
        EXPECT_TRUE(card.errorLines().isEmpty()) << card.errorLines().join(u'\n').toStdString();
        card.stop();
    }
    // LED dots of 4 pixels: the LED at (x, y) fills (4x .. 4x+2, 4y .. 4y+2).
    QImageReader reader(gif);
    const QImage first = reader.read();
    ASSERT_FALSE(first.isNull()) << reader.errorString().toStdString();
    EXPECT_EQ(first.size(), QSize(256, 64));
    EXPECT_EQ(first.pixel(4 * 10 + 1, 4 * 5 + 1) | 0xFF000000, 0xFFFF0000);   // lit, left half
    EXPECT_EQ(first.pixel(4 * 40 + 1, 4 * 5 + 1) | 0xFF000000, 0xFF2E2E2E);   // unlit, right half
    EXPECT_EQ(first.pixel(4 * 10 + 3, 4 * 5 + 3) | 0xFF000000, 0xFF101010);   // between the dots

    // A store that cannot be read is reported and left alone.
    {
        QFile f(store + QStringLiteral("/memory.frames"));
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.seek(4);
        f.write("\x01", 1);
    }
    CardProcess card;
    ASSERT_TRUE(card.start({"--store", store}));
    ASSERT_TRUE(card.waitForLine(QStringLiteral("error store "), 3000));
    EXPECT_FALSE(card.crashed());
    card.stop();
}

TEST(CardProgram, RecordsEveryPlaybillBesideItsAnswersAndKeepsOnlyTheLatestPictures)
{
    ASSERT_TRUE(QFileInfo::exists(CardProcess::program())) << "build ledsign-card first";
    // The first playbill: a picture moving without a stop (every picture of
    // the recording differs), and a second page.
    PlayRig first{64, 16};
    first.pictures(first.region(first.page(), 0, 0, 64, 16), {test::lit(64, 16, [](int x, int) { return x < 8; })}, 1,
                   0, 0);
    first.pictures(first.region(first.page(), 0, 0, 64, 16), {test::lit(64, 16, [](int x, int) { return x > 56; })}, 9,
                   0, 255);
    const DownloadBuild moving = first.build();
    Halves second;
    ASSERT_TRUE(moving.ok && second.build.ok);

    QTemporaryDir dir;
    const QString shown = dir.filePath(QStringLiteral("shown"));
    const QString gif = dir.filePath(QStringLiteral("panel.gif"));
    Line line;
    CardProcess card;
    ASSERT_TRUE(card.start({"--tcp", line.address(), "--once", "--height", "16", "--png", shown, "--record", gif,
                            "--seconds", "600"}));
    ASSERT_TRUE(waitFor([&] { return line.socket != nullptr; }, 5000));
    const auto send = [&](const DownloadBuild& b) {
        line.socket->write(b.download.headerFrame);
        ASSERT_TRUE(card.waitForLine(QStringLiteral("header "), 3000));
        for (const rSendFdrContent& p : b.download.materialPackets)
            line.socket->write(p.bytes);
        ASSERT_TRUE(card.waitForLine(QStringLiteral("playbill complete"), 3000));
    };
    send(moving);
    ASSERT_TRUE(card.waitForLine(QStringLiteral("png ") + shown + QStringLiteral("/page2.png"), 3000));
    // Ten minutes of a moving panel are being recorded: the card answers
    // the next header meanwhile.
    const int confirmed = line.confirmations();
    line.socket->write(second.build.download.headerFrame);
    ASSERT_TRUE(waitFor([&] { return line.confirmations() > confirmed; }, 3000));
    EXPECT_EQ(card.countLines(QStringLiteral("recorded ")), 0) << "the card answered while it recorded";
    const qsizetype before = card.lines().size();
    for (const rSendFdrContent& p : second.build.download.materialPackets)
        line.socket->write(p.bytes);
    ASSERT_TRUE(card.waitForLine(QStringLiteral("playbill complete"), 3000));
    ASSERT_TRUE(card.waitForLine(QStringLiteral("png ") + shown + QStringLiteral("/page1.png"), 3000));

    // Both playbills are recorded, one after the other.
    QString recorded;
    ASSERT_TRUE(card.waitForLine(QStringLiteral("recorded "), 60000, &recorded));
    EXPECT_EQ(recorded, QStringLiteral("recorded 6000 picture(s) of 600 s to ") + gif);
    ASSERT_TRUE(card.waitForLine(QStringLiteral("recorded "), 60000, &recorded));
    EXPECT_EQ(recorded, QStringLiteral("recorded 6000 picture(s) of 600 s to ") + dir.filePath(QStringLiteral("panel-2.gif")));
    for (const QString& name : {QStringLiteral("panel.gif"), QStringLiteral("panel-2.gif")}) {
        QImageReader reader(dir.filePath(name));
        EXPECT_GT(reader.imageCount(), 0) << name.toStdString() << ": " << reader.errorString().toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(gif + QStringLiteral(".part")));
    EXPECT_TRUE(card.errorLines().isEmpty()) << card.errorLines().join(u'\n').toStdString();

    // The folder holds the second playbill's pictures, none of the first's.
    QStringList written;
    for (const QString& l : card.lines().mid(before)) {
        if (l.startsWith(QStringLiteral("png ")))
            written << QFileInfo(l.mid(4)).fileName();
    }
    written.sort();
    EXPECT_EQ(QDir(shown).entryList(QDir::Files, QDir::Name), written);
    EXPECT_EQ(written, (QStringList{QStringLiteral("material1_%1_1.png").arg(second.rig.model.materials().first().id),
                                    QStringLiteral("page1.png")}));
    card.stop();
}

TEST(CardProgram, KeepsItsCalibratedClockInTheStore)
{
    ASSERT_TRUE(QFileInfo::exists(CardProcess::program())) << "build ledsign-card first";
    QTemporaryDir dir;
    const QString store = dir.filePath(QStringLiteral("memory"));
    {
        Line line;
        CardProcess card;
        ASSERT_TRUE(card.start({"--tcp", line.address(), "--once", "--store", store}));
        ASSERT_TRUE(waitFor([&] { return line.socket != nullptr; }, 5000));
        // 1 # 2031 01 05 00 03 04 05 #: a Sunday, five years from the 2026 the tests live in.
        QString serial;
        line.socket->write(commands::timeCalibration(QDateTime(QDate(2031, 1, 5), QTime(3, 4, 5)), serial));
        ASSERT_TRUE(card.waitForLine(QStringLiteral("time 2031-01-05T03:04:05"), 3000));
        card.stop();
    }
    CardProcess card;
    ASSERT_TRUE(card.start({"--store", store}));
    QString restored;
    ASSERT_TRUE(card.waitForLine(QStringLiteral("restored clock "), 3000, &restored));
    // The clock ran on while the card was off: seconds later, never before.
    const QDateTime now = QDateTime::fromString(restored.mid(15), Qt::ISODate);
    ASSERT_TRUE(now.isValid()) << restored.toStdString();
    EXPECT_GE(now, QDateTime(QDate(2031, 1, 5), QTime(3, 4, 5)));
    EXPECT_LT(now, QDateTime(QDate(2031, 1, 5), QTime(4, 4, 5)));
    card.stop();
}

} // namespace
} // namespace ledsign
