// Table file reader.
#include "content/tablefile.h"
#include "content/tablemodel.h"
#include "fuzzsupport.h"

using namespace ledsign;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::ensureApplication();
    TableModel table;
    QString error;
    if (!TableFileReader::read(fuzz::bytesOf(data, size), table, &error))
        LEDSIGN_FUZZ_CHECK(!error.isEmpty());
    return 0;
}
