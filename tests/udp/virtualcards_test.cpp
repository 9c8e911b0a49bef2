// Virtual cards (ledsign-card) against the program's own network code on
// loopback: a search finds two cards, gives them their settings, and they
// connect to the server and register; the parameter logic reads and writes
// a card's screen parameters over UDP and over a serial line; a card shrugs
// off malformed datagrams and goes on answering.
#include "cardrig.h"

#include "model/tfixmodem.h"
#include "protocol/conversions.h"
#include "transport/datagram.h"

#include <QNetworkDatagram>
#include <gtest/gtest.h>

using namespace ledsign;
using ledsign::test::CardProcess;
using ledsign::test::CardRig;
using ledsign::test::PtyLink;
using ledsign::test::spin;
using ledsign::test::waitFor;

namespace {

QString lg(const char* key)
{
    return GetLgText(3, QString::fromLatin1(key));
}

const QString kCodeA = QStringLiteral("1_1_1_1_1_1_1_1");
const QString kCodeB = QStringLiteral("2_2_2_2_2_2_2_2");

ParamInputs inputs320x64(int mode)
{
    ParamInputs in;
    in.mode = mode;
    in.widthText = QStringLiteral("320");
    in.heightText = QStringLiteral("64");
    ScreenParams& p = in.params;
    p.scanIndex = 32; // "1/4  (M)", code 17
    p.oeIndex = 1;
    p.colorIndex = 1;
    p.dayBrightness = 2;
    p.nightBrightness = 5;
    p.dataBitIndex = 1;
    p.address485Index = 6;
    p.contentIndex = 1;
    p.clockIndex = 2;
    p.transIndex = 1;
    p.rowOrderIndex = 2;
    p.emptyDisplayIndex = 1;
    in.serialBaudIndex = 0;
    in.baud485Index = 0;
    return in;
}

// What a written block must read back as, whatever the route.
void expectWritten(const ScreenParams& p)
{
    EXPECT_EQ(p.width, 320);
    EXPECT_EQ(p.height, 64);
    EXPECT_EQ(p.scanIndex, 32);
    EXPECT_EQ(p.oeIndex, 1);
    EXPECT_EQ(p.colorIndex, 1);
    EXPECT_EQ(p.dayBrightness, 2);
    EXPECT_EQ(p.nightBrightness, 5);
    EXPECT_EQ(p.dataBitIndex, 1);
    EXPECT_EQ(p.contentIndex, 1);
    EXPECT_EQ(p.clockIndex, 2);
    EXPECT_EQ(p.transIndex, 1);
    EXPECT_EQ(p.rowOrderIndex, 2);
    EXPECT_EQ(p.emptyDisplayIndex, 1);
}

} // namespace

