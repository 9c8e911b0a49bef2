// Applying typed values and dialog results to the records.
#include "propertyfixture.h"

#include "model/codedvalues.h"

#include <QTemporaryDir>

using namespace ledsign;
using ledsign::test::PropertyFixture;

using ApplyChange = PropertyFixture;

TEST_F(ApplyChange, NothingIsAppliedWhileBusyOrWithNothingShown)
{
    EXPECT_FALSE(session.applyRowChange(1, QStringLiteral("x")).cardModified);
    ASSERT_TRUE(session.showPage(QStringLiteral("card1"), QStringLiteral("show_page1")));
    {
        PropertySession::BusyScope busy(session);
        EXPECT_FALSE(session.applyRowChange(2, QStringLiteral("8:5")).cardModified);
    }
    EXPECT_EQ(page().startTime, QStringLiteral("00:00"));
    EXPECT_FALSE(session.applyRowChange(6, QStringLiteral("x")).cardModified); // no such row
    // The record went away behind the editor's back.
    model.removePage(QStringLiteral("card1"), QStringLiteral("show_page1"));
    EXPECT_FALSE(session.applyRowChange(2, QStringLiteral("8:5")).cardModified);
}

TEST_F(ApplyChange, CardRowsOnlyRename)
{
    ASSERT_TRUE(session.showCard(QStringLiteral("card1")));
    EXPECT_FALSE(session.applyRowChange(2, QStringLiteral("64")).cardModified);
    EXPECT_EQ(card().width, 256);

    RowChange change = session.applyRowChange(1, QStringLiteral("  lobby  "));
    EXPECT_TRUE(change.renamed);
    EXPECT_EQ(change.oldName, QStringLiteral("card1"));
    EXPECT_EQ(change.nodeText, QStringLiteral("lobby"));
    ASSERT_TRUE(model.findCard(QStringLiteral("lobby")));
    EXPECT_EQ(model.pages().first().cardName, QStringLiteral("lobby"));
    EXPECT_EQ(session.target().cardName, QStringLiteral("lobby"));

    // A "【" would cut the name off its node; the part before it is the name.
    change = session.applyRowChange(1, QStringLiteral("hall【2】"));
    EXPECT_EQ(change.nodeText, QStringLiteral("hall"));
    EXPECT_TRUE(model.findCard(QStringLiteral("hall")));

    // Empty and unchanged names change nothing; the row shows the name again.
    change = session.applyRowChange(1, QStringLiteral("   "));
    EXPECT_FALSE(change.renamed);
    EXPECT_EQ(value(1), QStringLiteral("hall"));
}

TEST_F(ApplyChange, TheInternalCodeRowTakesEightNumbersAndTellsTheCardIndex)
{
    ASSERT_TRUE(session.showCard(QStringLiteral("card1")));
    ASSERT_EQ(session.rows().at(7).label, QStringLiteral("Card_Internal_Code"));
    EXPECT_FALSE(session.rows().at(7).readOnly);
    EXPECT_TRUE(session.rows().at(8).readOnly) << "the card's address is the card's";

    RowChange change = session.applyRowChange(7, QStringLiteral("1_2_3_256_5_6_7_8"));
    EXPECT_EQ(change.message, GetLgText(3, QStringLiteral("warn_codes_input")));
    EXPECT_FALSE(change.cardListChanged);
    EXPECT_EQ(card().internalCode, QStringLiteral("1_2_3_4_5_6_7_8"));
    EXPECT_EQ(value(7), QStringLiteral("1_2_3_4_5_6_7_8")) << "the old code shows again";

    change = session.applyRowChange(7, QStringLiteral("10_0_0_0_0_0_0_02"));
    EXPECT_TRUE(change.message.isEmpty());
    EXPECT_TRUE(change.cardListChanged);
    EXPECT_FALSE(change.cardModified) << "the playbill did not change";
    EXPECT_EQ(card().internalCode, QStringLiteral("10_0_0_0_0_0_0_2"));
    EXPECT_EQ(value(7), QStringLiteral("10_0_0_0_0_0_0_2"));
    EXPECT_EQ(model.findCardsByInternalCode(QStringLiteral("10_0_0_0_0_0_0_2")), QList<qsizetype>{0});
    EXPECT_TRUE(model.findCardsByInternalCode(QStringLiteral("1_2_3_4_5_6_7_8")).isEmpty());

    // On a serial line the code comes after the port and the baud rate; a
    // card on the line keeps the code it reported.
    settings.commMode = GetLgText(3, QStringLiteral("comm_param_serial_port"));
    card().online = 1;
    ASSERT_TRUE(session.showCard(QStringLiteral("card1")));
    ASSERT_EQ(session.rows().at(8).label, QStringLiteral("Card_Internal_Code"));
    EXPECT_TRUE(session.rows().at(8).readOnly);
    session.applyRowChange(8, QStringLiteral("7_7_7_7_7_7_7_7"));
    EXPECT_EQ(card().internalCode, QStringLiteral("10_0_0_0_0_0_0_2"));
}

