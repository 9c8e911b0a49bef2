// The three windows offscreen: their lists, the mode pages, and a reply that
// fills the parameter controls. With LEDSIGN_GRAB_DIR set, each window is
// also saved as a picture for a look by eye.
#include "../udp/udprig.h"
#include "config/ui/paramwindow.h"
#include "transport/cardsearch.h"
#include "transport/ui/adapterchoicewindow.h"
#include "transport/ui/searchwindow.h"

#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>
#include <QTableWidget>
#include <gtest/gtest.h>

using namespace ledsign;
using ledsign::test::spin;
using ledsign::test::UdpRig;
using ledsign::test::waitFor;

namespace {
void grab(QWidget& w, const char* name)
{
    const QByteArray dir = qgetenv("LEDSIGN_GRAB_DIR");
    if (!dir.isEmpty())
        w.grab().save(QString::fromLocal8Bit(dir) + u'/' + QString::fromLatin1(name) + QStringLiteral(".png"));
}
} // namespace

TEST(Windows, ParameterWindowListsPagesAndFill)
{
    UdpRig rig;
    TFIXModem card;
    card.macAddress = QStringLiteral("0:17:34:51:68:85");
    card.version = 60;
    rig.cards.append(card);
    ParamConfig config(rig.link, rig.settings, rig.udp);
    config.setScanModes(ScanModeTable::forCurrentLanguage());
    config.setInnerCodes({QStringLiteral("1_0_0_0_0_0_0_1")});
    ASSERT_TRUE(config.open(true, 0, 272, 144, true));
    TfrmParamCfgSet window(config, rig.settings);
    window.show();
    ASSERT_TRUE(waitFor([&] { return window.isVisible(); }));

    EXPECT_EQ(window.modeBox()->count(), 3);
    EXPECT_EQ(window.modeBox()->currentIndex(), kParamNetwork);
    EXPECT_EQ(window.scanBox()->count(), kScanModeCount);
    EXPECT_EQ(window.scanBox()->currentIndex(), -1);
    EXPECT_EQ(window.findChildren<QComboBox*>().size(), 17);
    EXPECT_EQ(window.height(), kNetworkPageHeight);

    // The read by MAC went out on show; the card's reply fills the controls.
    ASSERT_TRUE(rig.waitForCard(1));
    const auto item = [](quint8 type, const QByteArray& data) {
        return QByteArray(1, char(0xA1)) + char(type) + char(quint8(data.size())) + data + char(0xFF);
    };
    QByteArray reply = item(0x04, test::hex("001122334455")) + item(0x05, test::hex("7F000014"))
        + item(0x06, test::hex("FFFFFF00")) + item(0x18, test::hex("22C4"))
        + item(0x21, test::hex("11 02 0140 0040 02 00 07 01 01 00 33 00 00 00 0E"));
    reply.append(QByteArray(200 - reply.size(), '\0'));
    rig.fromCard(reply);
    ASSERT_TRUE(waitFor([&] { return window.scanBox()->currentIndex() >= 0; }));
    EXPECT_EQ(window.scanBox()->currentText(), QStringLiteral("1/4  (M)"));
    EXPECT_EQ(window.statusBar()->currentMessage(), GetLgText(3, QStringLiteral("tip_params_read")));
    grab(window, "param-network");

    window.modeBox()->setCurrentIndex(kParam485);
    emit window.modeBox()->activated(kParam485);
    EXPECT_EQ(window.height(), k485PageHeight);
    grab(window, "param-485");
    window.close();
    EXPECT_FALSE(rig.udp.paramWindowShowing());
}

TEST(Windows, AdapterChooserPreselectsTheServerAddress)
{
    TfrmMulNetCardChoice window;
    const QList<TAdapterInfo> adapters{
        {1, QStringLiteral("eth0"), QStringLiteral("192.168.0.10"), QStringLiteral("00-11-22-33-44-55"), {}},
        {2, QStringLiteral("wlan0"), QStringLiteral("10.0.0.70"), QStringLiteral("66-77-88-99-AA-BB"), {}},
    };
    window.setAdapters(adapters, QStringLiteral(" 10.0.0.70"));
    EXPECT_EQ(window.chosenIp(), QStringLiteral("10.0.0.70"));
    auto* table = window.findChild<QTableWidget*>();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rowCount(), 2);
    EXPECT_EQ(table->currentRow(), 1);
    EXPECT_EQ(table->item(0, 3)->text(), QStringLiteral("00-11-22-33-44-55"));
    window.show();
    grab(window, "adapters");
    window.setAdapters(adapters, QStringLiteral("172.16.0.1"));
    EXPECT_TRUE(window.chosenIp().isEmpty());
}

TEST(Windows, SearchWindowCountsDownAndGrows)
{
    UdpRig rig;
    CardSearch search(rig.channels, rig.settings, rig.udp);
    search.setTimeUnit(5);
    TfrmSearch window(search);
    bool grabbedSmall = false;
    QObject::connect(&search, &CardSearch::progressChanged, [&](int remaining, int) {
        if (remaining == 26 && !grabbedSmall) {
            grabbedSmall = true;
            EXPECT_EQ(window.width(), 500);
            grab(window, "search-small");
        }
    });
    ASSERT_TRUE(search.begin(true, {}, {}, {255, 255, 255, 0}));
    window.show();
    ASSERT_TRUE(waitFor([&] { return window.width() == 685; }, 5000));
    EXPECT_EQ(window.height(), 300);
    grab(window, "search-large");
    ASSERT_TRUE(waitFor([&] { return !window.isVisible(); }, 5000));
    EXPECT_TRUE(grabbedSmall);
    EXPECT_EQ(window.findChild<QProgressBar*>()->value(), 30);
}
