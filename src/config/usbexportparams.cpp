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

void addGroup(QList<ScanModeEntry>& out, const QString& prefix, std::initializer_list<int> codes)
{
    char letter = 'A';
    for (int code : codes)
        out.append({prefix + QStringLiteral(" (") + QChar(letter++) + u')', code});
}

} // namespace

QList<ScanModeEntry> exportScanModes(const QString& staticText)
{
    QList<ScanModeEntry> out;
    addGroup(out, QStringLiteral("1/16"), {1, 16, 47, 48, 120, 121, 122, 123, 124, 125});
    addGroup(out, QStringLiteral("1/8 "), {2, 3, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39});
    addGroup(out, QStringLiteral("1/4 "), {4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 17, 18, 19, 130, 131, 132});
    addGroup(out, QStringLiteral("1/32 "), {50, 51, 52, 53, 54, 55, 56, 57});
    addGroup(out, staticText, {20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 40, 41, 42});
    addGroup(out, QStringLiteral("1/10 "), {60, 61, 62, 63, 64, 65, 66, 67, 68, 69});
    addGroup(out, QStringLiteral("1/12 "), {70, 71, 72, 73});
    addGroup(out, QStringLiteral("1/20 "), {80, 81, 82, 83});
    addGroup(out, QStringLiteral("1/24 "), {90, 91, 92, 93});
    addGroup(out, QStringLiteral("1/5 "), {100, 101, 102, 103, 104, 105, 106, 107});
    addGroup(out, QStringLiteral("1/6 "), {110, 111, 112, 113});
    return out;
}

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
