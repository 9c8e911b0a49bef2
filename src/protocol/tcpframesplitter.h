// Cuts the byte stream of one card's TCP connection into frames. A connection
// keeps one splitter: bytes before a frame marker are dropped, a frame that
// arrives in several reads is joined, and several frames in one read come out
// one by one, in order. A frame still waiting for its end when the
// connection has gone quiet is handed on as it stands (see flush()), so a
// frame that claims more bytes than it has never holds anything back.
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>

namespace ledsign {

class TcpFrameSplitter {
public:
    // A read larger than this is thrown away whole, and with it any frame
    // still waiting for its end.
    static constexpr qsizetype kMaxRead = 6143;
    // The rest of a frame that TCP delivered in pieces comes within this
    // time; after it, what is buffered is flushed.
    static constexpr int kQuietFlushMs = 200;

    // The frames completed by this read.
    QList<QByteArray> feed(const QByteArray& read);

    // Hands on whatever is still buffered from a marker on, complete or not
    // (the connection went quiet or is closing).
    QList<QByteArray> flush();

    void reset();

    // Bytes held back, waiting for the rest of a frame.
    qsizetype pendingSize() const { return m_pending.size(); }
    // Bytes thrown away so far (garbage, oversized reads).
    qsizetype discardedBytes() const { return m_discarded; }
    // Milliseconds since the last read was fed.
    qint64 quietMs() const { return m_sinceFeed.isValid() ? m_sinceFeed.elapsed() : 0; }

private:
    QList<QByteArray> drain(bool atEnd);

    QByteArray m_pending;
    qsizetype m_discarded = 0;
    QElapsedTimer m_sinceFeed;
};

} // namespace ledsign
