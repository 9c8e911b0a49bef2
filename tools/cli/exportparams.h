// The screen parameters of a USB-disk export as given on the command line:
// a list of NAME=VALUE joined by commas, the same choices the USB-disk
// window offers. The card's size and colours come from the card options.
#pragma once

#include "config/usbexportparams.h"

#include <QString>

namespace ledsign::cli {

// False with `error` naming the first value that cannot be used, or the
// values that are missing.
bool parseExportParameters(const QString& text, int width, int height, int colors, ExportParameters& out,
                           QString& error);

// Help lines for --params.
QString exportParametersHelp();

} // namespace ledsign::cli
