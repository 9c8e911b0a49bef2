#include "model/timestampid.h"

#include <QThread>

namespace ledsign {

namespace {
constexpr int kPauseMs = 1;
// A clock that does not move within this many pauses is not waited out.
constexpr int kMaxExtraPauses = 50;
} // namespace

QString timeStampIdAt(const QDateTime& time)
{
    return time.toString(QStringLiteral("yyMMddHHmmsszzz")).mid(6, 9);
}

TimeStampIds::TimeStampIds()
    : TimeStampIds([] { return QDateTime::currentDateTime(); }, [](int ms) { QThread::msleep(ms); })
{
}

TimeStampIds::TimeStampIds(Clock clock, Pause pause)
    : clock_(std::move(clock))
    , pause_(std::move(pause))
{
}

QString TimeStampIds::next()
{
    pause_(kPauseMs);
    QString id = timeStampIdAt(clock_());
    for (int i = 0; id == last_ && i < kMaxExtraPauses; ++i) {
        pause_(kPauseMs);
        id = timeStampIdAt(clock_());
    }
    last_ = id;
    return id;
}

} // namespace ledsign
