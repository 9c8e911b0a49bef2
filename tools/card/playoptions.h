// The command-line options of what the card plays: the values it gets from
// outside (acquired value, queue number), the folder it keeps its memory in,
// and the recording of its panel.
#pragma once

#include "cardoptions.h"

class QCommandLineParser;

namespace ledsign::card {

void addPlayOptions(QCommandLineParser& parser);
// Reads them into `options`; false with a message for anything unusable.
bool readPlayOptions(const QCommandLineParser& parser, CardOptions& options, QString& error);

} // namespace ledsign::card
