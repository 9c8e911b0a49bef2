// The USB-disk export: files on the drive, the three attempts, no half file,
// the parameter file, and the drive list.
#include "config/removabledrives.h"
#include "config/scanmodes.h"
#include "config/usbexport.h"
#include "config/usbexportparams.h"
#include "protocol/frame.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>

using namespace ledsign;

namespace {

struct Folders {
    QTemporaryDir work;
    QTemporaryDir drive;
    QString driveRoot() const { return drive.path() + u'/'; }
};

QByteArray someData()
{
    QByteArray b;
    for (int i = 0; i < 5000; ++i)
        b.append(char(i * 7));
    return b;
}

ExportParameters fullParameters()
{
    ExportParameters p;
    p.width = QStringLiteral("320");
    p.height = QStringLiteral("x");
    ScreenParams& s = p.screen;
    s.colorIndex = 1;
    s.scanIndex = ScanModeTable().ScanIndexOfCode(17);
    s.dayBrightness = 3;
    s.nightBrightness = 3;
    s.contentIndex = 1;
    s.oeIndex = 1;
    s.clockIndex = 2;
    s.rowOrderIndex = 2;
    s.transIndex = 1;
    s.dataBitIndex = 1;
    s.emptyDisplayIndex = 1;
    s.address485Index = 4;
    s.baudIndex = 3;
    s.keptFlag = 1;  // what a read left: the file always writes 0
    return p;
}

} // namespace

TEST(UsbExport, WritesDataOnlyWithoutTheParameterBox)
{
    Folders f;
    QStringList status;
    UsbExport exporter(f.work.path(), f.driveRoot());
    const auto r = exporter.run(someData, {}, [&](const QString& s) { status << s; });
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.attempts, 1);
    EXPECT_EQ(test::readAll(f.drive.filePath(QStringLiteral("Vk_Data.prg"))), someData());
    EXPECT_EQ(test::readAll(f.work.filePath(QStringLiteral("Vk_Data.prg"))), someData());
    EXPECT_FALSE(QFile::exists(f.drive.filePath(QStringLiteral("Vk_Param.prg"))));
    EXPECT_EQ(status, (QStringList{QStringLiteral("开始导出到U盘..."), QStringLiteral("节目单文件已导出到U盘")}));
    EXPECT_EQ(QDir(f.drive.path()).entryList(QDir::Files), QStringList{QStringLiteral("Vk_Data.prg")});
}

TEST(UsbExport, ParameterFileIsTheWriteFrame)
{
    Folders f;
    // An old parameter file is replaced, not appended to.
    test::writeAll(f.drive.filePath(QStringLiteral("Vk_Param.prg")), QByteArray(100, 'x'));
    UsbExport exporter(f.work.path(), f.driveRoot());
    QString serial;
    const QByteArray param = exportParameterFile(fullParameters(), ScanModeTable(), serial);
    const auto r = exporter.run(someData, [&] { return param; });
    ASSERT_TRUE(r.ok);
    const QByteArray onDrive = test::readAll(f.drive.filePath(QStringLiteral("Vk_Param.prg")));
    ASSERT_EQ(onDrive.size(), 36);
    EXPECT_TRUE(frame::isWellFormed(onDrive));
    EXPECT_EQ(frame::command(onDrive), 0xF1);
    EXPECT_EQ(frame::data(onDrive), test::hex("11 02 01 40 00 80 02 03 03 01 05 22 33 00 22 21 1F"));
}

TEST(UsbExport, ParametersMustBeComplete)
{
    ExportParameters p = fullParameters();
    EXPECT_TRUE(exportParametersComplete(p));
    using Field = int ScreenParams::*;
    for (Field field : {&ScreenParams::colorIndex, &ScreenParams::scanIndex, &ScreenParams::dayBrightness,
                        &ScreenParams::nightBrightness, &ScreenParams::contentIndex, &ScreenParams::oeIndex,
                        &ScreenParams::clockIndex, &ScreenParams::rowOrderIndex, &ScreenParams::transIndex,
                        &ScreenParams::dataBitIndex}) {
        ExportParameters q = p;
        q.screen.*field = -1;
        EXPECT_FALSE(exportParametersComplete(q));
    }
    p.width.clear();
    EXPECT_FALSE(exportParametersComplete(p));
}

TEST(UsbExport, DriveGoneMidExportFailsAfterThreeAttemptsWithoutHalfFile)
{
    Folders f;
    UsbExport exporter(f.work.path(), f.driveRoot());
    int copies = 0;
    exporter.setCopy([&](const QString& from, const QString& to, QString* error) {
        ++copies;
        // Half of the file reaches the drive, then the drive is gone.
        QFile out(to + QStringLiteral(".part"));
        out.open(QIODevice::WriteOnly);
        out.write(test::readAll(from).left(2048));
        out.close();
        QFile::remove(to + QStringLiteral(".part"));
        if (error)
            *error = QStringLiteral("gone");
        return false;
    });
    QStringList status;
    const auto r = exporter.run(someData, {}, [&](const QString& s) { status << s; });
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.attempts, 3);
    EXPECT_EQ(copies, 3);
    EXPECT_EQ(status.last(), QStringLiteral("导出到U盘失败，请检查U盘后再试！"));
    EXPECT_FALSE(QFile::exists(f.drive.filePath(QStringLiteral("Vk_Data.prg"))));
}

TEST(UsbExport, VanishedDriveLeavesNothingBehind)
{
    Folders f;
    const QString root = f.drive.filePath(QStringLiteral("stick")) + u'/';
    QDir().mkpath(root);
    test::writeAll(root + QStringLiteral("Vk_Data.prg"), "stale");
    QDir(root).removeRecursively();
    UsbExport exporter(f.work.path(), root);
    const auto r = exporter.run(someData, {});
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.attempts, 3);
    EXPECT_FALSE(QFile::exists(root + QStringLiteral("Vk_Data.prg")));
    EXPECT_FALSE(QFile::exists(root + QStringLiteral("Vk_Data.prg.part")));
}

