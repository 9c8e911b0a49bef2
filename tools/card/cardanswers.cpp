#include "cardanswers.h"

#include "cardoptions.h"

namespace ledsign::card::answers {

namespace {

QByteArray digits(int value, int width, int maxValue)
{
    return QByteArray::number(std::clamp(value, 0, maxValue)).rightJustified(width, '0');
}

// Reads `width` decimal digits at `at`; -1 when any is not a digit.
int number(const QByteArray& text, int at, int width)
{
    if (at + width > text.size())
        return -1;
    int v = 0;
    for (int k = 0; k < width; ++k) {
        const char c = text[at + k];
        if (c < '0' || c > '9')
            return -1;
        v = v * 10 + (c - '0');
    }
    return v;
}

} // namespace

QByteArray report(quint8 command, const CardOptions& o)
{
    // The program takes the report by position: the internal code at frame
    // byte 17, the "#" fields from byte 26 (width, height, colours, version,
    // ...), the font digit at 50, two feature bytes at 52 and 53, the speed
    // digit at 56, a zero at 64 and the type name from 65. Every field is
    // fixed width so that these positions hold whatever the values are.
    QByteArray d;
    for (quint8 b : o.internalCode)
        d.append(char(b));
    d.append('#');                                           // 25
    d += digits(o.width, 4, 9999) + '#';                     // 26
    d += digits(o.height, 4, 9999) + '#';                    // 31
    d += digits(o.colorDepth, 1, 9) + '#';                   // 36
    d += digits(o.version, 3, 999) + '#';                    // 38
    d += "1#1#1#1#";                                         // 42
    d += digits(o.fontCount - 1, 1, 9) + '#';                // 50
    d += char(0x5F);                                         // 52: features 0..4 on
    d += char(0x5F);                                         // 53: features 5..9 on
    d += "#1";                                               // 54
    d += digits(o.speedUnit, 1, 9) + '#';                    // 56
    d += "1#1#1#";                                           // 58
    d += '\0';                                               // 64
    QByteArray type = o.cardType.toLatin1().left(5);
    d += type.leftJustified(5, '\0');                        // 65
    d += '#';                                                // 70
    return wire::buildFrame(command, d);
}

QByteArray confirmation(quint8 confirmed) { return wire::buildFrame(wire::cmd::kConfirmation, QByteArray(1, char(confirmed))); }

QByteArray packetRequest(quint16 sendNo, quint16 blockNo)
{
    QByteArray d(1, char(wire::cmd::kPacketRequest));
    wire::appendLe16(d, sendNo);
    wire::appendLe16(d, blockNo);
    return wire::buildFrame(wire::cmd::kConfirmation, d);
}

bool readTimeFrame(const QByteArray& f, TimeSetting& out, QString& why)
{
    why = wire::frameProblem(f);
    if (!why.isEmpty())
        return false;
    const QByteArray t = wire::data(f);
    constexpr int kClockText = 19;     // "1#" + 16 digits + "#"
    constexpr int kWithPoll = 23;      // + 3 digits + "#"
    if ((t.size() != kClockText && t.size() != kWithPoll) || !t.startsWith("1#") || t[kClockText - 1] != '#'
        || (t.size() == kWithPoll && t[kWithPoll - 1] != '#')) {
        why = QStringLiteral("time text of %1 bytes is not 1#YYYYMMDDWWHHNNSS#[PPP#]").arg(t.size());
        return false;
    }
    const int year = number(t, 2, 4), month = number(t, 6, 2), day = number(t, 8, 2), week = number(t, 10, 2);
    const int hour = number(t, 12, 2), minute = number(t, 14, 2), second = number(t, 16, 2);
    const QDate date(year, month, day);
    const QTime time(hour, minute, second);
    if (!date.isValid() || !time.isValid() || week < 0 || week > 6) {
        why = QStringLiteral("time %1 is no date and time").arg(QString::fromLatin1(t.mid(2, 16)));
        return false;
    }
    if (date.dayOfWeek() % 7 != week) {
        why = QStringLiteral("week day %1 does not belong to %2").arg(week).arg(date.toString(Qt::ISODate));
        return false;
    }
    out.time = QDateTime(date, time);
    out.weekDay = week;
    out.pollTime = t.size() == kWithPoll ? number(t, kClockText, 3) : -1;
    if (t.size() == kWithPoll && out.pollTime < 0) {
        why = QStringLiteral("poll time is not three digits");
        return false;
    }
    return true;
}

} // namespace ledsign::card::answers