TEST(VirtualCards, SearchFindsTwoCardsThatConnectAndRegister)
{
    ASSERT_TRUE(QFileInfo::exists(CardProcess::program())) << "build ledsign-card first";
    CardRig rig;
    ASSERT_TRUE(rig.openServer());
    // Card A is new enough to be asked by MAC; card B (version 53) is asked
    // at its own address.
    CardProcess* a = rig.startUdpCard(QStringLiteral("127.0.0.2"),
                                      {QStringLiteral("--code"), kCodeA, QStringLiteral("--name"), QStringLiteral("Hall"),
                                       QStringLiteral("--width"), QStringLiteral("128"), QStringLiteral("--colors"),
                                       QStringLiteral("2")});
    CardProcess* b = rig.startUdpCard(QStringLiteral("127.0.0.3"),
                                      {QStringLiteral("--code"), kCodeB, QStringLiteral("--card-version"),
                                       QStringLiteral("53")});
    ASSERT_TRUE(a && b);

    int configured = 0;
    QObject::connect(&rig.udp, &UdpConfig::cardConfigured, [&](const UdpRegistration&) { ++configured; });
    ASSERT_TRUE(rig.search.begin(true, {}, {}, {255, 255, 255, 0}));
    rig.search.start();
    ASSERT_TRUE(waitFor([&] {
        const TFIXModem* ca = rig.cardWithCode(kCodeA);
        const TFIXModem* cb = rig.cardWithCode(kCodeB);
        return ca && cb && ca->socket && cb->socket;
    }, 15000)) << a->lines().join(u'\n').toStdString() << "\n" << b->lines().join(u'\n').toStdString();
    EXPECT_EQ(rig.search.kind(), kSearchNetworkAnswered);

    const TFIXModem& ca = *rig.cardWithCode(kCodeA);
    const TFIXModem& cb = *rig.cardWithCode(kCodeB);
    EXPECT_EQ(ca.name, kCodeA); // a new card is named after its code
    EXPECT_EQ(ca.ipAddress, QStringLiteral("127.0.0.2"));
    EXPECT_EQ(cb.ipAddress, QStringLiteral("127.0.0.3"));
    EXPECT_EQ(ca.width, 128);
    EXPECT_EQ(ca.colorType, kColorDual);
    EXPECT_EQ(ca.linkKind, 2);
    EXPECT_EQ(cb.version, 53);
    // The MAC the detail reply gave survives the TCP registration, whose
    // neighbour-table look-up knows nothing on loopback.
    EXPECT_EQ(ca.macAddress, QStringLiteral("2:0:127:0:0:2"));
    EXPECT_EQ(cb.macAddress, QStringLiteral("2:0:127:0:0:3"));

    // Each card was told the server once and asked the way its version wants.
    QString line;
    ASSERT_TRUE(a->waitForLine(QStringLiteral("udp network"), 1000, &line));
    EXPECT_EQ(line, QStringLiteral("udp network ip=127.0.0.2 mask=255.255.255.0 server=127.0.0.10:%1")
                        .arg(rig.channels.serverPort()));
    EXPECT_GE(a->countLines(QStringLiteral("udp detail by mac")), 1);
    EXPECT_EQ(a->countLines(QStringLiteral("udp detail")), a->countLines(QStringLiteral("udp detail by mac")));
    EXPECT_GE(b->countLines(QStringLiteral("udp detail")), 1);
    EXPECT_EQ(b->countLines(QStringLiteral("udp detail by mac")), 0);

    // Later ticks of the same search find the cards again without telling
    // them the server a second time.
    const int searchesSoFar = a->countLines(QStringLiteral("udp search"));
    ASSERT_TRUE(waitFor([&] { return a->countLines(QStringLiteral("udp search")) >= searchesSoFar + 2; }, 5000));
    spin(200);
    EXPECT_EQ(a->countLines(QStringLiteral("udp network")), 1);
    EXPECT_EQ(b->countLines(QStringLiteral("udp network")), 1);
    EXPECT_EQ(configured, 2);
    ASSERT_EQ(rig.udp.searchList().size(), 2);
    EXPECT_TRUE(rig.udp.searchList().at(0).configured && rig.udp.searchList().at(1).configured);
    rig.search.stop();
    rig.search.end();

    // On exit every listed card hears the release notice and lets go.
    rig.udp.releaseAll(0);
    EXPECT_TRUE(a->waitForLine(QStringLiteral("udp released")));
    EXPECT_TRUE(b->waitForLine(QStringLiteral("udp released")));
    EXPECT_TRUE(waitFor([&] { return !rig.cardWithCode(kCodeA)->socket || !rig.cardWithCode(kCodeA)->socket->isOpen()
                                     || rig.cardWithCode(kCodeA)->socket->state() != QAbstractSocket::ConnectedState; },
                        5000));
    EXPECT_TRUE(a->errorLines().isEmpty()) << a->errorLines().join(u'\n').toStdString();
    EXPECT_TRUE(b->errorLines().isEmpty()) << b->errorLines().join(u'\n').toStdString();
}

