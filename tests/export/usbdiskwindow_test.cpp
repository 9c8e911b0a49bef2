// The USB-disk window forwards to the export and follows the drive list.
#include "config/ui/usbdiskwindow.h"
#include "language/language.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>

using namespace ledsign;

TEST(UsbDiskWindow, NewCardModeDefaultsAndAnswer)
{
    RemovableDrives drives;
    drives.setWatchedFolders({});
    UsbDiskWindow window(drives);
    window.prepareNewCard(QStringLiteral("控制卡3"));
    EXPECT_EQ(window.windowTitle(), GetLgText(10, QStringLiteral("udisk_new_card")));
    // In simplified Chinese the caption is the window's own "新建控制卡".
    const int language = currentLanguage();
    setCurrentLanguage(kSimplifiedChinese);
    window.prepareNewCard(QStringLiteral("控制卡3"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("新建控制卡"));
    setCurrentLanguage(language);
    window.prepareNewCard(QStringLiteral("控制卡3"));
    EXPECT_TRUE(window.okEnabled()) << "a new card needs no drive";
    NewCardAnswer a = window.answer();
    EXPECT_EQ(a.name, QStringLiteral("控制卡3"));
    EXPECT_EQ(a.width, 256);
    EXPECT_EQ(a.height, 128);
    EXPECT_EQ(a.colorIndex, 0);

    window.findChildren<QLineEdit*>()[2]->setText(QStringLiteral("wide"));
    a = window.answer();
    EXPECT_EQ(a.width, 256) << "not a number falls back";
    a.colorIndex = 2;
    const TFIXModem card = newCardFromAnswer(a);
    EXPECT_EQ(card.colorType, ':');
    EXPECT_EQ(card.internalCode, QStringLiteral("00_00_00_00_00_00_00_00"));
    EXPECT_TRUE(card.ipAddress.isEmpty()) << "no invented address";
    EXPECT_EQ(card.macAddress, QStringLiteral("0:0:0:0:0:0"));
    EXPECT_EQ(card.version, 80);

    const QByteArray dir = qgetenv("LEDSIGN_SCREENSHOT_DIR");
    if (!dir.isEmpty()) {
        window.show();
        window.grab().save(QDir(QString::fromLocal8Bit(dir)).filePath(QStringLiteral("newcard.png")));
    }
}

TEST(UsbDiskWindow, ExportFollowsTheDriveList)
{
    QTemporaryDir media;
    QTemporaryDir work;
    const QString stick = media.filePath(QStringLiteral("DATA"));
    RemovableDrives drives;
    drives.setWatchedFolders({media.path()});
    drives.setStandIns({stick});
    UsbDiskWindow window(drives);
    TFIXModem card;
    card.name = QStringLiteral("Card1");
    card.width = 128;
    card.height = 32;
    card.colorType = kColorDual;
    card.internalCode = QStringLiteral("1_0_0_0_0_0_0_2");
    window.prepareExport(card, work.path(), [] { return QByteArray("DATA-BYTES"); });
    EXPECT_EQ(window.windowTitle(), GetLgText(10, QStringLiteral("udisk_export")));
    const bool anyReal = !RemovableDrives::scanMounted().isEmpty();
    if (!anyReal) {
        EXPECT_FALSE(window.okEnabled());
        EXPECT_FALSE(window.exportNow());
        EXPECT_EQ(window.statusText(), QStringLiteral("未检测到U盘，请插入U盘再试！"));
    }

    QDir().mkpath(stick);
    drives.refresh();
    EXPECT_TRUE(window.okEnabled());
    auto* list = window.findChild<QComboBox*>();
    ASSERT_NE(list, nullptr);
    list = nullptr;
    for (QComboBox* b : window.findChildren<QComboBox*>())
        if (b->findData(stick + u'/') >= 0)
            list = b;
    ASSERT_NE(list, nullptr);
    list->setCurrentIndex(list->findData(stick + u'/'));

    for (QCheckBox* box : window.findChildren<QCheckBox*>())
        box->setChecked(true);
    ASSERT_TRUE(window.exportNow());
    EXPECT_EQ(window.statusText(), QStringLiteral("节目单文件已导出到U盘"));
    EXPECT_EQ(test::readAll(stick + QStringLiteral("/Vk_Data.prg")), "DATA-BYTES");
    const QByteArray param = test::readAll(stick + QStringLiteral("/Vk_Param.prg"));
    ASSERT_EQ(param.size(), 36);
    // Width, height and colour come from the card; brightness preset 3.
    EXPECT_EQ(param.mid(17 + 2, 7), test::hex("00 80 00 20 02 03 03"));

    const QByteArray dir = qgetenv("LEDSIGN_SCREENSHOT_DIR");
    if (!dir.isEmpty()) {
        window.show();
        window.grab().save(QDir(QString::fromLocal8Bit(dir)).filePath(QStringLiteral("export.png")));
    }

    QDir(stick).removeRecursively();
    drives.refresh();
    if (!anyReal) {
        EXPECT_FALSE(window.okEnabled()) << "removing the last drive disables OK";
    }
}
