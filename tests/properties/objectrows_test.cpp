// The rows each kind of object shows: labels, values, choices and buttons.
#include "propertyfixture.h"

#include "model/codedvalues.h"

using namespace ledsign;
using ledsign::test::PropertyFixture;

using ObjectRows = PropertyFixture;

TEST_F(ObjectRows, CardRowsFollowTheCommunicationLayout)
{
    ASSERT_TRUE(session.showCard(QStringLiteral("card1【online】")));
    EXPECT_EQ(session.target().cardName, QStringLiteral("card1"));
    EXPECT_EQ(labels(), (QStringList{"Type", "Name", "Width", "Height", "Screen_Color", "Comm_Mode", "Server_Port",
                                     "Card_Internal_Code", "Card_IP", "Card_Version", "Program_File"}));
    EXPECT_EQ(value(1), QStringLiteral("card1【online】"));
    EXPECT_EQ(value(2), QStringLiteral("256"));
    EXPECT_EQ(value(4), QStringLiteral("single-color"));
    EXPECT_EQ(value(6), QStringLiteral("8900"));
    EXPECT_EQ(value(7), QStringLiteral("1_2_3_4_5_6_7_8"));
    EXPECT_EQ(value(8), QStringLiteral("192.168.0.110"));
    EXPECT_EQ(value(9), QStringLiteral("80"));
    EXPECT_EQ(value(10), QStringLiteral("/data/prg　Files/my　show.prg"));
    for (const PropertyRow& r : session.rows())
        EXPECT_EQ(r.style, RowStyle::Plain);

    settings.commMode = QStringLiteral("Serial Port");
    card().colorType = kColorTri;
    ASSERT_TRUE(session.showCard(QStringLiteral("card1")));
    EXPECT_EQ(labels().mid(6, 3), (QStringList{"Serial", "Baud_Rate", "Card_Internal_Code"}));
    EXPECT_EQ(value(4), QStringLiteral("Tri-color"));
    EXPECT_EQ(value(6), QStringLiteral("/dev/ttyS0"));
    EXPECT_EQ(value(7), QStringLiteral("8900"));

    EXPECT_FALSE(session.showCard(QStringLiteral("nocard")));
    EXPECT_EQ(session.target().level, NodeLevel::None);
    EXPECT_TRUE(session.rows().isEmpty());
}

TEST_F(ObjectRows, PageRowsShowTheDateWithItsSuffix)
{
    ASSERT_TRUE(session.showPage(QStringLiteral("card1"), QStringLiteral("show_page1")));
    EXPECT_EQ(labels(), (QStringList{"Type", "Name", "Play_Start_Time", "Play_Stop_Time", "Play_By_Week",
                                     "Play_By_Date"}));
    EXPECT_EQ(value(0), QStringLiteral("show_page"));
    EXPECT_EQ(value(2), QStringLiteral("00:00"));
    EXPECT_EQ(value(3), QStringLiteral("24:00"));
    EXPECT_EQ(value(5), QStringLiteral("everyday"));
    EXPECT_EQ(session.rows()[4].style, RowStyle::Button);
    EXPECT_EQ(session.rows()[5].style, RowStyle::Button);

    page().playMode = kPlayByDateAlt;
    page().playDate = QStringLiteral("2024-05-01 00:00:00");
    ASSERT_TRUE(session.showPage(QStringLiteral("card1"), QStringLiteral("show_page1")));
    EXPECT_EQ(value(5), QStringLiteral("2024-05-01 00:00:00 After"));
    page().playMode = kPlayByDate;
    ASSERT_TRUE(session.reshow());
    EXPECT_EQ(value(5), QStringLiteral("2024-05-01 00:00:00 Before"));
}

TEST_F(ObjectRows, TextKindsShareTheirRowsAndRemoteTextShowsTwo)
{
    const QString name = addMaterial(kMultiText);
    material(name).displayMode = 1;
    material(name).displaySpeed = 4;
    ASSERT_TRUE(showMaterial(name));
    EXPECT_EQ(labels(), (QStringList{"Type", "Name", "Material_UID", "Play_Times", "Display_Mode",
                                     "Display_Speed(0-Fastest)", "Remain_Time(*5s)"}));
    EXPECT_EQ(value(0), QStringLiteral("multi_text"));
    EXPECT_EQ(value(2), material(name).id);
    EXPECT_EQ(value(4), QStringLiteral("Move from right to left"));
    EXPECT_EQ(session.rows()[4].choices.size(), 17);
    EXPECT_EQ(session.rows()[5].choices, (QStringList{"0", "1", "2", "3", "4", "5", "6", "7", "8"}));
    EXPECT_EQ(value(5), QStringLiteral("4"));

    const QString remote = addMaterial(kRemoteText);
    ASSERT_TRUE(showMaterial(remote));
    EXPECT_EQ(labels(), (QStringList{"Type", "Name"}));
}

TEST_F(ObjectRows, ShowingAMaterialLeavesItsCardUnmodified)
{
    for (int kind : {kSingleText, kMultiText, kTable, kImageGroup, kDateTime}) {
        model.findCard(QStringLiteral("card1")).record->modified = 0;
        ASSERT_TRUE(showMaterial(addMaterial(kind)));
        EXPECT_FALSE(model.findCard(QStringLiteral("card1")).record->modified) << "kind " << kind;
    }
}