TEST(UsbExport, SafeCopyReplacesWholeFilesOnly)
{
    Folders f;
    const QString from = f.work.filePath(QStringLiteral("src"));
    const QString to = f.drive.filePath(QStringLiteral("dst"));
    for (int size : {0, 2047, 2048, 2049, 6144}) {
        const QByteArray bytes = someData().left(size);
        test::writeAll(from, bytes);
        ASSERT_TRUE(copyFileSafely(from, to));
        EXPECT_EQ(test::readAll(to), bytes) << size;
    }
    EXPECT_FALSE(copyFileSafely(f.work.filePath(QStringLiteral("missing")), to));
    EXPECT_EQ(test::readAll(to).size(), 5000) << "a failed copy keeps the file that was there";
    EXPECT_FALSE(QFile::exists(to + QStringLiteral(".part")));
}

TEST(RemovableDrives, StandInFolderAppearsAndGoes)
{
    QTemporaryDir media;
    const QString stick = media.filePath(QStringLiteral("DATA"));
    RemovableDrives drives;
    drives.setWatchedFolders({media.path()});
    int changes = 0;
    QObject::connect(&drives, &RemovableDrives::changed, [&] { ++changes; });
    drives.setStandIns({stick});
    EXPECT_EQ(changes, 0) << "a missing stand-in is no drive";
    QDir().mkpath(stick);
    drives.refresh();
    ASSERT_EQ(changes, 1);
    ASSERT_FALSE(drives.drives().isEmpty());
    const RemovableDrive d = drives.drives().last();
    EXPECT_EQ(d.root, stick + u'/');
    EXPECT_EQ(d.label, QStringLiteral("DATA"));
    EXPECT_EQ(d.entry(), stick + u'/');
    drives.refresh();
    EXPECT_EQ(changes, 1) << "no change, no signal";
    QDir(stick).removeRecursively();
    // The watch on the media folder notices without an explicit refresh.
    QElapsedTimer waited;
    waited.start();
    while (changes == 1 && waited.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(changes, 2);
    EXPECT_TRUE(std::none_of(drives.drives().begin(), drives.drives().end(),
                             [&](const RemovableDrive& r) { return r.root == stick + u'/'; }));
    EXPECT_EQ((RemovableDrive{QStringLiteral("/mnt/x/"), QStringLiteral("DATA")}).entry(),
              QStringLiteral("/mnt/x/DATA"));
}

TEST(RemovableDrives, RemovableFlagFromSysBlock)
{
    QTemporaryDir sys;
    QDir().mkpath(sys.filePath(QStringLiteral("sdb")));
    QDir().mkpath(sys.filePath(QStringLiteral("sda")));
    QDir().mkpath(sys.filePath(QStringLiteral("mmcblk0")));
    test::writeAll(sys.filePath(QStringLiteral("sdb/removable")), "1\n");
    test::writeAll(sys.filePath(QStringLiteral("sda/removable")), "0\n");
    test::writeAll(sys.filePath(QStringLiteral("mmcblk0/removable")), "1\n");
    EXPECT_TRUE(isRemovableDevice(QStringLiteral("/dev/sdb1"), sys.path()));
    EXPECT_TRUE(isRemovableDevice(QStringLiteral("/dev/sdb"), sys.path()));
    EXPECT_FALSE(isRemovableDevice(QStringLiteral("/dev/sda2"), sys.path()));
    EXPECT_TRUE(isRemovableDevice(QStringLiteral("/dev/mmcblk0p1"), sys.path()));
    EXPECT_FALSE(isRemovableDevice(QStringLiteral("tmpfs"), sys.path()));
    EXPECT_FALSE(isRemovableDevice(QStringLiteral("/dev/sdz1"), sys.path()));
}

TEST(UsbExport, ActionChecksBeforeTheWindowOpens)
{
    TFIXModem card;
    card.linkKind = 0;
    card.internalCode = QStringLiteral("1_0_0_0_0_0_0_2");

    UsbExportStart s = checkUsbExportStart(false, true, &card, true);
    EXPECT_FALSE(s.proceed);
    EXPECT_EQ(s.messages, QStringList{QStringLiteral("未检测到U盘，请插入U盘再试！")});
    EXPECT_FALSE(s.untickGroup) << "no drive stops before the group box";

    s = checkUsbExportStart(true, true, &card, true);
    EXPECT_TRUE(s.proceed) << "the selected card is exported after the group box is unticked";
    EXPECT_TRUE(s.untickGroup);
    EXPECT_EQ(s.messages, QStringList{QStringLiteral("U盘导出请去掉群发勾选！")});

    s = checkUsbExportStart(true, false, &card, false);
    EXPECT_FALSE(s.proceed);
    EXPECT_EQ(s.messageKey, QStringLiteral("warn_contents_empty_Send"));

    card.internalCode = QStringLiteral("255_255_255_255_255_255_255_255");
    s = checkUsbExportStart(true, false, &card, true);
    EXPECT_EQ(s.messageKey, QStringLiteral("warn_innercode_error"));

    card.internalCode = QStringLiteral("1_0_0_0_0_0_0_2");
    card.linkKind = 2;
    s = checkUsbExportStart(true, false, &card, true);
    EXPECT_FALSE(s.proceed) << "a network card without its connection is not exported";
    EXPECT_TRUE(s.messageKey.isEmpty());
    EXPECT_TRUE(s.messages.isEmpty());
}
