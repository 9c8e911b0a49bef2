// Plays the materials of one preview region the way the card would: one
// material after another, each picture with the material's display mode,
// speed, stay time and play count. Every call of step() performs one step
// and says how long to wait before the next, so that a window can drive it
// with a timer and a test with a loop; the clock is injectable.
#pragma once

#include "model/tfodder.h"
#include "preview/previewscene.h"

#include <QDateTime>
#include <QImage>
#include <QList>
#include <QSize>
#include <QString>

#include <functional>

namespace ledsign {

// One picture (or picture file) of a material in a region's content list.
struct PreviewContent {
    int materialNo = 0;  // 1-based, in the region's material order
    QImage picture;
    QString fileName;    // image groups and tables: read when the file still exists
    TFodder material;    // the play attributes and display-text inputs
};

// Draws the display text of a live material (date and time, counts,
// acquisition) at `now` as one picture of the region's size; counts count
// from or towards `target`.
using LiveRenderer =
    std::function<QImage(const TFodder& material, const QDateTime& now, const QDateTime& target, const QSize& size)>;
using PreviewClock = std::function<QDateTime()>;

// The time a count material counts from or towards: its content read as a
// date and time, or `now` when it does not read.
QDateTime previewCountTarget(const QString& content, const QDateTime& now);

// Interval of the live materials' redraw.
inline constexpr int kLiveStepMs = 500;

class RegionPlayer {
public:
    RegionPlayer(const QSize& size, QList<PreviewContent> contents, int materialCount, PreviewClock clock = {},
                 LiveRenderer live = {});

    // Performs one step; returns the milliseconds until the next one, 0 when
    // the region stays as it is until play restarts (it has no material).
    int step();

    const RegionScene& scene() const { return scene_; }
    QImage picture() const { return composeScene(scene_, size_); }
    QSize size() const { return size_; }

    // True from the step that shows the last material's last picture: the
    // region has played all its materials once (it then starts again).
    bool done() const { return done_; }
    int materialCount() const { return materialCount_; }
    int currentMaterial() const { return current_; }
    int frameIndex() const { return frameIndex_; }
    int frameCount() const { return int(frames_.size()); }
    int repeatCount() const { return repeat_; }
    const TFodder& playing() const { return playing_; }

private:
    void loadNextMaterial();
    void advanceFrame();
    void finishMaterial();
    QImage pictureAt(int index) const;
    int holdTime() const;

    int stepMoving();
    int stepReveal();
    int stepFlash();
    int stepImmediate();
    int stepAnimation();
    int stepLive();
    int stepStill();

    QRegion revealRegion(int line, int total) const;
    int revealLines() const;

    QSize size_;
    QList<PreviewContent> contents_;
    int materialCount_ = 0;
    PreviewClock clock_;
    LiveRenderer live_;

    int current_ = 0;
    bool done_ = false;
    bool nextMaterial_ = true;

    QList<QImage> frames_;
    QStringList files_;
    TFodder playing_;
    int frameIndex_ = 0;
    int repeat_ = 0;

    bool started_ = false;  // the current picture (or material, for moving modes) has begun
    int line_ = 0;          // revealed lines or blind step
    int flashSum_ = 0;
    int elapsed_ = 0;
    bool clearPending_ = false;

    RegionScene scene_;
};

} // namespace ledsign
