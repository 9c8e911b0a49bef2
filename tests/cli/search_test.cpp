// ledsign-cli search against a stand-in card on loopback that answers every
// search request it gets.
#include "clitestsupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QUdpSocket>
#include <gtest/gtest.h>

using namespace ledsign::test;

namespace {

// A search reply of 40 bytes: card address at 8, MAC at 16, version at 34.
QByteArray searchReply()
{
    QByteArray b(40, '\0');
    b[0] = char(0xA1);
    b[1] = 0x01;
    const quint8 ip[4] = {10, 1, 2, 3};
    const quint8 mac[6] = {0x00, 0x11, 0x22, 0x33, 0x44, 0xA5};
    for (int i = 0; i < 4; ++i)
        b[8 + i] = char(ip[i]);
    for (int i = 0; i < 6; ++i)
        b[16 + i] = char(mac[i]);
    b[34] = char(57);
    return b;
}

TEST(CliSearch, EveryCardThatAnswersIsListedOnce)
{
    QUdpSocket card;
    ASSERT_TRUE(card.bind(QHostAddress::LocalHost, 0));
    int requests = 0;
    QObject::connect(&card, &QUdpSocket::readyRead, [&] {
        while (card.hasPendingDatagrams()) {
            const QNetworkDatagram d = card.receiveDatagram();
            if (d.data() != hex("A1 15 02 00 00 FF"))
                continue;
            ++requests;
            card.writeDatagram(searchReply(), d.senderAddress(), quint16(d.senderPort()));
            // Something that is no search reply is passed over.
            card.writeDatagram(QByteArray("noise"), d.senderAddress(), quint16(d.senderPort()));
        }
    });

    QProcess cli;
    cli.start(binDir() + QStringLiteral("/ledsign-cli"),
              {QStringLiteral("search"), QStringLiteral("--wait"), QStringLiteral("2"), QStringLiteral("--broadcast"),
               QStringLiteral("127.0.0.1"), QStringLiteral("--card-port"), QString::number(card.localPort()),
               QStringLiteral("--listen-port"), QStringLiteral("0")});
    ASSERT_TRUE(cli.waitForStarted(5000));
    QElapsedTimer clock;
    clock.start();
    while (cli.state() != QProcess::NotRunning && clock.elapsed() < 20000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        cli.waitForFinished(20);
    }
    ASSERT_EQ(cli.state(), QProcess::NotRunning);
    const QString out = QString::fromUtf8(cli.readAllStandardOutput());
    EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    // Asked once a second, answered every time, listed once.
    EXPECT_GE(requests, 2);
    EXPECT_EQ(out, QStringLiteral("00-11-22-33-44-A5  10.1.2.3  version 57\n"));
}

} // namespace
