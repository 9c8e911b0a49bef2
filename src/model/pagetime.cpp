#include "model/pagetime.h"

#include "model/bitstring.h"
#include "model/codec.h"
#include "model/lenientdate.h"

namespace ledsign {

namespace {

// 1-based positions of the two ":" of "HH:mm-HH:mm", where the week bytes go.
constexpr int kWeekPos1 = 3;
constexpr int kWeekPos2 = 9;

// Bit widths of the date parts packed into the colons and digits.
constexpr int kYearBits = 6;
constexpr int kMonthBits = 4;
constexpr int kDayBits = 5;
constexpr int kHourBits = 5;
constexpr int kMinuteBits = 6;
constexpr int kSecondBits = 6;

char byteOfBits(const QString& bits)
{
    return static_cast<char>(fromBits(bits) & 0xFF);
}

QString dayBit(const QString& cycle, char digit)
{
    return cycle.contains(QLatin1Char(digit)) ? QStringLiteral("1") : QStringLiteral("0");
}

QByteArray encodeByWeek(QByteArray s, const QString& cycle)
{
    if (s.size() >= kWeekPos1) {
        s[kWeekPos1 - 1] = byteOfBits(QStringLiteral("01000") + dayBit(cycle, '6') + dayBit(cycle, '5')
                                      + dayBit(cycle, '4'));
    }
    if (s.size() >= kWeekPos2) {
        s[kWeekPos2 - 1] = byteOfBits(QStringLiteral("0100") + dayBit(cycle, '3') + dayBit(cycle, '2')
                                      + dayBit(cycle, '1') + dayBit(cycle, '0'));
    }
    return s;
}

QByteArray encodeByDate(const QByteArray& s, int playMode, const QDateTime& date)
{
    QString prefix;
    if (playMode == kPlayByDate)
        prefix = QStringLiteral("1000");
    else if (playMode == kPlayByDateAlt)
        prefix = QStringLiteral("1100");

    const QString stamp = date.toString(QStringLiteral("yyMMddHHmmss"));
    auto part = [&stamp](int i) { return stamp.mid(i * 2, 2).toInt(); };
    const QString bits = toBits(part(0), kYearBits) + toBits(part(1), kMonthBits) + toBits(part(2), kDayBits)
        + toBits(part(3), kHourBits) + toBits(part(4), kMinuteBits) + toBits(part(5), kSecondBits);

    QByteArray out;
    out.reserve(s.size());
    qsizetype cursor = 0;
    // Past the 32 date bits a longer time text gets what is left, as a
    // substring would: nothing.
    auto take = [&bits, &cursor](int n) {
        const QString piece = bits.mid(cursor, n);
        cursor += n;
        return piece;
    };
    for (char c : s) {
        if (c == ':') {
            out += byteOfBits(prefix + take(4));
        } else if (c == '-') {
            out += c;
        } else {
            const int digit = (c >= '0' && c <= '9') ? c - '0' : 0;
            out += byteOfBits(QStringLiteral("1") + take(3) + toBits(digit, 4));
        }
    }
    return out;
}

} // namespace

bool encodePageTime(const TProgram& page, QByteArray* out, QString* error)
{
    const QByteArray s = codec::encode(page.startTime + QLatin1Char('-') + page.endTime);
    if (page.playMode == kPlayEveryDay) {
        *out = s;
    } else if (page.playMode == kPlayByWeek) {
        *out = encodeByWeek(s, page.playCycle);
    } else {
        const LenientDate date = parseLenientDate(page.playDate);
        if (!date.ok) {
            out->clear();
            if (error)
                *error = QStringLiteral("'%1' is not a valid date").arg(page.playDate);
            return false;
        }
        *out = encodeByDate(s, page.playMode, date.value);
    }
    if (error)
        error->clear();
    return true;
}

} // namespace ledsign
