// The main window against a running ledsign-card on loopback: the server
// opens when the window shows, the card registers and its node turns
// on-line, a send runs with the progress bar and ends with the node marked
// sent, the play and time commands and the release of a deleted card reach
// the card. Also the start-up address choice, the exit and the parameter
// window's internal codes.
#include "cardlinkfixture.h"
#include "support/testsupport.h"
#include "model/settingsfile.h"
#include "transport/channelstartup.h"
#include "transport/datagram.h"
#include "workspace/propertyeditor.h"

#include <QCheckBox>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <QUdpSocket>

namespace ledsign::test {
namespace {

QString lg(const char* key)
{
    return GetLgText(3, QString::fromLatin1(key));
}

const QString kCode = QStringLiteral("1_2_3_4_5_6_7_8");

class CardLinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        ASSERT_TRUE(QFileInfo::exists(CardProcess::program())) << "build ledsign-card first";
        port = freeTcpPort();
        ASSERT_NE(port, 0);
        writeIni(home.path() + "/SetCfg.ini", {{"CommSet", "CommMode", "Network"},
                                                {"CommSet", "CommParam01", ""},
                                                {"CommSet", "CommParam02", QString::number(port)},
                                                {"LgType", "LgType", "2"}});
    }

    // Starts the window, then the card, and waits for the card's node.
    void startBoth()
    {
        run = startLinkedRun(home.path());
        ASSERT_TRUE(card.start({"--tcp", QStringLiteral("127.0.0.1:%1").arg(port), "--code", kCode}));
        ASSERT_TRUE(waitFor([&] { return run.window->tree()->shownState(kCode) == kNodeOnline; }, 5000))
            << run.outline().join(u'\n').toStdString();
        // Registration tells the card the time and the poll time.
        ASSERT_TRUE(card.waitForLine("time ", 3000));
    }

    // One page with one region and one single text, made through the actions.
    void addContent()
    {
        run.window->selectCard(kCode);
        run.trigger(ActionId::AddPrg);
        run.trigger(ActionId::AddRgn);
        run.trigger(ActionId::SglTxt);
        ASSERT_EQ(run.model().materialNames(kCode, run.model().pageNames(kCode).value(0),
                                            run.model().regionNames(kCode, run.model().pageNames(kCode).value(0)).value(0))
                      .size(),
                  1)
            << run.outline().join(u'\n').toStdString();
        run.window->selectCard(kCode);
    }

    QTemporaryDir home;
    quint16 port = 0;
    LinkedRun run;
    CardProcess card;
};

TEST_F(CardLinkTest, TheServerOpensWhenTheWindowShowsAndAConnectingCardGetsANodeThatTurnsOnline)
{
    startBoth();
    const QString panel = run.window->statusText(3);
    EXPECT_TRUE(panel.startsWith(QStringLiteral("Network"))) << panel.toStdString();
    EXPECT_TRUE(panel.endsWith(QStringLiteral("[%1]").arg(port))) << panel.toStdString();
    // Network mode: the group-send box shows, the serial button does not.
    EXPECT_TRUE(run.window->groupSendBox()->isVisibleTo(run.window.get()));
    EXPECT_FALSE(run.window->serialButton()->isVisibleTo(run.window.get()));
    EXPECT_FALSE(run.window->progressBar()->isVisibleTo(run.window.get()));

    // The registered card is selected, shown on-line, and kept on-line by
    // the presence supervision.
    EXPECT_EQ(run.window->selection().cardName(), kCode);
    EXPECT_TRUE(run.window->tree()->showsOnline(kCode));
    const TFIXModem* record = run.model().findCard(kCode).record;
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->linkKind, 2);
    EXPECT_EQ(record->width, 64);

    // A language switch keeps the channel state in panel 3, in the new language.
    run.trigger(ActionId::English);
    EXPECT_EQ(run.window->statusText(3), panel);
    run.trigger(ActionId::SimpleChn);
    EXPECT_EQ(run.window->statusText(3), QStringLiteral("网络 端口[%1]").arg(port));
    run.trigger(ActionId::English);
    EXPECT_EQ(run.window->statusText(3), panel);
}

