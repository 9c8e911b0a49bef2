// "Vk_Data.prg" holds exactly what a network download of the same card sends.
#include "config/usbexport.h"
#include "config/usbexportdata.h"
#include "model/materialkinds.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <memory>

using namespace ledsign;

namespace {

const QDateTime kNow(QDate(2026, 3, 4), QTime(9, 30, 0));

DownloadBuilder countingBuilder()
{
    auto n = std::make_shared<quint32>(0);
    auto serials = [n] { return ++*n; };
    return DownloadBuilder(standardSendConversion(), MaterialEncoder(serials, [] { return kNow; }, QLocale::c()),
                           serials);
}

void addPlaybill(ProjectModel& model)
{
    TFIXModem card;
    card.name = QStringLiteral("card");
    card.version = 80;
    card.internalCode = QStringLiteral("1_0_0_0_0_0_0_9");
    card.width = 64;
    card.height = 16;
    model.addCard(card);
    model.appendPage(TProgram{QStringLiteral("card"), QStringLiteral("P"), QStringLiteral("100000001"), {},
                              QStringLiteral("00:00"), QStringLiteral("24:00"), {}, {}, 0, kPlayEveryDay});
    model.appendRegion(TRegion{QStringLiteral("card"), QStringLiteral("P"), QStringLiteral("R"),
                               QStringLiteral("100000002"), {}, QStringLiteral("100000001"), 0, 0, 64, 16});
    for (int kind : {kInternalCodeText, kDateTime}) {
        TFodder m = defaultMaterial(kind, kNow);
        m.cardName = QStringLiteral("card");
        m.pageName = QStringLiteral("P");
        m.regionName = QStringLiteral("R");
        m.name = QStringLiteral("M%1").arg(kind);
        m.id = QStringLiteral("10000001%1").arg(kind);
        m.regionId = QStringLiteral("100000002");
        if (kind == kInternalCodeText)
            m.content = QStringLiteral("ABC");
        model.appendMaterialToRegion(m);
    }
}

} // namespace

TEST(ExportData, FileEqualsTheNetworkDownload)
{
    ProjectModel network;
    addPlaybill(network);
    const DownloadBuild sent = countingBuilder().build(network, QStringLiteral("card"), DownloadOptions{});
    ASSERT_TRUE(sent.ok) << sent.failure.message().toStdString();
    QByteArray wire = sent.download.headerFrame;
    ASSERT_FALSE(wire.isEmpty());
    ASSERT_FALSE(sent.download.materialPackets.isEmpty());
    for (const rSendFdrContent& p : sent.download.materialPackets)
        wire += p.bytes;

    // The file form is the same whatever the channel mode, RS-485 included.
    for (bool rs485 : {false, true}) {
        ProjectModel model;
        addPlaybill(model);
        QString error;
        const QByteArray file = usbExportData(model, QStringLiteral("card"), countingBuilder(), rs485, &error);
        EXPECT_EQ(file, wire) << "rs485=" << rs485 << " " << error.toStdString();
    }

    ProjectModel model;
    addPlaybill(model);
    QTemporaryDir work;
    QTemporaryDir drive;
    UsbExport exporter(work.path(), drive.path());
    const DownloadBuilder builder = countingBuilder();
    const auto result =
        exporter.run([&] { return usbExportData(model, QStringLiteral("card"), builder, false); }, {});
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(test::readAll(drive.filePath(QStringLiteral("Vk_Data.prg"))), wire);
}

TEST(ExportData, CardThatCannotBeBuiltGivesNoFile)
{
    ProjectModel model;
    addPlaybill(model);
    model.cards()[0].version = 40;
    QString error;
    EXPECT_TRUE(usbExportData(model, QStringLiteral("card"), countingBuilder(), false, &error).isEmpty());
    EXPECT_FALSE(error.isEmpty());
    QTemporaryDir work;
    QTemporaryDir drive;
    UsbExport exporter(work.path(), drive.path());
    const auto result =
        exporter.run([&] { return usbExportData(model, QStringLiteral("card"), countingBuilder(), false); }, {});
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(QFile::exists(drive.filePath(QStringLiteral("Vk_Data.prg"))));
}
