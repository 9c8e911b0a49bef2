// The screen parameters chosen in the USB-disk window and the file they
// make: "Vk_Param.prg" holds the parameter-write frame whose block is
// written inside a frame (interface flag 0x22, kept flag 0).
#pragma once

#include "config/screenparams.h"

#include <QByteArray>
#include <QString>

namespace ledsign {

class ScanModeTable;

struct ExportParameters {
    QString width;        // the boxes' texts: 256 and 128 when not numbers
    QString height;
    ScreenParams screen;  // list indexes; -1 means nothing chosen
};

// True when every field the card needs is filled (the 485 address, the
// baud rate and the empty display have a default).
bool exportParametersComplete(const ExportParameters& p);

// The 17-byte block.
QByteArray exportParameterBlock(const ExportParameters& p, const ScanModeTable& scanModes);

// The whole file: the parameter-write frame carrying the block.
QByteArray exportParameterFile(const ExportParameters& p, const ScanModeTable& scanModes, QString& frameSerial);

} // namespace ledsign