TEST_F(CardLinkTest, CardsMadeInTheWindowAreTiedToTheCardsOnTheLineByATypedCodeOrByTheOperatorsYes)
{
    run = startLinkedRun(home.path());
    // Gate: the operator types its code, a wrong one first.
    run.dialogs->newCards.push_back(NewCardInput{QStringLiteral("Gate"), QStringLiteral("64"), QStringLiteral("32"), 0});
    run.trigger(ActionId::NewCard);
    ASSERT_TRUE(run.model().findCard(QStringLiteral("Gate")));
    EXPECT_TRUE(run.model().findCard(QStringLiteral("Gate")).record->ipAddress.isEmpty());
    PropertyEditor* rows = run.window->properties();
    rows->editRow(7, QStringLiteral("1_2_3"));
    ASSERT_TRUE(waitFor([&] { return !run.dialogs->messages.isEmpty(); }, 2000));
    EXPECT_EQ(run.dialogs->messages.last(), lg("warn_codes_input"));
    EXPECT_EQ(rows->rowValue(7), QStringLiteral("00_00_00_00_00_00_00_00"));
    rows->editRow(7, kCode);
    EXPECT_EQ(run.model().findCard(QStringLiteral("Gate")).record->internalCode, kCode);

    // Hall: made in the window and selected when the card on the line comes.
    run.dialogs->newCards.push_back(NewCardInput{QStringLiteral("Hall"), QStringLiteral("64"), QStringLiteral("32"), 0});
    run.trigger(ActionId::NewCard);
    ASSERT_EQ(run.window->selection().cardName(), QStringLiteral("Hall"));
    const qsizetype askedBefore = run.dialogs->asked.size();
    ASSERT_TRUE(card.start({"--tcp", QStringLiteral("127.0.0.1:%1").arg(port), "--code", kCode}));
    ASSERT_TRUE(waitFor([&] { return run.window->tree()->shownState(QStringLiteral("Gate")) == kNodeOnline; }, 5000))
        << run.outline().join(u'\n').toStdString();
    EXPECT_EQ(run.dialogs->asked.size(), askedBefore) << "a typed code asks nothing";

    const QString otherCode = QStringLiteral("8_7_6_5_4_3_2_1");
    run.window->selectCard(QStringLiteral("Hall"));
    run.dialogs->yesNo.push_back(true);
    CardProcess other;
    ASSERT_TRUE(other.start({"--tcp", QStringLiteral("127.0.0.1:%1").arg(port), "--code", otherCode}));
    ASSERT_TRUE(waitFor([&] { return run.window->tree()->shownState(QStringLiteral("Hall")) == kNodeOnline; }, 5000))
        << run.outline().join(u'\n').toStdString();
    ASSERT_EQ(run.dialogs->asked.size(), askedBefore + 1);
    EXPECT_TRUE(run.dialogs->asked.last().contains(otherCode)) << run.dialogs->asked.last().toStdString();
    EXPECT_TRUE(run.dialogs->asked.last().contains(QStringLiteral("Hall")));
    EXPECT_EQ(run.model().cards().size(), 2) << "no second card";
    EXPECT_FALSE(run.model().findCard(otherCode));
    const TFIXModem* hall = run.model().findCard(QStringLiteral("Hall")).record;
    EXPECT_EQ(hall->internalCode, otherCode);
    EXPECT_EQ(hall->linkKind, 2);
    EXPECT_FALSE(hall->ipAddress.isEmpty()) << "the address the card reported from";
    EXPECT_EQ(run.outline().filter(otherCode).size(), 0) << run.outline().join(u'\n').toStdString();

    // The card list keeps both codes.
    ASSERT_TRUE(run.window->close());
    IniFile saved;
    ASSERT_TRUE(saved.load(home.path() + "/SetCfg.ini"));
    EXPECT_TRUE(saved.value("CardsInfo", "Gate").contains(kCode)) << saved.value("CardsInfo", "Gate").toStdString();
    EXPECT_TRUE(saved.value("CardsInfo", "Hall").contains(otherCode));
}

