// The send path's export form: "Vk_Data.prg" holds exactly the bytes a
// network download of the same card puts on the wire, whatever the channel.
#include "config/usbexport.h"
#include "model/materialkinds.h"
#include "protocol/cardsender.h"
#include "protocol/downloadbuilder.h"
#include "protocol/sendscheduler.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <memory>

using namespace ledsign;

namespace {

const QDateTime kWhen(QDate(2026, 5, 6), QTime(7, 0, 0));

class WireRecorder : public CardSender {
public:
    QByteArray wire;
    qint64 sendBytesToCard(TFIXModem&, const QByteArray& bytes) override
    {
        wire += bytes;
        return bytes.size();
    }
    bool writeSerial(const QByteArray& bytes) override
    {
        wire += bytes;
        return true;
    }
    bool sendIdentityQuery(QTcpSocket*) override { return true; }
    void dropConnection(TFIXModem&) override {}
    int serialBaudRate() const override { return 9600; }
};

// Every build numbers its frames from 1, so two builds give the same bytes.
DownloadBuild build(ProjectModel& model, const QString& name, const DownloadOptions& options)
{
    auto n = std::make_shared<quint32>(0);
    auto serials = [n] { return ++*n; };
    return DownloadBuilder(standardSendConversion(), MaterialEncoder(serials, [] { return kWhen; }, QLocale::c()),
                           serials)
        .build(model, name, options);
}

void addCardWithText(ProjectModel& model, QTcpSocket* connection)
{
    TFIXModem card;
    card.name = QStringLiteral("card");
    card.version = 80;
    card.linkKind = 2;
    card.internalCode = QStringLiteral("1_0_0_0_0_0_0_9");
    card.width = 64;
    card.height = 16;
    TFIXModem& c = model.addCard(card);
    c.socket = connection;
    model.appendPage(TProgram{QStringLiteral("card"), QStringLiteral("P"), QStringLiteral("100000001"), {},
                              QStringLiteral("00:00"), QStringLiteral("24:00"), {}, {}, 0, kPlayEveryDay});
    model.appendRegion(TRegion{QStringLiteral("card"), QStringLiteral("P"), QStringLiteral("R"),
                               QStringLiteral("100000002"), {}, QStringLiteral("100000001"), 0, 0, 64, 16});
    for (int kind : {kInternalCodeText, kDateTime}) {
        TFodder m = defaultMaterial(kind, kWhen);
        m.cardName = QStringLiteral("card");
        m.pageName = QStringLiteral("P");
        m.regionName = QStringLiteral("R");
        m.name = QStringLiteral("M%1").arg(kind);
        m.id = QStringLiteral("20000001%1").arg(kind);
        m.regionId = QStringLiteral("100000002");
        if (kind == kInternalCodeText)
            m.content = QStringLiteral("XYZ");
        model.appendMaterialToRegion(m);
    }
}

} // namespace

TEST(SchedulerExport, FileHoldsWhatTheNetworkDownloadSends)
{
    ProjectModel model;
    QTcpSocket connection;
    addCardWithText(model, &connection);
    WireRecorder recorder;
    SendScheduler scheduler(model, recorder);
    scheduler.download().setPreparer(build);
    scheduler.setNodeState(QStringLiteral("card"), kNodeOnline);

    scheduler.sendCommand(QStringLiteral("card"));
    for (int i = 0; i < 20 && recorder.wire.isEmpty(); ++i)
        QCoreApplication::processEvents();
    ASSERT_FALSE(recorder.wire.isEmpty()) << "the header went out";
    QByteArray wire = recorder.wire;
    const QList<rSendFdrContent>& packets = model.cards()[0].materialPackets;
    ASSERT_GE(packets.size(), 2);
    for (const rSendFdrContent& p : packets)
        wire += p.bytes;
    scheduler.stopHeaderWatchdog();

    const qsizetype sentBefore = recorder.wire.size();
    for (bool rs485 : {false, true}) {
        QString error;
        EXPECT_EQ(scheduler.exportData(QStringLiteral("card"), rs485, &error), wire)
            << "rs485=" << rs485 << " " << error.toStdString();
    }
    EXPECT_EQ(recorder.wire.size(), sentBefore) << "an export sends nothing";

    // Through the USB-disk export onto a drive.
    QTemporaryDir work;
    QTemporaryDir drive;
    UsbExport exporter(work.path(), drive.path());
    const auto result = exporter.run([&] { return scheduler.exportData(QStringLiteral("card"), false); }, {});
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(test::readAll(drive.filePath(QStringLiteral("Vk_Data.prg"))), wire);
}

TEST(SchedulerExport, ACardThatCannotBeBuiltLeavesNoExportOnTheDrive)
{
    ProjectModel model;
    addCardWithText(model, nullptr);
    WireRecorder recorder;
    SendScheduler scheduler(model, recorder);
    scheduler.download().setPreparer(build);
    QStringList status;
    QObject::connect(&scheduler, &SendScheduler::statusMessage, [&](const QString& t) { status << t; });
    QTemporaryDir work;
    QTemporaryDir drive;
    const QString path = drive.filePath(QStringLiteral("Vk_Data.prg"));
    // An earlier export on the drive does not belong to the playbill of now:
    // a failed export must not leave it there for the card to load.
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old export");
    }
    UsbExport exporter(work.path(), drive.path());
    auto exportCard = [&](const QString& name) {
        return exporter.run([&] { return scheduler.exportData(name, false); }, {}).ok;
    };

    model.cards()[0].version = 40;
    QString error;
    EXPECT_TRUE(scheduler.exportData(QStringLiteral("card"), false, &error).isEmpty());
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(status.value(0), error);
    EXPECT_FALSE(exportCard(QStringLiteral("card")));

    model.cards()[0].version = 80;
    model.cards()[0].internalCode = QStringLiteral("255_255_255_255_255_255_255_255");
    EXPECT_FALSE(exportCard(QStringLiteral("card")));
    EXPECT_FALSE(exportCard(QStringLiteral("nobody")));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_FALSE(QFile::exists(path + QStringLiteral(".part")));
    EXPECT_TRUE(recorder.wire.isEmpty());
}
