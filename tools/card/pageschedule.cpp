#include "pageschedule.h"

namespace ledsign::card {

namespace {

constexpr int kLength = 11;
constexpr int kColonA = 2;
constexpr int kColonB = 8;
constexpr int kDash = 5;

bool minutes(int h1, int h2, int m1, int m2, int& out)
{
    if (h1 < 0 || h1 > 9 || h2 < 0 || h2 > 9 || m1 < 0 || m1 > 5 || m2 < 0 || m2 > 9)
        return false;
    out = (h1 * 10 + h2) * 60 + m1 * 10 + m2;
    return out <= 24 * 60;
}

} // namespace

bool readPageTime(const QByteArray& b, PageTime& out, QString& why)
{
    if (b.size() != kLength || b[kDash] != '-') {
        why = QStringLiteral("page time is not 11 bytes HH:mm-HH:mm");
        return false;
    }
    const quint8 a = quint8(b[kColonA]);
    const quint8 c = quint8(b[kColonB]);
    PageTime t;
    int digit[kLength] = {};
    if (a == ':' && c == ':') {
        t.days = PageTime::Days::Every;
    } else if ((a & 0xF8) == 0x40 && (c & 0xF0) == 0x40) {
        t.days = PageTime::Days::Week;
        // 01000 Sat Fri Thu, 0100 Wed Tue Mon Sun.
        t.weekDays = quint8(((a & 0x07) << 4) | (c & 0x0F));
        if (t.weekDays == 0)
            t.weekDays = 0x7F; // no day ticked: the card plays it every day rather than never
    } else {
        const quint8 prefix = a & 0xF0;
        if ((prefix != 0x80 && prefix != 0xC0) || (c & 0xF0) != prefix) {
            why = QStringLiteral("page time bytes %1 are none of the three forms").arg(QString::fromLatin1(b.toHex(' ')));
            return false;
        }
        t.days = prefix == 0x80 ? PageTime::Days::BeforeDate : PageTime::Days::AfterDate;
        quint32 bits = 0;
        for (int i = 0; i < kLength; ++i) {
            if (i == kDash)
                continue;
            const quint8 v = quint8(b[i]);
            if (i == kColonA || i == kColonB) {
                bits = (bits << 4) | (v & 0x0F);
                continue;
            }
            if ((v & 0x80) == 0) {
                why = QStringLiteral("page time digit %1 carries no date bits").arg(i + 1);
                return false;
            }
            bits = (bits << 3) | ((v >> 4) & 0x07);
            digit[i] = v & 0x0F;
        }
        // year 6, month 4, day 5, hour 5, minute 6, second 6 bits.
        const int year = int(bits >> 26), month = int((bits >> 22) & 0x0F), day = int((bits >> 17) & 0x1F);
        const int hour = int((bits >> 12) & 0x1F), minute = int((bits >> 6) & 0x3F), second = int(bits & 0x3F);
        t.date = QDateTime(QDate(2000 + year, month, day), QTime(hour, minute, second));
        if (!t.date.isValid()) {
            why = QStringLiteral("page date %1-%2-%3 %4:%5:%6 is no date").arg(year).arg(month).arg(day).arg(hour).arg(minute).arg(second);
            return false;
        }
    }
    if (t.days == PageTime::Days::Every || t.days == PageTime::Days::Week) {
        for (int i = 0; i < kLength; ++i)
            digit[i] = b[i] - '0';
    }
    if (!minutes(digit[0], digit[1], digit[3], digit[4], t.startMinute)
        || !minutes(digit[6], digit[7], digit[9], digit[10], t.endMinute)) {
        why = QStringLiteral("page times are not HH:mm");
        return false;
    }
    out = t;
    return true;
}

bool playsAt(const PageTime& p, const QDateTime& now)
{
    const int minute = now.time().hour() * 60 + now.time().minute();
    bool inTime = true;
    if (p.startMinute < p.endMinute)
        inTime = minute >= p.startMinute && minute < p.endMinute;
    else if (p.startMinute > p.endMinute) // over midnight
        inTime = minute >= p.startMinute || minute < p.endMinute;
    if (!inTime)
        return false;
    switch (p.days) {
    case PageTime::Days::Week: return (p.weekDays >> (now.date().dayOfWeek() % 7)) & 1;
    case PageTime::Days::BeforeDate: return now < p.date;
    case PageTime::Days::AfterDate: return now >= p.date;
    default: return true;
    }
}

} // namespace ledsign::card
