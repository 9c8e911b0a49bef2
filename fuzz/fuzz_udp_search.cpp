// UDP search reply.
#include "fuzzsupport.h"
#include "transport/datagram.h"

using namespace ledsign;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    (void)datagram::parseSearchReply(fuzz::bytesOf(data, size));
    return 0;
}
