// The search window and the parameter window driven against virtual cards:
// the search window runs while two cards are found and registered; the
// parameter window reads a card when it shows, writes what the operator
// typed and reads it back. With LEDSIGN_SCREENSHOT_DIR set, the windows are
// saved as pictures on the way.
#include "cardrig.h"

#include "config/ui/paramwindow.h"
#include "transport/ui/searchwindow.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <gtest/gtest.h>

using namespace ledsign;
using ledsign::test::CardProcess;
using ledsign::test::CardRig;
using ledsign::test::waitFor;

namespace {

void grab(QWidget& w, const QString& name)
{
    const QString dir = qEnvironmentVariable("LEDSIGN_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        w.grab().save(dir + u'/' + name + QStringLiteral(".png"));
}

QString lg(const char* key)
{
    return GetLgText(3, QString::fromLatin1(key));
}

} // namespace

TEST(CardWindows, SearchWindowRunsWhileTwoCardsAreFound)
{
    ASSERT_TRUE(QFileInfo::exists(CardProcess::program())) << "build ledsign-card first";
    CardRig rig;
    ASSERT_TRUE(rig.openServer());
    ASSERT_TRUE(rig.startUdpCard(QStringLiteral("127.0.0.2"), {QStringLiteral("--code"), QStringLiteral("1_1_1_1_1_1_1_1")}));
    ASSERT_TRUE(rig.startUdpCard(QStringLiteral("127.0.0.3"), {QStringLiteral("--code"), QStringLiteral("2_2_2_2_2_2_2_2")}));
    rig.search.setTimeUnit(150);
    TfrmSearch window(rig.search);
    ASSERT_TRUE(rig.search.begin(true, {}, {}, {255, 255, 255, 0}));
    window.show();
    ASSERT_TRUE(waitFor([&] {
        int online = 0;
        for (const TFIXModem& c : rig.cards)
            online += c.socket ? 1 : 0;
        return online == 2;
    }, 15000));
    ASSERT_TRUE(window.isVisible());
    EXPECT_EQ(rig.search.kind(), kSearchNetworkAnswered);
    // The caption names the network search; the bar has moved on.
    const QString network = currentCommModeTexts().network;
    EXPECT_TRUE(window.findChildren<QLabel*>().first()->text().startsWith(u'[' + network + u']'));
    auto* bar = window.findChild<QProgressBar*>();
    ASSERT_TRUE(waitFor([&] { return bar->value() > 0; }, 3000));
    EXPECT_EQ(bar->maximum(), 30);
    grab(window, QStringLiteral("search-two-cards"));
    window.findChild<QPushButton*>()->click();
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(rig.search.isTicking());
    rig.search.end();
}

TEST(CardWindows, ParameterWindowReadsWritesAndReadsBackACard)
{
    ASSERT_TRUE(QFileInfo::exists(CardProcess::program())) << "build ledsign-card first";
    CardRig rig;
    CardProcess* card = rig.startUdpCard(QStringLiteral("127.0.0.2"),
                                         {QStringLiteral("--colors"), QStringLiteral("3"), QStringLiteral("--width"),
                                          QStringLiteral("192")});
    ASSERT_TRUE(card);
    TFIXModem record;
    record.name = QStringLiteral("A");
    record.macAddress = QStringLiteral("2:0:127:0:0:2");
    record.version = 60;
    rig.cards.append(record);
    rig.config.setScanModes(ScanModeTable::forCurrentLanguage());
    ASSERT_TRUE(rig.config.open(true, 0, 208, 48, false));
    TfrmParamCfgSet window(rig.config, rig.settings);
    window.show();

    auto* width = window.findChild<QLineEdit*>(QStringLiteral("edtPLen"));
    auto* height = window.findChild<QLineEdit*>(QStringLiteral("edtPHeight"));
    auto* colour = window.findChild<QComboBox*>(QStringLiteral("cbColor"));
    ASSERT_TRUE(width && height && colour);
    // Showing reads the card.
    ASSERT_TRUE(waitFor([&] { return !width->text().isEmpty(); }, 5000));
    EXPECT_EQ(width->text(), QStringLiteral("192"));
    EXPECT_EQ(height->text(), QStringLiteral("32"));
    EXPECT_EQ(colour->currentIndex(), 2);
    EXPECT_EQ(window.statusBar()->currentMessage(), lg("tip_params_read"));
    grab(window, QStringLiteral("param-network-read"));

    // Every list has a value from the card, so a write goes out as it stands.
    width->setText(QStringLiteral("96"));
    colour->setCurrentIndex(1);
    window.findChild<QPushButton*>(QStringLiteral("btWrite"))->click();
    ASSERT_TRUE(card->waitForLine(QStringLiteral("udp params written flag=0"), 3000));
    ASSERT_TRUE(waitFor([&] { return window.statusBar()->currentMessage() == lg("tip_params_written"); }, 3000));
    width->clear();
    window.findChild<QPushButton*>(QStringLiteral("btRead"))->click();
    ASSERT_TRUE(waitFor([&] { return !width->text().isEmpty(); }, 5000));
    EXPECT_EQ(width->text(), QStringLiteral("96"));
    EXPECT_EQ(colour->currentIndex(), 1);

    window.modeBox()->setCurrentIndex(kParamSerial);
    emit window.modeBox()->activated(kParamSerial);
    // The serial page is short: the window shrinks to its height.
    EXPECT_EQ(window.height(), kSerialPageHeight);
    grab(window, QStringLiteral("param-serial"));
    window.modeBox()->setCurrentIndex(kParam485);
    emit window.modeBox()->activated(kParam485);
    EXPECT_EQ(window.height(), k485PageHeight);
    grab(window, QStringLiteral("param-485"));
    window.close();
}
