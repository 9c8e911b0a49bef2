// ledsign-card as a program: it refuses a frame the program's builder
// wrote with one wrong byte, keeps what it received across restarts
// (--store) and records what its panel shows (--record).
#include "playrig.h"

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

} // namespace
} // namespace ledsign
