// Serial receive splitter (frames and RS-485 packets on one line).
#include "fuzzsupport.h"
#include "protocol/serialsplitter.h"

using namespace ledsign;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SerialSplitter splitter;
    qsizetype fed = 0, out = 0;
    for (const QByteArray& block : fuzz::readsOf(data, size)) {
        fed += block.size();
        for (const SerialItem& item : splitter.feed(block))
            out += item.bytes.size();
        LEDSIGN_FUZZ_CHECK(splitter.pendingSize() <= fed);
    }
    for (const SerialItem& item : splitter.flush())
        out += item.bytes.size();
    LEDSIGN_FUZZ_CHECK(out + splitter.discardedBytes() <= fed);
    return 0;
}
