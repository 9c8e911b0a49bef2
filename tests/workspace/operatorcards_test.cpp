// What an operator meets with a card's playbill file and its history: the
// card list after a playbill emptied and not saved, and cards that come on
// the line while the operator edits another one.
#include "cardlinkfixture.h"
#include "livewindow.h"
#include "model/coalescedwriter.h"
#include "model/inifile.h"
#include "support/testsupport.h"
#include "workspace/bindofferdialog.h"
#include "workspace/cardlinkcontroller.h"

#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QRadioButton>

namespace ledsign::test {
namespace {

QString lg(const char* key)
{
    return GetLgText(3, QString::fromLatin1(key));
}

// One page, one region of 64 x 32 and one single text.
QByteArray playbill()
{
    return QByteArray("[ProgramList]\r\n"
                      "P1,100000001,pnProgram1,00:00,24:00,everyday,,-1\r\n"
                      "[RegionList]\r\n"
                      "P1,100000001,R1,100000002,pnRegion2,0,0,64,32\r\n"
                      "[FodderList]\r\n"
                      "P1,R1,100000002,T1,100000003,pnSglTxt3,0,1,9,1,1,56,49,49,,1,1,1,1,1,1,1,0,0,0,0,0,0,0,0\r\n"
                      "[TxtContentList]\r\n"
                      "100000003=hello\r\n");
}

const QString kPlaceholder = QStringLiteral("00_00_00_00_00_00_00_00");
const QString kLineCode = QStringLiteral("9_8_7_6_5_4_3_2");

class OperatorCards : public ::testing::Test {
protected:
    void SetUp() override { writeSettings(QStringLiteral("1_2_3_4_5_6_7_8")); }
    void TearDown() override
    {
        cancelPendingModals();
        if (run.window) {
            for (TFIXModem& c : run.model().cards())
                c.modified = 0;
        }
        run.window.reset();
        run.session.reset();
    }

    // Card "Hall" (64 x 32, the given code) with its playbill, the TCP
    // server on a free port.
    void writeSettings(const QString& code)
    {
        ASSERT_TRUE(home.isValid());
        port = freeTcpPort();
        IniFile ini;
        ini.setValue("LgType", "LgType", "2");
        ini.setValue("CommSet", "CommMode", "Network");
        ini.setValue("CommSet", "CommParam01", "");
        ini.setValue("CommSet", "CommParam02", QString::number(port));
        ini.setValue("CardsInfo", "Hall", "64,32,hall.prg," + code + ",192.168.1.9,1:2:3:4:5:6,80,1");
        ASSERT_TRUE(QDir().mkpath(home.filePath("prgFiles")));
        ASSERT_TRUE(ini.save(home.filePath("SetCfg.ini")));
        ASSERT_TRUE(writeAll(home.filePath("prgFiles/hall.prg"), playbill()));
    }

    // The window with its own dialogs, its card link open on loopback.
    void startLinked()
    {
        run = startLive(home.path());
        const QList<TAdapterInfo> adapters{{1, QStringLiteral("loopback"), QStringLiteral("127.0.0.2"), {}, {}}};
        run.window->cardLink().setAdapterSource([adapters] { return adapters; });
        run.window->cardLink().setLastHostSource([] { return QStringLiteral("127.0.0.2"); });
        run.window->openCardLink();
    }

    bool cardComesOnLine(const QString& node, const QStringList& size = {})
    {
        if (!card.start(QStringList{"--tcp", QStringLiteral("127.0.0.1:%1").arg(port), "--code", kLineCode} + size))
            return false;
        return spinUntil([&] { return run.tree()->shownState(node) == kNodeOnline; }, 8000);
    }

    QAction* undo() { return run.window->findChild<QAction*>(QStringLiteral("actUndo")); }
    const TRegion* hallRegion() { return run.model().findRegion("Hall", "P1", "R1").record; }

    QString listedLine()
    {
        IniFile saved;
        EXPECT_TRUE(saved.load(home.filePath("SetCfg.ini")));
        return saved.value("CardsInfo", "Hall");
    }