TEST_F(ApplyChange, PageTimesAndRename)
{
    ASSERT_TRUE(session.showPage(QStringLiteral("card1"), QStringLiteral("show_page1")));
    RowChange change = session.applyRowChange(2, QStringLiteral("8:5"));
    EXPECT_TRUE(change.cardModified);
    EXPECT_EQ(page().startTime, QStringLiteral("08:50"));
    EXPECT_EQ(value(2), QStringLiteral("08:50"));
    session.applyRowChange(3, QStringLiteral("abc"));
    EXPECT_EQ(page().endTime, QStringLiteral("24:00"));
    EXPECT_EQ(value(3), QStringLiteral("24:00"));

    // A name taken by the other page gets the page word and a free number.
    change = session.applyRowChange(1, QStringLiteral("show_page2"));
    EXPECT_TRUE(change.renamed);
    EXPECT_NE(change.nodeText, QStringLiteral("show_page2"));
    EXPECT_TRUE(change.nodeText.startsWith(QStringLiteral("show_page")));
    EXPECT_EQ(model.regions().first().pageName, change.nodeText);
}

TEST_F(ApplyChange, RegionGeometryIsKeptOnThePage)
{
    ASSERT_TRUE(session.showRegion(QStringLiteral("card1"), QStringLiteral("show_page1"), QStringLiteral("area1")));
    RowChange change = session.applyRowChange(2, QStringLiteral("200"));
    EXPECT_TRUE(change.geometryChanged);
    EXPECT_TRUE(change.cardModified);
    EXPECT_EQ(region().left, 200);
    EXPECT_EQ(region().width, 56);
    EXPECT_EQ(value(4), QStringLiteral("56"));
    EXPECT_EQ(change.rowsRewritten, (QList<int>{2, 3, 4, 5}));

    session.applyRowChange(2, QStringLiteral("13"));
    EXPECT_EQ(region().left, 16);
    session.applyRowChange(4, QStringLiteral("5"));
    EXPECT_EQ(region().width, 12);
    session.applyRowChange(5, QStringLiteral("5"));
    EXPECT_EQ(region().height, 12);
    session.applyRowChange(3, QStringLiteral("130"));
    EXPECT_EQ(region().top, 0);

    change = session.applyRowChange(1, QStringLiteral("banner"));
    EXPECT_TRUE(change.renamed);
    EXPECT_TRUE(model.findRegion(QStringLiteral("card1"), QStringLiteral("show_page1"), QStringLiteral("banner")));
}

TEST_F(ApplyChange, MaterialNumbersIdentifiersAndStayTimes)
{
    const QString name = addMaterial(kSingleText, QStringLiteral("111111111"));
    const QString other = addMaterial(kMultiText, QStringLiteral("000000012"));
    ASSERT_TRUE(showMaterial(name));

    RowChange change = session.applyRowChange(2, QStringLiteral("abc"));
    EXPECT_EQ(material(name).id, QStringLiteral("000000000"));
    EXPECT_TRUE(change.cardModified);
    EXPECT_TRUE(change.rerender);
    EXPECT_TRUE(change.redraw);
    // An identifier of another material of the card is refused: the
    // playbill finds a material's text by its identifier.
    session.applyRowChange(2, QStringLiteral("12"));
    EXPECT_EQ(material(name).id, QStringLiteral("000000000"));
    EXPECT_EQ(value(2), QStringLiteral("000000000"));
    material(other).id = QStringLiteral("300000000");
    session.applyRowChange(2, QStringLiteral("12"));
    EXPECT_EQ(material(name).id, QStringLiteral("000000012"));

    session.applyRowChange(3, QStringLiteral("x"));
    EXPECT_EQ(material(name).playTimes, 1);
    session.applyRowChange(5, QStringLiteral("fast"));
    EXPECT_EQ(material(name).displaySpeed, 3);
    session.applyRowChange(6, QStringLiteral("300"));
    EXPECT_EQ(material(name).remainTime, 255);
    EXPECT_EQ(value(6), QStringLiteral("255"));
    session.applyRowChange(6, QStringLiteral("0"));
    EXPECT_EQ(material(name).remainTime, 0);
    session.applyRowChange(6, QStringLiteral("?"));
    EXPECT_EQ(material(name).remainTime, 5);

    session.applyRowChange(4, QStringLiteral("Down blinds"));
    EXPECT_EQ(material(name).displayMode, 16);
    session.applyRowChange(4, QStringLiteral("sideways"));
    EXPECT_EQ(material(name).displayMode, -1);
}

