// Look-up by key and list, on the current table and on loaded data.
#include "language/language.h"
#include "language/languagetable.h"

#include <QBuffer>
#include <gtest/gtest.h>

using namespace ledsign;

TEST(CurrentLanguage, MessagesFollowTheLanguage)
{
    setCurrentLanguage(kEnglish);
    EXPECT_EQ(currentLanguage(), kEnglish);
    EXPECT_EQ(GetLgText(3, QStringLiteral("warn_card_offline")),
              QStringLiteral("Controller is offline, can not send!"));
    EXPECT_EQ(GetLgText(3, QStringLiteral("object_page")), QStringLiteral("show_page"));
    EXPECT_EQ(GetLgText(15, QStringLiteral("Unit_Year")), QStringLiteral("-"));

    setCurrentLanguage(kSimplifiedChinese);
    EXPECT_EQ(currentLanguage(), kSimplifiedChinese);
    EXPECT_EQ(GetLgText(3, QStringLiteral("warn_card_offline")),
              QStringLiteral("控制卡处于离线状态，不能操作！"));
    EXPECT_EQ(GetLgText(3, QStringLiteral("cycle_everyday")), QStringLiteral("每天"));
    EXPECT_EQ(GetLgText(15, QStringLiteral("Unit_Year")), QStringLiteral("年"));

    setCurrentLanguage(kTraditionalChinese);
    EXPECT_EQ(GetLgText(3, QStringLiteral("object_card")), QStringLiteral("控制卡"));
    EXPECT_EQ(GetLgText(3, QStringLiteral("object_file")), QStringLiteral("文件"));

    // Anything but 0 and 1 means English.
    for (int index : {7, -1, 3}) {
        setCurrentLanguage(index);
        EXPECT_EQ(currentLanguage(), kEnglish);
        EXPECT_EQ(GetLgText(3, QStringLiteral("object_area")), QStringLiteral("area"));
    }
}

TEST(CurrentLanguage, KeysAreExactAndMissingOnesGiveEmptyTexts)
{
    setCurrentLanguage(kEnglish);
    EXPECT_EQ(GetLgText(3, QStringLiteral("type_no")), GetLgText(3, QStringLiteral("register_address")));
    EXPECT_EQ(GetLgText(3, QStringLiteral("type_no")), QStringLiteral("Type_No｜Register_Addr"));
    EXPECT_TRUE(GetLgText(3, QStringLiteral("WARN_CARD_OFFLINE")).isEmpty());
    EXPECT_TRUE(GetLgText(3, QStringLiteral("warn_card_offline ")).isEmpty());
    EXPECT_TRUE(GetLgText(3, QStringLiteral("no_such_key")).isEmpty());
    EXPECT_TRUE(GetLgText(5, QStringLiteral("warn_card_offline")).isEmpty());
    EXPECT_TRUE(GetLgText(17, QStringLiteral("warn_card_offline")).isEmpty());
    EXPECT_TRUE(GetLgText(18, QStringLiteral("warn_card_offline")).isEmpty());
    EXPECT_TRUE(GetLgText(-1, QStringLiteral("warn_card_offline")).isEmpty());
    EXPECT_TRUE(GetLgList(99, 0).isEmpty());
    setCurrentLanguage(kSimplifiedChinese);
    EXPECT_EQ(GetLgText(3, QStringLiteral("type_no")), GetLgText(3, QStringLiteral("register_address")));
}

TEST(CurrentLanguage, RepeatedKeysFindTheFirstRowAndListsKeepOrder)
{
    setCurrentLanguage(kSimplifiedChinese);
    EXPECT_EQ(GetLgText(5, QStringLiteral("cbVerAlign")), QStringLiteral("垂直居上"));
    EXPECT_EQ(GetLgList(5, 1), (QStringList{QStringLiteral("垂直居上"), QStringLiteral("垂直居中"),
                                            QStringLiteral("垂直居下")}));
    // Sub 3 is the first "Time_Options" list.
    EXPECT_EQ(GetLgText(11, QStringLiteral("Time_Options")), QStringLiteral("年月日星期时分秒全部显示"));
    EXPECT_EQ(GetLgList(11, 4).size(), 8);
    EXPECT_EQ(GetLgList(11, 2).size(), 17);
    EXPECT_EQ(GetLgList(11, 8).size(), 24);
    EXPECT_EQ(GetOptionText(11, 2, 4), QStringLiteral("从上向下移动;"));

    setCurrentLanguage(kEnglish);
    EXPECT_EQ(GetLgText(5, QStringLiteral("cbVerAlign")), QStringLiteral("Vertical On"));
    EXPECT_EQ(GetLgList(5, 1), (QStringList{QStringLiteral("Vertical On"), QStringLiteral("Vertically"),
                                            QStringLiteral("Vertical under")}));
    EXPECT_EQ(GetLgList(11, 1).size(), 7);
    EXPECT_EQ(GetOptionText(11, 1, 5), QStringLiteral("Cyan"));
    EXPECT_EQ(GetOptionText(11, 1, 0), QStringLiteral("Red"));
    EXPECT_TRUE(GetOptionText(11, 1, 7).isEmpty());
    EXPECT_TRUE(GetOptionText(11, 1, -1).isEmpty());
    EXPECT_TRUE(GetOptionText(11, 42, 0).isEmpty());
    // Sub 2 of category 10 is the list-view column pair.
    EXPECT_EQ(GetLgList(10, 2), (QStringList{QStringLiteral("Order Num"), QStringLiteral("Internal Code")}));
    EXPECT_EQ(GetLgList(16, 1).size(), 4);
}

