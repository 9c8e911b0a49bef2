// Downloads on an RS-485 line shared by several virtual cards: every packet
// is addressed, whatever link the card record was made with; the program
// leaves the line its send delay after a card's answer, so a card that needs
// time to turn round takes every packet; and a refused piece is followed by
// the next one. Expected bytes are written out here from the packet and
// frame layouts, with the check bytes computed bit by bit.
#include "language/language.h"
#include "model/projectmodel.h"
#include "support/cardprocess.h"
#include "support/pictureplaybill.h"
#include "support/ptypair.h"
#include "support/rs485bus.h"
#include "support/testsupport.h"
#include "transport/cardlink.h"
#include "transport/waitfor.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ledsign;
using namespace ledsign::test;

namespace {

const QString kCodeA = QStringLiteral("8_8_8_8_1_2_3_4");
const QString kCodeB = QStringLiteral("8_8_8_8_5_6_7_8");
const char* kAddressA = "08 08 08 08 01 02 03 04";

// The description of a card with the page "111111111" (08:00-12:00) and one
// image-group material "101010101" (type code '8') played once, spare text
// "10": id, ",08:00-12:00.", id, '8', x/8 y w/8 h, 1 0000 00000, #0 1 # 10 ;
// In a region at x 8, y 8, w 16, h 8:
const QByteArray kSmallDescription = "111111111,08:00-12:00.1010101018001008002008" "1000000000#01#10;";
// In a region at x 0, y 0, w 64, h 32:
const QByteArray kFullDescription = "111111111,08:00-12:00.1010101018000000008032" "1000000000#01#10;";

// The 0x22 header frame of such a description (61 bytes, so 80 in all, data
// length 0x3D) inside one 485 packet to card A: length 80 + 19 = 0x63. The
// frame serial (packet bytes 27-30) is drawn anew for every frame; it is
// taken from the packet read, and must be a number below 100000.
QByteArray expectedHeaderPacket(const QByteArray& description, const QByteArray& serial)
{
    QByteArray p = hex("FE 98 00 63 97 54 00") + hex(kAddressA) + hex("01 01 01");
    p += hex("FE 5C 4B 89 50 00 00 00 22") + serial + hex("3D 00 00 00");
    p += description + hex("FF FF");
    return p + rs485Closing(p);
}

QByteArray serialOfCarriedFrame(const QByteArray& packet) { return packet.mid(18 + 9, 4); }

std::string hexText(const QByteArray& bytes) { return bytes.toHex(' ').toStdString(); }

bool serialInRange(const QByteArray& serial)
{
    if (serial.size() != 4 || serial[0] != 0)
        return false;
    const int v = (quint8(serial[1]) << 16) | (quint8(serial[2]) << 8) | quint8(serial[3]);
    return v < 100000;
}

PictureMaterial smallMaterial()
{
    QImage half = blackPicture(16, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            half.setPixel(x, y, qRgb(255, 0, 0));
    return {"101010101", 8, 8, 16, 8, {half}};
}

// Nine 64 x 32 pictures: two material frames of many pieces each.
PictureMaterial largeMaterial()
{
    QList<QImage> nine;
    for (int k = 0; k < 9; ++k)
        nine << blackPicture(64, 32);
    nine[8].setPixel(0, 0, qRgb(255, 0, 0));
    return {"202020202", 0, 0, 64, 32, nine};
}

struct SharedLine : ::testing::Test {
    Rs485Bus bus {2};
    CardProcess cardA;
    CardProcess cardB;
    ProjectModel model;
    CardLink link {model};
    QTemporaryDir files;
    QList<bool> ended;

    void SetUp() override
    {
        setCurrentLanguage(kEnglish);
        ASSERT_TRUE(QFileInfo::exists(CardProcess::program())) << "build ledsign-card first";
        ASSERT_TRUE(bus.isReady());
        ASSERT_TRUE(files.isValid());
        QObject::connect(&link.scheduler(), &SendScheduler::downloadEnded,
                         [this](const QString&, bool ok) { ended << ok; });
    }

    void startCards(const QStringList& extra)
    {
        const QStringList a = QStringList {QStringLiteral("--serial"), bus.cardSide(0), QStringLiteral("--rs485"),
                                           QStringLiteral("--code"), kCodeA} + extra;
        const QStringList b = QStringList {QStringLiteral("--serial"), bus.cardSide(1), QStringLiteral("--rs485"),
                                           QStringLiteral("--code"), kCodeB} + extra;
        ASSERT_TRUE(cardA.start(a));
        ASSERT_TRUE(cardB.start(b));
        ASSERT_TRUE(cardA.waitForLine(QStringLiteral("ready serial"), 5000));
        ASSERT_TRUE(cardB.waitForLine(QStringLiteral("ready serial"), 5000));
        link.setCommMode(CommModeKind::Rs485);
        ASSERT_TRUE(link.channels().openSerialPort(kAfterOpenNothing, bus.programSide(), 115200));
    }

    void addCardRecord(const QString& name, const QString& code, int linkKind, const QList<PictureMaterial>& materials)
    {
        TFIXModem given;
        given.name = name;
        given.linkKind = linkKind;
        given.version = 60;
        given.internalCode = code;
        model.addCard(given);
        addPicturePlaybill(model, name, materials, files.path());
        link.scheduler().setNodeState(name, kNodeOnline);
    }
};

} // namespace

TEST_F(SharedLine, InRs485ModeACardWithLinkKindZeroIsStillAddressed)
{
    startCards({});
    // A record made before the card was heard on the line: link kind 0.
    addCardRecord(QStringLiteral("hall"), kCodeA, 0, {smallMaterial()});
    link.scheduler().sendCommand(QStringLiteral("hall"));
    ASSERT_TRUE(waitFor([&] { return !ended.isEmpty(); }, 20000));
    EXPECT_EQ(ended, QList<bool> {true});
    ASSERT_TRUE(cardA.waitForLine(QStringLiteral("playbill complete materials=1"), 3000));
    EXPECT_TRUE(cardA.errorLines().isEmpty()) << cardA.errorLines().join(u'\n').toStdString();

    // The first thing on the line is the header, addressed to card A.
    const QList<QByteArray> sent = splitRs485Packets(bus.bytesFrom(Rs485Bus::kProgram));
    ASSERT_GE(sent.size(), 2);
    const QByteArray serial = serialOfCarriedFrame(sent[0]);
    EXPECT_TRUE(serialInRange(serial));
    EXPECT_EQ(hexText(sent[0]), hexText(expectedHeaderPacket(kSmallDescription, serial)));
    // Every later packet is addressed to card A and closed correctly.
    for (const QByteArray& p : sent) {
        EXPECT_EQ(p.left(7), hex("FE 98") + p.mid(2, 2) + hex("97 54 00"));
        EXPECT_EQ(p.mid(7, 8), hex(kAddressA));
        EXPECT_EQ(p.right(3), rs485Closing(p.left(p.size() - 3)));
    }

    // Card B heard every packet and took none of them.
    EXPECT_TRUE(cardB.errorLines().isEmpty()) << cardB.errorLines().join(u'\n').toStdString();
    EXPECT_EQ(cardB.countLines(QStringLiteral("ignored packet for ") + kCodeA), sent.size());
    EXPECT_EQ(cardB.countLines(QStringLiteral("rx ")), 0);
    EXPECT_TRUE(bus.bytesFrom(1).isEmpty()) << "card B never answered";
}

TEST_F(SharedLine, TheProgramLeavesTheLineItsSendDelayAfterEveryAnswer)
{
    // The cards turn round in 120 ms; the program waits 200 ms.
    startCards({QStringLiteral("--turnaround"), QStringLiteral("120")});
    link.scheduler().state().sendDelay = 200;
    addCardRecord(QStringLiteral("hall"), kCodeA, 1, {smallMaterial(), largeMaterial()});
    link.scheduler().sendCommand(QStringLiteral("hall"));
    ASSERT_TRUE(waitFor([&] { return !ended.isEmpty(); }, 20000));
    EXPECT_EQ(ended, QList<bool> {true});
    ASSERT_TRUE(cardA.waitForLine(QStringLiteral("playbill complete materials=2"), 3000));
    EXPECT_EQ(cardA.countLines(QStringLiteral("refused early packet")), 0)
        << cardA.linesStartingWith(QStringLiteral("refused")).join(u'\n').toStdString();
    EXPECT_TRUE(cardA.errorLines().isEmpty()) << cardA.errorLines().join(u'\n').toStdString();

    // Every packet that follows an answer of card A comes at least the send
    // delay after it.
    int followed = 0;
    qint64 lastAnswer = -1;
    for (const Rs485Bus::Heard& h : bus.heard()) {
        if (h.from == 0) {
            lastAnswer = h.atMs;
        } else if (h.from == Rs485Bus::kProgram && lastAnswer >= 0) {
            EXPECT_GE(h.atMs - lastAnswer, 199) << "packet " << followed;
            ++followed;
            lastAnswer = -1;
        }
    }
    EXPECT_GE(followed, 5) << "header and pieces each followed an answer";
}

// The test plays the card on a pty and answers with bytes written out here.
TEST(Rs485Refusal, ARefusedPieceIsSentAgain)
{
    setCurrentLanguage(kEnglish);
    PtyPair pty;
    ASSERT_TRUE(pty.isOpen());
    ProjectModel model;
    CardLink link(model);
    link.setCommMode(CommModeKind::Rs485);
    link.scheduler().state().sendDelay = 20;
    ASSERT_TRUE(link.channels().openSerialPort(kAfterOpenNothing, pty.slavePath(), 115200));
    TFIXModem given;
    given.name = QStringLiteral("hall");
    given.linkKind = 1;
    given.version = 60;
    given.internalCode = kCodeA;
    model.addCard(given);
    QTemporaryDir files;
    ASSERT_TRUE(files.isValid());
    // One 64 x 32 picture: 256 bytes of display data, more than one piece.
    addPicturePlaybill(model, given.name, {{"101010101", 0, 0, 64, 32, {blackPicture(64, 32)}}}, files.path());
    QList<bool> ended;
    QObject::connect(&link.scheduler(), &SendScheduler::downloadEnded, [&](const QString&, bool ok) { ended << ok; });
    link.scheduler().setNodeState(given.name, kNodeOnline);

    // Replies of card A: FE, a card's kind byte, the length, 00 and 54 or 55,
    // the status byte, the address, 01 01 01, the payload, the check bytes.
    auto reply = [](const char* direction, const char* status, const QByteArray& payload) {
        QByteArray p = hex("FE 89");
        p += char((payload.size() + 19) >> 8);
        p += char((payload.size() + 19) & 0xFF);
        p += hex("00") + hex(direction) + hex(status) + hex(kAddressA) + hex("01 01 01") + payload;
        return p + rs485Closing(p);
    };
    // The confirmation frame (0x81, 20 bytes) of a confirmed command.
    auto confirmation = [](const char* command) {
        return hex("FE 5C 4B 89 14 00 00 00 81 00 00 00 07 01 00 00 00") + hex(command) + hex("FF FF");
    };

    // Exactly `count` bytes of what the program wrote, or fewer when it stops.
    QByteArray stash;
    auto take = [&](qsizetype count) {
        if (stash.size() < count)
            stash += pty.readMaster(count - stash.size(), 5000);
        const QByteArray out = stash.left(count);
        stash.remove(0, out.size());
        return out;
    };

    link.scheduler().sendCommand(given.name);
    QByteArray header = take(101);
    ASSERT_EQ(header.size(), 101);
    EXPECT_EQ(hexText(header), hexText(expectedHeaderPacket(kFullDescription, serialOfCarriedFrame(header))));

    ASSERT_TRUE(pty.writeMaster(reply("55", "00", confirmation("22"))));
    const QByteArray first = take(256 + 21);
    ASSERT_EQ(first.size(), 256 + 21);
    const int parts = quint8(first[16]);
    ASSERT_GE(parts, 2);
    EXPECT_EQ(first.left(18), hex("FE 98 01 13 97 54 00") + hex(kAddressA) + hex("01") + char(parts) + hex("01"));

    // Card A refuses piece 1 (status 01): the program sends piece 1 again.
    ASSERT_TRUE(pty.writeMaster(reply("54", "01", hex("01"))));
    EXPECT_EQ(hexText(take(256 + 21)), hexText(first));
    QByteArray whole = first.mid(18, 256);
    for (int part = 2; part <= parts; ++part) {
        ASSERT_TRUE(pty.writeMaster(reply("54", "00", QByteArray(1, char(part)))));
        QByteArray piece = take(18);
        ASSERT_EQ(piece.size(), 18);
        EXPECT_EQ(hexText(piece.mid(16, 2)), hexText(QByteArray(1, char(parts)) + char(part)));
        const int size = ((quint8(piece[2]) << 8) | quint8(piece[3])) + 2;
        piece += take(size - 18);
        ASSERT_EQ(piece.size(), size);
        EXPECT_EQ(piece.left(7), hex("FE 98") + piece.mid(2, 2) + hex("97 54 00"));
        EXPECT_EQ(piece.mid(7, 8), hex(kAddressA));
        EXPECT_EQ(piece.right(3), rs485Closing(piece.left(size - 3)));
        whole += piece.mid(18, size - 21);
    }
    // The pieces make one material frame: marker, total length, 0x31,
    // data length = total - 19, trailer.
    ASSERT_GT(whole.size(), 256);
    EXPECT_EQ(whole.left(4), hex("FE 5C 4B 89"));
    const auto le32 = [&](int at) {
        return quint32(quint8(whole[at])) | quint32(quint8(whole[at + 1])) << 8 | quint32(quint8(whole[at + 2])) << 16
            | quint32(quint8(whole[at + 3])) << 24;
    };
    EXPECT_EQ(le32(4), quint32(whole.size()));
    EXPECT_EQ(quint8(whole[8]), 0x31);
    EXPECT_EQ(le32(13), quint32(whole.size() - 19));
    EXPECT_EQ(whole.right(2), hex("FF FF"));

    ASSERT_TRUE(pty.writeMaster(reply("55", "00", confirmation("31"))));
    ASSERT_TRUE(waitFor([&] { return !ended.isEmpty(); }, 5000));
    EXPECT_EQ(ended, QList<bool> {true});
    EXPECT_TRUE(stash.isEmpty() && pty.drainMaster().isEmpty()) << "nothing else was sent";
}