TEST_F(CardLinkTest, ASilentCardTurnsOfflineInTheTreeAtThePresenceTick)
{
    startBoth();
    // Registration took the poll time at this scale: silent for 0.9 s counts.
    run.link().scheduler().state().timeScale = 0.01;
    TFIXModem* record = run.model().findCard(kCode).record;
    run.link().scheduler().registerConnection(*record, record->socket);
    card.stop();
    ASSERT_TRUE(waitFor([&] { return run.window->tree()->shownState(kCode) == kNodeOffline; }, 5000));
    EXPECT_FALSE(run.window->tree()->showsOnline(kCode));
}

TEST_F(CardLinkTest, SendShowsTheProgressBarThenEndsWithTheNodeMarkedSent)
{
    startBoth();
    addContent();
    SendScheduler& scheduler = run.link().scheduler();
    int shownMaximum = -1;
    bool barVisibleWhileSending = false;
    QObject::connect(&scheduler, &SendScheduler::progressShown, [&](int maximum) {
        shownMaximum = maximum;
        barVisibleWhileSending = run.window->progressBar()->isVisibleTo(run.window.get());
    });
    int lastPosition = 0;
    QObject::connect(&scheduler, &SendScheduler::progressMoved, [&](int position) {
        if (position > 0)
            lastPosition = run.window->progressBar()->value();
    });

    run.trigger(ActionId::Send);
    ASSERT_TRUE(waitFor([&] { return run.window->statusText(4) == lg("tip_program_sent"); }, 10000))
        << run.window->statusText(4).toStdString();
    EXPECT_GT(shownMaximum, 0);
    EXPECT_TRUE(barVisibleWhileSending);
    EXPECT_EQ(lastPosition, shownMaximum);
    EXPECT_FALSE(run.window->progressBar()->isVisibleTo(run.window.get()));
    EXPECT_EQ(run.window->tree()->shownState(kCode), kNodeCompleted);
    ASSERT_TRUE(card.waitForLine("playbill complete materials=1", 3000));
    EXPECT_TRUE(card.errorLines().isEmpty()) << card.errorLines().join(u'\n').toStdString();

    // The next send puts the "sent" mark back to on-line first.
    run.window->selectNode({});
    run.trigger(ActionId::Send);
    EXPECT_EQ(run.window->tree()->shownState(kCode), kNodeOnline);
    EXPECT_EQ(run.window->statusText(4), lg("warn_send_program_card"));
}

TEST_F(CardLinkTest, GroupSendReachesEveryOnlineCard)
{
    startBoth();
    addContent();
    CardProcess second;
    const QString code2 = QStringLiteral("9_9_9_9_9_9_9_9");
    ASSERT_TRUE(second.start({"--tcp", QStringLiteral("127.0.0.1:%1").arg(port), "--code", code2}));
    ASSERT_TRUE(waitFor([&] { return run.window->tree()->shownState(code2) == kNodeOnline; }, 5000));
    run.window->selectCard(code2);
    run.trigger(ActionId::AddPrg);
    run.trigger(ActionId::AddRgn);
    run.trigger(ActionId::SglTxt);

    run.window->groupSendBox()->setChecked(true);
    run.trigger(ActionId::Send);
    ASSERT_TRUE(waitFor([&] {
        return run.window->tree()->shownState(kCode) == kNodeCompleted
            && run.window->tree()->shownState(code2) == kNodeCompleted;
    }, 60000)) << "two downloads one after the other; a loaded machine renders slowly";
    EXPECT_TRUE(card.waitForLine("playbill complete", 3000));
    EXPECT_TRUE(second.waitForLine("playbill complete", 3000));
}