TEST(CurrentLanguage, PlayByWeekListIsFoundByTheRowText)
{
    setCurrentLanguage(kEnglish);
    const QStringList labels = GetLgList(2, 2);
    ASSERT_EQ(labels.size(), 12);
    EXPECT_EQ(labels.at(4), QStringLiteral("Play_By_Week"));
    EXPECT_EQ(labels.at(8), QStringLiteral(" Before"));

    const QStringList items = GetLgList(2, 2, QStringLiteral("Play_By_Week"));
    ASSERT_EQ(items.size(), 14);
    EXPECT_EQ(items.first(), QStringLiteral("Select_Play_Date"));
    EXPECT_EQ(items.at(6), QStringLiteral("Thurday"));
    EXPECT_EQ(items.last(), QStringLiteral("Please　choice　week　items　to　set!"));
    // Other subs and rows without items give nothing.
    EXPECT_TRUE(GetLgList(2, 1, QStringLiteral("Play_By_Week")).isEmpty());
    EXPECT_TRUE(GetLgList(2, 2, QStringLiteral("Name")).isEmpty());

    // The key is matched against the text, never the row's key.
    setCurrentLanguage(kSimplifiedChinese);
    EXPECT_TRUE(GetLgList(2, 2, QStringLiteral("Play_By_Week")).isEmpty());
    EXPECT_TRUE(GetLgList(2, 2, QStringLiteral("vLEditor")).isEmpty());
    const QStringList zh = GetLgList(2, 2, GetOptionText(2, 2, 4));
    ASSERT_EQ(zh.size(), 14);
    EXPECT_EQ(zh.at(3), QStringLiteral("星期一"));
    EXPECT_EQ(zh.last(), QStringLiteral("请选择星期项进行设置！"));

    setCurrentLanguage(kTraditionalChinese);
    EXPECT_EQ(GetLgList(2, 2, GetOptionText(2, 2, 4)).size(), 14);
}

TEST(TableReader, ReadsEscapesItemsAndSkipsUnknownCategories)
{
    const QByteArray data = "0\t0\tfrmMain\tCaption \t\r\n"
                            "3\t0\tmsg\ttab\\there\\nline\\\\\t\n"
                            "\n"
                            "18\t0\tlost\tnever\t\n"
                            "2\t2\tvLEditor\tWeek\tMon,\"Tue Wed\",,Fri\n"
                            "3\t0\tmsg\tsecond\t\n";
    LanguageTable table;
    ASSERT_TRUE(table.read(data, QStringLiteral("V9")));
    EXPECT_EQ(table.rowCount(), 4);
    EXPECT_EQ(table.text(0, QStringLiteral("frmMain")), QStringLiteral("Caption V9"));
    EXPECT_EQ(table.text(3, QStringLiteral("msg")), QStringLiteral("tab\there\nline\\"));
    EXPECT_EQ(table.list(2, 2, QStringLiteral("Week")),
              (QStringList{QStringLiteral("Mon"), QStringLiteral("Tue Wed"), QString(), QStringLiteral("Fri")}));
    EXPECT_EQ(table.list(3, 0).size(), 2);
    ASSERT_NE(table.rowForName(3, QStringLiteral("msg")), nullptr);
    EXPECT_EQ(table.rowForName(3, QStringLiteral("msg"))->text, table.text(3, QStringLiteral("msg")));
}

TEST(TableReader, RejectsMalformedDataWithoutKeepingHalfATable)
{
    LanguageTable table;
    ASSERT_TRUE(table.read(QByteArray("3\t0\tkey\ttext\t\n"), QString()));
    for (const QByteArray& bad : {QByteArray("3\t0\tkey\ttext\t\nthree\t0\tk\tt\t\n"),
                                  QByteArray("3\t0\tkey\ttext\t\n3\tx\tk\tt\t\n"),
                                  QByteArray("3\t0\tkey\ttext\t\n3\t0\tk\tt\n"),
                                  QByteArray("3\t0\tkey\ttext\t\n3\t0\tk\tt\ti\textra\n")}) {
        EXPECT_FALSE(table.read(bad, QString()));
        EXPECT_TRUE(table.errorString().contains(QLatin1String("line 2")));
        EXPECT_EQ(table.rowCount(), 0);
        EXPECT_TRUE(table.text(3, QStringLiteral("key")).isEmpty());
    }
    EXPECT_FALSE(table.load(QStringLiteral("/nonexistent/table.tsv"), QString()));
    EXPECT_FALSE(table.errorString().isEmpty());
    QBuffer closed;
    closed.setData("3\t0\tk\tt\t\n");
    EXPECT_TRUE(table.read(closed, QString()));
    EXPECT_EQ(table.text(3, QStringLiteral("k")), QStringLiteral("t"));
}
