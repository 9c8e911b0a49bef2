#include "cardinbox.h"

#include "protocol/frame.h"
#include "protocol/receivescan.h"
#include "protocol/rs485packet.h"

namespace ledsign::card {

QList<InboxItem> FrameInbox::feed(const QByteArray& bytes)
{
    QList<InboxItem> out;
    m_buffer.append(bytes);
    for (;;) {
        const qsizetype start = receive::findMarker(m_buffer);
        if (start < 0) {
            const qsizetype keep = receive::partialMarkerTail(m_buffer);
            if (m_buffer.size() > keep)
                out.append({{}, QStringLiteral("%1 bytes outside any frame").arg(m_buffer.size() - keep)});
            m_buffer = m_buffer.right(keep);
            return out;
        }
        if (start > 0) {
            out.append({{}, QStringLiteral("%1 bytes before a frame marker").arg(start)});
            m_buffer.remove(0, start);
        }
        if (m_buffer.size() < frame::kCommandOffset)
            return out;
        const quint32 total = frame::readLe32(m_buffer, frame::kTotalLengthOffset);
        if (total < quint32(frame::kEmptyFrameSize) || total > quint32(kMaxFrame)) {
            out.append({{}, QStringLiteral("frame length %1 out of range").arg(total)});
            skipToNextMarker();
            continue;
        }
        if (m_buffer.size() < qsizetype(total)) {
            // A new marker inside the missing part means this frame was cut.
            const qsizetype next = receive::findMarker(m_buffer, 4);
            if (next > 0 && frame::startsWithMarker(m_buffer, next)
                && m_buffer.size() - next >= frame::kCommandOffset) {
                const quint32 nextTotal = frame::readLe32(m_buffer, next + frame::kTotalLengthOffset);
                if (nextTotal >= quint32(frame::kEmptyFrameSize) && next + qsizetype(nextTotal) <= m_buffer.size()
                    && frame::isWellFormed(m_buffer.mid(next, nextTotal))) {
                    out.append({{}, QStringLiteral("frame cut short after %1 of %2 bytes").arg(next).arg(total)});
                    m_buffer.remove(0, next);
                    continue;
                }
            }
            return out;
        }
        const QByteArray candidate = m_buffer.left(total);
        if (!frame::isWellFormed(candidate)) {
            out.append({{}, QStringLiteral("malformed frame of %1 bytes (data length or trailer)").arg(total)});
            skipToNextMarker();
            continue;
        }
        out.append({candidate, {}});
        m_buffer.remove(0, total);
    }
}

void FrameInbox::skipToNextMarker()
{
    // The bad frame reaches up to the next marker; nothing of it is reported
    // a second time as stray bytes.
    const qsizetype next = receive::findMarker(m_buffer, 1);
    if (next > 0)
        m_buffer.remove(0, next);
    else
        m_buffer = m_buffer.right(receive::partialMarkerTail(m_buffer.mid(1)));
}

QList<InboxItem> PacketInbox::feed(const QByteArray& bytes)
{
    QList<InboxItem> out;
    m_buffer.append(bytes);
    for (;;) {
        qsizetype start = 0;
        while (start < m_buffer.size()
               && !(quint8(m_buffer[start]) == rs485::kStart
                    && (start + 1 >= m_buffer.size() || quint8(m_buffer[start + 1]) == rs485::kKindFromProgram)))
            ++start;
        if (start > 0) {
            out.append({{}, QStringLiteral("%1 bytes outside any 485 packet").arg(start)});
            m_buffer.remove(0, start);
        }
        const qsizetype size = rs485::packetSizeAt(m_buffer);
        if (size == 0)
            return out; // fewer than four bytes so far
        if (size < rs485::kOverhead || size > rs485::kMaxPacketSize) {
            out.append({{}, QStringLiteral("485 packet length %1 out of range").arg(size)});
            m_buffer.remove(0, 1);
            continue;
        }
        if (m_buffer.size() < size)
            return out;
        out.append({m_buffer.left(size), {}});
        m_buffer.remove(0, size);
    }
}

} // namespace ledsign::card
