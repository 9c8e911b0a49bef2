// When a page plays, read from the 11 bytes of its page table entry: the
// daily times HH:mm-HH:mm, and either every day, some week days (the two
// colons replaced by day bits) or a date before or after which the page
// plays (every byte but the "-" carrying date bits in its upper half).
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace ledsign::card {

struct PageTime {
    enum class Days { Every, Week, BeforeDate, AfterDate };
    Days days = Days::Every;
    int startMinute = 0;      // minutes of the day
    int endMinute = 24 * 60;  // 1440 for "24:00"
    quint8 weekDays = 0x7F;   // bit d for day d, 0 Sunday .. 6 Saturday
    QDateTime date;           // for BeforeDate and AfterDate
};

bool readPageTime(const QByteArray& bytes, PageTime& out, QString& why);
// Whether the page plays at `now` on the card's clock.
bool playsAt(const PageTime& page, const QDateTime& now);

} // namespace ledsign::card