TEST_F(ObjectRows, DateRowsUseTheCardsSizesAndFonts)
{
    card().fontSizeCount = 3;
    card().fontCount = 2;
    const QString name = addMaterial(kDateTime);
    TFodder& m = material(name);
    m.digitColor = 3;   // yellow
    m.fontCode = 2;     // shown at list position 3
    m.sizeCode = 2;
    m.textParam2 = 1;   // two-digit years
    m.timeFormat = 3;   // "hhmmss"
    m.timeDiffSign = 1; // lead
    ASSERT_TRUE(showMaterial(name));
    ASSERT_EQ(session.rowCount(), 15);
    EXPECT_EQ(m.fontSizeList, QStringLiteral("12*12;16*16;24*24"));
    EXPECT_EQ(value(3), QStringLiteral("Yellow"));
    EXPECT_EQ(value(5), QStringLiteral("Regular Script_GB2312"));
    EXPECT_EQ(session.rows()[5].choices, (QStringList{"Custom Font", "SimSun"}));
    EXPECT_EQ(value(6), QStringLiteral("24*24"));
    EXPECT_EQ(session.rows()[6].choices, (QStringList{"12*12", "16*16", "24*24"}));
    EXPECT_EQ(value(7), QStringLiteral("Two Digit"));
    EXPECT_EQ(value(8), QStringLiteral("hhmmss"));
    EXPECT_EQ(value(10), QStringLiteral("Lead"));
    EXPECT_EQ(session.rows()[9].choices.size(), 3);
    EXPECT_EQ(session.rows()[14].choices, (QStringList{"Not Rotate", "Word Rotate", "Region Rotate"}));
    EXPECT_EQ(session.rows()[11].style, RowStyle::Plain);
}

TEST_F(ObjectRows, CountKindsShowOneOfTheirTimeLabelsAndAButton)
{
    const QString up = addMaterial(kCountUp);
    ASSERT_TRUE(showMaterial(up));
    ASSERT_EQ(session.rowCount(), 11);
    EXPECT_EQ(session.rows()[9].label, QStringLiteral("Begin_Time"));
    EXPECT_EQ(session.rows()[10].label, QStringLiteral("Remain_Time(*5s)"));
    EXPECT_EQ(session.rows()[9].style, RowStyle::Button);
    EXPECT_EQ(value(9), material(up).content);
    EXPECT_EQ(session.rows()[7].choices.first(), QStringLiteral("DDhhmmss"));

    const QString down = addMaterial(kCountDown);
    material(down).timeFormat = 8; // stored form of "mmss"
    ASSERT_TRUE(showMaterial(down));
    EXPECT_EQ(session.rows()[9].label, QStringLiteral("End_Time"));
    EXPECT_EQ(value(7), QStringLiteral("mmss"));
}

TEST_F(ObjectRows, QueueAcquisitionInternalCodeAnimationAndTable)
{
    const QString queue = addMaterial(kQueue);
    ASSERT_TRUE(showMaterial(queue));
    EXPECT_EQ(session.rowCount(), 8);
    EXPECT_EQ(value(0), QStringLiteral("queue"));
    EXPECT_EQ(value(6), QStringLiteral("8"));
    EXPECT_EQ(session.rows()[5].choices.size(), 24);

    const QString acq = addMaterial(kAcquisition);
    material(acq).displayFormat = 2; // String
    material(acq).timeFormat = 10;
    ASSERT_TRUE(showMaterial(acq));
    ASSERT_EQ(session.rowCount(), 13);
    EXPECT_EQ(session.rows()[3].label, QStringLiteral("Type_No｜Register_Addr"));
    EXPECT_EQ(value(2), QStringLiteral("String"));
    EXPECT_EQ(value(3), QStringLiteral("72-79"));
    EXPECT_EQ(session.rows()[3].choices.size(), 10);
    EXPECT_EQ(session.rows()[10].choices.size(), 8);
    material(acq).displayFormat = 3; // Int
    material(acq).timeFormat = 8390;
    ASSERT_TRUE(showMaterial(acq));
    EXPECT_EQ(value(3), QStringLiteral("8390"));
    EXPECT_EQ(session.rows()[3].choices.first(), QStringLiteral("8384"));

    const QString code = addMaterial(kInternalCodeText);
    ASSERT_TRUE(showMaterial(code));
    EXPECT_EQ(session.rowCount(), 11);
    EXPECT_EQ(session.rows()[3].label, QStringLiteral("Digital_Color"));
    EXPECT_EQ(session.rows()[8].choices.size(), 9);

    const QString movie = addMaterial(kAnimation);
    ASSERT_TRUE(showMaterial(movie));
    EXPECT_EQ(labels(), (QStringList{"Type", "Name", "Frame_Speed", "Remain_Time(*5s)", "Animation_File"}));
    EXPECT_EQ(session.rows()[4].style, RowStyle::Button);
    EXPECT_EQ(value(2), QStringLiteral("10"));

    const QString table = addMaterial(kTable);
    ASSERT_TRUE(showMaterial(table));
    EXPECT_EQ(labels(), (QStringList{"Type", "Name", "Material_UID", "Play_Times", "Display_Speed(0-Fastest)"}));
    EXPECT_EQ(session.rows()[4].style, RowStyle::Choice);
}

TEST_F(ObjectRows, RowsFollowTheLanguage)
{
    ASSERT_TRUE(session.showRegion(QStringLiteral("card1"), QStringLiteral("show_page1"), QStringLiteral("area1")));
    EXPECT_EQ(value(0), QStringLiteral("area"));
    setCurrentLanguage(kSimplifiedChinese);
    ASSERT_TRUE(session.reshow());
    EXPECT_EQ(value(0), QStringLiteral("区域"));
    EXPECT_EQ(value(4), QStringLiteral("128"));
    setCurrentLanguage(kEnglish);
}