TEST_F(ApplyChange, ChoicesGoThroughTheirAccessors)
{
    card().fontCount = 3;
    const QString name = addMaterial(kDateTime);
    ASSERT_TRUE(showMaterial(name));
    session.applyRowChange(3, QStringLiteral("Blue"));
    EXPECT_EQ(material(name).digitColor, 4);
    session.applyRowChange(5, QStringLiteral("SimHei"));
    EXPECT_EQ(material(name).fontCode, 3); // list position 2 is card font 3
    // A font the card does not offer is no choice of the row.
    session.applyRowChange(5, QStringLiteral("Clerical Script"));
    EXPECT_EQ(material(name).fontCode, -1);
    session.applyRowChange(6, QStringLiteral("48*48"));
    EXPECT_EQ(material(name).sizeCode, 4);
    session.applyRowChange(6, QStringLiteral("huge"));
    EXPECT_EQ(material(name).sizeCode, 4);
    session.applyRowChange(7, QStringLiteral("Two Digit"));
    EXPECT_EQ(material(name).textParam2, 1);
    session.applyRowChange(8, QStringLiteral("Week"));
    EXPECT_EQ(material(name).timeFormat, 5);
    session.applyRowChange(9, QStringLiteral("MM/DD/YYYY HH:MM:SS"));
    EXPECT_EQ(material(name).displayFormat, 3);
    session.applyRowChange(10, QStringLiteral("Lead"));
    EXPECT_EQ(material(name).timeDiffSign, 1);
    session.applyRowChange(11, QStringLiteral("-3"));
    EXPECT_EQ(material(name).diffHours, -3);
    session.applyRowChange(13, QStringLiteral("999"));
    EXPECT_EQ(material(name).remainTime, 255);
    session.applyRowChange(14, QStringLiteral("Region Rotate"));
    EXPECT_EQ(material(name).rotateMode, 2);

    const QString queue = addMaterial(kQueue);
    ASSERT_TRUE(showMaterial(queue));
    RowChange change = session.applyRowChange(5, QStringLiteral("All red"));
    EXPECT_EQ(material(queue).charColor, 22); // pairing 21 stored + 1
    EXPECT_FALSE(change.rerender); // a queue is not rendered here
    EXPECT_TRUE(change.cardModified);
    session.applyRowChange(2, QStringLiteral("x"));
    EXPECT_EQ(material(queue).displayFormat, 1);
    session.applyRowChange(6, QStringLiteral("x"));
    EXPECT_EQ(material(queue).displaySpeed, 8);
}

TEST_F(ApplyChange, AcquisitionDataTypeRebuildsTheTypeNumbers)
{
    const QString name = addMaterial(kAcquisition);
    ASSERT_TRUE(showMaterial(name));
    RowChange change = session.applyRowChange(2, QStringLiteral("String"));
    EXPECT_TRUE(change.rowsRewritten.contains(3));
    EXPECT_EQ(session.rows()[3].choices.first(), QStringLiteral("0-7"));
    EXPECT_EQ(session.rows()[3].choices.size(), 10);
    EXPECT_EQ(value(3), QStringLiteral("0-7"));
    EXPECT_EQ(material(name).timeFormat, 1);

    session.applyRowChange(3, QStringLiteral("72-79"));
    EXPECT_EQ(material(name).timeFormat, 10);
    ASSERT_TRUE(showMaterial(name));
    EXPECT_EQ(value(3), QStringLiteral("72-79"));
    // A text that is none of the ranges keeps the stored number.
    session.applyRowChange(3, QStringLiteral("80-87"));
    EXPECT_EQ(material(name).timeFormat, 10);
    EXPECT_EQ(value(3), QStringLiteral("72-79"));

    session.applyRowChange(2, QStringLiteral("Long Int"));
    EXPECT_EQ(material(name).timeFormat, 16576);
    session.applyRowChange(3, QStringLiteral("16580"));
    EXPECT_EQ(material(name).timeFormat, 16580);

    session.applyRowChange(4, QStringLiteral("℃温度单位"));
    EXPECT_EQ(material(name).content, QStringLiteral("℃温度单"));
    session.applyRowChange(6, QStringLiteral("Green"));
    EXPECT_EQ(material(name).digitColor, 2);
    EXPECT_EQ(material(name).charColor, 2);
    session.applyRowChange(10, QStringLiteral("400"));
    EXPECT_EQ(material(name).diffHours, 255);
    session.applyRowChange(11, QStringLiteral("6"));
    EXPECT_EQ(material(name).diffMinutes, 6);
    session.applyRowChange(9, QStringLiteral("Right"));
    EXPECT_EQ(material(name).textParam2, 2);
    session.applyRowChange(5, QStringLiteral("30"));
    EXPECT_EQ(material(name).timeDiffSign, 30);
}

