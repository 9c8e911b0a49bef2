#include "protocol/receivescan.h"

#include "protocol/frame.h"

namespace ledsign::receive {

qsizetype findMarker(const QByteArray& bytes, qsizetype from)
{
    static const QByteArray m = frame::marker();
    return bytes.indexOf(m, from);
}

qsizetype partialMarkerTail(const QByteArray& bytes)
{
    static const QByteArray m = frame::marker();
    for (qsizetype len = qMin<qsizetype>(3, bytes.size()); len > 0; --len) {
        if (bytes.endsWith(m.left(len)))
            return len;
    }
    return 0;
}

qsizetype frameExtent(const QByteArray& bytes, qsizetype maxFrameSize, bool atEnd)
{
    // The marker cannot overlap itself, so the next one starts at 4 or later.
    const qsizetype next = findMarker(bytes, 4);
    const qsizetype have = bytes.size();

    if (have < frame::kDataOffset) {
        if (next >= 0)
            return next;
        return atEnd ? have : 0;
    }

    const quint32 total = frame::readLe32(bytes, frame::kTotalLengthOffset);
    const quint32 dataLength = frame::readLe32(bytes, frame::kDataLengthOffset);
    const bool lengthPlausible = total >= quint32(frame::kEmptyFrameSize)
        && total <= quint32(maxFrameSize) && dataLength == total - frame::kEmptyFrameSize;

    if (lengthPlausible) {
        const qsizetype n = qsizetype(total);
        if (have >= n) {
            if (quint8(bytes[n - 2]) == 0xFF && quint8(bytes[n - 1]) == 0xFF)
                return n;
        } else {
            if (next >= 0)
                return next; // cut short: a new frame has begun
            return atEnd ? have : 0;
        }
    }
    if (next >= 0)
        return next;
    return have;
}

} // namespace ledsign::receive
