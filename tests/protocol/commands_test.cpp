#include "protocol/cardcommands.h"
#include "protocol/cardmessage.h"
#include "protocol/frame.h"

#include "support/testsupport.h"

#include <gtest/gtest.h>

using namespace ledsign;
using M = CardMessage;

namespace {

QByteArray withoutSerial(QByteArray f) { return f.replace(9, 4, QByteArray(4, '\0')); }

QByteArray block17()
{
    QByteArray b;
    for (int i = 1; i <= 17; ++i)
        b.append(char(i));
    return b;
}

// A report laid out by hand: head, code 0A 00 FF 01 02 03 04 05 and a "#"
// text from byte 26, the rest '0' up to the 0 byte and FF FF at the end.
QByteArray handReport(quint8 command, const QByteArray& text, int size = 74)
{
    QByteArray f = frame::build(command, QByteArray(size - 19, '0'), 0u);
    f.replace(17, 9, test::hex("0A 00 FF 01 02 03 04 05 00"));
    f.replace(26, text.size(), text);
    f[size - 3] = '\0';
    return f;
}

// 64#32#2#60# and filler fields; font digit '3' at 50, flag bytes 0x10 and
// 0x1F at 52 and 53, speed digit '5' at 56, 0 at 64, type name "AB" at 65.
QByteArray fullText()
{
    return QByteArray("64#32#2#60#1#2#3#4#5#66#"
                      "3#\x10\x1F#05#0#0#0#\0AB\0\0\0#", 45);
}

} // namespace

TEST(CardCommands, PlayControlAndParameterFrames)
{
    QString serial;
    const QByteArray start = commands::playControl(false, serial);
    EXPECT_EQ(withoutSerial(start), test::hex("FE 5C 4B 89 13 00 00 00 51 00 00 00 00 00 00 00 00 FF FF"));
    EXPECT_EQ(convert::bytesToHex(start.mid(9, 4)), serial);
    EXPECT_EQ(commands::playControl(true, serial).at(8), char(0x52));
    EXPECT_EQ(withoutSerial(commands::readParameters(serial)),
              test::hex("FE 5C 4B 89 13 00 00 00 F2 00 00 00 00 00 00 00 00 FF FF"));

    const QByteArray packet = commands::in485Packet(start, QStringLiteral("1_2_3_4_5_6_7_200"));
    ASSERT_EQ(packet.size(), 40);
    EXPECT_EQ(packet.mid(7, 8), test::hex("01 02 03 04 05 06 07 C8"));
    EXPECT_EQ(packet.mid(18, 19), start);

    const QByteArray w = commands::writeParameters(block17(), serial);
    ASSERT_EQ(w.size(), 36);
    EXPECT_EQ(w.mid(4, 5), test::hex("24 00 00 00 F1"));
    EXPECT_EQ(w.mid(13, 4), test::hex("11 00 00 00"));
    QByteArray expected = block17();
    expected[11] = char(0x22);
    EXPECT_EQ(frame::data(w), expected);
    EXPECT_EQ(commands::in485Packet(w, QStringLiteral("1_1_1_1_1_1_1_1")).size(), 57);

    EXPECT_TRUE(commands::writeParameters(QByteArray(16, '\0'), serial).isEmpty());
    EXPECT_TRUE(commands::in485Packet(w, QStringLiteral("1_1_1")).isEmpty());
    EXPECT_TRUE(commands::in485Packet(QByteArray(257, 'x'), QStringLiteral("1_1_1_1_1_1_1_1")).isEmpty());
}

