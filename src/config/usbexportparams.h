// The screen parameters chosen in the USB-disk window and the 17-byte block
// they make for "Vk_Param.prg" (written inside a frame: interface flag
// 0x22, kept flag 0).
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace ledsign {

// List indexes as the window's boxes hold them; -1 means nothing chosen.
struct ExportParameters {
    QString width;
    QString height;
    int color = -1;
    int scanCode = -1;     // code of the chosen scan mode
    int dayLamp = -1;
    int nightLamp = -1;
    int sContent = -1;
    int oe = -1;
    int cf = -1;
    int rowOrder = -1;     // index in the four-entry row-order list
    int trans = -1;
    int dataBit = -1;
    int emptyDisplay = 0;
    int address485 = 0;    // index: 0 is address 1
    int baud = 0;          // 0..4: 9600 .. 115200
};

struct ScanModeEntry {
    QString name;
    int code = 0;
};

// The scan modes the card knows, in list order; `staticText` names the
// static-scan group in the current language.
QList<ScanModeEntry> exportScanModes(const QString& staticText);

// True when every field the card needs is filled.
bool exportParametersComplete(const ExportParameters& p);

// The 17-byte block; width 256 and height 128 when they are not numbers.
QByteArray exportParameterBlock(const ExportParameters& p);

// The whole file: the parameter-write frame carrying the block.
QByteArray exportParameterFile(const ExportParameters& p, QString& frameSerial);

} // namespace ledsign
