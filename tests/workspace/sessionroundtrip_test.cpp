// A whole working session: a settings file of three cards is read, the
// cards are edited through the window, saved and the program ends; the next
// start finds every card, playbill and setting as it was left.
#include "model/cardlist.h"
#include "model/inifile.h"
#include "model/materialkinds.h"
#include "support/testsupport.h"
#include "windowfixture.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QToolButton>

namespace ledsign::test {
namespace {

QByteArray playbill(const char* text)
{
    return QByteArray("[ProgramList]\r\n"
                      "P1,100000001,pnProgram1,00:00,24:00,everyday,,-1\r\n"
                      "[RegionList]\r\n"
                      "P1,100000001,R1,100000002,pnRegion2,0,0,64,32\r\n"
                      "[FodderList]\r\n"
                      "P1,R1,100000002,T1,100000003,pnSglTxt3,0,1,9,1,1,56,49,49,,1,1,1,1,1,1,1,0,0,0,0,0,0,0,0\r\n"
                      "[TxtContentList]\r\n"
                      "100000003=")
        + text + "\r\n";
}

class SessionRoundTripTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        IniFile ini;
        ini.setValue("LgType", "LgType", "2");
        ini.setValue("GroupName", "GroupName", "East,West");
        ini.setValue("IsShowTips", "IsShowTips", "1");
        ini.setValue("CardsInfo", "East-1", "64,32,east.prg,1_2_3_4_5_6_7_8,192.168.1.9,1:2:3:4:5:6,80,1");
        ini.setValue("CardsInfo", "East-2", "96,48,east2.prg,1_2_3_4_5_6_7_9,192.168.1.10,1:2:3:4:5:7,81,2");
        ini.setValue("CardsInfo", "West-1", "128,64,,1_2_3_4_5_6_7_10,192.168.1.11,1:2:3:4:5:8,,3");
        // Another window's section: not ours, but kept.
        ini.setValue("InnerCodes", "Code1", "1_2_3_4_5_6_7_8");
        ASSERT_TRUE(QDir().mkpath(prg({})));
        ASSERT_TRUE(ini.save(home.filePath("SetCfg.ini")));
        ASSERT_TRUE(writeAll(prg("east.prg"), playbill("hello")));
        ASSERT_TRUE(writeAll(prg("east2.prg"), playbill("second")));
    }

    QString prg(const QString& name) const { return home.path() + "/prgFiles/" + name; }

    QTemporaryDir home;
};

