// The parameter window's logic: checks, internal codes, the send delay, the
// temporary address, and reading and writing over UDP on loopback.
#include "config/paramconfig.h"
#include "model/inifile.h"
#include "support/testsupport.h"
#include "../udp/udprig.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ledsign;
using ledsign::test::hex;
using ledsign::test::spin;
using ledsign::test::UdpRig;
using ledsign::test::waitFor;

namespace {

QString lg(const char* key)
{
    return GetLgText(3, QString::fromLatin1(key));
}

struct ParamRig : UdpRig {
    ParamConfig config{link, settings, udp};
    QStringList status;
    QList<ParamFill> fills;

    ParamRig()
    {
        config.setScanModes(ScanModeTable(QStringLiteral("S")));
        config.setTimings({200, 10, 10});
        config.setPortInUse([](int port) { return port == 9100; });
        config.setAddressProber([this](const QString& a) { return answering.contains(a); });
        QObject::connect(&config, &ParamConfig::statusText, [this](const QString& s) { status << s; });
        QObject::connect(&config, &ParamConfig::filled, [this](const ParamFill& f) { fills << f; });
        TFIXModem card;
        card.name = QStringLiteral("A");
        card.macAddress = QStringLiteral("0:17:34:51:68:85");
        card.version = 60;
        cards.append(card);
    }
};

QStringList boxes(std::initializer_list<const char*> values)
{
    QStringList out;
    for (const char* v : values)
        out << QString::fromLatin1(v);
    return out;
}

ParamInputs fullInputs()
{
    ParamInputs in;
    in.widthText = QStringLiteral("320");
    in.heightText = QStringLiteral("64");
    ScreenParams& p = in.params;
    p.scanIndex = 0;
    p.oeIndex = 0;
    p.colorIndex = 1;
    p.dayBrightness = 0;
    p.nightBrightness = 0;
    p.dataBitIndex = 0;
    p.address485Index = 0;
    p.contentIndex = 0;
    p.clockIndex = 0;
    p.transIndex = 0;
    p.rowOrderIndex = 2;
    p.emptyDisplayIndex = 0;
    in.serialBaudIndex = 3;
    return in;
}

QByteArray detailWithBlock(const QByteArray& block)
{
    const auto item = [](quint8 type, const QByteArray& data) {
        return QByteArray(1, char(0xA1)) + char(type) + char(quint8(data.size())) + data + char(0xFF);
    };
    QByteArray b = item(0x04, hex("001122334455")) + item(0x05, hex("7F000014")) + item(0x06, hex("FFFFFF00"))
        + item(0x18, hex("22C4")) + item(0x21, block);
    b.append(QByteArray(200 - b.size(), '\0'));
    return b;
}

} // namespace

TEST(ParamBoxes, DigitsOnlyAndLimits)
{
    bool warn = false;
    EXPECT_EQ(ipBoxText(QStringLiteral("1a9x2"), &warn), QStringLiteral("192"));
    EXPECT_FALSE(warn);
    EXPECT_EQ(ipBoxText(QStringLiteral("255"), &warn), QStringLiteral("254"));
    EXPECT_TRUE(warn);
    EXPECT_EQ(ipBoxText(QStringLiteral("99999999999"), &warn), QStringLiteral("254"));
    EXPECT_EQ(delayBoxText(QStringLiteral("15001")), QStringLiteral("15000"));
    EXPECT_EQ(delayBoxText(QStringLiteral("-20ms")), QStringLiteral("20"));
}

TEST(ParamCodes, BoxesToCodeAndBack)
{
    EXPECT_EQ(internalCodeFromBoxes(boxes({"1", "0", "0", "0", "0", "0", "0", "2"})),
              QStringLiteral("1_0_0_0_0_0_0_2"));
    EXPECT_FALSE(internalCodeFromBoxes(boxes({"1", "0", "0", "0", "0", "0", "0", "256"})));
    EXPECT_FALSE(internalCodeFromBoxes(boxes({"1", "0", "", "0", "0", "0", "0", "2"})));
    EXPECT_FALSE(internalCodeFromBoxes(boxes({"1", "0", "0", "0", "0", "0", "0"})));
    EXPECT_EQ(internalCodeBoxes(QStringLiteral("9_8_7_6_5_4_3_2")), boxes({"9", "8", "7", "6", "5", "4", "3", "2"}));
}