    QTemporaryDir home;
    quint16 port = 0;
    LiveRun run;
    CardProcess card;
};

TEST_F(OperatorCards, ANewPlaybillLeftUnsavedAtTheExitKeepsTheCardsFileInTheCardList)
{
    {
        run = startLive(home.path());
        ASSERT_EQ(run.outline(), QStringList({"Hall", "  P1", "    R1", "      T1"}));
        run.clickNode(NodePath::ofCard("Hall"));
        auto emptied = whenModal([](QWidget* box) { clickBox(box, QMessageBox::Yes); });
        run.key(Qt::Key_N, Qt::ControlModifier);
        pump(50);
        ASSERT_TRUE(*emptied);
        ASSERT_TRUE(run.model().materials().isEmpty());
        // The autosave of the change must not forget the file either.
        run.session->autosave().flush();
        EXPECT_TRUE(listedLine().startsWith("64,32,hall.prg,")) << listedLine().toStdString();

        auto leave = whenModal([](QWidget* box) { clickBox(box, QMessageBox::No); });
        run.key(Qt::Key_Q, Qt::ControlModifier);
        pump(50);
        ASSERT_TRUE(*leave) << "the exit asked about the unsaved card";
        EXPECT_FALSE(run.window->isVisible());
        run.window.reset();
        run.session.reset();
    }
    EXPECT_TRUE(listedLine().startsWith("64,32,hall.prg,")) << listedLine().toStdString();
    EXPECT_EQ(readAll(home.filePath("prgFiles/hall.prg")), playbill()) << "the file is untouched";

    run = startLive(home.path());
    EXPECT_EQ(run.outline(), QStringList({"Hall", "  P1", "    R1", "      T1"})) << "the card comes back full";
}

TEST_F(OperatorCards, AnUnknownCardComingOnLineLeavesTheSelectionAndTheHistoryOfTheEditedCard)
{
    startLinked();
    const NodePath text = NodePath::ofMaterial("Hall", "P1", "R1", "T1");
    run.clickNode(text);
    const NodePath added = run.addMaterial(ActionId::SglTxt);
    ASSERT_EQ(added.level, NodeLevel::Material);
    ASSERT_TRUE(undo()->isEnabled());
    const QString undoText = undo()->text();
    const NodePath chosen = run.selected();
    ASSERT_EQ(chosen.card, text.card);

    ASSERT_TRUE(cardComesOnLine(kLineCode)) << run.outline().join(u'\n').toStdString();
    pump(100);
    EXPECT_TRUE(run.model().findCard(kLineCode)) << "a card of its own";
    EXPECT_EQ(run.selected(), chosen) << "the operator's selection stays";
    EXPECT_TRUE(undo()->isEnabled());
    EXPECT_EQ(undo()->text(), undoText);
    undo()->trigger();
    EXPECT_FALSE(run.model().findMaterial(added.card, added.page, added.region, added.material))
        << "Undo takes back the edit made before the card came";
}

// How the bind offer is answered, and what the card's playbill is then.
struct BindCase {
    const char* name;
    const char* button;       // radio button chosen, none for the default
    bool bind;                // Enter, or Escape
    QSize region;             // R1 afterwards (empty: no region)
    bool undoGivesBack;       // Undo brings R1 back at 64 x 32
};

class BindOfferWindow : public OperatorCards, public ::testing::WithParamInterface<BindCase> {
protected:
    void SetUp() override { writeSettings(kPlaceholder); }
};

TEST_P(BindOfferWindow, SaysBothSizesNamesWhatNoLongerFitsAndKeepsClipsOrEmptiesAsChosen)
{
    const BindCase c = GetParam();
    startLinked();
    run.clickNode(NodePath::ofCard("Hall"));
    QString sizes, outside;
    bool bindIsDefault = false;
    auto offered = whenModal<BindOfferDialog>([&](BindOfferDialog* offer) {
        if (auto* l = offer->findChild<QLabel*>(QStringLiteral("lbSizes")))
            sizes = l->text();
        if (auto* l = offer->findChild<QLabel*>(QStringLiteral("lbOutside")))
            outside = l->text();
        if (auto* b = offer->findChild<QPushButton*>(QStringLiteral("btBind")))
            bindIsDefault = b->isDefault();
        if (const QString shots = qEnvironmentVariable("LEDSIGN_SCREENSHOT_DIR"); !shots.isEmpty() && !c.button)
            offer->grab().save(QDir(shots).filePath(QStringLiteral("bind_offer.png")));
        if (c.button) {
            auto* choice = offer->findChild<QRadioButton*>(QString::fromLatin1(c.button));
            ASSERT_NE(choice, nullptr) << c.button;
            QTest::mouseClick(choice, Qt::LeftButton, {}, QPoint(4, choice->height() / 2));
        }
        QTest::keyClick(offer, c.bind ? Qt::Key_Return : Qt::Key_Escape);
    });
    ASSERT_TRUE(cardComesOnLine(c.bind ? QStringLiteral("Hall") : kLineCode, {"--width", "32", "--height", "16"}))
        << run.outline().join(u'\n').toStdString();
    ASSERT_TRUE(*offered);
    EXPECT_EQ(sizes, lg("bind_offer_sizes").arg(32).arg(16).arg("Hall").arg(64).arg(32));
    EXPECT_EQ(outside, lg("bind_offer_outside").arg("P1 / R1"));
    EXPECT_TRUE(bindIsDefault) << "Enter binds";

    const TFIXModem* hall = run.model().findCard("Hall").record;
    EXPECT_EQ(hall->internalCode, c.bind ? kLineCode : kPlaceholder);
    EXPECT_EQ(QSize(hall->width, hall->height), c.bind ? QSize(32, 16) : QSize(64, 32));
    const TRegion* r = hallRegion();
    EXPECT_EQ(r ? QSize(r->width, r->height) : QSize(), c.region);
    if (c.undoGivesBack) {
        ASSERT_TRUE(undo()->isEnabled());
        undo()->trigger();
        ASSERT_NE(hallRegion(), nullptr);
        EXPECT_EQ(QSize(hallRegion()->width, hallRegion()->height), QSize(64, 32)) << "one step back";
        EXPECT_EQ(run.model().materialNames("Hall", "P1", "R1"), QStringList{"T1"});
    }
}

INSTANTIATE_TEST_SUITE_P(Choices, BindOfferWindow,
                         ::testing::Values(BindCase{"Keep", nullptr, true, QSize(64, 32), false},
                                           BindCase{"Clip", "rbClip", true, QSize(32, 16), true},
                                           BindCase{"Empty", "rbEmpty", true, QSize(), true},
                                           BindCase{"Declined", nullptr, false, QSize(64, 32), false}),
                         [](const ::testing::TestParamInfo<BindCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace ledsign::test
