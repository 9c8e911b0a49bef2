// The card's clock: the time the last time calibration set, running on from
// there. The time source below it is injectable, so that tests can stand at
// any instant.
#pragma once

#include <QDateTime>

#include <functional>

namespace ledsign::card {

class CardClock {
public:
    using Source = std::function<QDateTime()>;
    explicit CardClock(Source source = {});

    QDateTime now() const;
    // A time calibration: from now on the card's time runs from `time`.
    void set(const QDateTime& time);
    // How far the card's time is from the source's, as a card's own clock
    // keeps it while switched off.
    qint64 offsetMs() const { return m_offsetMs; }
    void setOffsetMs(qint64 offset) { m_offsetMs = offset; }

private:
    Source m_source;
    qint64 m_offsetMs = 0;
};

} // namespace ledsign::card
