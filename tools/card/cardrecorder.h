// Records the panel of every playbill (or text program) the card takes
// (--record): the first of the run to FILE, the n-th to FILE-n. Each
// recording plays a copy of what the card holds on a clock of its own and
// runs on a thread of its own, one after another, so that the card goes
// on answering while it writes.
#pragma once

#include "cardface.h"
#include "downloadreceiver.h"
#include "textprograminbox.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QSize>
#include <QString>

#include <memory>

class QThread;

namespace ledsign::card {

struct RecordingJob {
    QString file;
    double seconds = 10;
    int fps = 10;
    QSize panel;        // the screen the card plays on
    int planes = 1;
    LiveInputs inputs;
    QDateTime start;    // the card's time when the recording begins
    // What plays: a playbill, else the text program.
    std::shared_ptr<const DownloadReceiver> playbill;
    std::shared_ptr<const TextProgramInbox> textProgram;
};

class CardRecorder : public QObject {
    Q_OBJECT
public:
    explicit CardRecorder(QObject* parent = nullptr);
    // Writes what is still to be written first.
    ~CardRecorder() override;

    // Starts the job, or queues it behind the one under way.
    void record(RecordingJob job);
    // Blocks until every recording asked for is written (the card ends).
    void finishAll();
    bool busy() const { return m_thread != nullptr; }

    // What a recording thread hands back.
    struct Outcome;

signals:
    // "recorded N picture(s) of S s to FILE", or the reason it failed.
    void recorded(const QString& line);
    void failed(const QString& why);

private:
    void startNext();
    void collect();

    QList<RecordingJob> m_waiting;
    QThread* m_thread = nullptr;
    std::shared_ptr<Outcome> m_outcome;
};

} // namespace ledsign::card
