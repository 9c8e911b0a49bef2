// Records what the panel shows while the card plays: as an animated GIF
// (LED dots, every picture held as long as it stood) or as a numbered PNG
// sequence (FILE-0001.png, ... one per picture taken). The recording runs
// on its own clock, so N seconds of play are written in less time than
// that.
#pragma once

#include <QImage>
#include <QList>
#include <QString>

#include <functional>

namespace ledsign::card {

class CardPlayer;

struct Recording {
    QList<QImage> pictures; // one per interval
    int intervalMs = 100;
};

// Plays `player` (freshly loaded, on a clock that follows the time handed
// to `setTime`) for `seconds` and takes a picture every 1000/fps ms.
Recording recordPlay(CardPlayer& player, const std::function<void(qint64 ms)>& setTime, double seconds, int fps);

// The panel picture as LED dots of `pitch` pixels on a dark background.
QImage recordedDots(const QImage& panel, int pitch);

// Writes the recording; false with the reason. `.gif` gives one animated
// GIF, `.png` a numbered sequence beside the given name.
bool writeRecording(const Recording& recording, const QString& file, QString& why, QStringList* written = nullptr);

} // namespace ledsign::card