TEST(VirtualCards, ParametersReadAndWrittenOverUdp)
{
    ASSERT_TRUE(QFileInfo::exists(CardProcess::program())) << "build ledsign-card first";
    CardRig rig;
    CardProcess* other = rig.startUdpCard(QStringLiteral("127.0.0.3"), {QStringLiteral("--code"), kCodeB});
    CardProcess* card = rig.startUdpCard(QStringLiteral("127.0.0.2"),
                                         {QStringLiteral("--code"), kCodeA, QStringLiteral("--tcp"),
                                          QStringLiteral("127.0.0.10:9123")});
    ASSERT_TRUE(card && other);
    TFIXModem record;
    record.name = QStringLiteral("A");
    record.internalCode = kCodeA;
    record.macAddress = QStringLiteral("2:0:127:0:0:2");
    record.version = 60;
    rig.cards.append(record);

    ASSERT_TRUE(rig.config.open(true, 0, 80, 48, false));
    rig.config.shown(); // reads by MAC
    ASSERT_TRUE(waitFor([&] { return !rig.fills.isEmpty(); }, 5000));
    ParamFill first = rig.fills.last();
    EXPECT_TRUE(first.fromUdp);
    EXPECT_EQ(first.params.width, 64);
    EXPECT_EQ(first.params.height, 32);
    EXPECT_EQ(first.params.colorIndex, 0);
    EXPECT_EQ(first.ip, QStringList({"127", "0", "0", "2"}));
    EXPECT_EQ(first.mask, QStringList({"255", "255", "255", "0"}));
    EXPECT_EQ(first.serverPort, QStringLiteral("9123"));

    ASSERT_TRUE(rig.config.write(inputs320x64(kParamNetwork)));
    QString line;
    ASSERT_TRUE(card->waitForLine(QStringLiteral("udp params written"), 3000, &line));
    EXPECT_EQ(line, QStringLiteral("udp params written flag=0"));
    ASSERT_TRUE(waitFor([&] { return rig.status.last() == lg("tip_params_written"); }, 3000));

    const int before = int(rig.fills.size());
    rig.config.read(kParamNetwork, false);
    ASSERT_TRUE(waitFor([&] { return rig.fills.size() > before; }, 5000));
    expectWritten(rig.fills.last().params);
    EXPECT_EQ(rig.fills.last().params.interfaceFlag, 0);

    // The write was meant for one MAC: the other card kept its block.
    spin(100);
    EXPECT_EQ(other->countLines(QStringLiteral("udp params written")), 0);
    rig.config.closed();
}

// The same round trip on a plain serial line and on an RS-485 line, where
// the frames travel in packets addressed to the card's internal code.
class SerialParameters : public ::testing::TestWithParam<int> {};

TEST_P(SerialParameters, ReadWrittenAndReadBack)
{
    ASSERT_TRUE(QFileInfo::exists(CardProcess::program())) << "build ledsign-card first";
    const int mode = GetParam();
    PtyLink pty;
    if (!pty.isReady())
        GTEST_SKIP() << "socat is needed for a pty pair";
    CardRig rig;
    QStringList arguments{QStringLiteral("--serial"), pty.cardSide(), QStringLiteral("--code"), kCodeA};
    if (mode == kParam485)
        arguments << QStringLiteral("--rs485");
    CardProcess* card = rig.startCard(arguments);
    ASSERT_TRUE(card);
    ASSERT_TRUE(card->waitForLine(QStringLiteral("ready serial")));
    TFIXModem record;
    record.name = QStringLiteral("A");
    record.internalCode = kCodeA;
    record.linkKind = mode == kParam485 ? 1 : 0;
    record.version = 60;
    rig.cards.append(record);
    const CommModeTexts texts = currentCommModeTexts();
    rig.settings.commMode = mode == kParam485 ? QString::fromLatin1(kRs485ModeText) : texts.serial;
    rig.link.setCommMode(mode == kParam485 ? CommModeKind::Rs485 : CommModeKind::Serial);

    ASSERT_TRUE(rig.config.open(true, 0, 80, 48, false));
    ASSERT_TRUE(rig.config.confirmInterface(mode, QString(), pty.programSide(), QStringLiteral("9600")));
    ASSERT_TRUE(rig.channels.serial().isOpen());
    rig.fills.clear();
    rig.config.shown();
    ASSERT_TRUE(waitFor([&] { return !rig.fills.isEmpty(); }, 5000)) << card->lines().join(u'\n').toStdString();
    EXPECT_FALSE(rig.fills.last().fromUdp);
    EXPECT_EQ(rig.fills.last().params.width, 64);

    ASSERT_TRUE(rig.config.write(inputs320x64(mode)));
    ASSERT_TRUE(card->waitForLine(QStringLiteral("params written")));
    ASSERT_TRUE(waitFor([&] { return rig.status.last() == lg("tip_params_written"); }, 4000))
        << rig.status.join(u'\n').toStdString();
    EXPECT_FALSE(rig.config.confirmationPending());

    const int before = int(rig.fills.size());
    rig.config.read(mode, false);
    ASSERT_TRUE(waitFor([&] { return rig.fills.size() > before; }, 5000));
    expectWritten(rig.fills.last().params);
    // Written inside a frame: the interface flag is set.
    EXPECT_EQ(rig.fills.last().params.interfaceFlag, 0x22);
    EXPECT_TRUE(card->errorLines().isEmpty()) << card->errorLines().join(u'\n').toStdString();
    rig.config.closed();
}

