// The compound-file reader and the sheet-layout walk under the ".xls" import.
#include "content/compoundfile.h"
#include "content/xlssheetlayout.h"
#include "fuzzsupport.h"

using namespace ledsign;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::ensureApplication();
    const QByteArray bytes = fuzz::bytesOf(data, size);
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
