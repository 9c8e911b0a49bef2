// ledsign-cli send over a serial line and over an RS-485 line, against
// ledsign-card on a linked pty pair, with the trace of the exchange read
// back by decode; and the exit statuses of a line without a card and of
// options that do not go together.
#include "clifixture.h"

#include "support/cardprocess.h"

#include <QRegularExpression>

using namespace ledsign;
using namespace ledsign::test;

namespace {

const QString kCode = QStringLiteral("7_7_7_7_1_2_3_4");

int countMatches(const QString& text, const QString& pattern)
{
    const QRegularExpression re(pattern, QRegularExpression::MultilineOption);
    int n = 0;
    for (auto it = re.globalMatch(text); it.hasNext(); it.next())
        ++n;
    return n;
}

class SerialSendTest : public CliTest {
protected:
    // Starts the card on its side of the line; false when socat or the
    // card program is missing.
    void startCard(bool rs485)
    {
        ASSERT_TRUE(QFileInfo::exists(CardProcess::program())) << "build ledsign-card first";
        ASSERT_TRUE(line.isReady()) << "socat is needed (scripts/setup installs it)";
        QStringList args{QStringLiteral("--serial"), line.cardSide(), QStringLiteral("--baud"),
                         QStringLiteral("115200"), QStringLiteral("--code"), kCode};
        if (rs485)
            args << QStringLiteral("--rs485");
        ASSERT_TRUE(card.start(args));
        ASSERT_TRUE(card.waitForLine(QStringLiteral("ready serial"), 5000));
    }

    QStringList sendArgs(const QStringList& extra) const
    {
        return QStringList{QStringLiteral("send"), playbill, QStringLiteral("--serial"), line.programSide(),
                           QStringLiteral("--baud"), QStringLiteral("115200"), QStringLiteral("--home"), home.path(),
                           QStringLiteral("--timeout"), QStringLiteral("15"), QStringLiteral("--trace"), tracePath()}
            + extra;
    }

    QString tracePath() const { return dir.filePath(QStringLiteral("send.trace")); }

    // Material frames of the export of the same playbill for this card.
    int exportedMaterialFrames()
    {
        const CliRun run = runCli(QStringList{QStringLiteral("export"), playbill} + geometry(1)
                                  + QStringList{QStringLiteral("--home"), home.path(), QStringLiteral("--out"), outDir});
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        const CliRun decoded = runCli({QStringLiteral("decode"), QDir(outDir).filePath(QStringLiteral("Vk_Data.prg"))});
        return countMatches(decoded.out, QStringLiteral(R"(^@\d+ frame 0x31 )"));
    }

    PtyLink line;
    CardProcess card;
};

} // namespace

TEST_F(SerialSendTest, OneCardOnASerialLine)
{
    startCard(false);
    // The pause between packets is the data folder's, as the editor's.
    ASSERT_TRUE(writeAll(home.settingsFile(), "[NetDelayTime]\nNetDelayTime=20\n"));
    const CliRun run = runCli(sendArgs({}));
    EXPECT_TRUE(run.out.contains(QStringLiteral("pause of 20 ms between packets"))) << run.out.toStdString();
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("card %1 registered from %2: 64 x 32").arg(kCode, line.programSide())))
        << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("Playbill been sent."))) << run.out.toStdString();
    ASSERT_TRUE(card.waitForLine(QStringLiteral("playbill complete materials=2"), 5000));
    EXPECT_TRUE(card.errorLines().isEmpty()) << card.errorLines().join(u'\n').toStdString();

    // The trace holds the plain frames both ways: the identity query and the
    // card's report, the header, every material frame, the confirmations.
    const CliRun decoded = runCli({QStringLiteral("decode"), tracePath()});
    EXPECT_EQ(decoded.exitCode, 0) << decoded.out.toStdString();
    const QString out = decoded.out;
    EXPECT_GE(countMatches(out, QStringLiteral(R"(^\d\d:\d\d:\d\d\.\d{3} sent serial frame 0x71 serial 01020304 length 19$)")), 1)
        << out.toStdString();
    EXPECT_GE(countMatches(out, QStringLiteral(R"(^\S+ received serial frame 0x61 )")), 1) << out.toStdString();
    EXPECT_EQ(countMatches(out, QStringLiteral(R"(^\S+ sent serial frame 0x22 .* header )")), 1) << out.toStdString();
    const int materials = countMatches(out, QStringLiteral(R"(^\S+ sent serial frame 0x31 .* check ok)"));
    // The last frame is sent again until the card confirms it.
    EXPECT_GE(materials, exportedMaterialFrames());
    EXPECT_GE(countMatches(out, QStringLiteral(R"(^\S+ received serial frame 0x81 )")), 2);
    EXPECT_EQ(countMatches(out, QStringLiteral("FAILED|MALFORMED")), 0) << out.toStdString();
}