TEST_F(CardLinkTest, PlayAndTimeCommandsReachTheSelectedCard)
{
    startBoth();
    run.trigger(ActionId::BeginPlay);
    EXPECT_TRUE(card.waitForLine("play start", 3000));
    EXPECT_EQ(run.window->statusText(4), lg("tip_card_stard_play_send"));
    run.trigger(ActionId::StopPlay);
    EXPECT_TRUE(card.waitForLine("play stop", 3000));
    EXPECT_EQ(run.window->statusText(4), lg("tip_card_stop_play_send"));
    run.trigger(ActionId::AdjTime);
    EXPECT_TRUE(card.waitForLine("time ", 3000));
    EXPECT_EQ(run.window->statusText(4), lg("tip_card_calibration_send"));

    // The screen parameters of a network card are asked on its connection.
    run.trigger(ActionId::ScreenParam);
    EXPECT_TRUE(card.waitForLine("params read", 3000));

    // Without a selection nothing is sent.
    run.window->selectNode({});
    const int before = card.countLines("play ");
    run.trigger(ActionId::BeginPlay);
    spin(300);
    EXPECT_EQ(card.countLines("play "), before);
}

TEST_F(CardLinkTest, DeletingACardAsksItToReportOverItsConnectionBeforeItGoes)
{
    startBoth();
    addContent();
    const int queries = card.countLines("rx cmd=71");
    EXPECT_EQ(queries, 1); // the one when it connected
    run.window->selectCard(kCode);
    run.trigger(ActionId::DelCard);
    EXPECT_TRUE(waitFor([&] { return card.countLines("rx cmd=71") == queries + 1; }, 3000));
    // The record went with its pages; the card reporting again comes back
    // as a new card without a playbill.
    EXPECT_TRUE(run.model().pageNames(kCode).isEmpty());
}

TEST_F(CardLinkTest, DeletingACardBeforeTheOneUnderSendKeepsTheDownloadOnItsCard)
{
    run = startLinkedRun(home.path());
    for (const QString& name : {QStringLiteral("A"), QStringLiteral("B")}) {
        run.dialogs->newCards.push_back(NewCardInput{name, "64", "32", 0});
        run.trigger(ActionId::NewCard);
    }
    ASSERT_EQ(run.model().cards().size(), 2);
    SendState& state = run.link().scheduler().state();
    state.cardUnderSend = 1; // B
    run.window->selectCard("A");
    run.trigger(ActionId::DelCard);
    ASSERT_EQ(run.model().cards().size(), 1);
    EXPECT_EQ(state.cardUnderSend, 0);
    EXPECT_EQ(run.model().cards()[state.cardUnderSend].name, QStringLiteral("B"));

    // Deleting the card under send ends its download.
    run.window->selectCard("B");
    run.trigger(ActionId::DelCard);
    EXPECT_EQ(state.cardUnderSend, -1);
}

TEST_F(CardLinkTest, InSerialModeTheCardOnTheLineReportsAndTheSerialButtonClosesAndReopensThePort)
{
    PtyLink line;
    ASSERT_TRUE(line.isReady()) << "socat is needed (scripts/setup installs it)";
    ASSERT_TRUE(card.start({"--serial", line.cardSide(), "--code", kCode}));
    ASSERT_TRUE(card.waitForLine("ready serial", 5000));
    writeIni(home.path() + "/SetCfg.ini", {{"CommSet", "CommMode", "Serial Port"},
                                            {"CommSet", "CommParam01", line.programSide()},
                                            {"CommSet", "CommParam02", "9600"},
                                            {"LgType", "LgType", "2"}});
    run = startLinkedRun(home.path());
    // Opening the port asked the card on the line to report itself.
    ASSERT_TRUE(waitFor([&] { return run.model().findCard(kCode).record != nullptr; }, 5000));
    EXPECT_EQ(run.model().findCard(kCode).record->linkKind, 0);
    const QString opened = run.window->statusText(3);
    EXPECT_TRUE(opened.contains(line.programSide())) << opened.toStdString();
    EXPECT_TRUE(opened.contains("[9600]")) << opened.toStdString();
    QPushButton* button = run.window->serialButton();
    EXPECT_TRUE(button->isVisibleTo(run.window.get()));
    EXPECT_EQ(button->text(), QStringLiteral("关闭串口"));
    EXPECT_FALSE(run.window->groupSendBox()->isVisibleTo(run.window.get()));
    EXPECT_FALSE(run.link().scheduler().presenceActive());

    button->click();
    EXPECT_EQ(button->text(), QStringLiteral("打开串口"));
    EXPECT_TRUE(run.window->statusText(3).endsWith(QStringLiteral("已关闭"))) << run.window->statusText(3).toStdString();
    EXPECT_FALSE(run.link().channels().serial().isOpen());

    // Reopened, the port carries commands to the card again.
    button->click();
    EXPECT_EQ(button->text(), QStringLiteral("关闭串口"));
    EXPECT_EQ(run.window->statusText(3), opened);
    run.window->selectCard(kCode);
    run.trigger(ActionId::BeginPlay);
    EXPECT_TRUE(card.waitForLine("play start", 3000));
}

