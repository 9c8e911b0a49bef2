// The conversion a download uses for every material: rendered, then reduced
// to the card's colours.
#pragma once

#include "model/projectmodel.h"
#include "protocol/downloadbuilder.h"

#include <QByteArray>
#include <QString>

namespace ledsign {

// The conversion that renders and reduces a material for the download.
SendConversion standardSendConversion();

} // namespace ledsign
