// The playbill data file of the USB-disk export, "Vk_Data.prg": the network
// header frame of a prepared download followed by every material packet, in
// the order a send over the network would deliver them.
#pragma once

#include "protocol/downloadbuilder.h"

#include <QByteArray>
#include <QString>

class QIODevice;

namespace ledsign {

inline constexpr const char* kExportDataFileName = "Vk_Data.prg";

// The file's bytes; empty when the download has no network header frame.
QByteArray exportDataBytes(const PreparedDownload& download);

// Writes the bytes to an open device. False with `error` when the download
// was not prepared for a file or the device fails.
bool writeExportData(QIODevice& device, const PreparedDownload& download, QString* error = nullptr);

// Writes "Vk_Data.prg" afresh in the folder (an existing file is replaced;
// a failed write leaves no half file behind).
bool writeExportDataFile(const QString& folder, const PreparedDownload& download, QString* error = nullptr);

} // namespace ledsign
