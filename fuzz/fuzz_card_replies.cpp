// Confirmations, packet requests and the long reply carrying the screen
// parameter block, read the network way and the RS-485 way.
#include "config/scanmodes.h"
#include "config/screenparams.h"
#include "fuzzsupport.h"
#include "protocol/cardreplies.h"

using namespace ledsign;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const ScanModeTable scanModes(QStringLiteral("static"));
    const QByteArray frame = fuzz::bytesOf(data, size);
    (void)readConfirmation(frame);
    for (bool viaRs485 : {false, true}) {
        ParameterReply reply;
        if (!readParameterReply(frame, viaRs485, reply))
            continue;
        ScreenParams params;
        if (decodeScreenBlock(reply.block, scanModes, params))
            (void)encodeScreenBlock(params, scanModes);
    }
    // The block decoder on its own, on raw bytes of any length.
    ScreenParams params;
    (void)decodeScreenBlock(frame, scanModes, params);
    return 0;
}