TEST(ParamCodes, RowsAndTheSettingsSection)
{
    ParamRig rig;
    EXPECT_FALSE(rig.config.addCode(boxes({"1", "0", "0", "0", "0", "0", "0", "256"})));
    EXPECT_EQ(rig.status.last(), lg("warn_codes_input"));
    EXPECT_TRUE(rig.config.innerCodes().isEmpty());
    ASSERT_TRUE(rig.config.addCode(boxes({"1", "0", "0", "0", "0", "0", "0", "1"})));
    ASSERT_TRUE(rig.config.addCode(boxes({"1", "0", "0", "0", "0", "0", "0", "2"})));
    ASSERT_TRUE(rig.config.addCode(boxes({"1", "0", "0", "0", "0", "0", "0", "3"})));
    ASSERT_TRUE(rig.config.editCode(1, boxes({"2", "0", "0", "0", "0", "0", "0", "2"})));
    EXPECT_FALSE(rig.config.editCode(1, boxes({"2", "0", "0", "0", "0", "0", "0", "x"})));
    ASSERT_TRUE(rig.config.deleteCode(0));
    EXPECT_FALSE(rig.config.deleteCode(7));
    EXPECT_EQ(rig.config.innerCodes(), (QStringList{"2_0_0_0_0_0_0_2", "1_0_0_0_0_0_0_3"}));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("SetCfg.ini"));
    ASSERT_TRUE(test::writeAll(path, "[Main]\r\nLgType=2\r\n[InnerCodes]\r\nI1=5_5_5_5_5_5_5_5\r\nI9=x\r\n"));
    rig.config.setSettingsPath(path);
    rig.config.closed();
    IniFile ini;
    ASSERT_TRUE(ini.load(path));
    EXPECT_EQ(ini.keys(QStringLiteral("InnerCodes")), (QStringList{"I1", "I2"}));
    EXPECT_EQ(loadInnerCodes(ini), rig.config.innerCodes());
    EXPECT_EQ(ini.value(QStringLiteral("Main"), QStringLiteral("LgType")), QStringLiteral("2"));
}

TEST(ParamDelay, AddedTwiceRaisesTheRepeatTimer)
{
    EXPECT_EQ(sendDelayFromText(QStringLiteral("soon")), 20);
    EXPECT_EQ(sendDelayFromText(QStringLiteral("99999")), 15000);

    int closed = 0;
    ParamRig rig;
    QObject::connect(&rig.config, &ParamConfig::closeWanted, [&] { ++closed; });
    const int repeat = rig.link.scheduler().repeatInterval();
    const int watchdog = rig.link.scheduler().watchdogInterval();
    ASSERT_EQ(repeat, 5000);
    EXPECT_EQ(rig.config.setSendDelay(QStringLiteral("100")), 100);
    rig.config.closed();
    EXPECT_EQ(rig.config.setSendDelay(QStringLiteral("100")), 100);
    EXPECT_EQ(rig.link.scheduler().repeatInterval(), 5200);
    EXPECT_EQ(rig.link.scheduler().watchdogInterval(), watchdog + 200);
    EXPECT_EQ(rig.link.scheduler().packetInterval(), rig.link.scheduler().state().pacingInterval + 100);
    EXPECT_EQ(rig.settings.netDelayTime, 100);
    EXPECT_EQ(closed, 2);
}