TEST_F(CardLinkTest, AnUnknownCardOnAPlainSerialLineLeavesOnlyItselfInTheTreeTheOperatorSees)
{
    PtyLink line;
    ASSERT_TRUE(line.isReady()) << "socat is needed (scripts/setup installs it)";
    ASSERT_TRUE(card.start({"--serial", line.cardSide(), "--code", kCode}));
    ASSERT_TRUE(card.waitForLine("ready serial", 5000));
    writeIni(home.path() + "/SetCfg.ini", {{"CommSet", "CommMode", "Serial Port"},
                                            {"CommSet", "CommParam01", line.programSide()},
                                            {"CommSet", "CommParam02", "9600"},
                                            {"LgType", "LgType", "2"}});
    LinkOptions options;
    options.beforeOpen = [](LinkedRun& r) {
        for (const char* name : {"Hall", "Door"}) {
            r.dialogs->newCards.push_back(NewCardInput{name, "64", "32", 0});
            r.trigger(ActionId::NewCard);
        }
        EXPECT_EQ(r.outline(), (QStringList{"Hall", "Door"}));
        // Door, selected, is offered the card's code; the operator declines.
        r.dialogs->yesNo.push_back(false);
    };
    run = startLinkedRun(home.path(), options);
    ASSERT_TRUE(waitFor([&] { return run.model().findCard(kCode).record != nullptr; }, 5000));
    ASSERT_TRUE(waitFor([&] { return run.outline() == QStringList{kCode}; }, 3000))
        << run.outline().join(u'\n').toStdString();
    // The other records stay in the card list; the registering card is selected.
    EXPECT_EQ(run.model().cards().size(), 3);
    EXPECT_EQ(run.window->selection().node(), NodePath::ofCard(kCode));
    EXPECT_EQ(run.link().scheduler().treeCards(), QStringList{kCode});

    // A card the operator adds afterwards joins the tree and the scheduler's list.
    run.dialogs->newCards.push_back(NewCardInput{"Gate", "64", "32", 0});
    run.trigger(ActionId::NewCard);
    EXPECT_EQ(run.outline(), (QStringList{kCode, "Gate"}));
    EXPECT_EQ(run.link().scheduler().treeCards(), (QStringList{kCode, "Gate"}));
}

TEST_F(CardLinkTest, TheParameterWindowStaysClosedForAReportedCardBelowVersion54AndSaysWhy)
{
    run = startLinkedRun(home.path());
    ASSERT_TRUE(card.start({"--tcp", QStringLiteral("127.0.0.1:%1").arg(port), "--code", kCode, "--card-version", "53"}));
    ASSERT_TRUE(waitFor([&] { return run.window->tree()->shownState(kCode) == kNodeOnline; }, 5000));
    run.trigger(ActionId::CmmParaSet);
    EXPECT_EQ(run.linkDialogs->parameterWindows, 0);
    EXPECT_EQ(run.linkDialogs->messages, QStringList{lg("warn_card_version_low_cfg")});

    // Without a selection the window opens for the channel settings alone.
    run.window->selectNode({});
    run.trigger(ActionId::CmmParaSet);
    EXPECT_EQ(run.linkDialogs->parameterWindows, 1);
}