TEST_F(SerialSendTest, OneCardOfAnRs485LineInAddressedPackets)
{
    startCard(true);
    const CliRun run = runCli(sendArgs({QStringLiteral("--rs485"), QStringLiteral("--card-code"), kCode}));
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("Playbill been sent."))) << run.out.toStdString();
    ASSERT_TRUE(card.waitForLine(QStringLiteral("playbill complete materials=2"), 5000));
    EXPECT_TRUE(card.errorLines().isEmpty()) << card.errorLines().join(u'\n').toStdString();

    const CliRun decoded = runCli({QStringLiteral("decode"), tracePath()});
    EXPECT_EQ(decoded.exitCode, 0) << decoded.out.toStdString();
    const QString out = decoded.out;
    // Every packet sent is addressed to the card and its CRC and XOR byte
    // hold; the frames they carry join again: the identity query, the header
    // and the material frames, which a USB export of the same playbill has
    // as many of.
    const int packets = countMatches(out, QStringLiteral(R"(^\S+ sent serial 485 to )"));
    EXPECT_GT(packets, 3);
    EXPECT_EQ(countMatches(out, QStringLiteral(R"(^\S+ sent serial 485 to %1 part \d+/\d+ length \d+ crc ok xor ok$)")
                                    .arg(kCode)),
              packets)
        << out.toStdString();
    EXPECT_GE(countMatches(out, QStringLiteral(R"(^\S+ sent serial frame 0x71 serial 01020304 length 19$)")), 1);
    EXPECT_EQ(countMatches(out, QStringLiteral(R"(^\S+ sent serial frame 0x22 .* header )")), 1) << out.toStdString();
    EXPECT_GE(countMatches(out, QStringLiteral(R"(^\S+ sent serial frame 0x31 .* check ok)")), exportedMaterialFrames());
    EXPECT_GE(countMatches(out, QStringLiteral(R"(^\S+ received serial 485 from %1 reply 5[45] )").arg(kCode)), 3);
    EXPECT_EQ(countMatches(out, QStringLiteral("FAILED|MALFORMED")), 0) << out.toStdString();
}

TEST_F(SerialSendTest, ALineWithoutACardAndOptionsThatDoNotGoTogether)
{
    ASSERT_TRUE(line.isReady()) << "socat is needed (scripts/setup installs it)";
    CliRun run = runCli(QStringList{QStringLiteral("send"), playbill, QStringLiteral("--serial"), line.programSide(),
                                    QStringLiteral("--timeout"), QStringLiteral("2")});
    EXPECT_EQ(run.exitCode, 3) << run.out.toStdString() << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("no card registered on %1 at 9600 baud").arg(line.programSide())))
        << run.err.toStdString();

    run = runCli({QStringLiteral("send"), playbill, QStringLiteral("--serial"), QStringLiteral("/nonexistent/tty9")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("cannot open the serial port"))) << run.err.toStdString();

    const QList<QStringList> wrong{
        {QStringLiteral("--serial"), line.programSide(), QStringLiteral("--rs485")},
        {QStringLiteral("--serial"), line.programSide(), QStringLiteral("--port"), QStringLiteral("8900")},
        {QStringLiteral("--port"), QStringLiteral("8900"), QStringLiteral("--baud"), QStringLiteral("9600")},
        {QStringLiteral("--port"), QStringLiteral("8900"), QStringLiteral("--rs485")},
        {QStringLiteral("--serial"), line.programSide(), QStringLiteral("--baud"), QStringLiteral("fast")},
        {QStringLiteral("--serial"), line.programSide(), QStringLiteral("--delay"), QStringLiteral("soon")},
        // A part above 255 would be cut to its low byte: another card's code.
        {QStringLiteral("--serial"), line.programSide(), QStringLiteral("--card-code"), QStringLiteral("256_2_3_4_5_6_7_8")},
        {QStringLiteral("--port"), QStringLiteral("8900"), QStringLiteral("--card-code"), QStringLiteral("1_2_3_4_5_6_7_x")},
        {QStringLiteral("--port"), QStringLiteral("8900"), QStringLiteral("--card-code"), QStringLiteral("1_2_3_4_5_6_7_-1")},
        {},
    };
    for (const QStringList& extra : wrong) {
        run = runCli(QStringList{QStringLiteral("send"), playbill} + extra);
        EXPECT_EQ(run.exitCode, 2) << extra.join(u' ').toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("usage: ledsign-cli send"))) << extra.join(u' ').toStdString();
    }
    run = runCli({QStringLiteral("send"), QStringLiteral("--help")});
    EXPECT_EQ(run.exitCode, 0);
    for (const char* option : {"--serial DEVICE", "--baud N", "--rs485", "--delay MS", "--trace FILE"})
        EXPECT_TRUE(run.out.contains(QString::fromLatin1(option))) << option;
}