TEST_F(ApplyChange, CustomFontOffersEverySizeToInternalCodeText)
{
    card().fontSizeCount = 2;
    const QString name = addMaterial(kInternalCodeText);
    ASSERT_TRUE(showMaterial(name));
    EXPECT_EQ(session.rows()[5].choices.size(), 2);
    RowChange change = session.applyRowChange(4, QStringLiteral("Custom Font"));
    EXPECT_EQ(material(name).fontCode, 0);
    EXPECT_TRUE(change.rowsRewritten.contains(5));
    EXPECT_EQ(session.rows()[5].choices.size(), 8);
    EXPECT_EQ(value(5), QStringLiteral("16*16"));
    session.applyRowChange(5, QStringLiteral("96*96"));
    EXPECT_EQ(material(name).sizeCode, 7);
    // Back to a card font: the card's two sizes, and the stored size stays
    // in view even though it is beyond them.
    session.applyRowChange(4, QStringLiteral("SimSun"));
    EXPECT_EQ(session.rows()[5].choices.size(), 2);
    EXPECT_EQ(value(5), QStringLiteral("96*96"));
    EXPECT_EQ(material(name).sizeCode, 7);
    session.applyRowChange(3, QStringLiteral("Purple"));
    EXPECT_EQ(material(name).charColor, 5);
}

TEST_F(ApplyChange, CountTimesAreCheckedAndFullWidthSpacesBecomeSpaces)
{
    const QString name = addMaterial(kCountDown);
    material(name).content = QStringLiteral("2024-01-01　08:00:00");
    ASSERT_TRUE(showMaterial(name));
    // Any change normalises the stored time.
    session.applyRowChange(3, QStringLiteral("Red"));
    EXPECT_EQ(material(name).content, QStringLiteral("2024-01-01 08:00:00"));

    session.applyRowChange(9, QStringLiteral("2025-12-31　23:59:59"));
    EXPECT_EQ(material(name).content, QStringLiteral("2025-12-31 23:59:59"));
    EXPECT_EQ(value(9), QStringLiteral("2025-12-31 23:59:59"));
    session.applyRowChange(9, QStringLiteral("tomorrow"));
    EXPECT_EQ(material(name).content, QStringLiteral("2025-12-31 23:59:59"));
    EXPECT_EQ(value(9), QStringLiteral("2025-12-31 23:59:59"));

    session.applyRowChange(7, QStringLiteral("mmss"));
    EXPECT_EQ(material(name).timeFormat, 8);
    session.applyRowChange(8, QStringLiteral("Yes"));
    EXPECT_EQ(material(name).timeDiffSign, 1);

    const DialogRequest request = session.editButtonClick(9);
    EXPECT_EQ(request.kind, DialogKind::CountTime);
    EXPECT_EQ(request.text, QStringLiteral("2025-12-31 23:59:59"));
    EXPECT_TRUE(request.choiceHidden);
    EXPECT_EQ(request.windowHeight, 220);
    session.acceptCountTime(QStringLiteral("2026-02-01 10:00:00"));
    EXPECT_EQ(material(name).content, QStringLiteral("2026-02-01 10:00:00"));
    EXPECT_EQ(session.editButtonClick(8).kind, DialogKind::None);
}

