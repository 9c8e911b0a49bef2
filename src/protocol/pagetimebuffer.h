// The page time buffer of a download: the play-time records of the card's
// pages, 11 bytes each, one after another in a 2000-byte buffer that starts
// filled with ':'. The network header takes its page times from here.
#pragma once

#include <QByteArray>

namespace ledsign {

class PageTimeBuffer {
public:
    static constexpr int kSize = 2000;
    static constexpr int kRecordSize = 11;                 // "HH:mm-HH:mm"
    static constexpr int kMaxPages = kSize / kRecordSize;   // 181
    static constexpr char kFill = ':';

    PageTimeBuffer();

    // Back to all ':' and no records.
    void clear();

    // Writes a record into the next 11-byte slot. False, and nothing written,
    // when the buffer is full or the record is not 11 bytes long.
    bool append(const QByteArray& record);

    int count() const { return count_; }
    bool isFull() const { return count_ >= kMaxPages; }

    // The 11 bytes of slot `index` (':' until written); empty outside 0..180.
    QByteArray record(int index) const;

    const QByteArray& bytes() const { return bytes_; }

private:
    QByteArray bytes_;
    int count_ = 0;
};

} // namespace ledsign
