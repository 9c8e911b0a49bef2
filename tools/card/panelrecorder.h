// Records what the panel shows while the card plays: as an animated GIF
// (LED dots, every picture held as long as it stood) or as a numbered PNG
// sequence (FILE-0001.png, ... one per picture taken). The recording runs
// on its own clock, so N seconds of play are written in less time than
// that, and it is written as it goes: only the picture standing is kept.
#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace ledsign::card {

class CardPlayer;

// The panel picture as LED dots of `pitch` pixels on a dark background.
QImage recordedDots(const QImage& panel, int pitch);

// Takes the panel's pictures one interval apart and writes them to `file`:
// `.gif` one animated GIF (made under a temporary name and put in place
// when finished), `.png` a numbered sequence beside the given name.
class RecordingWriter {
public:
    RecordingWriter(const QString& file, int intervalMs);
    ~RecordingWriter();
    RecordingWriter(const RecordingWriter&) = delete;
    RecordingWriter& operator=(const RecordingWriter&) = delete;

    // False with the reason when the picture cannot be written.
    bool add(const QImage& panel);
    // Writes what still stands and closes the file.
    bool finish();

    QString error() const { return m_why; }
    int pictureCount() const { return m_count; }
    // What the recording is found as: the GIF, or every PNG of the sequence.
    QStringList written() const { return m_written; }

    struct Gif;

private:
    bool writeStanding();

    QString m_file;
    int m_intervalMs;
    bool m_gif;
    std::unique_ptr<Gif> m_out;
    QImage m_standing;  // the GIF picture not written yet, and how long it stood
    int m_standingFor = 0;
    int m_count = 0;
    QString m_why;
    QStringList m_written;
};

// Plays `player` (freshly loaded, on a clock that follows the time handed
// to `setTime`) for `seconds` and hands a picture every 1000/fps ms to the
// writer. False when the writer refused one.
bool recordPlay(CardPlayer& player, const std::function<void(qint64 ms)>& setTime, double seconds, int fps,
                RecordingWriter& writer);

// The file the n-th recording of a run goes to: the first to `file`, later
// ones with "-n" before the extension.
QString recordingFileFor(const QString& file, int n);

} // namespace ledsign::card
