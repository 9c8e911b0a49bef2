// Cuts the bytes received on the serial port into what the line carries: plain
// frames (a single card on the line) and 485 packets from cards (an RS-485
// line). Blocks are joined until a frame or packet is complete; bytes that
// start neither are dropped.
#pragma once

#include <QByteArray>
#include <QList>

namespace ledsign {

struct SerialItem {
    enum class Kind { Frame, Rs485Packet };
    Kind kind = Kind::Frame;
    QByteArray bytes;
};

class SerialSplitter {
public:
    // The serial port hands on blocks of at most this size; a larger block is
    // ignored, and with it anything still waiting for its end.
    static constexpr qsizetype kMaxBlock = 3000;

    QList<SerialItem> feed(const QByteArray& block);

    // Hands on a plain frame still buffered, complete or not (the line went
    // quiet); an unfinished 485 packet is dropped.
    QList<SerialItem> flush();

    void reset();

    qsizetype pendingSize() const { return m_pending.size(); }
    qsizetype discardedBytes() const { return m_discarded; }

private:
    QList<SerialItem> drain(bool atEnd);
    void drop(qsizetype count);

    QByteArray m_pending;
    qsizetype m_discarded = 0;
};

} // namespace ledsign
