// A table with more rows than its pictures carry: render, export and send
// say which rows the card never gets.
#include "clifixture.h"

#include "content/tablepieces.h"

using namespace ledsign;
using namespace ledsign::test;

TEST_F(CliTest, RowsOfATableThatCannotBeSentAreNamed)
{
    // 70 rows of 16 pixels in the 64 x 32 region: 31 sheets of two rows,
    // then rows 63 to 70 on the last picture, of which the card shows two.
    const TRegion region = model.regions().first();
    TFodder table = defaultMaterial(kTable);
    place(table, region, QStringLiteral("Prices"), QStringLiteral("100000005"));
    const TableModel grid = TableModel::create(70, 16, 2, 32, QStringLiteral("宋体"));
    const TablePiecesResult made = makeTablePieces(grid, home.tableFolder() + QStringLiteral("/t0102030405"),
                                                   table.displayMode, table.remainTime, kWidth, kHeight);
    ASSERT_TRUE(made.ok) << made.error.toStdString();
    ASSERT_EQ(made.files.size(), 32);
    EXPECT_TRUE(made.unsentRows.startsWith(QStringLiteral("Rows 65 to 70 "))) << made.unsentRows.toStdString();
    for (const QString& f : made.files)
        ASSERT_TRUE(addImageFile(table, f));
    model.appendMaterialToRegion(table);
    PlaybillWriter writer(model, home);
    ASSERT_TRUE(writer.write(cardName, playbill)) << writer.errorString().toStdString();

    const QString expected = QStringLiteral("material Prices: Rows 65 to 70 of the table");
    CliRun run = runCli(renderArgs());
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("ledsign-cli render: ") + expected)) << run.err.toStdString();
    run = runCli(QStringList{QStringLiteral("export"), playbill} + geometry()
                 + QStringList{QStringLiteral("--home"), home.path(), QStringLiteral("--out"), outDir});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("ledsign-cli export: ") + expected)) << run.err.toStdString();

    // Without the rows that do not fit, nothing is said.
    const TableModel shorter = TableModel::create(64, 16, 2, 32, QStringLiteral("宋体"));
    ASSERT_TRUE(makeTablePieces(shorter, home.tableFolder() + QStringLiteral("/t0102030405"), table.displayMode,
                                table.remainTime, kWidth, kHeight)
                    .ok);
    run = runCli(renderArgs());
    EXPECT_FALSE(run.err.contains(QStringLiteral("Rows "))) << run.err.toStdString();
}
