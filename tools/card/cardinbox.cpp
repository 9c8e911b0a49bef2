#include "cardinbox.h"

#include "cardwire.h"

namespace ledsign::card {

QList<InboxItem> FrameInbox::feed(const QByteArray& bytes)
{
    QList<InboxItem> out;
    m_buffer.append(bytes);
    for (;;) {
        const qsizetype start = wire::findMarker(m_buffer);
        if (start < 0) {
            const qsizetype keep = wire::markerTail(m_buffer);
            if (m_buffer.size() > keep)
                out.append({{}, QStringLiteral("%1 bytes outside any frame").arg(m_buffer.size() - keep)});
            m_buffer = m_buffer.right(keep);
            return out;
        }
        if (start > 0) {
            out.append({{}, QStringLiteral("%1 bytes before a frame marker").arg(start)});
            m_buffer.remove(0, start);
        }
        if (m_buffer.size() < wire::kCommandAt)
            return out;
        const quint32 total = wire::le32(m_buffer, wire::kTotalAt);
        if (total < quint32(wire::kEmptyFrame) || total > quint32(kMaxFrame)) {
            out.append({{}, QStringLiteral("frame length %1 out of range").arg(total)});
            skipToNextMarker();
            continue;
        }
        if (m_buffer.size() < qsizetype(total)) {
            // A new marker inside the missing part means this frame was cut.
            const qsizetype next = wire::findMarker(m_buffer, 4);
            if (next > 0 && wire::hasMarker(m_buffer, next)
                && m_buffer.size() - next >= wire::kCommandAt) {
                const quint32 nextTotal = wire::le32(m_buffer, next + wire::kTotalAt);
                if (nextTotal >= quint32(wire::kEmptyFrame) && next + qsizetype(nextTotal) <= m_buffer.size()
                    && wire::frameProblem(m_buffer.mid(next, nextTotal)).isEmpty()) {
                    out.append({{}, QStringLiteral("frame cut short after %1 of %2 bytes").arg(next).arg(total)});
                    m_buffer.remove(0, next);
                    continue;
                }
            }
            return out;
        }
        const QByteArray candidate = m_buffer.left(total);
        const QString problem = wire::frameProblem(candidate);
        if (!problem.isEmpty()) {
            out.append({{}, QStringLiteral("malformed frame of %1 bytes: %2").arg(total).arg(problem)});
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
    const qsizetype next = wire::findMarker(m_buffer, 1);
    if (next > 0)
        m_buffer.remove(0, next);
    else
        m_buffer = m_buffer.right(wire::markerTail(m_buffer.mid(1)));
}

QList<InboxItem> PacketInbox::feed(const QByteArray& bytes)
{
    QList<InboxItem> out;
    m_buffer.append(bytes);
    for (;;) {
        qsizetype start = 0;
        while (start < m_buffer.size()
               && !(quint8(m_buffer[start]) == wire::rs485::kStart
                    && (start + 1 >= m_buffer.size() || quint8(m_buffer[start + 1]) == wire::rs485::kFromProgram)))
            ++start;
        if (start > 0) {
            out.append({{}, QStringLiteral("%1 bytes outside any 485 packet").arg(start)});
            m_buffer.remove(0, start);
        }
        const qsizetype size = wire::packetSize(m_buffer);
        if (size == 0)
            return out; // fewer than four bytes so far
        if (size < wire::rs485::kOverhead || size > (wire::rs485::kMaxPayload + wire::rs485::kOverhead)) {
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
