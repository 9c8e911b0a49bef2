// The TCP receive path through a real connection to the program's server: a
// frame whose length field claims more bytes than arrive neither swallows
// the frame after it nor waits for ever; a frame that TCP delivers in two
// pieces is still joined. Every report (0x61) of a known card is answered
// with the time and poll time (0x62), which is what the card side counts.
#include "language/language.h"
#include "model/projectmodel.h"
#include "support/testsupport.h"
#include "transport/cardlink.h"
#include "transport/waitfor.h"

#include <QTcpSocket>
#include <QTimer>
#include <gtest/gtest.h>

using namespace ledsign;
using namespace ledsign::test;

namespace {

// 0x61 from the card 1_2_3_4_5_6_7_8 with seven fields "64#32#1#60#0#0#0"
// from byte 26, then zeros up to byte n-4: 17 + 8 + 1 + 16 + 4 + 2 = 48.
const char* kRegisteringReport = "FE 5C 4B 89 30 00 00 00 61 00 00 00 01 1D 00 00 00"
                                 "01 02 03 04 05 06 07 08 00"
                                 "36 34 23 33 32 23 31 23 36 30 23 30 23 30 23 30"
                                 "00 00 00 00 FF FF";

// A short 0x61 that a known card may send: the code and "#" (28 bytes).
const char* kShortReport = "FE 5C 4B 89 1C 00 00 00 61 00 00 00 02 09 00 00 00"
                           "01 02 03 04 05 06 07 08 23 FF FF";

// A 0x61 whose lengths claim 58 bytes (data 0x27) of which 30 arrive: the
// code and "#1#2#", no trailer. 58 is exactly its 30 bytes and the 28 of
// kShortReport.
const char* kClaimsTheNext = "FE 5C 4B 89 3A 00 00 00 61 00 00 00 03 27 00 00 00"
                             "01 02 03 04 05 06 07 08 23 31 23 32 23";

// The same, claiming 200 bytes (data 0xB5).
const char* kClaimsMore = "FE 5C 4B 89 C8 00 00 00 61 00 00 00 04 B5 00 00 00"
                          "01 02 03 04 05 06 07 08 23 31 23 32 23";

struct TcpReceive : ::testing::Test {
    ProjectModel model;
    CardLink link {model};
    QTcpSocket card;
    QByteArray received;

    void SetUp() override
    {
        setCurrentLanguage(kEnglish);
        ASSERT_TRUE(link.channels().openServer(0, QHostAddress::LocalHost));
        QObject::connect(&card, &QTcpSocket::readyRead, [this] { received += card.readAll(); });
        card.connectToHost(QHostAddress::LocalHost, link.channels().serverPort());
        ASSERT_TRUE(waitFor([&] { return received.size() >= 19; }, 5000)) << "no identity query";
        ASSERT_EQ(received.left(19), hex("FE 5C 4B 89 13 00 00 00 71 01 02 03 04 00 00 00 00 FF FF"));
        ASSERT_EQ(hex(kRegisteringReport).size(), 48);
        card.write(hex(kRegisteringReport));
        ASSERT_TRUE(waitFor([&] { return timeFrames() == 1; }, 5000)) << "the card was not registered";
        ASSERT_EQ(model.cards().size(), 1);
        ASSERT_EQ(hex(kShortReport).size(), 28);
        ASSERT_EQ(hex(kClaimsTheNext).size(), 30);
    }

    // Frames 0x62 (time and poll time, 42 bytes) the card has received.
    int timeFrames() const
    {
        int n = 0;
        const QByteArray marker = hex("FE 5C 4B 89");
        for (qsizetype at = received.indexOf(marker); at >= 0; at = received.indexOf(marker, at + 4)) {
            if (at + 8 < received.size() && quint8(received[at + 8]) == 0x62 && quint8(received[at + 4]) == 42)
                ++n;
        }
        return n;
    }
};

} // namespace

TEST_F(TcpReceive, AFrameClaimingTheNextOnesBytesDoesNotSwallowIt)
{
    card.write(hex(kClaimsTheNext) + hex(kShortReport));
    ASSERT_TRUE(waitFor([&] { return timeFrames() == 3; }, 3000)) << "frames answered: " << timeFrames() - 1;
    spin(300);
    EXPECT_EQ(timeFrames(), 3);
}

TEST_F(TcpReceive, AFrameClaimingMoreThanArrivesIsHandedOnWhenTheLineGoesQuiet)
{
    card.write(hex(kShortReport) + hex(kClaimsMore));
    ASSERT_TRUE(waitFor([&] { return timeFrames() == 2; }, 3000));
    // The cut-short report, as it stands, once nothing more comes.
    ASSERT_TRUE(waitFor([&] { return timeFrames() == 3; }, 3000)) << "it was held back";
    // And the card is heard as before.
    card.write(hex(kShortReport));
    ASSERT_TRUE(waitFor([&] { return timeFrames() == 4; }, 3000));
}

TEST_F(TcpReceive, AFrameInTwoPiecesIsStillOneFrame)
{
    const QByteArray report = hex(kShortReport);
    card.write(report.left(10));
    card.flush();
    QTimer::singleShot(20, [&] { card.write(report.mid(10)); });
    ASSERT_TRUE(waitFor([&] { return timeFrames() == 2; }, 3000));
    spin(400);
    EXPECT_EQ(timeFrames(), 2);
}