TEST(ParamTemporaryAddress, ChecksInOrder)
{
    ParamRig rig;
    ASSERT_TRUE(rig.config.open(true, 0, 336, 144, true));
    const QStringList ip = boxes({"127", "0", "0", "50"});
    const QStringList mask = boxes({"255", "255", "255", "0"});

    EXPECT_FALSE(rig.config.setTemporaryAddress(boxes({"127", "0", "", "50"}), mask, QStringLiteral("8900")));
    EXPECT_EQ(rig.status.last(), lg("warn_IP_empty"));
    EXPECT_FALSE(rig.config.setTemporaryAddress(ip, mask, QStringLiteral("1000")));
    EXPECT_EQ(rig.status.last(), lg("warn_server_port_effective_num"));
    EXPECT_FALSE(rig.config.setTemporaryAddress(ip, mask, QStringLiteral("9100")));
    EXPECT_EQ(rig.status.last(), QStringLiteral("端口[9100]") + lg("action_occupied"));
    EXPECT_FALSE(rig.config.setTemporaryAddress(boxes({"127", "0", "0", "10"}), mask, QStringLiteral("8900")));
    EXPECT_EQ(rig.status.last(), lg("warn_IP_combined")); // the PC's own number
    rig.answering = {QStringLiteral("127.0.0.50")};
    EXPECT_FALSE(rig.config.setTemporaryAddress(ip, mask, QStringLiteral("8900")));
    EXPECT_EQ(rig.status.last(), lg("warn_IP_occupied"));
    rig.answering.clear();
    EXPECT_TRUE(rig.toCard.isEmpty());

    // 65535 is a valid port: the card is told its address and the new port.
    rig.status.clear();
    ASSERT_TRUE(rig.config.setTemporaryAddress(ip, mask, QStringLiteral("65535")));
    ASSERT_TRUE(rig.waitForCard(1));
    EXPECT_EQ(rig.toCard.first(), hex("A1 60 14 001122334455 7F000032 FFFFFF00 7F00000A FFFF FF"));
    EXPECT_EQ(rig.config.lastIp(), QStringLiteral("127.0.0.50"));
    EXPECT_EQ(rig.config.afterClose(), AfterClose::Search);
    EXPECT_EQ(datagram::ipText(rig.udp.searchList().at(0).cardIp), QStringLiteral("127.0.0.50"));
    ASSERT_TRUE(waitFor([&] { return rig.status.contains(lg("tip_config_complete")); }));
    EXPECT_EQ(rig.status.first(), lg("tip_IP_config"));
}

TEST(ParamReadWrite, UdpReadFillsOnlyAfterARead)
{
    ParamRig rig;
    ASSERT_TRUE(rig.config.open(true, 0, 336, 144, true));
    rig.udp.setParamWindowShowing(true);
    const QByteArray block = hex("11 02 0140 0040 03 03 07 01 63 00 33 22 33 11 1F");
    // Not shown yet, so no read was made: the reply is not used.
    rig.fromCard(detailWithBlock(block));
    spin(200);
    EXPECT_TRUE(rig.fills.isEmpty());

    const ParamModeChoice choice = rig.config.shown(); // reads by MAC over UDP
    EXPECT_EQ(choice.mode, kParamNetwork);
    ASSERT_TRUE(rig.waitForCard(1));
    EXPECT_EQ(rig.toCard.takeFirst(), hex("A1 44 06 001122334455 FF"));
    rig.fromCard(detailWithBlock(block));
    ASSERT_TRUE(waitFor([&] { return !rig.fills.isEmpty(); }));
    const ParamFill& fill = rig.fills.first();
    EXPECT_TRUE(fill.fromUdp);
    EXPECT_EQ(fill.params.width, 320);
    EXPECT_EQ(fill.params.scanIndex, rig.config.scanModes().ScanIndexOfCode(17));
    EXPECT_EQ(fill.serverPort, QStringLiteral("8900"));
    EXPECT_EQ(fill.ip, boxes({"127", "0", "0", "20"}));
    EXPECT_EQ(fill.mask, boxes({"255", "255", "255", "0"}));
    EXPECT_EQ(rig.config.keptFlag(), 1);
    EXPECT_EQ(rig.status.last(), lg("tip_params_read"));
    rig.config.closed();
    EXPECT_FALSE(rig.udp.paramWindowShowing());
}