TEST_F(CardLinkTest, SendingFollowsTheModeChosenInTheParameterWindowOrLeftByASearch)
{
    run = startLinkedRun(home.path());
    const SendState& state = run.link().scheduler().state();
    ASSERT_TRUE(state.networkMode);
    // The mode is switched while the window still shows: the card commands
    // must already travel in RS-485 packets.
    bool rs485WhileShowing = false;
    run.linkDialogs->duringParameters = [&](ParamConfig& config) {
        EXPECT_TRUE(config.confirmInterface(kParam485, QString(), "/nonexistent/ttyX", "9600"));
        rs485WhileShowing = state.rs485Mode && !state.networkMode;
    };
    run.trigger(ActionId::CmmParaSet);
    EXPECT_TRUE(rs485WhileShowing);
    EXPECT_EQ(run.session->settings().commMode, QStringLiteral("485"));

    // A serial search stores the mode of the port it tried.
    run.linkDialogs->duringSearch = [&](CardSearch&) {
        run.session->settings().commMode = currentCommModeTexts().serial;
    };
    run.trigger(ActionId::Search);
    EXPECT_FALSE(state.rs485Mode);
    EXPECT_FALSE(state.networkMode);
}

TEST_F(CardLinkTest, WritingTheSameSizeKeepsThePlaybillAtAnyZoomAndANewSizeResizesTheCard)
{
    startBoth();
    addContent();
    run.model().findCard(kCode).record->zoom = 20;
    auto write = [&](const QString& width) {
        run.linkDialogs->duringParameters = [width](ParamConfig& config) {
            config.setTimings({100, 10, 10});
            ParamInputs in;
            in.widthText = width;
            in.heightText = "32";
            ScreenParams& p = in.params;
            p.colorIndex = p.scanIndex = p.dayBrightness = p.nightBrightness = p.contentIndex = p.oeIndex = 0;
            p.clockIndex = p.rowOrderIndex = p.transIndex = p.dataBitIndex = 0;
            EXPECT_TRUE(config.write(in));
        };
        run.window->selectCard(kCode);
        run.trigger(ActionId::CmmParaSet);
    };
    write("64");
    EXPECT_EQ(run.model().pageNames(kCode).size(), 1);
    write("128");
    EXPECT_TRUE(run.model().pageNames(kCode).isEmpty());
    EXPECT_EQ(run.model().findCard(kCode).record->width, 128);
    EXPECT_EQ(run.linkDialogs->parameterWindows, 2);
}

TEST_F(CardLinkTest, SeveralAdaptersAskForTheServerAddressOnceAndRememberNotToAskAgain)
{
    LinkOptions options;
    options.adapters = {{1, "first", "127.0.0.3", {}, {}}, {2, "second", "127.0.0.4", {}, {}}};
    options.adapterChoice = AdapterChoice{QStringLiteral("127.0.0.4"), true};
    run = startLinkedRun(home.path(), options);
    EXPECT_EQ(run.linkDialogs->chooserShown.size(), 1);
    EXPECT_EQ(run.linkDialogs->chooserRows, 2);
    EXPECT_EQ(run.session->settings().serverIP, QStringLiteral("127.0.0.4"));
    EXPECT_TRUE(run.window->close());
    endRun(run);

    IniFile saved;
    ASSERT_TRUE(saved.load(home.path() + "/SetCfg.ini"));
    EXPECT_EQ(saved.value("ServerIP", "ServerIP"), QStringLiteral("127.0.0.4"));
    run = startLinkedRun(home.path(), options);
    EXPECT_TRUE(run.linkDialogs->chooserShown.isEmpty());
    EXPECT_EQ(run.session->settings().serverIP, QStringLiteral("127.0.0.4"));
}

