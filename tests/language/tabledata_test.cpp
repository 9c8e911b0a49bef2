// The three built-in tables: sizes, row-by-row alignment, the caption row and
// the traditional texts.
#include "language/languagetable.h"

#include <QRegularExpression>

#include <array>
#include <QStringDecoder>
#include <QStringEncoder>
#include <gtest/gtest.h>

using namespace ledsign;

namespace {

const LanguageTable& table(int language)
{
    static const LanguageTable tables[3] = {LanguageTable::builtIn(0), LanguageTable::builtIn(1),
                                            LanguageTable::builtIn(2)};
    return tables[language];
}

// The card's rows only, without the program's own messages.
const LanguageTable& cardRows(int language)
{
    static const std::array<LanguageTable, 3> tables = [] {
        std::array<LanguageTable, 3> t;
        for (int i = 0; i < 3; ++i)
            t[i].load(LanguageTable::resourcePath(i), QString());
        return t;
    }();
    return tables[language];
}

bool sameRowPlace(const rLgMap& a, const rLgMap& b)
{
    return a.category == b.category && a.sub == b.sub && a.key == b.key;
}

} // namespace

TEST(BuiltInTables, HaveTheExpectedRowCounts)
{
    EXPECT_EQ(cardRows(0).rowCount(), 613);
    EXPECT_EQ(cardRows(1).rowCount(), 612);
    EXPECT_EQ(cardRows(2).rowCount(), 613);
    EXPECT_TRUE(table(1).rows(17).isEmpty());
    for (int category = 0; category <= 16; ++category)
        EXPECT_FALSE(table(0).rows(category).isEmpty()) << "category " << category;
    EXPECT_EQ(cardRows(0).rows(3).size(), 132);
    EXPECT_EQ(table(0).rows(2).size(), 107);
    EXPECT_EQ(table(0).rows(11).size(), 94);
}

TEST(BuiltInTables, LineUpRowByRow)
{
    const LanguageTable& zh = table(0);
    const LanguageTable& tw = table(1);
    const LanguageTable& en = table(2);
    ASSERT_EQ(zh.rowCount(), en.rowCount());
    for (int i = 0; i < zh.rowCount(); ++i)
        ASSERT_TRUE(sameRowPlace(zh.rowInOrder(i), en.rowInOrder(i))) << "row " << i;

    // The traditional table is the same list without the USB-disk export row.
    int skipped = 0;
    for (int i = 0; i < zh.rowCount(); ++i) {
        const rLgMap& row = zh.rowInOrder(i);
        if (row.category == 1 && row.key == QLatin1String("actExport2UDisk")) {
            ++skipped;
            continue;
        }
        ASSERT_TRUE(sameRowPlace(row, tw.rowInOrder(i - skipped))) << "row " << i;
        EXPECT_EQ(row.items.size(), tw.rowInOrder(i - skipped).items.size()) << "row " << i;
    }
    EXPECT_EQ(skipped, 1);
    EXPECT_EQ(tw.rowForName(1, QStringLiteral("actExport2UDisk")), nullptr);
    EXPECT_EQ(zh.text(1, QStringLiteral("actExport2UDisk")), QStringLiteral("导出到U盘"));
}

TEST(BuiltInTables, MainCaptionCarriesTheVersion)
{
    EXPECT_EQ(table(0).text(0, QStringLiteral("frmMain")), QStringLiteral("LED显示屏编辑软件 V2.50"));
    EXPECT_EQ(table(1).text(0, QStringLiteral("frmMain")), QStringLiteral("LED顯示屏應用 V2.50"));
    EXPECT_EQ(table(2).text(0, QStringLiteral("frmMain")), QStringLiteral("LED Edit Softwear V2.50"));
    // Only that row gets it.
    EXPECT_EQ(table(2).text(0, QStringLiteral("cbAllCard")), QStringLiteral("All"));
}

TEST(BuiltInTables, TraditionalTextsAreConvertedAndKeepTheirSuffixes)
{
    const LanguageTable& zh = table(0);
    const LanguageTable& tw = table(1);
    EXPECT_EQ(tw.text(3, QStringLiteral("warn_card_offline")),
              QStringLiteral("控制卡處於離線狀態，不能操作！"));
    EXPECT_EQ(tw.text(1, QStringLiteral("actFile")), QStringLiteral("文件(&F)"));
    EXPECT_EQ(tw.text(1, QStringLiteral("actSoftTools")), QStringLiteral("軟件工具(&T)"));

    // Accelerator suffixes, leading blanks and empty texts survive the conversion,
    // and no simplified-only character is left where the simplified text has one.
    const QRegularExpression suffix(QStringLiteral("\\(&[A-Z]\\)$"));
    const QString simplifiedOnly = QStringLiteral("显页删发时关节单设");
    int changed = 0;
    for (int category = 0; category < LanguageTable::kCategoryCount; ++category) {
        const QList<rLgMap>& source = zh.rows(category);
        const QList<rLgMap>& converted = tw.rows(category);
        int j = 0;
        for (const rLgMap& row : source) {
            if (category == 1 && row.key == QLatin1String("actExport2UDisk"))
                continue;
            const QString& text = converted.at(j++).text;
            EXPECT_EQ(suffix.match(row.text).captured(), suffix.match(text).captured()) << qPrintable(text);
            EXPECT_EQ(row.text.startsWith(u' '), text.startsWith(u' ')) << qPrintable(text);
            EXPECT_EQ(row.text.size() == 0, text.size() == 0);
            for (QChar c : simplifiedOnly)
                EXPECT_FALSE(text.contains(c)) << qPrintable(text);
            if (text != row.text)
                ++changed;
        }
    }
    EXPECT_GT(changed, 400);
}

TEST(BuiltInTables, TraditionalTextsFitTheBig5CodePage)
{
    QStringEncoder big5("Big5");
    if (!big5.isValid())
        GTEST_SKIP() << "this Qt has no Big5 codec";
    const LanguageTable& tw = table(1);
    for (int i = 0; i < tw.rowCount(); ++i) {
        const rLgMap& row = tw.rowInOrder(i);
        QStringList texts = row.items;
        texts.append(row.text);
        for (const QString& text : texts) {
            QStringEncoder encoder("Big5");
            const QByteArray bytes = encoder.encode(text);
            QStringDecoder decoder("Big5");
            EXPECT_EQ(QString(decoder.decode(bytes)), text) << "row " << i;
        }
    }
}

TEST(BuiltInTables, EndWithTheSameOwnMessagesInEveryLanguage)
{
    const int own = table(0).rowCount() - cardRows(0).rowCount();
    ASSERT_GT(own, 0);
    for (int language = 1; language < 3; ++language)
        EXPECT_EQ(table(language).rowCount() - cardRows(language).rowCount(), own) << "language " << language;
    for (int i = 0; i < own; ++i) {
        const rLgMap& row = table(0).rowInOrder(cardRows(0).rowCount() + i);
        for (int language = 0; language < 3; ++language) {
            const LanguageTable& t = table(language);
            const rLgMap& same = t.rowInOrder(cardRows(language).rowCount() + i);
            EXPECT_TRUE(sameRowPlace(row, same)) << row.key.toStdString();
            EXPECT_FALSE(same.text.isEmpty()) << row.key.toStdString();
            // Never a second row for a key the card's table already has.
            EXPECT_TRUE(cardRows(language).text(row.category, row.key).isEmpty()) << row.key.toStdString();
            EXPECT_EQ(t.text(row.category, row.key), same.text);
        }
    }
    EXPECT_FALSE(table(0).text(3, QStringLiteral("warn_count_time_invalid")).isEmpty());
}
