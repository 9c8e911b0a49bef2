#include "protocol/serialsplitter.h"

#include "protocol/frame.h"
#include "protocol/receivescan.h"
#include "protocol/rs485packet.h"

namespace ledsign {

namespace {

// Bytes needed to tell a plain frame from a 485 reply: the reply is known by
// its byte 5.
constexpr qsizetype kStartProbe = rs485::kReplyDirectionOffset + 1;

enum class Start { None, Frame, Packet, Undecided };

Start startAt(const QByteArray& bytes, qsizetype at)
{
    if (quint8(bytes[at]) != rs485::kStart)
        return Start::None;
    if (frame::startsWithMarker(bytes, at))
        return Start::Frame;
    if (rs485::startsCardReply(bytes, at))
        return Start::Packet;
    // Too few bytes yet to see a marker or a packet head: wait for more.
    return bytes.size() - at < kStartProbe ? Start::Undecided : Start::None;
}

} // namespace

QList<SerialItem> SerialSplitter::feed(const QByteArray& block)
{
    if (block.size() > kMaxBlock) {
        m_discarded += block.size() + m_pending.size();
        m_pending.clear();
        return {};
    }
    m_pending.append(block);
    return drain(false);
}

QList<SerialItem> SerialSplitter::flush() { return drain(true); }

void SerialSplitter::reset() { m_pending.clear(); }

void SerialSplitter::drop(qsizetype count)
{
    m_discarded += count;
    m_pending.remove(0, count);
}

QList<SerialItem> SerialSplitter::drain(bool atEnd)
{
    QList<SerialItem> items;
    while (!m_pending.isEmpty()) {
        qsizetype at = 0;
        Start start = Start::None;
        for (; at < m_pending.size(); ++at) {
            start = startAt(m_pending, at);
            if (start != Start::None)
                break;
        }
        if (at > 0)
            drop(at);
        if (start == Start::None)
            break; // all dropped
        if (start == Start::Undecided) {
            if (atEnd)
                drop(m_pending.size());
            break;
        }
        if (start == Start::Frame) {
            const qsizetype n = receive::frameExtent(m_pending, kMaxBlock, atEnd);
            if (n == 0)
                break;
            items.append({SerialItem::Kind::Frame, m_pending.left(n)});
            m_pending.remove(0, n);
            continue;
        }
        // A 485 reply: its length field says how far it reaches.
        const qsizetype size = rs485::packetSizeAt(m_pending);
        if (size < rs485::kOverhead || size > rs485::kMaxPacketSize) {
            drop(1); // not a packet after all: look for the next start
            continue;
        }
        if (m_pending.size() < size) {
            if (atEnd)
                drop(m_pending.size());
            break;
        }
        items.append({SerialItem::Kind::Rs485Packet, m_pending.left(size)});
        m_pending.remove(0, size);
    }
    return items;
}

} // namespace ledsign
