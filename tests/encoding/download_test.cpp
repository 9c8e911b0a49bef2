// The prepared playbill download: description, page times, header frame or
// RS-485 header packets, material packets and the USB-disk data file.

#include "encoding/framereader.h"

#include "model/materialkinds.h"
#include "model/pagetime.h"
#include "protocol/downloadbuilder.h"
#include "protocol/downloadheader.h"
#include "protocol/exportfile.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QTemporaryDir>

#include <memory>

namespace ledsign {
namespace {

const QDateTime kNow(QDate(2020, 1, 15), QTime(10, 0, 0));

std::function<quint32()> counter()
{
    auto n = std::make_shared<quint32>(0);
    return [n] { return ++*n; };
}

// A builder whose frame serials count 1, 2, 3 ... across materials and header.
struct Fixture {
    std::function<quint32()> serials = counter();
    int conversions = 0;
    QByteArray displayData = QByteArray(100, '\x33');
    bool refuse = false;

    DownloadBuilder builder()
    {
        return DownloadBuilder(
            [this](TFodder& m, const TRegion&, const TFIXModem&) {
                ++conversions;
                if (refuse)
                    return SendConversionResult{};
                m.frameCount = 1;
                return SendConversionResult{true, displayData};
            },
            MaterialEncoder(serials, [] { return kNow; }, QLocale::c()), serials);
    }
};

struct Playbill {
    ProjectModel model;
    int next = 100000000;

    explicit Playbill(int version = 60, const QString& code = QStringLiteral("1_2_3_4_5_6_7_8"))
    {
        TFIXModem c;
        c.name = QStringLiteral("card");
        c.version = version;
        c.internalCode = code;
        model.addCard(c);
    }
    QString id() { return QString::number(++next); }

