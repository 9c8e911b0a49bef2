// The 9-digit time-stamp identifiers of pages, regions and materials:
// hour, minute, second and milliseconds of the local time ("HHmmsszzz").
// The clock and the pause are injectable so that tests control time.
#pragma once

#include <QDateTime>
#include <QString>

#include <functional>

namespace ledsign {

// "HHmmsszzz" of the time: characters 7..15 of "yyMMddHHmmsszzz".
QString timeStampIdAt(const QDateTime& time);

class TimeStampIds {
public:
    using Clock = std::function<QDateTime()>;
    using Pause = std::function<void(int ms)>;

    // The local clock and a real 1 ms sleep.
    TimeStampIds();
    TimeStampIds(Clock clock, Pause pause);

    // Pauses 1 ms and formats the clock. An identifier never equals the one
    // given just before: a coarse clock is waited out (a bounded number of
    // times) rather than handing out a duplicate.
    QString next();

private:
    Clock clock_;
    Pause pause_;
    QString last_;
};

} // namespace ledsign
