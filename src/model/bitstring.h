// Numbers as strings of "0"/"1" characters, most significant bit first, as
// the page play-time bytes are built.
#pragma once

#include <QString>
#include <QtGlobal>

namespace ledsign {

// The `width` low bits of `value`; higher bits are dropped.
QString toBits(quint64 value, int width);
// The inverse for any length; characters other than "1" count as 0, and
// bits beyond 64 push the oldest ones out.
quint64 fromBits(const QString& text);

} // namespace ledsign
