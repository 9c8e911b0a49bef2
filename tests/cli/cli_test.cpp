#include "clifixture.h"

#include "content/bitplanes.h"
#include "content/sendconversion.h"
#include "config/scanmodes.h"
#include "config/usbexportparams.h"
#include "protocol/downloadbuilder.h"
#include "protocol/exportfile.h"
#include "protocol/frame.h"

#include <QtEndian>
#include <gtest/gtest.h>

using namespace ledsign;
using namespace ledsign::test;

namespace {

TEST_F(CliTest, RenderWritesEveryPictureAndTheDisplayData)
{
    const CliRun run = runCli(renderArgs());
    ASSERT_TRUE(run.finished);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();

    const QStringList pngs = QDir(outDir).entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name);
    EXPECT_EQ(pngs, (QStringList{QStringLiteral("01-001.png"), QStringLiteral("01-002.png"),
                                 QStringLiteral("02-001.png"), QStringLiteral("02-002.png")}));
    for (const QString& name : pngs) {
        const QImage image(QDir(outDir).filePath(name));
        EXPECT_EQ(image.size(), QSize(kWidth, kHeight)) << name.toStdString();
    }
    // The text's pictures are not blank; the group's pictures keep their order.
    const QImage firstLine(QDir(outDir).filePath(QStringLiteral("01-001.png")));
    EXPECT_NE(firstLine.convertToFormat(QImage::Format_RGB32), [] {
        QImage blank(kWidth, kHeight, QImage::Format_RGB32);
        blank.fill(Qt::black);
        return blank;
    }());
    EXPECT_EQ(QImage(QDir(outDir).filePath(QStringLiteral("02-001.png"))).pixel(0, 0) & 0xFFFFFFu, 0xFF0000u);
    EXPECT_EQ(QImage(QDir(outDir).filePath(QStringLiteral("02-002.png"))).pixel(0, 0) & 0xFFFFFFu, 0x00FF00u);
    // Past the 16 x 8 picture the region is unlit.
    EXPECT_EQ(QImage(QDir(outDir).filePath(QStringLiteral("02-001.png"))).pixel(40, 20) & 0xFFFFFFu, 0u);

    // Dual colour: two planes of 64 x 32 per picture, two pictures each.
    const qint64 perPicture = bitPlaneByteCount(kWidth, kHeight, 2);
    const QByteArray textData = readAll(QDir(outDir).filePath(QStringLiteral("01.bin")));
    const QByteArray groupData = readAll(QDir(outDir).filePath(QStringLiteral("02.bin")));
    EXPECT_EQ(textData.size(), 2 * perPicture);
    ASSERT_EQ(groupData.size(), 2 * perPicture);
    // Red lights the red plane (0 bits), green the green plane.
    EXPECT_EQ(groupData.left(2), QByteArray::fromHex("00FF"));
    EXPECT_EQ(groupData.mid(perPicture, 2), QByteArray::fromHex("FF00"));
    EXPECT_TRUE(run.out.contains(QStringLiteral("Pictures 1")));
}

TEST_F(CliTest, RenderTakesTheCardFromTheCardList)
{
    IniFile ini;
    CardListLine line;
    line.name = QStringLiteral("Front door");
    line.width = kWidth;
    line.height = kHeight;
    line.colorType = kColorSingle;
    writeCardList(ini, {line});
    ASSERT_TRUE(ini.save(home.settingsFile()));

    const QStringList base{QStringLiteral("render"), playbill, QStringLiteral("--home"), home.path(),
                           QStringLiteral("--out"), outDir, QStringLiteral("--card")};
    const CliRun run = runCli(base + QStringList{line.name});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    // A single-colour card: one plane per picture.
    EXPECT_EQ(readAll(QDir(outDir).filePath(QStringLiteral("02.bin"))).size(),
              2 * bitPlaneByteCount(kWidth, kHeight, 1));

    const CliRun missing = runCli(base + QStringList{QStringLiteral("Back door")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("Back door"))) << missing.err.toStdString();
}

