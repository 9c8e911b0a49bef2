#include "model/coalescedwriter.h"

namespace ledsign {

CoalescedWriter::CoalescedWriter(Write write, int delayMs, int sweepMs, QObject* parent)
    : QObject(parent)
    , write_(std::move(write))
{
    delay_.setSingleShot(true);
    delay_.setInterval(delayMs);
    sweep_.setInterval(sweepMs);
    connect(&delay_, &QTimer::timeout, this, &CoalescedWriter::flush);
    connect(&sweep_, &QTimer::timeout, this, &CoalescedWriter::flush);
}

void CoalescedWriter::start()
{
    started_ = true;
    if (sweep_.interval() > 0)
        sweep_.start();
}

void CoalescedWriter::stop()
{
    started_ = false;
    delay_.stop();
    sweep_.stop();
}

void CoalescedWriter::noteChange()
{
    // A running delay is not restarted: a steady stream of changes must
    // not postpone the write for ever.
    if (started_ && !delay_.isActive())
        delay_.start();
}

bool CoalescedWriter::flush()
{
    delay_.stop();
    QString error;
    if (write_(&error)) {
        if (!lastError_.isEmpty()) {
            lastError_.clear();
            emit writeRecovered();
        }
        return true;
    }
    if (error != lastError_) {
        lastError_ = error;
        emit writeFailed(error);
    }
    return false;
}

} // namespace ledsign
