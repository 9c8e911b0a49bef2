// The ".xls" import of the table editor: the compound-file reader, the
// workbook's records, the number formats and the sheet-layout walk.
#include "content/compoundfile.h"
#include "content/tablefilexls.h"
#include "content/xlssheetlayout.h"
#include "fuzzsupport.h"

using namespace ledsign;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::ensureApplication();
    const QByteArray bytes = fuzz::bytesOf(data, size);
    // What the table editor's Open does with a ".xls" file.
    TableModel table = TableModel::create(2, 24, 2, 64, QStringLiteral("Arial"));
    const TableModel before = table;
    QString message;
    if (importXlsTable(bytes, QStringLiteral("fuzz.xls"), QStringLiteral("Arial"), table, &message)) {
        LEDSIGN_FUZZ_CHECK(table.rowCount() >= 2 && table.columnCount() >= 2);
        LEDSIGN_FUZZ_CHECK(table.rowCount() <= kMaxTableRows && table.columnCount() <= kMaxTableColumns);
    } else {
        LEDSIGN_FUZZ_CHECK(!message.isEmpty());
        LEDSIGN_FUZZ_CHECK(table == before);
    }
    QByteArray workbook;
    QString error;
    if (readCompoundStream(bytes, {QStringLiteral("Workbook"), QStringLiteral("Book")}, &workbook, &error))
        LEDSIGN_FUZZ_CHECK(workbook.size() <= bytes.size());
    else
        LEDSIGN_FUZZ_CHECK(!error.isEmpty());
    // The raw bytes as a workbook stream too, for the record walk alone.
    for (const QByteArray& stream : {workbook, bytes}) {
        const XlsSheetLayout layout = readXlsSheetLayout(stream);
        for (const CellRange& m : layout.merges)
            LEDSIGN_FUZZ_CHECK(m.left <= m.right && m.top <= m.bottom);
    }
    return 0;
}