TEST(CardCommands, TimeFrames)
{
    QString serial;
    // 5 May 2024 was a Sunday: week day 00.
    const QByteArray cal = commands::timeCalibration(QDateTime(QDate(2024, 5, 5), QTime(8, 9, 7)), serial);
    ASSERT_EQ(cal.size(), 38);
    EXPECT_EQ(cal.mid(4, 5), test::hex("26 00 00 00 62"));
    EXPECT_EQ(frame::data(cal), QByteArray("1#2024050500080907#"));
    EXPECT_EQ(commands::in485Packet(cal, QStringLiteral("0_0_0_0_0_0_0_1")).size(), 59);

    const QDateTime sat(QDate(2024, 12, 28), QTime(23, 59, 59));
    const QByteArray poll = commands::timeAndPollTime(sat, 60, serial);
    ASSERT_EQ(poll.size(), 42);
    EXPECT_EQ(frame::data(poll), QByteArray("1#2024122806235959#060#"));
    EXPECT_EQ(frame::data(commands::timeAndPollTime(sat, 5, serial)).right(4), QByteArray("030#"));
    EXPECT_EQ(frame::data(commands::timeAndPollTime(sat, 5000, serial)).right(4), QByteArray("999#"));

    commands::TimeFrame read;
    ASSERT_TRUE(commands::readTimeFrame(poll, read));
    EXPECT_EQ(read.time, sat);
    EXPECT_EQ(read.weekDay, 6);
    EXPECT_EQ(read.pollTime, 60);
    ASSERT_TRUE(commands::readTimeFrame(cal, read));
    EXPECT_EQ(read.pollTime, -1);
    EXPECT_FALSE(commands::readTimeFrame(frame::build(0x62, "1#2024133106235959#", 1u), read));
    EXPECT_FALSE(commands::readTimeFrame(frame::build(0x62, "1#20241", 1u), read));
    EXPECT_FALSE(commands::readTimeFrame(frame::build(0x61, "1#2024122806235959#", 1u), read));
}

TEST(CardReport, ReadsEveryFieldAtItsPlace)
{
    CardReport r;
    ASSERT_TRUE(readCardReport(handReport(0x61, fullText()), r));
    EXPECT_EQ(r.command, 0x61);
    EXPECT_EQ(r.internalCode, QStringLiteral("10_0_255_1_2_3_4_5"));
    EXPECT_EQ(r.width, 64);
    EXPECT_EQ(r.height, 32);
    EXPECT_EQ(r.colorType, '9');
    EXPECT_EQ(r.version, 60);
    EXPECT_EQ(r.fontCount, 4);
    EXPECT_EQ(r.speedUnit, 5);
    EXPECT_EQ(r.cardType, QStringLiteral("AB"));
    EXPECT_TRUE(r.acceptableOnNewConnection());
    std::array<quint8, 10> flags {0, 1, 1, 1, 1, 0, 0, 0, 0, 0};
    r.applyFeatureFlags(flags);
    EXPECT_EQ(flags, (std::array<quint8, 10> {1, 0, 0, 0, 0, 1, 1, 1, 1, 1}));
}