TEST_F(SessionRoundTripTest, EditedCardsAndSettingsComeBackAfterARestart)
{
    QStringList outline;
    QList<CardListLine> before;
    {
        Running run = startRun(home.path());
        ASSERT_EQ(run.outline(), QStringList({"East-1", "  P1", "    R1", "      T1", "East-2", "  P1", "    R1",
                                              "      T1", "West-1"}));

        // East-1: its text is edited and a date and time is added.
        const NodePath t1 = NodePath::ofMaterial("East-1", "P1", "R1", "T1");
        run.window->selectNode(t1);
        run.dialogs->texts.push_back(QStringLiteral("clRed^宋体^12^0^0^0^0^2^1^changed"));
        run.window->showMaterialEditor(run.model().findMaterial("East-1", "P1", "R1", "T1").index);
        run.trigger(ActionId::DateTime);

        // East-2: its only material goes, a second page comes.
        run.window->selectNode(NodePath::ofMaterial("East-2", "P1", "R1", "T1"));
        run.trigger(ActionId::DelFodder);
        run.window->selectCard("East-2");
        run.trigger(ActionId::AddPrg);

        // West-1 (no playbill yet): a page, a region and an internal-code
        // text; then it moves up above East-2.
        run.window->selectCard("West-1");
        run.trigger(ActionId::AddPrg);
        run.trigger(ActionId::AddRgn);
        const NodePath code = addMaterial(run, ActionId::InnerInfo);
        run.dialogs->texts.push_back(QStringLiteral("A1B2"));
        run.window->showMaterialEditor(
            run.model().findMaterial(code.card, code.page, code.region, code.material).index);
        run.window->selectCard("West-1");
        run.window->findChild<QToolButton*>("sBtnUp")->click();

        // Settings of the window: group send, and East-1's playbill opened
        // through the menu (a recent file).
        run.window->findChild<QCheckBox*>("cbAllCard")->setChecked(true);
        run.window->selectCard("East-1");
        run.trigger(ActionId::SavePrg); // to its own file, without asking
        ASSERT_TRUE(run.dialogs->saveNames.empty());
        ASSERT_FALSE(run.model().findCard("East-1").record->modified);
        run.dialogs->openNames.push_back(prg("east.prg"));
        run.trigger(ActionId::InsertPrg);

        outline = run.outline();
        ASSERT_EQ(outline.first(), "East-1");
        ASSERT_TRUE(outline.contains("West-1"));
        ASSERT_LT(outline.indexOf("West-1"), outline.indexOf("East-2"));
        before = run.session->cardListLines();

        // Exit saves what is left: East-2 to its file, West-1 under a new name.
        run.dialogs->yesNoCancel.push_back(MainWindowDialogs::Answer::Yes);
        run.dialogs->saveNames.push_back(prg("west.prg"));
        ASSERT_TRUE(run.window->close());
        ASSERT_TRUE(QFileInfo::exists(prg("west.prg")));
    }

    Running again = startRun(home.path());
    EXPECT_EQ(again.outline(), outline);
    const QList<CardListLine> after = again.session->cardListLines();
    ASSERT_EQ(after.size(), 3);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(before[i].name.toStdString());
        EXPECT_EQ(after[i].name, before[i].name);
        EXPECT_EQ(after[i].width, before[i].width);
        EXPECT_EQ(after[i].height, before[i].height);
        EXPECT_EQ(after[i].internalCode, before[i].internalCode);
        EXPECT_EQ(after[i].ipAddress, before[i].ipAddress);
        EXPECT_EQ(after[i].macAddress, before[i].macAddress);
        EXPECT_EQ(after[i].version, before[i].version);
        EXPECT_EQ(after[i].colorType, before[i].colorType);
    }
    EXPECT_EQ(after[1].programFile, prg("west.prg"));
    EXPECT_EQ(after[1].version, -1) << "an empty version stays unknown";
    EXPECT_EQ(after[2].colorType, kColorDual);

    const auto t1 = again.model().findMaterial("East-1", "P1", "R1", "T1");
    ASSERT_TRUE(t1);
    EXPECT_EQ(t1.record->content, QStringLiteral("clRed^宋体^12^0^0^0^0^2^1^changed"));
    EXPECT_EQ(again.model().materialNames("East-2", "P1", "R1"), QStringList());
    bool codeFound = false;
    for (const TFodder& m : again.model().materials())
        codeFound = codeFound || (m.cardName == "West-1" && m.kind == kInternalCodeText && m.content == "A1B2");
    EXPECT_TRUE(codeFound);

    const AppSettings& s = again.session->settings();
    EXPECT_TRUE(s.isSendAll);
    EXPECT_EQ(s.groupNames, QStringList({"East", "West"}));
    EXPECT_TRUE(s.isShowTips);
    EXPECT_EQ(again.session->recentFiles().entries(), QStringList{prg("east.prg")});
    ASSERT_EQ(again.window->recentFileActions().size(), 2); // separator and the file
    IniFile ini;
    ASSERT_TRUE(ini.load(home.filePath("SetCfg.ini")));
    EXPECT_EQ(ini.value("InnerCodes", "Code1"), QStringLiteral("1_2_3_4_5_6_7_8"));
    EXPECT_EQ(ini.value("LgType", "LgType"), QStringLiteral("2"));

    // Nothing changed since this start: no question on exit.
    EXPECT_TRUE(again.window->close());
    EXPECT_TRUE(again.dialogs->asked.isEmpty());
}

} // namespace
} // namespace ledsign::test