TEST_F(CliTest, ExportWritesTheHeaderFrameThenEveryMaterialFrame)
{
    const CliRun run = runCli(QStringList{QStringLiteral("export"), playbill} + geometry()
                              + QStringList{QStringLiteral("--home"), home.path(), QStringLiteral("--out"), outDir});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QByteArray file = readAll(QDir(outDir).filePath(QStringLiteral("Vk_Data.prg")));
    ASSERT_GT(file.size(), frame::kEmptyFrameSize);

    // The same playbill built in this process: same frames, same lengths
    // (serials and times differ from run to run).
    model.findCard(cardName).record->colorType = kColorDual;
    model.findCard(cardName).record->version = kMinDownloadVersion;
    DownloadBuilder builder([](TFodder& m, const TRegion& r, const TFIXModem& c) {
        SendConversionResult result;
        result.ok = sendConversion(m, r.width, r.height, c.name, c.colorType, result.displayData);
        return result;
    });
    DownloadOptions options;
    options.exportFile = true;
    const DownloadBuild expected = builder.build(model, cardName, options);
    ASSERT_TRUE(expected.ok) << expected.failure.message().toStdString();
    const QByteArray built = exportDataBytes(expected.download);
    ASSERT_FALSE(built.isEmpty());

    // Frame by frame: same command, same length, same data; only the serial
    // each frame is given and the CRC over it may differ.
    auto frames = [](const QByteArray& bytes) {
        QList<QByteArray> out;
        qsizetype at = 0;
        while (at + frame::kHeadSize <= bytes.size() && frame::startsWithMarker(bytes, at)) {
            const qsizetype total = qFromLittleEndian<quint32>(bytes.constData() + at + frame::kTotalLengthOffset);
            if (total < frame::kEmptyFrameSize || at + total > bytes.size())
                break;
            QByteArray f = bytes.mid(at, total);
            f.replace(frame::kSerialOffset, 4, QByteArray(4, '\0'));
            f.chop(frame::kTrailerSize);
            out << f;
            at += total;
        }
        return std::make_pair(out, at);
    };
    const auto [fileFrames, fileEnd] = frames(file);
    const auto [builtFrames, builtEnd] = frames(built);
    EXPECT_EQ(fileEnd, file.size());
    ASSERT_EQ(fileFrames.size(), builtFrames.size());
    ASSERT_EQ(fileFrames.size(), 1 + expected.download.materialPackets.size());
    EXPECT_EQ(quint8(fileFrames[0][frame::kCommandOffset]), frame::cmd::kHeader);
    for (qsizetype i = 0; i < fileFrames.size(); ++i)
        EXPECT_EQ(fileFrames[i], builtFrames[i]) << "frame " << i;
}

