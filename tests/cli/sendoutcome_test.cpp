// How ledsign-cli send ends against a card that misbehaves, on each kind of
// line: late confirmations, an exception, a final frame never confirmed, a
// lost or damaged block, a line that goes away. "Playbill been sent." and
// exit 0 only when the card holds the whole playbill; anything else exit 1
// with the reason. And a proxy that damages one byte of a middle block in
// flight, which the card asks for again.
#include "clifixture.h"

#include "support/cardprocess.h"
#include "transport/waitfor.h"

#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>

using namespace ledsign;
using namespace ledsign::test;

namespace {

const QString kCode = QStringLiteral("9_8_7_6_5_4_3_2");
const QString kSent = QStringLiteral("Playbill been sent.");
const QString kFailed = QStringLiteral("Fail to send the program!");
const QString kAbnormal = QStringLiteral("Abnormal, sent out.");

struct Case {
    const char* name;
    QStringList cardArgs;
    int exitCode;
    QString message;      // in the output (stdout or stderr)
    bool cardHoldsAll;    // the card wrote "playbill complete"
};

// Runs ledsign-cli, calling `meanwhile` while it runs.
CliRun runCliWhile(const QStringList& args, const std::function<void()>& meanwhile, int timeoutMs = 90000)
{
    QProcess process;
    process.start(binDir() + QStringLiteral("/ledsign-cli"), args);
    CliRun run;
    if (!process.waitForStarted(10000))
        return run;
    run.finished = waitFor([&] {
        meanwhile();
        return process.state() == QProcess::NotRunning;
    }, timeoutMs);
    if (!run.finished) {
        process.kill();
        process.waitForFinished(3000);
    }
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QString lastProgress(const QString& out)
{
    const QStringList lines = out.split(u'\n').filter(QStringLiteral("sending: "));
    return lines.isEmpty() ? QString() : lines.last();
}

class SendOutcome : public CliTest {
protected:
    QStringList sendArgs(const QStringList& line, const QString& file) const
    {
        return QStringList{QStringLiteral("send"), file, QStringLiteral("--home"), home.path(),
                           QStringLiteral("--timeout"), QStringLiteral("15")}
            + line;
    }

    // A copy of the playbill whose second material has an id of five digits.
    QString playbillWithShortId()
    {
        for (TFodder& m : model.materials())
            if (m.id == QLatin1String("100000004"))
                m.id = QStringLiteral("12345");
        const QString path = dir.filePath(QStringLiteral("shortid.prg"));
        PlaybillWriter writer(model, home);
        EXPECT_TRUE(writer.write(cardName, path)) << writer.errorString().toStdString();
        return path;
    }

    static void check(const Case& c, const CliRun& run, const QStringList& cardLog)
    {
        const bool holdsAll = cardLog.contains(QStringLiteral("playbill complete materials=2"));
        const std::string what = std::string(c.name) + "\n" + run.out.toStdString() + run.err.toStdString() + "card:\n"
            + cardLog.join(u'\n').toStdString();
        ASSERT_TRUE(run.finished) << what;
        EXPECT_EQ(run.exitCode, c.exitCode) << what;
        EXPECT_TRUE((run.out + run.err).contains(c.message)) << what;
        EXPECT_EQ(run.out.contains(kSent), c.exitCode == 0) << what;
        EXPECT_EQ(holdsAll, c.cardHoldsAll) << what;
    }
};

} // namespace

TEST_F(SendOutcome, OverTcp)
{
    const QList<Case> cases{
        {"late confirmations, the final frame never confirmed", {"--late", "400", "--no-final-confirm"}, 1, kFailed, true},
        {"late confirmations, an exception for the final frame", {"--late", "400", "--exception-at", "final"}, 1, kAbnormal, false},
        {"a lost block is asked for again", {"--lose-block", "1"}, 0, kSent, true},
        {"a damaged block is asked for again", {"--damage-block", "2"}, 0, kSent, true},
    };
    for (const Case& c : cases) {
        const quint16 port = freePort();
        ASSERT_NE(port, 0);
        CardChild card;
        ASSERT_TRUE(card.start(port, QStringList{QStringLiteral("--colors"), QStringLiteral("2")} + c.cardArgs));
        const CliRun run = runCli(sendArgs({QStringLiteral("--port"), QString::number(port), QStringLiteral("--listen"),
                                            QStringLiteral("127.0.0.1")},
                                           playbill));
        const QStringList lines = card.stop();
        check(c, run, lines);
        if (c.cardArgs.contains(QStringLiteral("--lose-block")) || c.cardArgs.contains(QStringLiteral("--damage-block")))
            EXPECT_GE(lines.filter(QRegularExpression(QStringLiteral("^request send=\\d block=1$"))).size(), 1) << c.name;
    }

    // A material id the card would read out of place is refused before the
    // header goes, naming the material.
    const quint16 port = freePort();
    CardChild card;
    ASSERT_TRUE(card.start(port, {QStringLiteral("--colors"), QStringLiteral("2")}));
    const QString shortId = playbillWithShortId();
    const CliRun run = runCli(sendArgs({QStringLiteral("--port"), QString::number(port)}, shortId));
    EXPECT_EQ(run.exitCode, 1) << run.out.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("Material Pictures 1 has the id \"12345\""))) << run.err.toStdString();
    EXPECT_TRUE(card.stop().filter(QStringLiteral("rx cmd=22")).isEmpty());
    // Nor is it written for a USB disk.
    const CliRun exported = runCli(QStringList{QStringLiteral("export"), shortId} + geometry()
                                   + QStringList{QStringLiteral("--home"), home.path(), QStringLiteral("--out"), outDir});
    EXPECT_EQ(exported.exitCode, 1);
    EXPECT_TRUE(exported.err.contains(QStringLiteral("has the id \"12345\""))) << exported.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(QDir(outDir).filePath(QStringLiteral("Vk_Data.prg"))));
}

