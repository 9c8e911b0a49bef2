#include "preview/regionplayer.h"

#include "model/materialkinds.h"

#include <QFileInfo>
#include <QStringList>

#include <cmath>

namespace ledsign {

namespace {

// Display modes of the "Move_Options" list.
enum Mode : int {
    kAdaptive = 0,
    kMoveLeft = 1, kMoveRight = 2, kMoveUp = 3, kMoveDown = 4,
    kExpandLeft = 5, kExpandRight = 6, kExpandUp = 7, kExpandDown = 8,
    kImmediate = 9,
    kMiddleToSides = 10, kSidesToMiddle = 11, kMiddleToEdges = 12, kEdgesToMiddle = 13,
    kFlash = 14,
    kRightBlinds = 15, kDownBlinds = 16,
};

constexpr int kStayUnitMs = 5000;
constexpr int kDefaultStayMs = 1000;
constexpr int kFlashLimitMs = 5000;

bool isLiveKind(int kind)
{
    return kind == kDateTime || kind == kCountUp || kind == kCountDown || kind == kAcquisition;
}

bool isHorizontalMove(int mode) { return mode == kMoveLeft || mode == kMoveRight; }

QPoint moveDirection(int mode)
{
    switch (mode) {
    case kMoveLeft: return {-1, 0};
    case kMoveRight: return {1, 0};
    case kMoveUp: return {0, -1};
    default: return {0, 1};
    }
}

// Pitch of the blind slats: a fifth of the region's other side, rounded to
// the nearest integer (ties to even), plus one.
int blindPitch(int side)
{
    return int(std::nearbyint(side / 5.0)) + 1;
}

} // namespace

QDateTime previewCountTarget(const QString& content, const QDateTime& now)
{
    const QString text = content.trimmed();
    static const QStringList formats{
        QStringLiteral("yyyy-MM-dd HH:mm:ss"), QStringLiteral("yyyy-M-d H:m:s"),
        QStringLiteral("yyyy/MM/dd HH:mm:ss"), QStringLiteral("yyyy/M/d H:m:s"),
        QStringLiteral("yyyy-MM-dd HH:mm"),    QStringLiteral("yyyy/M/d H:m"),
        QStringLiteral("yyyy-MM-dd"),          QStringLiteral("yyyy/M/d"),
    };
    for (const QString& format : formats) {
        const QDateTime parsed = QDateTime::fromString(text, format);
        if (parsed.isValid())
            return parsed;
    }
    const QDateTime iso = QDateTime::fromString(text, Qt::ISODate);
    return iso.isValid() ? iso : now;
}

RegionPlayer::RegionPlayer(const QSize& size, QList<PreviewContent> contents, int materialCount,
                           PreviewClock clock, LiveRenderer live)
    : size_(size.expandedTo(QSize(1, 1)))
    , contents_(std::move(contents))
    , materialCount_(materialCount)
    , clock_(std::move(clock))
    , live_(std::move(live))
{
    if (!clock_)
        clock_ = [] { return QDateTime::currentDateTime(); };
}

int RegionPlayer::holdTime() const
{
    return playing_.remainTime > 0 ? playing_.remainTime * kStayUnitMs : kDefaultStayMs;
}

QImage RegionPlayer::pictureAt(int index) const
{
    if (frames_.isEmpty())
        return {};
    index = ((index % frames_.size()) + frames_.size()) % frames_.size();
    const QString& file = files_.value(index);
    if (!file.isEmpty() && (playing_.kind == kImageGroup || playing_.kind == kTable) && QFileInfo::exists(file)) {
        QImage loaded(file);
        if (!loaded.isNull())
            return loaded;
    }
    return frames_.at(index);
}

void RegionPlayer::loadNextMaterial()
{
    frames_.clear();
    files_.clear();
    const int wanted = current_ + 1;
    bool first = true;
    for (const PreviewContent& c : std::as_const(contents_)) {
        if (c.materialNo != wanted)
            continue;
        if (first) {
            playing_ = c.material;
            first = false;
        }
        frames_.append(c.picture);
        files_.append(c.fileName);
    }
    current_ = wanted;
    nextMaterial_ = false;
    frameIndex_ = 0;
    repeat_ = 0;
    started_ = false;
    line_ = 0;
    flashSum_ = 0;
    elapsed_ = 0;
    // A region without materials has nothing left to play.
    if (materialCount_ <= 0) {
        current_ = 0;
        done_ = true;
    }
}

void RegionPlayer::finishMaterial()
{
    nextMaterial_ = true;
    started_ = false;
    if (current_ >= materialCount_) {
        current_ = 0;
        done_ = true;
    }
}

void RegionPlayer::advanceFrame()
{
    ++frameIndex_;
    if (frameIndex_ < frames_.size())
        return;
    ++repeat_;
    if (repeat_ < playing_.playTimes) {
        frameIndex_ = 0;
        return;
    }
    finishMaterial();
}

int RegionPlayer::step()
{
    if (clearPending_) {
        scene_ = RegionScene();
        clearPending_ = false;
    }
    if (nextMaterial_)
        loadNextMaterial();
    if (materialCount_ <= 0)
        return 0;
    if (frames_.isEmpty()) {
        // A material that gave no picture has nothing to show: go on.
        finishMaterial();
        return 10;
    }

    const int kind = playing_.kind;
    if (kind == kRemoteText || kind == kQueue)
        return stepStill();
    if (isLiveKind(kind))
        return stepLive();
    if (kind == kAnimation)
        return stepAnimation();

    switch (playing_.displayMode) {
    case kMoveLeft: case kMoveRight: case kMoveUp: case kMoveDown:
        return stepMoving();
    case kExpandLeft: case kExpandRight: case kExpandUp: case kExpandDown:
    case kMiddleToSides: case kSidesToMiddle: case kMiddleToEdges: case kEdgesToMiddle:
    case kRightBlinds: case kDownBlinds:
        return stepReveal();
    case kFlash:
        return stepFlash();
    default:
        return stepImmediate();
    }
}

int RegionPlayer::stepStill()
{
    // The card fills these in itself; each stands for its stay time like a
    // clock, so that the page moves on.
    scene_ = RegionScene();
    scene_.front.image = pictureAt(0);
    scene_.front.visible = true;
    finishMaterial();
    return holdTime();
}

int RegionPlayer::stepImmediate()
{
    scene_ = RegionScene();
    scene_.front.image = pictureAt(frameIndex_);
    scene_.front.visible = true;
    advanceFrame();
    return holdTime();
}

int RegionPlayer::stepMoving()
{
    const int mode = playing_.displayMode;
    const int s = playing_.displaySpeed;
    const int moveDelay = isHorizontalMove(mode) ? 5 * s + 5 : 4 * (5 * s + 5);
    const QPoint dir = moveDirection(mode);
    // The back control follows the front one on the side it comes from.
    const QPoint behind(-dir.x() * size_.width(), -dir.y() * size_.height());

    if (!started_) {
        scene_ = RegionScene();
        scene_.front = {pictureAt(frameIndex_), QPoint(0, 0), {}, false, true};
        scene_.back = {pictureAt(frameIndex_ + 1), behind, {}, false, true};
        started_ = true;
        // The first picture stands in place as every later one does.
        return playing_.remainTime > 0 ? playing_.remainTime * kStayUnitMs : moveDelay;
    }

    scene_.front.pos += dir;
    scene_.back.pos += dir;
    const QRect area(QPoint(0, 0), size_);
    if (!QRect(scene_.front.pos, size_).intersects(area)) {
        advanceFrame();
        if (nextMaterial_)
            return moveDelay;
        std::swap(scene_.front, scene_.back);
        scene_.back.image = pictureAt(frameIndex_ + 1);
        scene_.back.pos = scene_.front.pos + behind;
    }
    if (scene_.front.pos == QPoint(0, 0) && playing_.remainTime > 0)
        return playing_.remainTime * kStayUnitMs;
    return moveDelay;
}

int RegionPlayer::revealLines() const
{
    const int w = size_.width();
    const int h = size_.height();
    switch (playing_.displayMode) {
    case kExpandLeft: case kExpandRight: return w;
    case kExpandUp: case kExpandDown: return h;
    case kMiddleToSides: case kSidesToMiddle: return std::max(1, w / 2);
    case kMiddleToEdges: case kEdgesToMiddle: return std::max(1, h / 2);
    case kRightBlinds: return blindPitch(h) + 1;  // steps 0..p
    default: return blindPitch(w) + 1;
    }
}

QRegion RegionPlayer::revealRegion(int line, int total) const
{
    const int w = size_.width();
    const int h = size_.height();
    if (line >= total)
        return QRegion(0, 0, w, h);
    switch (playing_.displayMode) {
    case kExpandLeft: return QRegion(w - line, 0, line, h);
    case kExpandRight: return QRegion(0, 0, line, h);
    case kExpandUp: return QRegion(0, h - line, w, line);
    case kExpandDown: return QRegion(0, 0, w, line);
    case kMiddleToSides: return QRegion(w / 2 - line, 0, 2 * line, h);
    case kSidesToMiddle: return QRegion(0, 0, line, h) + QRegion(w - line, 0, line, h);
    case kMiddleToEdges: return QRegion(0, h / 2 - line, w, 2 * line);
    case kEdgesToMiddle: return QRegion(0, 0, w, line) + QRegion(0, h - line, w, line);
    case kRightBlinds: {
        const int pitch = blindPitch(h);
        const int width = line - 1;  // step i widens every slat to i pixels
        QRegion r;
        for (int x = 0; x < w && width > 0; x += pitch)
            r += QRect(x, 0, width, h);
        return r;
    }
    default: {
        const int pitch = blindPitch(w);
        const int height = line - 1;
        QRegion r;
        for (int y = 0; y < h && height > 0; y += pitch)
            r += QRect(0, y, w, height);
        return r;
    }
    }
}

int RegionPlayer::stepReveal()
{
    const int mode = playing_.displayMode;
    const int s = std::max(0, playing_.displaySpeed);
    const bool blinds = mode == kRightBlinds || mode == kDownBlinds;
    const int total = revealLines();
    if (!started_) {
        scene_ = RegionScene();
        scene_.front = {pictureAt(frameIndex_), QPoint(0, 0), QRegion(), true, true};
        line_ = 0;
        started_ = true;
    }
    ++line_;
    scene_.front.reveal = revealRegion(line_, total);
    if (line_ >= total) {
        started_ = false;
        advanceFrame();
        return holdTime();
    }
    // One line (or blind step) per tick; a faster speed setting is a
    // smaller number, as on the card.
    return blinds ? 10 * (s + 1) : s + 1;
}

int RegionPlayer::stepFlash()
{
    const int toggle = 10 * playing_.displaySpeed + 700;
    if (!started_) {
        scene_ = RegionScene();
        scene_.front = {pictureAt(frameIndex_), QPoint(0, 0), {}, false, true};
        flashSum_ = 0;
        started_ = true;
    }
    if (toggle <= 0 || flashSum_ + toggle > kFlashLimitMs) {
        scene_.front.visible = true;
        started_ = false;
        advanceFrame();
        return holdTime();
    }
    flashSum_ += toggle;
    scene_.front.visible = !scene_.front.visible;
    return toggle;
}

int RegionPlayer::stepAnimation()
{
    const bool last = frameIndex_ >= frames_.size() - 1;
    scene_ = RegionScene();
    scene_.front.image = pictureAt(frameIndex_);
    scene_.front.visible = true;
    advanceFrame();
    if (!last)
        return 10 * playing_.displaySpeed + 10;
    clearPending_ = true;
    return holdTime();
}

int RegionPlayer::stepLive()
{
    const QDateTime now = clock_();
    QDateTime target = now;
    if (playing_.kind == kCountUp || playing_.kind == kCountDown)
        target = previewCountTarget(playing_.content, now);
    QImage shown = live_ ? live_(playing_, now, target, size_) : pictureAt(0);
    if (shown.isNull())
        shown = pictureAt(0);
    scene_ = RegionScene();
    scene_.front.image = shown;
    scene_.front.visible = true;
    elapsed_ += kLiveStepMs;
    if (elapsed_ > holdTime()) {
        elapsed_ = 0;
        finishMaterial();
    }
    return kLiveStepMs;
}

} // namespace ledsign
