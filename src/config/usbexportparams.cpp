#include "config/usbexportparams.h"

#include "protocol/cardcommands.h"
#include <algorithm>

namespace ledsign {

namespace {

constexpr int kRowOrderEntries = 4;
constexpr quint8 kBaudCodes[] = {0x00, 0x11, 0x22, 0x33, 0x44};
constexpr quint8 kTransCodes[] = {0x00, 0x22, 0x33};

int numberOr(const QString& text, int fallback)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    return ok ? v : fallback;
}

quint8 rowOrderCode(int index)
{
    if (index == kRowOrderEntries - 1)
        return 14;
    if (index == kRowOrderEntries - 2)
        return 15;
    return quint8(std::max(0, index));
}

} // namespace

bool exportParametersComplete(const ExportParameters& p)
{
    return !p.width.trimmed().isEmpty() && !p.height.trimmed().isEmpty() && p.color >= 0 && p.scanCode >= 0 &&
           p.dayLamp >= 0 && p.nightLamp >= 0 && p.sContent >= 0 && p.oe >= 0 && p.cf >= 0 && p.rowOrder >= 0 &&
           p.trans >= 0 && p.dataBit >= 0;
}

QByteArray exportParameterBlock(const ExportParameters& p)
{
    QByteArray b(commands::kParameterBlockSize, '\0');
    const int width = numberOr(p.width, 256);
    const int height = numberOr(p.height, 128);
    b[0] = char(p.scanCode);
    b[1] = char(p.oe + 1);
    b[2] = char((width >> 8) & 0xFF);
    b[3] = char(width & 0xFF);
    b[4] = char((height >> 8) & 0xFF);
    b[5] = char(height & 0xFF);
    b[6] = char(p.color + 1);
    b[7] = char(p.dayLamp);
    b[8] = char(p.nightLamp);
    b[9] = char(p.dataBit & 0x0F);
    b[10] = char(p.address485 + 1);
    b[commands::kInterfaceFlagOffset] = char(commands::kInterfaceFlagFrame);
    b[12] = char(kBaudCodes[std::clamp(p.baud, 0, 4)]);
    b[13] = 0;
    b[14] = char(kTransCodes[std::clamp(p.trans, 0, 2)]);
    b[15] = char(((p.cf & 0x0F) << 4) | (p.sContent & 0x0F));
    b[16] = char(((p.emptyDisplay & 0x0F) << 4) | (rowOrderCode(p.rowOrder) & 0x0F));
    return b;
}

QByteArray exportParameterFile(const ExportParameters& p, QString& frameSerial)
{
    return commands::writeParameters(exportParameterBlock(p), frameSerial);
}

} // namespace ledsign
