// RS-485 packet reader.
#include "fuzzsupport.h"
#include "protocol/rs485packet.h"

using namespace ledsign;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = fuzz::bytesOf(data, size);
    for (qsizetype at = 0; at < bytes.size() && at < 4; ++at) {
        (void)rs485::packetSizeAt(bytes, at);
        (void)rs485::startsCardReply(bytes, at);
    }
    rs485::Packet packet;
    if (rs485::read(bytes, packet))
        LEDSIGN_FUZZ_CHECK(packet.payload.size() <= bytes.size());
    return 0;
}
