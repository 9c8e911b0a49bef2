// TCP receive splitter: any byte stream, in any read sizes.
#include "fuzzsupport.h"
#include "protocol/tcpframesplitter.h"

using namespace ledsign;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TcpFrameSplitter splitter;
    qsizetype fed = 0, out = 0;
    for (const QByteArray& read : fuzz::readsOf(data, size)) {
        fed += read.size();
        for (const QByteArray& frame : splitter.feed(read))
            out += frame.size();
        // What is held back stays bounded; a flood must not grow it forever.
        LEDSIGN_FUZZ_CHECK(splitter.pendingSize() <= fed);
    }
    for (const QByteArray& frame : splitter.flush())
        out += frame.size();
    // Bytes are either handed on or counted as discarded, never made up.
    LEDSIGN_FUZZ_CHECK(out + splitter.discardedBytes() <= fed);
    return 0;
}