TEST_F(CardLinkTest, WithoutAnAddressTheWindowDoesNotWaitAndTheAddressIsTakenLater)
{
    auto host = std::make_shared<QString>(QStringLiteral("127.0.0.1"));
    run.session = std::make_unique<WorkspaceSession>(DataFolder(home.path()));
    ASSERT_EQ(run.session->start(testStartOptions()), WorkspaceSession::StartResult::Ready);
    run.window = std::make_unique<MainWindow>(*run.session, std::make_unique<ScriptedDialogs>());
    run.controller().setDialogs(std::make_unique<ScriptedLinkDialogs>());
    run.controller().setAdapterSource([] { return QList<TAdapterInfo>{}; });
    int lookups = 0;
    run.controller().setLastHostSource([host, &lookups] {
        ++lookups;
        return *host;
    });
    run.window->startUp();
    run.window->openCardLink();
    // One look-up while starting; the retries run on a timer.
    EXPECT_EQ(lookups, 1);
    EXPECT_TRUE(run.controller().addressRetryRunning());
    EXPECT_EQ(run.session->settings().serverIP, QStringLiteral("127.0.0.1"));
    *host = QStringLiteral("127.0.0.5");
    ASSERT_TRUE(waitFor([&] { return run.session->settings().serverIP == QStringLiteral("127.0.0.5"); }, 3000));
    EXPECT_FALSE(run.controller().addressRetryRunning());
    EXPECT_EQ(run.link().channels().udp().localAddress(), QHostAddress(QStringLiteral("127.0.0.5")));
}

TEST_F(CardLinkTest, KnownNetworkCardsInTheServersSubnetAreToldTheServerAtStartUp)
{
    IniFile ini;
    ASSERT_TRUE(ini.load(home.path() + "/SetCfg.ini"));
    ini.setValue("CardsInfo", "near", "64,32,,1_1_1_1_1_1_1_1,127.0.0.77,1:2:3:4:5:6,60,1");
    ini.setValue("CardsInfo", "far", "64,32,,2_2_2_2_2_2_2_2,10.9.8.7,6:5:4:3:2:1,60,1");
    ini.setValue("CardsInfo", "old", "64,32,,3_3_3_3_3_3_3_3,127.0.0.78,7:7:7:7:7:7,53,1");
    ASSERT_TRUE(ini.save(home.path() + "/SetCfg.ini"));
    QUdpSocket cardSide;
    ASSERT_TRUE(cardSide.bind(QHostAddress::LocalHost, 0));
    LinkOptions options;
    options.beforeOpen = [&](LinkedRun& r) {
        r.controller().udp().setBroadcastAddress(QHostAddress::LocalHost);
        r.controller().udp().setCardPort(cardSide.localPort());
    };
    run = startLinkedRun(home.path(), options);
    ASSERT_EQ(run.model().cards().size(), 3);

    QList<QByteArray> received;
    waitFor([&] {
        while (cardSide.hasPendingDatagrams()) {
            QByteArray d(int(cardSide.pendingDatagramSize()), '\0');
            cardSide.readDatagram(d.data(), d.size());
            received << d;
        }
        return !received.isEmpty();
    }, 2000);
    spin(100);
    ASSERT_EQ(received.size(), 1);
    // MAC, card IP, mask, server IP and the server port.
    QByteArray expected = hex("A1 60 14 01 02 03 04 05 06 7F 00 00 4D FF FF FF 00 7F 00 00 02");
    expected.append(char(port >> 8)).append(char(port & 0xff)).append(char(0xff));
    EXPECT_EQ(received[0].toHex(' '), expected.toHex(' '));
    // The card outside the subnet is reported and left out of the list.
    EXPECT_EQ(run.window->statusText(4), lg("warn_comm_IP_exception"));
    EXPECT_EQ(run.controller().udp().searchList().size(), 1);
}

