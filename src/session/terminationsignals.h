// SIGTERM and SIGINT turned into a Qt signal on the main thread, so that a
// logout, `kill` or Ctrl+C closes the editor the way its Exit command does
// (settings written, cards released, the instance lock given back) instead
// of ending it on the spot. The handler only writes the signal number into
// a socket pair; everything else happens in the event loop.
#pragma once

#include <QObject>

class QSocketNotifier;

namespace ledsign {

class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    bool isInstalled() const { return notifier_ != nullptr; }

signals:
    // `count` is 1 for the first request, 2 for the second, ...
    void terminationRequested(int signalNumber, int count);

private:
    void readSignal();

    QSocketNotifier* notifier_ = nullptr;
    int count_ = 0;
};

} // namespace ledsign
