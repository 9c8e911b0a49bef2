// The card font names the text materials of a playbill use.
#pragma once

#include <QList>
#include <QStringList>

namespace ledsign {

struct TFodder;

// Every font name the single- and multi-line texts name, once each, in order of first use.
QStringList fontNamesOfMaterials(const QList<TFodder>& materials);

} // namespace ledsign