TEST_F(SendOutcome, OverAPlainSerialLine)
{
    const QList<Case> cases{
        {"late confirmations, the final frame never confirmed", {"--late", "400", "--no-final-confirm"}, 1, kFailed, true},
        {"late confirmations, an exception for the final frame", {"--late", "400", "--exception-at", "final"}, 1, kAbnormal, false},
        {"a lost block is asked for again, the line given by a relative path", {"--lose-block", "1"}, 0, kSent, true},
        {"the card goes, and with it the line", {"--quit-after-material", "1"}, 1, QStringLiteral("went away"), false},
    };
    for (const Case& c : cases) {
        PtyLink line;
        ASSERT_TRUE(line.isReady()) << "socat is needed (scripts/setup installs it)";
        CardProcess card;
        ASSERT_TRUE(card.start(QStringList{QStringLiteral("--serial"), line.cardSide(), QStringLiteral("--baud"),
                                           QStringLiteral("115200"), QStringLiteral("--colors"), QStringLiteral("2")}
                               + c.cardArgs));
        ASSERT_TRUE(card.waitForLine(QStringLiteral("ready serial")));
        const QString device = c.exitCode == 0 ? QDir::current().relativeFilePath(line.programSide()) : line.programSide();
        // The line goes away once the card has quit.
        const bool goes = c.cardArgs.contains(QStringLiteral("--quit-after-material"));
        const CliRun run = runCliWhile(sendArgs({QStringLiteral("--serial"), device, QStringLiteral("--baud"),
                                                 QStringLiteral("115200")},
                                                playbill),
                                       [&] {
                                           if (goes && card.countLines(QStringLiteral("quitting")) > 0)
                                               line.close();
                                       });
        spin(300); // the card's last lines
        check(c, run, card.lines());
        if (c.message == QLatin1String("went away"))
            EXPECT_TRUE(run.err.contains(QStringLiteral("the line %1 went away").arg(line.programSide()))) << run.err.toStdString();
    }
}

