#include "protocol/pagetimebuffer.h"

namespace ledsign {

PageTimeBuffer::PageTimeBuffer() { clear(); }

void PageTimeBuffer::clear()
{
    bytes_ = QByteArray(kSize, kFill);
    count_ = 0;
}

bool PageTimeBuffer::append(const QByteArray& record)
{
    if (isFull() || record.size() != kRecordSize)
        return false;
    bytes_.replace(count_ * kRecordSize, kRecordSize, record);
    ++count_;
    return true;
}

QByteArray PageTimeBuffer::record(int index) const
{
    if (index < 0 || index >= kMaxPages)
        return {};
    return bytes_.mid(qsizetype(index) * kRecordSize, kRecordSize);
}

} // namespace ledsign
