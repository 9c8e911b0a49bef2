// Pictures of the main window while and after it sends to a card, of the
// search window opened from it and of the adapter chooser, written to
// LEDSIGN_SCREENSHOT_DIR when that is set (skipped otherwise).
#include "cardlinkfixture.h"
#include "transport/ui/adapterchoicewindow.h"
#include "transport/ui/searchwindow.h"

#include <QDir>
#include <QProgressBar>

namespace ledsign::test {
namespace {

QString shotDir()
{
    return qEnvironmentVariable("LEDSIGN_SCREENSHOT_DIR");
}

bool save(QWidget* w, const QString& name)
{
    QDir().mkpath(shotDir());
    return w->grab().save(shotDir() + QLatin1Char('/') + name);
}

TEST(CardLinkShots, MainWindowSendingSearchWindowAndAdapterChooser)
{
    if (shotDir().isEmpty())
        GTEST_SKIP() << "LEDSIGN_SCREENSHOT_DIR is not set";
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const quint16 port = freeTcpPort();
    writeIni(home.path() + "/SetCfg.ini", {{"CommSet", "CommMode", "Network"},
                                            {"CommSet", "CommParam01", ""},
                                            {"CommSet", "CommParam02", QString::number(port)},
                                            {"LgType", "LgType", "2"}});
    LinkedRun run = startLinkedRun(home.path());
    CardProcess card;
    const QString code = QStringLiteral("1_2_3_4_5_6_7_8");
    ASSERT_TRUE(card.start({"--tcp", QStringLiteral("127.0.0.1:%1").arg(port), "--code", code, "--width", "128",
                            "--height", "32"}));
    ASSERT_TRUE(waitFor([&] { return run.window->tree()->shownState(code) == kNodeOnline; }, 5000));
    run.window->selectCard(code);
    run.trigger(ActionId::AddPrg);
    run.trigger(ActionId::AddRgn);
    run.trigger(ActionId::SglTxt);
    run.trigger(ActionId::DateTime);
    run.window->selectCard(code);
    run.window->tree()->expandAll();

    bool during = false;
    QObject::connect(&run.link().scheduler(), &SendScheduler::progressMoved, [&](int position) {
        if (!during && position == 1)
            during = save(run.window.get(), "linkwiring-send-during.png");
    });
    run.trigger(ActionId::Send);
    ASSERT_TRUE(waitFor([&] { return run.window->tree()->shownState(code) == kNodeCompleted; }, 10000));
    spin(100);
    EXPECT_TRUE(during);
    EXPECT_TRUE(save(run.window.get(), "linkwiring-send-after.png"));

    // The search window as the search action opens it.
    run.linkDialogs->duringSearch = [&](CardSearch& search) {
        TfrmSearch window(search, run.window.get());
        window.show();
        spin(300);
        EXPECT_TRUE(save(&window, "linkwiring-search.png"));
        window.close();
    };
    run.trigger(ActionId::Search);

    TfrmMulNetCardChoice chooser(run.window.get());
    chooser.setAdapters({{1, "Ethernet adapter (onboard)", "192.168.0.10", "00-1A-2B-3C-4D-5E", "255.255.255.0"},
                         {2, "Wireless adapter", "10.1.2.3", "00-1A-2B-3C-4D-5F", "255.0.0.0"}},
                        QStringLiteral("10.1.2.3"));
    chooser.show();
    spin(200);
    EXPECT_TRUE(save(&chooser, "linkwiring-adapters.png"));
    chooser.hide();
}

} // namespace
} // namespace ledsign::test