INSTANTIATE_TEST_SUITE_P(VirtualCards, SerialParameters, ::testing::Values(int(kParamSerial), int(kParam485)),
                         [](const auto& info) {
                             return std::string(info.param == kParam485 ? "Rs485" : "PlainSerial");
                         });

TEST(VirtualCards, MalformedDatagramsAreIgnoredAndTheCardGoesOnAnswering)
{
    ASSERT_TRUE(QFileInfo::exists(CardProcess::program())) << "build ledsign-card first";
    CardRig rig;
    CardProcess* card = rig.startUdpCard(QStringLiteral("127.0.0.2"));
    ASSERT_TRUE(card);
    QUdpSocket program;
    ASSERT_TRUE(program.bind(QHostAddress(QStringLiteral("127.0.0.10")), 0));
    const QHostAddress to(QStringLiteral("127.0.0.2"));
    const datagram::Mac mac{2, 0, 127, 0, 0, 2};

    QByteArray cutWrite = datagram::parameterWrite(mac, QByteArray(17, '\x01'));
    cutWrite.chop(1);
    QByteArray longSetting = datagram::networkSetting(mac, {127, 0, 0, 9}, {255, 0, 0, 0}, {127, 0, 0, 1}, 1);
    longSetting[2] = char(0x40); // an item running past the end
    QByteArray junk(64 * 1024 - 100, '\0');
    for (int i = 0; i < junk.size(); ++i)
        junk[i] = char(i % 2 ? 0xA1 : 0x60);
    const QList<QByteArray> bad{
        QByteArray(),
        QByteArray(1, char(0xA1)),
        QByteArray::fromHex("A215020000FF"),  // wrong item start
        QByteArray::fromHex("A1150200 00FE"), // wrong item end
        cutWrite,
        longSetting,
        junk,
    };
    for (const QByteArray& d : bad)
        program.writeDatagram(d, to, rig.cardPort);
    ASSERT_TRUE(waitFor([&] { return card->countLines(QStringLiteral("udp ignored")) >= bad.size() - 1; }, 5000))
        << card->lines().join(u'\n').toStdString();
    EXPECT_EQ(card->countLines(QStringLiteral("udp network")), 0);
    EXPECT_EQ(card->countLines(QStringLiteral("udp params written")), 0);

    // An address the machine does not have: the card stays where it is.
    program.writeDatagram(datagram::networkSetting(mac, {10, 255, 255, 77}, {255, 0, 0, 0}, {127, 0, 0, 10}, 9),
                          to, rig.cardPort);
    QString line;
    ASSERT_TRUE(card->waitForLine(QStringLiteral("udp network"), 3000, &line));
    EXPECT_TRUE(line.startsWith(QStringLiteral("udp network ip=127.0.0.2 "))) << line.toStdString();

    // Still alive and answering on its address.
    program.writeDatagram(datagram::searchRequest(), to, rig.cardPort);
    ASSERT_TRUE(waitFor([&] { return program.hasPendingDatagrams(); }, 3000));
    const auto reply = datagram::parseSearchReply(program.receiveDatagram().data());
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(reply->mac, mac);
    EXPECT_EQ(reply->version, 60);
}
