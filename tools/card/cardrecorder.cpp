#include "cardrecorder.h"

#include "cardclock.h"
#include "cardplayer.h"
#include "panelrecorder.h"

#include <QThread>

namespace ledsign::card {

struct CardRecorder::Outcome {
    bool ok = false;
    int pictures = 0;
    QString what;  // the written file (or the sequence's name), or the reason
    double seconds = 0;
};

namespace {

void play(const RecordingJob& job, CardRecorder::Outcome& out);

} // namespace

CardRecorder::CardRecorder(QObject* parent)
    : QObject(parent)
{
}

CardRecorder::~CardRecorder() { finishAll(); }

void CardRecorder::record(RecordingJob job)
{
    m_waiting.append(std::move(job));
    if (!m_thread)
        startNext();
}

void CardRecorder::startNext()
{
    if (m_waiting.isEmpty())
        return;
    const RecordingJob job = m_waiting.takeFirst();
    auto outcome = std::make_shared<Outcome>();
    m_outcome = outcome;
    m_thread = QThread::create([job, outcome] { play(job, *outcome); });
    connect(m_thread, &QThread::finished, this, &CardRecorder::collect);
    m_thread->start(QThread::LowPriority);
}

void CardRecorder::collect()
{
    if (!m_thread || !m_thread->isFinished())
        return;
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    const std::shared_ptr<Outcome> o = std::exchange(m_outcome, {});
    if (o->ok)
        emit recorded(QStringLiteral("recorded %1 picture(s) of %2 s to %3").arg(o->pictures).arg(o->seconds).arg(o->what));
    else
        emit failed(o->what);
    startNext();
}

void CardRecorder::finishAll()
{
    while (m_thread) {
        m_thread->wait();
        collect();
    }
}

namespace {

void play(const RecordingJob& job, CardRecorder::Outcome& out)
{
    // The copy plays on a clock that starts at the card's time and moves
    // with the recording.
    qint64 elapsed = 0;
    const QDateTime start = job.start;
    const CardClock clock([&start, &elapsed] { return start.addMSecs(elapsed); });
    CardPlayer player(clock, job.panel.width(), job.panel.height(), job.planes, job.inputs);
    if (job.playbill)
        player.loadPlaybill(*job.playbill);
    else if (job.textProgram)
        player.loadTextProgram(*job.textProgram);
    const int intervalMs = std::max(1, 1000 / std::max(1, job.fps));
    RecordingWriter writer(job.file, intervalMs);
    out.seconds = job.seconds;
    out.ok = recordPlay(player, [&elapsed](qint64 ms) { elapsed = ms; }, job.seconds, job.fps, writer);
    out.pictures = writer.pictureCount();
    const QStringList written = writer.written();
    out.what = !out.ok ? writer.error() : written.size() == 1 ? written.first() : job.file;
}

} // namespace

} // namespace ledsign::card
