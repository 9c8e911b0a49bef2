// The bytes of "Vk_Data.prg" for one card: the download prepared for a file
// (the network header frame and every material packet, whatever the
// channel mode) by the one download builder.
#pragma once

#include "model/projectmodel.h"
#include "protocol/downloadbuilder.h"

#include <QByteArray>
#include <QString>

namespace ledsign {

// The conversion that renders and reduces a material for the download.
SendConversion standardSendConversion();

// Empty, with `error` set, when the download cannot be built.
QByteArray usbExportData(ProjectModel& model, const QString& cardName, const DownloadBuilder& builder,
                         bool rs485, QString* error = nullptr);

} // namespace ledsign
