// The card's memory across restarts (--store DIR): the frames of the last
// whole playbill or text program, kept as they came (the header as a 0x22
// frame), and the clock's offset from the calibration ("clock", the
// milliseconds from the computer's clock in decimal). At start the card
// sets its clock and takes the frames again as if they had just arrived.
#include "virtualcard.h"

#include "cardwire.h"
#include "panelrecorder.h"

#include "config/screenparams.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace ledsign::card {

namespace {

const QString kFramesFile = QStringLiteral("memory.frames");
const QString kClockFile = QStringLiteral("clock");

} // namespace

void VirtualCard::keep(const QByteArray& frame, bool first)
{
    if (first)
        m_keeping.clear();
    m_keeping.append(frame);
}

void VirtualCard::storeMemory()
{
    const QList<QByteArray> frames = std::exchange(m_keeping, {});
    if (m_options.storeDir.isEmpty())
        return;
    if (!QDir().mkpath(m_options.storeDir)) {
        error(QStringLiteral("cannot create %1").arg(m_options.storeDir));
        return;
    }
    // Written whole or not at all: a card switched off while it stores keeps
    // what it had before.
    QSaveFile file(QDir(m_options.storeDir).filePath(kFramesFile));
    if (!file.open(QIODevice::WriteOnly)) {
        error(QStringLiteral("cannot write ") + file.fileName());
        return;
    }
    for (const QByteArray& f : frames)
        file.write(f);
    if (!file.commit()) {
        error(QStringLiteral("cannot write ") + file.fileName());
        return;
    }
    logLine(QStringLiteral("stored %1 frame(s) in %2").arg(frames.size()).arg(file.fileName()));
}

bool VirtualCard::restoreFrom(const QByteArray& bytes, QString& why)
{
    QList<QByteArray> frames;
    for (qsizetype at = 0; at < bytes.size();) {
        const qsizetype total = qsizetype(wire::le32(bytes, at + wire::kTotalAt));
        if (total < wire::kEmptyFrame || at + total > bytes.size()) {
            why = QStringLiteral("stored frame at byte %1 is cut short").arg(at);
            return false;
        }
        const QByteArray f = bytes.mid(at, total);
        if (const QString problem = wire::frameProblem(f); !problem.isEmpty()) {
            why = QStringLiteral("stored frame at byte %1: %2").arg(at).arg(problem);
            return false;
        }
        frames.append(f);
        at += total;
    }
    if (frames.isEmpty() || wire::command(frames.first()) != wire::cmd::kHeader) {
        why = QStringLiteral("the store holds no playbill header");
        return false;
    }
    const QByteArray description = wire::data(frames.first());
    if (TextProgramInbox::isTextProgramDescription(description)) {
        TextProgramInbox program;
        if (!program.takeDescription(description, why))
            return false;
        for (qsizetype i = 1; i < frames.size(); ++i) {
            const TextMaterialVerdict v = program.takeMaterialFrame(frames[i]);
            if (!v.ok) {
                why = v.error;
                return false;
            }
        }
        if (!program.complete()) {
            why = QStringLiteral("the stored text program is not whole");
            return false;
        }
        m_textProgram = program;
        startPlaying(false);
        return true;
    }
    DownloadReceiver download(m_options.colorDepth);
    if (!download.takeHeader(description, why))
        return false;
    for (qsizetype i = 1; i < frames.size(); ++i) {
        const FrameVerdict v = download.takeMaterialFrame(frames[i]);
        if (!v.ok) {
            why = v.error;
            return false;
        }
    }
    if (!download.complete()) {
        why = QStringLiteral("the stored playbill is not whole");
        return false;
    }
    m_download = download;
    startPlaying(true);
    return true;
}

void VirtualCard::storeClock()
{
    if (m_options.storeDir.isEmpty())
        return;
    QSaveFile file(QDir(m_options.storeDir).filePath(kClockFile));
    if (!QDir().mkpath(m_options.storeDir) || !file.open(QIODevice::WriteOnly)) {
        error(QStringLiteral("cannot write ") + file.fileName());
        return;
    }
    file.write(QByteArray::number(m_clock.offsetMs()) + '\n');
    if (!file.commit())
        error(QStringLiteral("cannot write ") + file.fileName());
}

void VirtualCard::restoreMemory()
{
    if (m_options.storeDir.isEmpty())
        return;
    QFile clock(QDir(m_options.storeDir).filePath(kClockFile));
    if (clock.open(QIODevice::ReadOnly)) {
        bool ok = false;
        const qint64 offset = clock.readAll().trimmed().toLongLong(&ok);
        if (ok) {
            m_clock.setOffsetMs(offset);
            logLine(QStringLiteral("restored clock %1").arg(m_clock.now().toString(Qt::ISODate)));
        } else {
            error(QStringLiteral("store %1: not a clock offset").arg(clock.fileName()));
        }
    }
    QFile file(QDir(m_options.storeDir).filePath(kFramesFile));
    if (!file.exists())
        return;
    if (!file.open(QIODevice::ReadOnly)) {
        error(QStringLiteral("cannot read ") + file.fileName());
        return;
    }
    QString why;
    if (!restoreFrom(file.readAll(), why)) {
        // What cannot be read is left as it is; the card starts empty.
        error(QStringLiteral("store %1: %2").arg(file.fileName(), why));
        return;
    }
    logLine(QStringLiteral("restored %1 page(s) from %2").arg(m_player.pageCount()).arg(file.fileName()));
    emit playbillReceived();
}

void VirtualCard::startPlaying(bool playbill)
{
    m_showingPlaybill = playbill;
    if (playbill)
        m_player.loadPlaybill(m_download);
    else
        m_player.loadTextProgram(m_textProgram);
    m_sincePlay.restart();
    record();
}

void VirtualCard::record()
{
    if (m_options.recordFile.isEmpty() || m_player.pageCount() == 0)
        return; // nothing asked, or nothing to play
    RecordingJob job;
    job.file = recordingFileFor(m_options.recordFile, ++m_recordings);
    job.seconds = m_options.recordSeconds;
    job.fps = m_options.recordFps;
    job.panel = QSize(m_options.width, m_options.height);
    if (m_parameters.size() == screenblock::kSize) {
        const int w = (quint8(m_parameters[screenblock::kWidth]) << 8) | quint8(m_parameters[screenblock::kWidth + 1]);
        const int h = (quint8(m_parameters[screenblock::kHeight]) << 8) | quint8(m_parameters[screenblock::kHeight + 1]);
        if (w > 0 && h > 0 && w <= 8192 && h <= 8192)
            job.panel = QSize(w, h);
    }
    job.planes = m_options.colorDepth;
    job.inputs = LiveInputs{m_options.acquiredValue, m_options.queueNumber};
    job.start = m_clock.now();
    if (m_showingPlaybill)
        job.playbill = std::make_shared<const DownloadReceiver>(m_download);
    else
        job.textProgram = std::make_shared<const TextProgramInbox>(m_textProgram);
    m_recorder.record(std::move(job));
}

} // namespace ledsign::card
