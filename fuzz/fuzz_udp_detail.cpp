// UDP detail reply (item list) and its name item.
#include "fuzzsupport.h"
#include "transport/datagram.h"

using namespace ledsign;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = fuzz::bytesOf(data, size);
    if (auto reply = datagram::parseDetailReply(bytes)) {
        LEDSIGN_FUZZ_CHECK(reply->block.isEmpty() || reply->block.size() == datagram::kBlockSize);
    }
    (void)datagram::nameFromItem(bytes);
    return 0;
}
