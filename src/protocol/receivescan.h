// The scanning rules both receive splitters share: where a frame begins and
// how far it reaches in a buffer of received bytes.
#pragma once

#include <QByteArray>

namespace ledsign::receive {

// Position of the first frame marker at or after `from`, or -1.
qsizetype findMarker(const QByteArray& bytes, qsizetype from = 0);

// Number of trailing bytes that could be the start of a marker cut by the end
// of a read (FE, FE 5C, FE 5C 4B); 0 when none.
qsizetype partialMarkerTail(const QByteArray& bytes);

// How many leading bytes of `bytes` (which begin with the marker) make up one
// frame, or 0 when more bytes are needed to tell.
//
// A frame whose two length fields agree and whose trailer sits where they say
// is taken whole, even when its data happens to contain the marker bytes,
// unless a whole frame lies inside it (then it claimed more than came). A
// frame that claims more bytes than have arrived waits for the rest, unless a
// new marker shows that it was cut short. Otherwise the frame reaches up to
// the next marker, or to the end of what was received, as a plain marker split
// would deliver it. With atEnd set, nothing waits: the remainder is handed on.
qsizetype frameExtent(const QByteArray& bytes, qsizetype maxFrameSize, bool atEnd);

} // namespace ledsign::receive
