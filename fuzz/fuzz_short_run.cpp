// Short-run markup.
#include "content/shortrunmarkup.h"
#include "fuzzsupport.h"
#include "model/codec.h"

using namespace ledsign;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::ensureApplication();
    for (const ShortRun& run : parseShortRuns(codec::decode(fuzz::bytesOf(data, size))))
        LEDSIGN_FUZZ_CHECK(run.length == run.text.size());
    return 0;
}
