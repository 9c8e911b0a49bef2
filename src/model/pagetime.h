// The bytes that tell a card when a page plays: the start and end times, and
// either the week days or the date, packed into the 11 characters of
// "HH:mm-HH:mm" as the card's page table expects.
#pragma once

#include "model/tprogram.h"

#include <QByteArray>
#include <QString>

namespace ledsign {

// Fills `out` with one byte per byte of startTime + "-" + endTime. Returns
// false (with `error`) when a page that plays by date has a date that does
// not read; `out` is then left empty.
bool encodePageTime(const TProgram& page, QByteArray* out, QString* error = nullptr);

} // namespace ledsign
