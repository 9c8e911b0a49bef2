// Whether a frame stream holds a whole playbill: the materials its header
// lists, each with every block, the last one closed by the end marker. A
// USB-disk file cut anywhere (even right after the header) is not whole.
#pragma once

#include "protocol/framestreamreader.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace ledsign::cli {

// The material ids a playbill header lists, in send order; false when the
// description cannot be read as a playbill.
bool headerMaterialIds(const QByteArray& description, QStringList& ids);

// One line for each thing missing; empty when the playbill is whole or the
// stream holds neither a header nor a material frame (a parameter file).
QStringList missingFromPlaybill(const QList<framestream::Frame>& frames);

} // namespace ledsign::cli