    TProgram& page(const QString& start, const QString& end, int playMode = kPlayEveryDay,
                   const QString& cycle = QString())
    {
        model.appendPage(TProgram{QStringLiteral("card"), id(), id(), {}, start, end, cycle, {}, 0, playMode});
        return model.pages().last();
    }
    TRegion& region(const TProgram& p)
    {
        model.appendRegion(TRegion{p.cardName, p.name, id(), id(), {}, p.id, 16, 0, 64, 16});
        return model.regions().last();
    }
    TFodder& material(const TRegion& r, int kind = kSingleText)
    {
        TFodder m = defaultMaterial(kind, kNow);
        m.cardName = r.cardName;
        m.pageName = r.pageName;
        m.regionName = r.name;
        m.name = id();
        m.id = id();
        m.regionId = r.id;
        return model.materials()[model.appendMaterialToRegion(m)];
    }
};

DownloadOptions network() { return {}; }
DownloadOptions line485() { return DownloadOptions{true, false}; }

TEST(Description, TwoPagesEachWithOneSingleText)
{
    Playbill pb;
    TProgram& p1 = pb.page(QStringLiteral("08:00"), QStringLiteral("12:00"));
    const QString m1 = pb.material(pb.region(p1)).id;
    pb.page(QStringLiteral("12:00"), QStringLiteral("18:00"));
    const QString m2 = pb.material(pb.region(pb.model.pages().last())).id;
    const QString firstPage = pb.model.pages().first().id;

    Fixture fx;
    const DownloadBuild b = fx.builder().build(pb.model, QStringLiteral("card"), network());
    ASSERT_TRUE(b.ok) << b.failure.message().toStdString();
    const QString expected = firstPage + QStringLiteral(",08:00-12:00.") + m1 + QStringLiteral("8")
        + QStringLiteral("002000008016") + QStringLiteral("1000000000") + QStringLiteral("#01#10;")
        + QStringLiteral(",12:00-18:00.") + m2 + QStringLiteral("8002000008016") + QStringLiteral("1000000000#01#10;");
    EXPECT_EQ(QString::fromLatin1(b.download.description.text), expected);
}

TEST(Description, NetworkHeaderTakesEachPagesTimeRecord)
{
    Playbill pb;
    pb.material(pb.region(pb.page(QStringLiteral("08:00"), QStringLiteral("12:00"), kPlayByWeek,
                                  QStringLiteral("1;3;5"))));
    pb.material(pb.region(pb.page(QStringLiteral("12:00"), QStringLiteral("18:00"))));
    Fixture fx;
    const DownloadBuild b = fx.builder().build(pb.model, QStringLiteral("card"), network());
    ASSERT_TRUE(b.ok);
    const test::ReadFrame header = test::readFrame(b.download.headerFrame);
    ASSERT_TRUE(header.ok) << header.error.toStdString();
    EXPECT_EQ(header.command, 0x22);
    QByteArray expected = b.download.description.text;
    // Week days 1;3;5 replace the two colons of the first page's times.
    expected[9 + 3] = char(0x42);
    expected[9 + 9] = char(0x4A);
    EXPECT_EQ(header.data, expected);
    EXPECT_EQ(b.download.pageTimes.count(), 2);
    EXPECT_EQ(b.download.pageTimes.record(2), QByteArray(11, ':'));
}

TEST(Description, OnlyThisCardsPagesAndNoTextProgramPages)
{
    Playbill pb;
    TFIXModem other;
    other.name = QStringLiteral("other");
    pb.model.addCard(other);
    TProgram& mine = pb.page(QStringLiteral("00:00"), QStringLiteral("24:00"));
    TRegion& r = pb.region(mine);
    pb.material(r);
    TProgram& foreign = pb.page(QStringLiteral("01:00"), QStringLiteral("02:00"));
    foreign.cardName = QStringLiteral("other");
    TProgram& text = pb.page(QStringLiteral("03:00"), QStringLiteral("04:00"));
    text.textProgramPage = 1;
    // A region of another card that happens to carry the same page id.
    TRegion stray = r;
    stray.cardName = QStringLiteral("other");
    stray.id = pb.id();
    pb.model.appendRegion(stray);
    TFodder& s = pb.material(pb.model.regions().last());
    s.cardName = QStringLiteral("other");

    Fixture fx;
    const DownloadBuild b = fx.builder().build(pb.model, QStringLiteral("card"), network());
    ASSERT_TRUE(b.ok);
    EXPECT_EQ(b.download.description.pageCount(), 1);
    EXPECT_EQ(b.download.materialCount, 1);
    EXPECT_EQ(fx.conversions, 1);
}

TEST(HeaderFrame, DescriptionOf8172BytesFitsAnd8173DoesNot)
{
    for (const int length : {8172, 8173}) {
        Playbill pb;
        TFodder& m = pb.material(pb.region(pb.page(QStringLiteral("00:00"), QStringLiteral("24:00"))));
        // 9 + 13 for the page, 37 + spare28 for the material.
        m.spare28 = QString(length - 59, QLatin1Char('1'));
        Fixture fx;
        const DownloadBuild b = fx.builder().build(pb.model, QStringLiteral("card"), network());
        if (length == 8172) {
            ASSERT_TRUE(b.ok);
            EXPECT_EQ(b.download.description.text.size(), 8172);
            EXPECT_EQ(b.download.headerFrame.size(), 8191);
            EXPECT_TRUE(test::readFrame(b.download.headerFrame).ok);
        } else {
            EXPECT_FALSE(b.ok);
            EXPECT_EQ(b.failure.messageKey, QStringLiteral("warn_comm_send_exception"));
            EXPECT_TRUE(b.download.headerFrame.isEmpty());
        }
    }
}

TEST(HeaderPackets485, ThreeThousandCharactersGiveTwoFramesAndThirteenPackets)
{
    Playbill pb;
    TFodder& m = pb.material(pb.region(pb.page(QStringLiteral("00:00"), QStringLiteral("24:00"))));
    m.spare28 = QString(3000 - 59, QLatin1Char('7'));
    Fixture fx;
    const DownloadBuild b = fx.builder().build(pb.model, QStringLiteral("card"), line485());
    ASSERT_TRUE(b.ok) << b.failure.message().toStdString();
    EXPECT_TRUE(b.download.headerFrame.isEmpty());
    const auto& parts = b.download.headerParts;
    ASSERT_EQ(parts.size(), 9 + 4);

    QList<QByteArray> frames(1);
    int expectedNo = 1;
    for (const rPackSendProgram& part : parts) {
        const test::ReadPacket p = test::readPacket(part.bytes);
        ASSERT_TRUE(p.ok);
        EXPECT_EQ(p.address, QByteArray::fromHex("0102030405060708"));
        EXPECT_EQ(part.sent, 0);
        EXPECT_EQ(part.headerKind, 0);
        EXPECT_EQ(part.partNo, p.partNo);
        EXPECT_EQ(part.partCount, p.partCount);
        EXPECT_EQ(part.byteCount, part.bytes.size());
        EXPECT_EQ(p.partNo, expectedNo);
        frames.last() += p.payload;
        if (p.partNo == p.partCount) {
            frames << QByteArray();
            expectedNo = 1;
        } else {
            ++expectedNo;
        }
    }
    frames.removeLast();
    ASSERT_EQ(frames.size(), 2);
    const test::ReadFrame f1 = test::readFrame(frames.at(0));
    const test::ReadFrame f2 = test::readFrame(frames.at(1));
    ASSERT_TRUE(f1.ok && f2.ok);
    EXPECT_EQ(f1.command, 0x22);
    EXPECT_EQ(f1.data.size(), 2048);
    EXPECT_EQ(f2.data.size(), 952);
    EXPECT_NE(f1.serial, f2.serial);
    // Sent as text: the page times are not replaced on the RS-485 line.
    EXPECT_EQ(f1.data + f2.data, b.download.description.text);
}

TEST(HeaderPackets485, ChunksNeverSplitATwoByteCharacter)
{
    const QByteArray text = QByteArray(2047, 'a') + QByteArray::fromHex("D6D0") + "b";
    const QList<QByteArray> chunks = download::headerChunks(text);
    ASSERT_EQ(chunks.size(), 2);
    EXPECT_EQ(chunks.at(0).size(), 2047);
    EXPECT_EQ(chunks.at(1), QByteArray::fromHex("D6D062"));
}

TEST(MaterialPackets, SendNumbersAndTheLastMaterialBuiltAgainWithTheEndMarker)
{
    Playbill pb;
    TRegion& r = pb.region(pb.page(QStringLiteral("00:00"), QStringLiteral("24:00")));
    TFodder& time = pb.material(r, kDateTime);
    time.downloadFlags[1] = 1; // stale flag of an earlier send
    pb.material(r, kSingleText);
    Fixture fx;
    fx.displayData = QByteArray(3000, '\x01'); // two frames per rendered material
    const DownloadBuild b = fx.builder().build(pb.model, QStringLiteral("card"), network());
    ASSERT_TRUE(b.ok);
    const auto& packets = b.download.materialPackets;
    ASSERT_EQ(packets.size(), 3);
    EXPECT_EQ(b.download.materialCount, 2);
    EXPECT_EQ(b.download.blockTotal, 3);

    // Serials: time 1, text 2 and 3 (first build, dropped), text again 4 and 5, header 6.
    const QList<quint32> expectedSerials{1, 4, 5};
    const QList<int> expectedSendNo{1, 2, 2};
    const QList<int> expectedBlock{1, 1, 2};
    for (int i = 0; i < 3; ++i) {
        const test::ReadMaterialFrame f = test::readMaterialFrame(packets.at(i).bytes);
        ASSERT_TRUE(f.ok) << f.error.toStdString();
        EXPECT_EQ(f.frame.serial, expectedSerials.at(i));
        EXPECT_EQ(f.block.sendNo, expectedSendNo.at(i));
        EXPECT_EQ(packets.at(i).sendNo, expectedSendNo.at(i));
        EXPECT_EQ(packets.at(i).blockNo, expectedBlock.at(i));
        EXPECT_EQ(packets.at(i).sent, 0);
        EXPECT_EQ(f.endMarker, i == 2);
    }
    EXPECT_EQ(test::readFrame(b.download.headerFrame).serial, 6u);
    EXPECT_EQ(pb.model.materials().at(0).sendNo, 1);
    EXPECT_EQ(pb.model.materials().at(0).downloadFlags[1], 0);
    EXPECT_EQ(pb.model.materials().at(1).downloadFlags[1], 1);
}

TEST(MaterialPackets, MarkerGoesToTheLastMaterialThatSendsFrames)
{
    Playbill pb;
    TRegion& r = pb.region(pb.page(QStringLiteral("00:00"), QStringLiteral("24:00")));
    pb.material(r, kQueue);
    TFodder& odd = pb.material(r, kSingleText);
    odd.typeCode = '2';
    Fixture fx;
    const DownloadBuild b = fx.builder().build(pb.model, QStringLiteral("card"), network());
    ASSERT_TRUE(b.ok);
    ASSERT_EQ(b.download.materialPackets.size(), 1);
    EXPECT_TRUE(test::readMaterialFrame(b.download.materialPackets.first().bytes).endMarker);
}

TEST(MaterialPackets, Rs485PiecesRebuildTheFrames)
{
    Playbill pb;
    TRegion& r = pb.region(pb.page(QStringLiteral("00:00"), QStringLiteral("24:00")));
    pb.material(r, kImageGroup);
    pb.material(r, kInternalCodeText).content = QString(600, QChar(0x6587));
    Fixture fx;
    fx.displayData = QByteArray(2500, '\x0F');
    const DownloadBuild b = fx.builder().build(pb.model, QStringLiteral("card"), line485());
    ASSERT_TRUE(b.ok);
    QByteArray frame;
    int frames = 0;
    bool marker = false;
    for (const rSendFdrContent& p : b.download.materialPackets) {
        EXPECT_LE(p.bytes.size(), 256);
        frame += p.bytes;
        if (p.partNo == p.partCount) {
            const test::ReadMaterialFrame f = test::readMaterialFrame(frame);
            ASSERT_TRUE(f.ok) << f.error.toStdString();
            EXPECT_EQ(f.block.sendNo, p.sendNo);
            marker = f.endMarker;
            frame.clear();
            ++frames;
        }
    }
    EXPECT_EQ(frames, 3);
    EXPECT_TRUE(marker);
    EXPECT_TRUE(frame.isEmpty());
}

TEST(Checks, VersionCodeEmptyPlaybillAndConversionFailures)
{
    auto keyOf = [](Playbill& pb, const DownloadOptions& o = network(), bool refuse = false) {
        Fixture fx;
        fx.refuse = refuse;
        const DownloadBuild b = fx.builder().build(pb.model, QStringLiteral("card"), o);
        return b.ok ? QStringLiteral("ok") : b.failure.messageKey;
    };
    auto filled = [](Playbill& pb) {
        pb.material(pb.region(pb.page(QStringLiteral("00:00"), QStringLiteral("24:00"))));
    };
    Playbill v51(51);
    filled(v51);
    EXPECT_EQ(keyOf(v51), QStringLiteral("warn_card_version_low_send"));
    Playbill v52(52);
    filled(v52);
    EXPECT_EQ(keyOf(v52), QStringLiteral("ok"));

    Playbill unset(60, QStringLiteral("255_255_255_255_255_255_255_255"));
    filled(unset);
    EXPECT_EQ(keyOf(unset), QStringLiteral("warn_innercode_error"));
    Playbill seven(60, QStringLiteral("1_2_3_4_5_6_7"));
    filled(seven);
    EXPECT_EQ(keyOf(seven, line485()), QStringLiteral("warn_innercode_error"));

    Playbill empty;
    empty.region(empty.page(QStringLiteral("00:00"), QStringLiteral("24:00")));
    EXPECT_EQ(keyOf(empty), QStringLiteral("warn_contents_empty_Send"));

    Playbill refused;
    filled(refused);
    EXPECT_EQ(keyOf(refused, network(), true), QStringLiteral("warn_material_empty_send"));

    Fixture fx;
    EXPECT_FALSE(fx.builder().build(v52.model, QStringLiteral("nobody"), network()).ok);
}

TEST(Checks, PageTimeBufferTakes181PagesAndElevenByteTimes)
{
    for (const int pages : {181, 182}) {
        Playbill pb;
        for (int i = 0; i < pages; ++i)
            pb.page(QStringLiteral("00:00"), QStringLiteral("24:00"));
        pb.material(pb.region(pb.model.pages().first()));
        Fixture fx;
        const DownloadBuild b = fx.builder().build(pb.model, QStringLiteral("card"), network());
        if (pages == 181) {
            ASSERT_TRUE(b.ok) << b.failure.message().toStdString();
            EXPECT_EQ(b.download.pageTimes.count(), 181);
            EXPECT_TRUE(b.download.pageTimes.isFull());
        } else {
            EXPECT_FALSE(b.ok);
            EXPECT_EQ(b.failure.messageKey, QStringLiteral("warn_pages_too_many"));
            EXPECT_TRUE(b.failure.message().contains(QStringLiteral("182")));
        }
    }

    PageTimeBuffer buffer;
    EXPECT_FALSE(buffer.append("08:00-12:0"));
    EXPECT_TRUE(buffer.append("08:00-12:00"));
    EXPECT_EQ(buffer.bytes().left(12), QByteArray("08:00-12:00:"));
    EXPECT_EQ(buffer.bytes().size(), 2000);

    Playbill shortTime;
    shortTime.material(shortTime.region(shortTime.page(QStringLiteral("8:00"), QStringLiteral("12:00"))));
    Fixture fx;
    const DownloadBuild refused = fx.builder().build(shortTime.model, QStringLiteral("card"), network());
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.failure.messageKey, QStringLiteral("warn_page_time_invalid"));
    // The RS-485 header carries the times as text and needs no record.
    EXPECT_TRUE(fx.builder().build(shortTime.model, QStringLiteral("card"), line485()).ok);
}

TEST(ExportFile, HeaderThenEveryPacketInOrder)
{
    Playbill pb;
    TRegion& r = pb.region(pb.page(QStringLiteral("06:00"), QStringLiteral("22:00")));
    pb.material(r, kSingleText);
    pb.material(r, kCountDown).content = QStringLiteral("2013-06-02 08:09:10");
    Fixture fx;
    fx.displayData = QByteArray(4097, '\x55');
    // In RS-485 mode too, the file holds whole frames and the network header.
    const DownloadBuild b = fx.builder().build(pb.model, QStringLiteral("card"), DownloadOptions{true, true});
    ASSERT_TRUE(b.ok);

    QTemporaryDir dir;
    ASSERT_TRUE(test::writeAll(dir.filePath(QStringLiteral("Vk_Data.prg")), "old content"));
    QString error;
    ASSERT_TRUE(writeExportDataFile(dir.path(), b.download, &error)) << error.toStdString();
    const QByteArray file = test::readAll(dir.filePath(QStringLiteral("Vk_Data.prg")));

    QList<QByteArray> frames;
    ASSERT_TRUE(test::splitFrames(file, frames));
    ASSERT_EQ(frames.size(), 1 + 3 + 1);
    EXPECT_EQ(test::readFrame(frames.at(0)).command, 0x22);
    const QList<int> sendNo{1, 1, 1, 2};
    for (int i = 1; i < frames.size(); ++i) {
        const test::ReadMaterialFrame f = test::readMaterialFrame(frames.at(i));
        ASSERT_TRUE(f.ok) << f.error.toStdString();
        EXPECT_EQ(f.block.sendNo, sendNo.at(i - 1));
        EXPECT_EQ(f.endMarker, i == frames.size() - 1);
    }

    QBuffer device;
    device.open(QIODevice::WriteOnly);
    EXPECT_TRUE(writeExportData(device, b.download));
    EXPECT_EQ(device.data(), file);

    const DownloadBuild line = fx.builder().build(pb.model, QStringLiteral("card"), line485());
    ASSERT_TRUE(line.ok);
    EXPECT_FALSE(writeExportData(device, line.download, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(PreparedDownload, InstallsItsPacketsOnTheCard)
{
    Playbill pb;
    pb.material(pb.region(pb.page(QStringLiteral("00:00"), QStringLiteral("24:00"))));
    Fixture fx;
    fx.displayData = QByteArray(5000, '\x01');
    const DownloadBuild b = fx.builder().build(pb.model, QStringLiteral("card"), line485());
    ASSERT_TRUE(b.ok);
    TFIXModem& card = pb.model.cards().first();
    card.counters = {9, 9, 9, 9};
    b.download.installInto(card);
    EXPECT_EQ(card.counters[0], 3);
    EXPECT_EQ(card.counters[1], 0);
    EXPECT_EQ(card.counters[3], 9);
    EXPECT_EQ(card.materialPackets.size(), b.download.materialPackets.size());
    EXPECT_EQ(card.headerParts.size(), b.download.headerParts.size());
}

} // namespace
} // namespace ledsign
