// Report frame a card sends when it connects.
#include "fuzzsupport.h"
#include "protocol/cardreport.h"

using namespace ledsign;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CardReport report;
    QString error;
    if (readCardReport(fuzz::bytesOf(data, size), report, &error)) {
        (void)report.acceptableOnNewConnection();
        LEDSIGN_FUZZ_CHECK(report.fieldCount >= 0);
    }
    return 0;
}