TEST_F(ApplyChange, RemoteTextOnlyRenamesAndACancelledAnimationChooserClearsTheFile)
{
    const QString remote = addMaterial(kRemoteText);
    ASSERT_TRUE(showMaterial(remote));
    RowChange change = session.applyRowChange(1, QStringLiteral("news"));
    EXPECT_TRUE(change.renamed);
    EXPECT_FALSE(change.rerender);
    EXPECT_EQ(session.target().materialName, QStringLiteral("news"));
    EXPECT_FALSE(session.applyRowChange(0, QStringLiteral("x")).cardModified);

    QTemporaryDir dir;
    const QString gif = dir.filePath(QStringLiteral("a.gif"));
    QFile f(gif);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    const QString movie = addMaterial(kAnimation);
    material(movie).content = gif;
    ASSERT_TRUE(showMaterial(movie));
    DialogRequest request = session.editButtonClick(4);
    EXPECT_EQ(request.kind, DialogKind::AnimationFile);
    EXPECT_EQ(request.filter, QStringLiteral("gif(*.gif)|*.gif"));
    EXPECT_EQ(request.startFile, gif);
    // Cancelled: the row and the material are left without a file.
    EXPECT_TRUE(session.acceptAnimationFile(QString()).cardModified);
    EXPECT_EQ(material(movie).content, QString());
    EXPECT_EQ(value(4), QString());
    session.acceptAnimationFile(QStringLiteral("/tmp/other.gif"));
    EXPECT_EQ(material(movie).content, QStringLiteral("/tmp/other.gif"));
    request = session.editButtonClick(4);
    EXPECT_TRUE(request.startFile.isEmpty()); // that file does not exist
    session.applyRowChange(2, QStringLiteral("4"));
    EXPECT_EQ(material(movie).displaySpeed, 4);
}

TEST_F(ApplyChange, PageDialogs)
{
    ASSERT_TRUE(session.showPage(QStringLiteral("card1"), QStringLiteral("show_page1")));
    DialogRequest week = session.editButtonClick(4);
    EXPECT_EQ(week.kind, DialogKind::PlayByWeek);
    EXPECT_EQ(week.items.size(), 14);
    EXPECT_EQ(week.note, QStringLiteral("Note: Two or more display pages fit the setting"));

    RowChange change = session.acceptPlayByWeek(true, QStringLiteral("1;3;5"));
    EXPECT_TRUE(change.cardModified);
    EXPECT_EQ(page().playCycle, QStringLiteral("1;3;5"));
    EXPECT_EQ(page().playMode, kPlayByWeek);
    EXPECT_EQ(value(4), QStringLiteral("1;3;5"));
    EXPECT_EQ(value(5), QStringLiteral("everyday"));
    EXPECT_FALSE(session.acceptPlayByWeek(true, QStringLiteral("1;9")).cardModified);
    EXPECT_EQ(page().playCycle, QStringLiteral("1;3;5"));

    DialogRequest date = session.editButtonClick(5);
    EXPECT_EQ(date.kind, DialogKind::PlayByDate);
    EXPECT_EQ(date.items, (QStringList{"everyday", "Play Before Date", "Play After Date"}));
    EXPECT_TRUE(date.text.isEmpty());
    EXPECT_EQ(date.choice, 0);

    session.acceptPlayByDate(2, QStringLiteral("2024-05-01 00:00:00"));
    EXPECT_EQ(page().playMode, kPlayByDateAlt);
    EXPECT_EQ(page().playDate, QStringLiteral("2024-05-01 00:00:00"));
    EXPECT_EQ(page().playCycle, QStringLiteral("everyday"));
    EXPECT_EQ(value(5), QStringLiteral("2024-05-01 00:00:00 After"));
    EXPECT_EQ(value(4), QStringLiteral("everyday"));
    date = session.editButtonClick(5);
    EXPECT_EQ(date.choice, 2);
    // The dialog gets the stored date: the row's " After" reads as no date.
    EXPECT_EQ(date.text, QStringLiteral("2024-05-01 00:00:00"));

    // A date that does not read is refused and nothing changes.
    EXPECT_FALSE(session.acceptPlayByDate(1, QStringLiteral("someday")).cardModified);
    EXPECT_EQ(page().playMode, kPlayByDateAlt);

    session.acceptPlayByDate(0, QStringLiteral("2024-05-01 00:00:00"));
    EXPECT_EQ(page().playMode, kPlayEveryDay);
    EXPECT_TRUE(page().playDate.isEmpty());
    EXPECT_EQ(value(4), QStringLiteral("everyday"));
    EXPECT_EQ(value(5), QStringLiteral("everyday"));

    // The rows the dialogs write only mark the card modified when applied.
    change = session.applyRowChange(5, QStringLiteral("typed"));
    EXPECT_TRUE(change.cardModified);
    EXPECT_EQ(value(5), QStringLiteral("everyday"));
    EXPECT_EQ(session.editButtonClick(2).kind, DialogKind::None);
}