TEST(ParamReadWrite, WriteOverUdpAndTheChecks)
{
    ParamRig rig;
    ASSERT_TRUE(rig.config.open(true, 0, 336, 144, true));
    ParamInputs missing = fullInputs();
    missing.params.dataBitIndex = -1;
    EXPECT_FALSE(rig.config.write(missing));
    EXPECT_EQ(rig.status.last(), lg("warn_params_empty"));
    missing = fullInputs();
    missing.heightText.clear();
    EXPECT_FALSE(rig.config.write(missing));

    int resized = 0;
    QObject::connect(&rig.config, &ParamConfig::cardSizeChanged, [&](int, int w, int h) {
        ++resized;
        EXPECT_EQ(w, 320);
        EXPECT_EQ(h, 64);
    });
    ASSERT_TRUE(rig.config.write(fullInputs()));
    ASSERT_TRUE(rig.waitForCard(1));
    const QByteArray sent = rig.toCard.first();
    ASSERT_EQ(sent.size(), 31);
    const QByteArray block = sent.mid(13, 17);
    EXPECT_EQ(block.mid(2, 4), hex("0140 0040"));
    EXPECT_EQ(quint8(block.at(11)), 0x00);
    EXPECT_EQ(quint8(block.at(12)), 0x33);
    EXPECT_EQ(quint8(block.at(13)), 0x00);
    EXPECT_EQ(quint8(block.at(16)) & 0x0F, 15);
    EXPECT_EQ(resized, 1);
    EXPECT_EQ(rig.config.afterClose(), AfterClose::Search);
    ASSERT_TRUE(waitFor([&] { return rig.status.last() == lg("tip_params_written"); }));
}

TEST(ParamReadWrite, FrameWriteWithoutConfirmationFails)
{
    ParamRig rig;
    rig.settings.commMode = currentCommModeTexts().serial;
    ASSERT_TRUE(rig.config.open(true, 0, 336, 80, false));
    ParamInputs in = fullInputs();
    in.mode = kParamSerial;
    ASSERT_TRUE(rig.config.write(in));
    EXPECT_TRUE(rig.config.confirmationPending());
    EXPECT_EQ(rig.cards[0].colorType, kColorDual);
    EXPECT_EQ(rig.config.afterClose(), AfterClose::Read);
    ASSERT_TRUE(waitFor([&] { return rig.status.last() == lg("tip_params_write_failed"); }));

    ASSERT_TRUE(rig.config.write(in));
    rig.config.ParamsWritten();
    EXPECT_FALSE(rig.config.confirmationPending());
    EXPECT_EQ(rig.status.last(), lg("tip_params_written"));
    spin(300);
    EXPECT_EQ(rig.status.last(), lg("tip_params_written"));
}

TEST(ParamOpen, LowVersionRefusedInNetworkModeAndNoSelectionShows)
{
    ParamRig rig;
    QStringList boxesShown;
    QObject::connect(&rig.config, &ParamConfig::messageBox, [&](const QString& s) { boxesShown << s; });
    rig.cards[0].version = 53;
    EXPECT_FALSE(rig.config.open(true, 0, 336, 144, true));
    EXPECT_EQ(boxesShown, QStringList{lg("warn_card_version_low_cfg")});
    EXPECT_TRUE(rig.config.open(true, 0, 336, 144, false)); // not reported yet: no version known
    EXPECT_FALSE(rig.config.open(true, 5, 336, 144, false));
    EXPECT_TRUE(rig.config.open(false, -1, 0, 0, false));
    EXPECT_TRUE(rig.config.noCard());
    rig.config.shown();
    spin(100);
    EXPECT_TRUE(rig.toCard.isEmpty()); // no card, no read
}