TEST(CardReport, DefaultsForMissingOrBadFields)
{
    // Five fields only: defaults, and no registration on a new connection.
    CardReport r;
    ASSERT_TRUE(readCardReport(handReport(0x61, "128#64#3#70#"), r));
    EXPECT_EQ(r.fieldCount, 5);
    EXPECT_EQ(r.width, 64);
    EXPECT_EQ(r.height, 32);
    EXPECT_EQ(r.colorType, '8');
    EXPECT_EQ(r.version, -1);
    EXPECT_FALSE(r.acceptableOnNewConnection());

    // Fields that are not numbers, non-digit font and speed bytes, too few
    // fields for a type name, an unknown colour.
    QByteArray odd = handReport(0x91, "x#y#7#v#1#2#3#");
    odd[50] = 'x';
    odd[56] = 'y';
    ASSERT_TRUE(readCardReport(odd, r));
    EXPECT_EQ(r.width, 64);
    EXPECT_EQ(r.height, 32);
    EXPECT_EQ(r.colorType, ':');
    EXPECT_EQ(r.version, -1);
    EXPECT_EQ(r.fontCount, 7); // a non-digit counts as 6
    EXPECT_EQ(r.speedUnit, 1);
    EXPECT_EQ(r.cardType, QStringLiteral("unknown"));
    EXPECT_TRUE(r.acceptableOnNewConnection());

    QByteArray noTrailer = handReport(0x61, fullText());
    noTrailer[73] = 0;
    ASSERT_TRUE(readCardReport(noTrailer, r));
    EXPECT_FALSE(r.acceptableOnNewConnection());
    ASSERT_TRUE(readCardReport(handReport(0x71, fullText()), r));
    EXPECT_FALSE(r.acceptableOnNewConnection());

    // Too short for the flag bytes: the card's flags stay as they were.
    ASSERT_TRUE(readCardReport(handReport(0x61, "64#32#1#60#0#0#0#", 48), r));
    EXPECT_TRUE(r.hasAllFields());
    std::array<quint8, 10> flags {0, 1, 0, 1, 0, 1, 0, 1, 0, 1};
    const auto before = flags;
    r.applyFeatureFlags(flags);
    EXPECT_EQ(flags, before);

    QString error;
    EXPECT_FALSE(readCardReport(frame::build(0x61, "1234", 0u), r, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(readCardReport(QByteArray(80, '#'), r));
}

TEST(CardReport, BuilderAndReaderAgree)
{
    CardReportContent c;
    c.command = 0x91;
    c.internalCode = {1, 2, 3, 4, 5, 6, 7, 8};
    c.width = 1024;
    c.height = 48;
    c.colorDepth = 3;
    c.version = 54;
    c.fontCount = 3;
    c.speedUnit = 4;
    c.featureFlags = {1, 0, 1, 1, 0, 0, 1, 1, 0, 1};
    c.cardType = QStringLiteral("LongTypeName");
    const QByteArray f = buildCardReport(c, 77u);
    EXPECT_TRUE(frame::isWellFormed(f));
    CardReport r;
    ASSERT_TRUE(readCardReport(f, r));
    EXPECT_EQ(r.internalCode, QStringLiteral("1_2_3_4_5_6_7_8"));
    EXPECT_EQ(std::tie(r.command, r.width, r.height, r.colorType, r.version, r.fontCount, r.speedUnit),
              std::make_tuple(quint8(0x91), 1024, 48, int(':'), 54, 3, 4));
    EXPECT_EQ(r.featureFlags, c.featureFlags);
    EXPECT_EQ(r.cardType, QStringLiteral("LongT"));
    EXPECT_TRUE(r.acceptableOnNewConnection());
}

TEST(Dispatcher, SortsFramesByCommand)
{
    EXPECT_TRUE(std::get<Confirmation>(readFrameMessage(buildConfirmation(0x31))).isMaterialConfirmation());
    // A request for send number 3, block 2, written by hand.
    const M req = readFrameMessage(
        test::hex("FE 5C 4B 89 17 00 00 00 81 00 00 00 09 04 00 00 00 33 03 00 02 00 FF FF"));
    const Confirmation& rc = std::get<Confirmation>(req);
    EXPECT_TRUE(rc.isPacketRequest() && rc.requestComplete);
    EXPECT_EQ(rc.sendNo, 3);
    EXPECT_EQ(rc.blockNo, 2);
    EXPECT_EQ(std::get<Confirmation>(readFrameMessage(buildPacketRequest(0x0102, 7))).sendNo, 0x0102);
    // A bare confirmation confirms a header or text; the trailer of a cut
    // request is not taken for its numbers.
    EXPECT_EQ(std::get<Confirmation>(readFrameMessage(frame::build(0x81, {}, 1u))).confirmedCommand, -1);
    const M cut = readFrameMessage(test::hex("FE 5C 4B 89 16 00 00 00 81 00 00 00 09 03 00 00 00 33 03 00 FF FF"));
    EXPECT_FALSE(std::get<Confirmation>(cut).requestComplete);

    EXPECT_TRUE(std::holds_alternative<DownloadException>(readFrameMessage(frame::build(0x34, {}, 1u))));
    for (quint8 code : {0x21, 0x74, 0x32})
        EXPECT_EQ(std::get<UploadNotice>(readFrameMessage(frame::build(code, {}, 1u))).command, code);
    EXPECT_TRUE(std::holds_alternative<ParametersWritten>(readFrameMessage(frame::build(0xF1, {}, 1u))));
    EXPECT_EQ(std::get<CardReport>(readFrameMessage(handReport(0x91, fullText()))).command, 0x91);
    EXPECT_EQ(std::get<UnknownFrame>(readFrameMessage(frame::build(0x61, "12", 1u))).command, 0x61);
    EXPECT_EQ(std::get<UnknownFrame>(readFrameMessage(frame::build(0x51, {}, 1u))).command, 0x51);
    EXPECT_EQ(std::get<UnknownFrame>(readFrameMessage(test::hex("FE 5C 4B 89 13"))).command, -1);
    EXPECT_TRUE(std::holds_alternative<UnknownFrame>(readFrameMessage(QByteArray(30, 'x'))));

    // Long parameter replies; the interface flag is 0 only for a 00 byte.
    QByteArray block = block17();
    block[11] = 0;
    for (quint8 code : {0x51, 0xF1, 0xF2}) {
        const ParameterReply p = std::get<ParameterReply>(readFrameMessage(buildParameterReply(code, block)));
        EXPECT_EQ(p.block, block);
        EXPECT_EQ(p.interfaceFlag, 0);
    }
    EXPECT_EQ(std::get<ParameterReply>(readFrameMessage(buildParameterReply(0xF2, block17()))).interfaceFlag, 1);
}

TEST(Dispatcher, Rs485Replies)
{
    const convert::InternalCode code {1, 2, 3, 4, 5, 6, 7, 8};
    auto reply = [&](bool complete, quint8 status, const QByteArray& carried) {
        return readRs485Message(rs485::buildReply(code, complete, status, carried));
    };
    EXPECT_EQ(std::get<CardReport>(reply(true, 0, handReport(0x61, fullText()))).version, 60);

    const QByteArray longPacket = rs485::buildReply(code, true, 0, buildParameterReply(0xF2, block17()));
    ASSERT_EQ(longPacket.size(), 57);
    const ParameterReply par = std::get<ParameterReply>(readRs485Message(longPacket));
    EXPECT_EQ(par.interfaceFlag, 2);
    EXPECT_EQ(par.block, block17());
    EXPECT_TRUE(std::holds_alternative<ParametersWritten>(reply(true, 0, frame::build(0xF1, {}, 1u))));

    const Rs485Reply r = std::get<Rs485Reply>(reply(false, 0x03, buildPacketRequest(2, 5)));
    EXPECT_EQ(r.frameCommand, 0x81);
    EXPECT_FALSE(r.complete());
    EXPECT_TRUE(r.negative());
    EXPECT_TRUE(r.confirmation.isPacketRequest());
    EXPECT_EQ(r.confirmation.sendNo, 2);
    EXPECT_EQ(r.confirmation.blockNo, 5);

    const Rs485Reply part = std::get<Rs485Reply>(reply(false, 0xFF, QByteArray(1, '\x04')));
    EXPECT_EQ(part.wantedPart(), 4);
    EXPECT_FALSE(part.negative());
    const Rs485Reply zero = std::get<Rs485Reply>(reply(true, 0, QByteArray(1, '\0')));
    EXPECT_EQ(zero.wantedPart(), 1);
    EXPECT_TRUE(zero.complete());
    EXPECT_EQ(zero.frameCommand, -1);

    // Our own packet heard back on the wire is not a card's answer.
    EXPECT_TRUE(std::holds_alternative<UnknownFrame>(
        readRs485Message(rs485::cutFrame(buildConfirmation(0x31), code).first())));
    EXPECT_TRUE(std::holds_alternative<UnknownFrame>(readRs485Message(test::hex("FE 55 00"))));
}
