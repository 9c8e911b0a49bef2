// Writes a file soon after something it holds changed, once for a burst of
// changes: the first change of a quiet spell starts a short delay, and every
// change during the delay rides along. A slow sweep writes as well, for
// changes nobody announced; the write itself skips a content that did not
// change. Failures are reported once per distinct reason.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

namespace ledsign {

class CoalescedWriter : public QObject {
    Q_OBJECT
public:
    // `write` stores the content and returns false with a reason when it
    // could not.
    using Write = std::function<bool(QString* error)>;

    CoalescedWriter(Write write, int delayMs, int sweepMs, QObject* parent = nullptr);

    void start();
    void stop();
    bool isStarted() const { return started_; }

    // Something the file holds changed: it is written within the delay.
    void noteChange();
    bool isPending() const { return delay_.isActive(); }
    // Writes now (pending or not); false when the write failed.
    bool flush();

    QString lastError() const { return lastError_; }

signals:
    void writeFailed(const QString& error);
    void writeRecovered();

private:
    Write write_;
    QTimer delay_;
    QTimer sweep_;
    QString lastError_;
    bool started_ = false;
};

} // namespace ledsign