TEST_F(CardLinkTest, ExitSendsTheReleaseNoticesTwiceAndClosesTheServer)
{
    run = startLinkedRun(home.path());
    QUdpSocket cardSide;
    ASSERT_TRUE(cardSide.bind(QHostAddress::LocalHost, 0));
    run.controller().udp().setBroadcastAddress(QHostAddress::LocalHost);
    run.controller().udp().setCardPort(cardSide.localPort());
    const datagram::Mac mac{1, 2, 3, 4, 5, 6};
    run.controller().udp().searchList().add(mac, datagram::Ipv4{127, 0, 0, 9});
    ASSERT_TRUE(run.link().channels().server().isListening());

    EXPECT_TRUE(run.window->close());
    EXPECT_FALSE(run.link().channels().server().isListening());
    QList<QByteArray> received;
    waitFor([&] {
        while (cardSide.hasPendingDatagrams()) {
            QByteArray d(int(cardSide.pendingDatagramSize()), '\0');
            cardSide.readDatagram(d.data(), d.size());
            received << d;
        }
        return received.size() >= 2;
    }, 2000);
    ASSERT_EQ(received.size(), 2);
    EXPECT_EQ(received[0], hex("A1 61 07 01 02 03 04 05 06 00 FF"));
    EXPECT_EQ(received[1], received[0]);
}

TEST_F(CardLinkTest, InternalCodesEditedInTheParameterWindowSurviveTheExit)
{
    run = startLinkedRun(home.path());
    run.linkDialogs->duringParameters = [](ParamConfig& config) {
        EXPECT_TRUE(config.addCode({"1", "0", "0", "0", "0", "0", "0", "2"}));
    };
    run.trigger(ActionId::CmmParaSet);
    EXPECT_EQ(run.linkDialogs->parameterWindows, 1);
    EXPECT_TRUE(run.window->close());
    endRun(run);

    IniFile saved;
    ASSERT_TRUE(saved.load(home.path() + "/SetCfg.ini"));
    EXPECT_EQ(saved.value("InnerCodes", "I1"), QStringLiteral("1_0_0_0_0_0_0_2"));
    // The next start reads them for the RS-485 search.
    run = startLinkedRun(home.path());
    EXPECT_EQ(run.controller().params().innerCodes(), QStringList{"1_0_0_0_0_0_0_2"});
}

TEST_F(CardLinkTest, TheSearchResetsTheCardNodesAndMarksTheSearchRunningWhileTheWindowShows)
{
    startBoth();
    bool runningDuringSearch = false;
    int stateDuringSearch = -1;
    run.linkDialogs->duringSearch = [&](CardSearch& search) {
        runningDuringSearch = run.link().scheduler().state().searchRunning && search.isRunning();
        stateDuringSearch = run.window->tree()->shownState(kCode);
    };
    run.trigger(ActionId::Search);
    EXPECT_EQ(run.linkDialogs->searches, 1);
    EXPECT_TRUE(runningDuringSearch);
    EXPECT_EQ(stateDuringSearch, kNodeOffline);
    EXPECT_FALSE(run.link().scheduler().state().searchRunning);
    EXPECT_TRUE(run.link().scheduler().presenceActive());

    // A right click on the search button switches the search off: the
    // button greys, the search says so and no window opens.
    QToolButton* button = run.window->searchButton();
    emit button->customContextMenuRequested({});
    EXPECT_FALSE(run.session->settings().isOpenSearch);
    EXPECT_EQ(run.window->statusText(4), lg("tip_card_search_close"));
    EXPECT_TRUE(button->styleSheet().contains("192"));
    run.trigger(ActionId::Search);
    EXPECT_EQ(run.linkDialogs->searches, 1);
    EXPECT_EQ(run.window->statusText(4), lg("tip_card_search_close_enable"));
    emit button->customContextMenuRequested({});
    EXPECT_TRUE(run.session->settings().isOpenSearch);
    EXPECT_EQ(run.window->statusText(4), lg("tip_card_search_enable"));
    run.trigger(ActionId::Search);
    EXPECT_EQ(run.linkDialogs->searches, 2);
}

} // namespace
} // namespace ledsign::test
