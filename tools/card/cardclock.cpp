#include "cardclock.h"

namespace ledsign::card {

CardClock::CardClock(Source source)
    : m_source(std::move(source))
{
    if (!m_source)
        m_source = [] { return QDateTime::currentDateTime(); };
}

QDateTime CardClock::now() const { return m_source().addMSecs(m_offsetMs); }

void CardClock::set(const QDateTime& time)
{
    if (time.isValid())
        m_offsetMs = m_source().msecsTo(time);
}

} // namespace ledsign::card