TEST_F(SendOutcome, OverAnRs485Line)
{
    const QList<Case> cases{
        {"an exception during the download", {"--exception-at", "1"}, 1, kAbnormal, false},
        {"a late confirmation of the time calibration is not the header's", {"--confirm-time", "--late", "1500"}, 0, kSent, true},
        {"a damaged piece is refused and sent again", {"--damage-block", "1"}, 0, kSent, true},
    };
    QString trace;
    for (const Case& c : cases) {
        PtyLink line;
        ASSERT_TRUE(line.isReady()) << "socat is needed (scripts/setup installs it)";
        CardProcess card;
        ASSERT_TRUE(card.start(QStringList{QStringLiteral("--serial"), line.cardSide(), QStringLiteral("--baud"),
                                           QStringLiteral("115200"), QStringLiteral("--rs485"), QStringLiteral("--code"),
                                           kCode, QStringLiteral("--colors"), QStringLiteral("2")}
                               + c.cardArgs));
        ASSERT_TRUE(card.waitForLine(QStringLiteral("ready serial")));
        trace = dir.filePath(QStringLiteral("rs485.trace"));
        const CliRun run = runCliWhile(sendArgs({QStringLiteral("--serial"), line.programSide(), QStringLiteral("--baud"),
                                                 QStringLiteral("115200"), QStringLiteral("--rs485"),
                                                 QStringLiteral("--card-code"), kCode, QStringLiteral("--trace"), trace},
                                                playbill),
                                       [] {});
        spin(300); // the card's last lines
        check(c, run, card.lines());
        // The last progress line tells every piece sent, not a bar put back to 0.
        if (c.exitCode == 0)
            EXPECT_TRUE(QRegularExpression(QStringLiteral("^sending: (\\d+)/\\1 packets \\(100%\\)$"))
                            .match(lastProgress(run.out))
                            .hasMatch())
                << lastProgress(run.out).toStdString();
    }

    // The trace of the last send, with one middle piece taken out, and cut
    // after the first piece of a frame: decode names the frames that do not join.
    QStringList lines = QString::fromLatin1(readAll(trace)).split(u'\n', Qt::SkipEmptyParts);
    // Packet bytes 15-17 (hex characters 30-35): 01, the part count, part 2.
    const QRegularExpression secondPiece(QStringLiteral(" sent serial FE98.{26}01(..)02"));
    qsizetype middle = 0;
    while (middle < lines.size() && !secondPiece.match(lines[middle]).hasMatch())
        ++middle;
    ASSERT_LT(middle, lines.size());
    ASSERT_GT(middle, 0);
    const int parts = secondPiece.match(lines[middle]).captured(1).toInt(nullptr, 16);
    ASSERT_GE(parts, 3);
    const QStringList cut = lines.mid(0, middle);
    lines.removeAt(middle);
    for (const auto& [name, kept, unjoined] :
         {std::tuple{"a piece taken out", lines, QStringLiteral("UNJOINED: part 3/%1 where part 2/%1 was due").arg(parts)},
          std::tuple{"cut after a piece", cut, QStringLiteral("UNJOINED: a frame of %1 part(s) ends after part 1").arg(parts)}}) {
        const QString path = dir.filePath(QStringLiteral("edited.trace"));
        ASSERT_TRUE(writeAll(path, kept.join(u'\n').toLatin1() + '\n'));
        const CliRun decoded = runCli({QStringLiteral("decode"), path});
        EXPECT_EQ(decoded.exitCode, 1) << name;
        EXPECT_TRUE(decoded.out.contains(unjoined)) << name << "\n" << decoded.out.toStdString();
    }
}

namespace {

// Passes a card's connection through to the program and changes one byte
// of the n-th material frame the program sends, the first time only.
class DamagingProxy : public QObject {
public:
    DamagingProxy(quint16 upstream, int damagedFrame)
        : m_upstream(upstream)
        , m_damaged(damagedFrame)
    {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            QTcpSocket* card = m_server.nextPendingConnection();
            auto* program = new QTcpSocket(card);
            program->connectToHost(QHostAddress::LocalHost, m_upstream);
            connect(program, &QTcpSocket::errorOccurred, card, [card] { card->disconnectFromHost(); });
            connect(card, &QTcpSocket::disconnected, card, &QObject::deleteLater);
            connect(card, &QTcpSocket::readyRead, program, [card, program] { program->write(card->readAll()); });
            connect(program, &QTcpSocket::readyRead, card, [this, card, program] {
                m_pending += program->readAll();
                card->write(takeFrames());
            });
        });
    }
    quint16 port() const { return m_server.serverPort(); }
    int materialFrames() const { return m_frames; }

