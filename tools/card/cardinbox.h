// The card's side of the line: cuts what the program sends into whole
// frames (TCP or a plain serial line) or into 485 packets (RS-485 line).
// Unlike the program's lenient receive path, the card is strict: a frame
// must be exactly as long as its length fields say and end in FF FF.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace ledsign::card {

struct InboxItem {
    QByteArray bytes;  // a whole frame or 485 packet; empty for an error
    QString error;     // what was wrong with bytes that were skipped
};

class FrameInbox {
public:
    static constexpr qsizetype kMaxFrame = 65536;
    QList<InboxItem> feed(const QByteArray& bytes);
    qsizetype pending() const { return m_buffer.size(); }

private:
    void skipToNextMarker();

    QByteArray m_buffer;
};

class PacketInbox {
public:
    QList<InboxItem> feed(const QByteArray& bytes);
    qsizetype pending() const { return m_buffer.size(); }

private:
    QByteArray m_buffer;
};

} // namespace ledsign::card
