#include "protocol/tcpframesplitter.h"

#include "protocol/receivescan.h"

namespace ledsign {

QList<QByteArray> TcpFrameSplitter::feed(const QByteArray& read)
{
    m_sinceFeed.start();
    if (read.size() > kMaxRead) {
        m_discarded += read.size() + m_pending.size();
        m_pending.clear();
        return {};
    }
    m_pending.append(read);
    return drain(false);
}

QList<QByteArray> TcpFrameSplitter::flush() { return drain(true); }

void TcpFrameSplitter::reset() { m_pending.clear(); }

QList<QByteArray> TcpFrameSplitter::drain(bool atEnd)
{
    QList<QByteArray> frames;
    for (;;) {
        const qsizetype start = receive::findMarker(m_pending);
        if (start < 0) {
            // Keep the start of a marker cut by the end of the read.
            const qsizetype keep = atEnd ? 0 : receive::partialMarkerTail(m_pending);
            m_discarded += m_pending.size() - keep;
            m_pending = m_pending.right(keep);
            break;
        }
        if (start > 0) {
            m_discarded += start;
            m_pending.remove(0, start);
        }
        // A frame larger than any read could not have come in one piece.
        const qsizetype n = receive::frameExtent(m_pending, kMaxRead, atEnd);
        if (n == 0)
            break;
        frames << m_pending.left(n);
        m_pending.remove(0, n);
    }
    return frames;
}

} // namespace ledsign