private:
    // Whole frames from the front of what the program sent.
    QByteArray takeFrames()
    {
        QByteArray out;
        while (m_pending.size() >= 8) {
            const qsizetype length = qFromLittleEndian<quint32>(m_pending.constData() + 4);
            if (length < 19 || length > 1 << 20) {
                out += m_pending; // not a frame: passed on as it is
                m_pending.clear();
                break;
            }
            if (m_pending.size() < length)
                break;
            QByteArray frame = m_pending.left(length);
            m_pending.remove(0, length);
            // The last data byte: the block's check value covers it (and the
            // trailer), not the bytes before it.
            if (quint8(frame[8]) == frame::cmd::kMaterial && ++m_frames == m_damaged)
                frame[length - 13] = char(frame[length - 13] ^ 0x10);
            out += frame;
        }
        return out;
    }

    QTcpServer m_server;
    quint16 m_upstream;
    int m_damaged;
    int m_frames = 0;
    QByteArray m_pending;
};

} // namespace

TEST_F(SendOutcome, AByteDamagedInFlightIsAskedForAgainAndTheCardShowsWhatWasSent)
{
    // Eight more pictures of 512 bytes make the group three blocks of display data.
    for (TFodder& m : model.materials()) {
        if (m.id != QLatin1String("100000004"))
            continue;
        for (int k = 0; k < 8; ++k)
            ASSERT_TRUE(addImageFile(m, picture(QStringLiteral("more%1.bmp").arg(k), k % 2 ? Qt::red : Qt::green)));
    }
    const QString file = dir.filePath(QStringLiteral("blocks.prg"));
    PlaybillWriter writer(model, home);
    ASSERT_TRUE(writer.write(cardName, file)) << writer.errorString().toStdString();

    const quint16 port = freePort();
    ASSERT_NE(port, 0);
    DamagingProxy proxy(port, 3); // the text, then the group's blocks 1, 2, 3: block 2 is the middle one
    CardChild card;
    const QString pictures = dir.filePath(QStringLiteral("shown"));
    ASSERT_TRUE(card.start(proxy.port(), {QStringLiteral("--colors"), QStringLiteral("2"), QStringLiteral("--png"), pictures}));
    QProcess cli;
    cli.start(binDir() + QStringLiteral("/ledsign-cli"),
              sendArgs({QStringLiteral("--port"), QString::number(port), QStringLiteral("--listen"),
                        QStringLiteral("127.0.0.1")},
                       file));
    ASSERT_TRUE(waitFor([&] { return cli.state() == QProcess::NotRunning; }, 60000));
    const QString out = QString::fromUtf8(cli.readAllStandardOutput() + cli.readAllStandardError());
    const QStringList lines = card.stop();
    ASSERT_GE(proxy.materialFrames(), 5) << out.toStdString(); // four frames and at least the one asked for
    EXPECT_EQ(cli.exitCode(), 0) << out.toStdString();
    EXPECT_TRUE(out.contains(kSent)) << out.toStdString();
    // Asked for once, or again when the final frame came before the answer.
    EXPECT_GE(lines.filter(QStringLiteral("request send=2 block=2")).size(), 1) << lines.join(u'\n').toStdString();
    EXPECT_TRUE(lines.filter(QStringLiteral("request send=")).filter(QRegularExpression(QStringLiteral("block=[^2]"))).isEmpty());
    EXPECT_TRUE(lines.contains(QStringLiteral("playbill complete materials=2"))) << lines.join(u'\n').toStdString();
    EXPECT_TRUE(lines.filter(QStringLiteral("error ")).isEmpty()) << lines.join(u'\n').toStdString();
    // The card shows all ten pictures of the group, as sent.
    const QStringList group = QDir(pictures).entryList({QStringLiteral("material2_*.png")}, QDir::Files, QDir::Name);
    EXPECT_EQ(group.size(), 10);
}
