#include "config/usbexportparams.h"

#include "config/scanmodes.h"
#include "model/numbertext.h"
#include "protocol/cardcommands.h"

namespace ledsign {

bool exportParametersComplete(const ExportParameters& p)
{
    const ScreenParams& s = p.screen;
    return !p.width.trimmed().isEmpty() && !p.height.trimmed().isEmpty() && s.colorIndex >= 0 &&
           s.scanIndex >= 0 && s.dayBrightness >= 0 && s.nightBrightness >= 0 && s.contentIndex >= 0 &&
           s.oeIndex >= 0 && s.clockIndex >= 0 && s.rowOrderIndex >= 0 && s.transIndex >= 0 &&
           s.dataBitIndex >= 0;
}

QByteArray exportParameterBlock(const ExportParameters& p, const ScanModeTable& scanModes)
{
    ScreenParams s = p.screen;
    s.width = numberOr(p.width, 256);
    s.height = numberOr(p.height, 128);
    s.interfaceFlag = screenblock::kFlagSet;
    s.keptFlag = 0;
    return encodeScreenBlock(s, scanModes);
}

QByteArray exportParameterFile(const ExportParameters& p, const ScanModeTable& scanModes, QString& frameSerial)
{
    return commands::writeParameters(exportParameterBlock(p, scanModes), frameSerial);
}

} // namespace ledsign
