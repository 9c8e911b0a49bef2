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

namespace {

// The two length fields of the frame at `at` (which begins with the marker).
bool lengthsAgree(const QByteArray& bytes, qsizetype at, qsizetype maxFrameSize, quint32& total)
{
    if (bytes.size() - at < frame::kDataOffset)
        return false;
    total = frame::readLe32(bytes, at + frame::kTotalLengthOffset);
    const quint32 dataLength = frame::readLe32(bytes, at + frame::kDataLengthOffset);
    return total >= quint32(frame::kEmptyFrameSize) && total <= quint32(maxFrameSize)
        && dataLength == total - frame::kEmptyFrameSize;
}

// A whole frame at `at`, ending at or before `end`: its lengths agree and its
// trailer sits where they say.
bool wholeFrameWithin(const QByteArray& bytes, qsizetype at, qsizetype end, qsizetype maxFrameSize)
{
    quint32 total = 0;
    if (!lengthsAgree(bytes, at, maxFrameSize, total) || at + qsizetype(total) > end)
        return false;
    const qsizetype last = at + qsizetype(total) - 1;
    return quint8(bytes[last - 1]) == 0xFF && quint8(bytes[last]) == 0xFF;
}

} // namespace

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

    quint32 total = 0;
    if (lengthsAgree(bytes, 0, maxFrameSize, total)) {
        const qsizetype n = qsizetype(total);
        if (have >= n) {
            if (quint8(bytes[n - 2]) == 0xFF && quint8(bytes[n - 1]) == 0xFF) {
                // A whole frame inside it means this one claimed bytes that
                // never came: the frame that follows is not swallowed.
                for (qsizetype k = next; k >= 0 && k < n; k = findMarker(bytes, k + 4)) {
                    if (wholeFrameWithin(bytes, k, n, maxFrameSize))
                        return next;
                }
                return n;
            }
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