TEST_F(CliTest, ExportWritesTheScreenParametersWhenAsked)
{
    const QStringList base = QStringList{QStringLiteral("export"), playbill} + geometry()
        + QStringList{QStringLiteral("--home"), home.path(), QStringLiteral("--out"), outDir, QStringLiteral("--params")};
    const QString paramPath = QDir(outDir).filePath(QStringLiteral("Vk_Param.prg"));

    // Missing or impossible values: nothing is written, the usage says why.
    for (const QString& params : {QStringLiteral("scan=1/16(A),oe=0"),
                                  QStringLiteral("scan=1/16(Z),oe=0,day=0,night=3,data=0,clock=12,content=0,rows=0,trans=0"),
                                  QStringLiteral("scan=0,oe=0,day=9,night=3,data=0,clock=12,content=0,rows=0,trans=0"),
                                  QStringLiteral("scan=0,oe=0,day=0,night=3,data=0,clock=7,content=0,rows=0,trans=0"),
                                  QStringLiteral("scan=0,bright")}) {
        const CliRun run = runCli(base + QStringList{params});
        EXPECT_EQ(run.exitCode, 2) << params.toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("--params"))) << run.err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(paramPath));
        EXPECT_FALSE(QFileInfo::exists(QDir(outDir).filePath(QStringLiteral("Vk_Data.prg"))));
    }

    const CliRun run = runCli(base + QStringList{QStringLiteral(
                                  "scan=1/8 (B),oe=1,day=0,night=5,data=1,clock=8,content=0,rows=2,trans=1,address=7,"
                                  "baud=38400,empty=1")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QByteArray file = readAll(paramPath);

    // The same choices made in the USB-disk window build the same frame.
    ExportParameters expected;
    expected.width = QString::number(kWidth);
    expected.height = QString::number(kHeight);
    ScreenParams& s = expected.screen;
    const ScanModeTable table = ScanModeTable::forCurrentLanguage();
    s.scanIndex = int(table.names().indexOf(QStringLiteral("1/8  (B)")));
    ASSERT_GE(s.scanIndex, 0);
    s.oeIndex = 1;
    s.colorIndex = 1; // --colors 2
    s.dayBrightness = 0;
    s.nightBrightness = 5;
    s.dataBitIndex = 1;
    s.clockIndex = 1;
    s.contentIndex = 0;
    s.rowOrderIndex = 2;
    s.transIndex = 1;
    s.address485Index = 6;
    s.baudIndex = 2;
    s.emptyDisplayIndex = 1;
    QString serial;
    QByteArray built = exportParameterFile(expected, table, serial);
    ASSERT_EQ(file.size(), built.size());
    // Only the frame's serial and the CRC over it differ.
    QByteArray got = file;
    for (QByteArray* f : {&got, &built}) {
        f->replace(frame::kSerialOffset, 4, QByteArray(4, '\0'));
        f->chop(frame::kTrailerSize);
    }
    EXPECT_EQ(got.toHex(), built.toHex());
    EXPECT_TRUE(QFileInfo::exists(QDir(outDir).filePath(QStringLiteral("Vk_Data.prg"))));
}

TEST_F(CliTest, BadArgumentsGiveUsageAndStatusTwo)
{
    const QList<QStringList> bad{
        {},
        {QStringLiteral("paint")},
        {QStringLiteral("render"), playbill, QStringLiteral("--out"), outDir},              // no card
        QStringList{QStringLiteral("render"), playbill} + geometry(),                       // no --out
        QStringList{QStringLiteral("render"), playbill} + geometry(4) + QStringList{QStringLiteral("--out"), outDir},
        QStringList{QStringLiteral("export"), playbill, QStringLiteral("--width"), QStringLiteral("x"),
                    QStringLiteral("--height"), QStringLiteral("8"), QStringLiteral("--colors"),
                    QStringLiteral("1"), QStringLiteral("--out"), outDir},
        renderArgs() + QStringList{QStringLiteral("--bogus"), QStringLiteral("1")},
        renderArgs() + QStringList{QStringLiteral("second.prg")},
    };
    for (const QStringList& args : bad) {
        const CliRun run = runCli(args);
        EXPECT_EQ(run.exitCode, 2) << args.join(u' ').toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("usage"))) << args.join(u' ').toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
    EXPECT_FALSE(QFileInfo::exists(outDir));

    for (const QString& command : {QStringLiteral("render"), QStringLiteral("export")}) {
        const CliRun help = runCli({command, QStringLiteral("--help")});
        EXPECT_EQ(help.exitCode, 0);
        EXPECT_TRUE(help.out.contains(QStringLiteral("usage: ledsign-cli ") + command));
    }
    // Each program tells its version and exits 0.
    for (const QString& program : {QStringLiteral("ledsign-cli"), QStringLiteral("ledsign-card")}) {
        QProcess p;
        p.start(binDir() + u'/' + program, {QStringLiteral("--version")});
        ASSERT_TRUE(p.waitForFinished(30000));
        EXPECT_EQ(p.exitCode(), 0) << program.toStdString();
        EXPECT_EQ(QString::fromUtf8(p.readAllStandardOutput()).trimmed(), program + QStringLiteral(" V2.50"));
    }
}

TEST_F(CliTest, UnreadablePlaybillsFailWithoutWritingAnything)
{
    const QString missing = dir.filePath(QStringLiteral("missing.prg"));
    QStringList args = renderArgs();
    args[1] = missing;
    CliRun run = runCli(args);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(missing)) << run.err.toStdString();

    // A file of no playbill lines holds no material.
    const QString junk = dir.filePath(QStringLiteral("junk.prg"));
    ASSERT_TRUE(writeAll(junk, QByteArray("\x00\xff\x01 not a playbill\r\n", 21)));
    args[1] = junk;
    run = runCli(args);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_FALSE(run.err.isEmpty());
    EXPECT_TRUE(QDir(outDir).entryList({QStringLiteral("*.png")}).isEmpty());

    args = QStringList{QStringLiteral("export"), junk} + geometry()
        + QStringList{QStringLiteral("--home"), home.path(), QStringLiteral("--out"), outDir};
    run = runCli(args);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_FALSE(QFileInfo::exists(QDir(outDir).filePath(QStringLiteral("Vk_Data.prg"))));
}

} // namespace
