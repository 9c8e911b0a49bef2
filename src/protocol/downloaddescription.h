// The playbill description of a download: the first page id, then for every
// page "," start "-" end "." and one entry per material (id, type code,
// region place and size, play times). The RS-485 header carries it as text;
// the network header carries it with each page's eleven time characters
// replaced by that page's play-time record.
#pragma once

#include "model/tfodder.h"
#include "model/tprogram.h"
#include "model/tregion.h"
#include "protocol/pagetimebuffer.h"

#include <QByteArray>
#include <QList>

namespace ledsign {

struct PlaybillDescription {
    QByteArray text;
    // Offset in `text` of the time characters of each page, in page order.
    QList<qsizetype> pageTimeOffsets;

    // Starts with the first page id when the text is still empty.
    void appendPage(const TProgram& page);
    void appendMaterial(const TFodder& material, const TRegion& region);

    int pageCount() const { return int(pageTimeOffsets.size()); }
};

// "," startTime "-" endTime "."
QByteArray descriptionPageHead(const TProgram& page);

// id, the type code as one character, x/8, y, w/8 and h as "%.3d", then
// "1" "0000" "00000" "#0" playTimes "#" spare28 ";".
QByteArray descriptionMaterialEntry(const TFodder& material, const TRegion& region);

// The text with the 11 bytes at each page's offset taken from the page's
// record in the buffer (page k from slot k).
QByteArray descriptionWithPageTimes(const PlaybillDescription& description, const PageTimeBuffer& times);

} // namespace ledsign
