#include "cardplayer.h"

#include "downloadreceiver.h"
#include "textprograminbox.h"

#include "model/materialkinds.h"
#include "preview/previewplayer.h"

#include <QPainter>

namespace ledsign::card {

namespace {

constexpr qint64 kNever = std::numeric_limits<qint64>::max();
constexpr int kMaxStepsPerAdvance = 200000;

MaterialKind kindOfType(int t)
{
    switch (t) {
    case '0': return kRemoteText;
    case '1': return kDateTime;
    case '3': return kCountDown;
    case '4': return kCountUp;
    case '5': return kQueue;
    case '6': return kAcquisition;
    case '7': return kInternalCodeText;
    case ';': case '<': case '=': return kAnimation;
    default: return kSingleText;
    }
}

bool isComputed(int t) { return t == '1' || t == '3' || t == '4' || t == '6'; }

QImage drawLive(const QHash<QString, CardPlayer::LiveFace>& faces, const QDateTime& now, int planes,
                const LiveInputs& inputs, const TFodder& material, const QSize& size)
{
    const auto it = faces.constFind(material.id);
    if (it == faces.cend())
        return {};
    QList<TextRun> runs;
    Align align = Align::Centre;
    int shift = 0;
    switch (it->typeCode) {
    case '1': {
        TimeBlock b;
        if (!readTimeBlock(it->content, b))
            return {};
        runs = clockRuns(b, now);
        break;
    }
    case '3':
    case '4': {
        CountBlock b;
        if (!readCountBlock(it->content, b))
            return {};
        runs = countRuns(b, it->typeCode == '4', now);
        break;
    }
    default: {
        AcquisitionBlock b;
        if (!readAcquisitionBlock(it->content, b))
            return {};
        runs = {{acquisitionText(b, inputs.acquiredValue), b.color, b.fontCode, b.sizeCode}};
        align = b.align;
        shift = b.rightShift - b.leftShift;
        break;
    }
    }
    return drawRotated(material.rotateMode, size, [&](const QSize& area, bool turned) {
               return QList<QImage>{drawLines(layoutLines(runs, 0, turned), area, planes, align, shift)};
           }).value(0);
}

} // namespace

CardPlayer::CardPlayer(const CardClock& clock, int width, int height, int planes, LiveInputs inputs)
    : m_clock(clock)
    , m_width(std::max(1, width))
    , m_height(std::max(1, height))
    , m_planes(planes)
    , m_inputs(std::move(inputs))
    , m_live(std::make_shared<QHash<QString, LiveFace>>())
{
}

void CardPlayer::resize(int width, int height)
{
    m_width = std::max(1, width);
    m_height = std::max(1, height);
}

void CardPlayer::addMaterial(RegionPlan& region, TFodder m, const QList<QImage>& pictures, bool live)
{
    const int number = ++region.materialCount;
    if (live) {
        region.contents.append({number, QImage(), QString(), m});
        return;
    }
    for (const QImage& p : pictures)
        region.contents.append({number, p, QString(), m});
    if (!pictures.isEmpty() && needsTrailingBlank(m)) {
        // Scrolling text leaves the region completely before it comes again.
        QImage blank(region.rect.size(), QImage::Format_RGB32);
        blank.fill(Qt::black);
        region.contents.append({number, blank, QString(), m});
    }
}

void CardPlayer::loadPlaybill(const DownloadReceiver& d)
{
    m_pages.clear();
    m_live->clear();
    for (const PlaybillPage& page : d.pages()) {
        PagePlan plan;
        QString why;
        if (!readPageTime(page.time, plan.time, why))
            plan.time = PageTime(); // unreadable: kept, plays every day
        m_pages.append(plan);
    }
    const QList<PlaybillEntry>& entries = d.entries();
    for (int i = 0; i < entries.size(); ++i) {
        const PlaybillEntry& e = entries[i];
        if (e.page < 0 || e.page >= m_pages.size())
            continue;
        PagePlan& page = m_pages[e.page];
        const QRect rect(e.x, e.y, std::max(1, e.width), std::max(1, e.height));
        RegionPlan* region = nullptr;
        for (RegionPlan& r : page.regions) {
            if (r.rect == rect)
                region = &r;
        }
        if (!region) {
            page.regions.append({rect, {}, 0});
            region = &page.regions.last();
        }
        const MaterialDescriptor desc = d.descriptor(i + 1);
        TFodder m;
        m.id = QStringLiteral("%1#%2").arg(e.id).arg(i + 1);
        m.kind = kindOfType(e.typeCode);
        m.typeCode = e.typeCode;
        m.displayMode = desc.displayMode;
        m.displaySpeed = desc.displaySpeed;
        m.remainTime = desc.remainTime;
        m.rotateMode = desc.rotateMode;
        bool ok = false;
        m.playTimes = std::max(1, e.playTimes.toInt(&ok));
        const QByteArray content = d.content(i + 1);
        QList<QImage> pictures;
        if (isComputed(e.typeCode)) {
            m_live->insert(m.id, {e.typeCode, content});
        } else if (e.typeCode == '7') {
            InternalCodeBlock b;
            if (readInternalCodeBlock(content, b))
                pictures = textPages({{b.text, b.color, b.fontCode, b.sizeCode}}, rect.size(), m_planes, m.rotateMode);
        } else if (e.typeCode == '5') {
            QueueBlock b;
            if (readQueueBlock(content, b)) {
                const QList<GlyphLine> lines = layoutLines(queueRuns(b, m_inputs.queueNumber), rect.width());
                pictures.append(drawLines(lines, rect.size(), m_planes));
            }
        } else if (e.typeCode == '0') {
            QImage dark(rect.size(), QImage::Format_RGB32);
            dark.fill(Qt::black); // the remote server's text has not come
            pictures.append(dark);
        } else {
            pictures = d.pictures(i + 1);
        }
        addMaterial(*region, m, pictures, isComputed(e.typeCode));
    }
    m_now = 0;
    m_current = -1;
    m_regions.clear();
    choosePage(false);
}

void CardPlayer::loadTextProgram(const TextProgramInbox& program)
{
    m_pages.clear();
    m_live->clear();
    const QList<TextProgramMaterial> materials = program.materials();
    const QRect rect(0, 0, m_width, m_height);
    for (const TextProgramPage& page : program.pages()) {
        PagePlan plan;
        QString why;
        if (!readPageTime((page.startTime + u'-' + page.endTime).toLatin1(), plan.time, why))
            plan.time = PageTime();
        RegionPlan region{rect, {}, 0};
        for (const TextProgramEntry& entry : page.entries) {
            for (const TextProgramMaterial& tm : materials) {
                if (tm.id != entry.id)
                    continue;
                TFodder m;
                m.id = tm.id;
                m.kind = kSingleText;
                m.displayMode = tm.displayMode;
                m.displaySpeed = tm.displaySpeed;
                m.remainTime = tm.remainTime;
                m.playTimes = std::max(1, entry.playTimes);
                addMaterial(region, m, textPages(cardTextRuns(tm.text), rect.size(), m_planes), false);
            }
        }
        plan.regions.append(region);
        m_pages.append(plan);
    }
    m_now = 0;
    m_current = -1;
    m_regions.clear();
    choosePage(false);
}

QList<CardPlayer::LiveRegion> CardPlayer::regionsOf(int page) const
{
    QList<LiveRegion> out;
    if (page < 0 || page >= m_pages.size())
        return out;
    const CardClock* clock = &m_clock;
    // Copies of the player keep drawing from the same faces.
    LiveRenderer renderer = [faces = m_live, planes = m_planes, inputs = m_inputs](
                                const TFodder& m, const QDateTime& now, const QDateTime&, const QSize& size) {
        return drawLive(*faces, now, planes, inputs, m, size);
    };
    for (const RegionPlan& r : m_pages[page].regions) {
        out.append({r.rect,
                    RegionPlayer(r.rect.size(), r.contents, r.materialCount, [clock] { return clock->now(); }, renderer),
                    m_now});
    }
    return out;
}

void CardPlayer::startPage(int page)
{
    ++m_generation;
    m_current = page;
    m_regions = regionsOf(page);
}

QImage CardPlayer::pageStartPicture(int page) const
{
    QImage panel(m_width, m_height, QImage::Format_RGB32);
    panel.fill(Qt::black);
    QPainter p(&panel);
    for (LiveRegion& r : regionsOf(page)) {
        r.player.step();
        p.save();
        p.setClipRect(r.rect);
        p.drawImage(r.rect.topLeft(), r.player.picture());
        p.restore();
    }
    return panel;
}

void CardPlayer::choosePage(bool regionsDone)
{
    const QDateTime now = m_clock.now();
    const int n = int(m_pages.size());
    const bool currentPlays = m_current >= 0 && m_current < n && playsAt(m_pages[m_current].time, now);
    if (currentPlays && !regionsDone)
        return;
    // The next page after the current one that plays now, the current one
    // included last.
    const int from = m_current < 0 ? 0 : m_current + 1;
    for (int k = 0; k < n; ++k) {
        const int page = (from + k) % n;
        if (!playsAt(m_pages[page].time, now))
            continue;
        if (page != m_current || !currentPlays)
            startPage(page);
        return;
    }
    if (!currentPlays)
        startPage(-1);
}

void CardPlayer::setPlaying(bool playing)
{
    if (playing && !m_playing) {
        m_current = -1;
        m_regions.clear();
        m_playing = true;
        choosePage(false);
        return;
    }
    m_playing = playing;
}

void CardPlayer::advanceTo(qint64 ms)
{
    if (!m_playing) {
        m_now = std::max(m_now, ms);
        return;
    }
    for (int pass = 0; pass < 2; ++pass) {
        for (int steps = 0; steps < kMaxStepsPerAdvance; ++steps) {
            int next = -1;
            for (int i = 0; i < m_regions.size(); ++i) {
                if (m_regions[i].due <= ms && (next < 0 || m_regions[i].due < m_regions[next].due))
                    next = i;
            }
            if (next < 0)
                break;
            LiveRegion& r = m_regions[next];
            m_now = r.due;
            if (r.player.done() && !r.roundOver) {
                // Once every region has played all its materials, the next
                // page that plays now takes over; a lone page plays on.
                r.roundOver = true;
                bool allOver = true;
                for (const LiveRegion& region : std::as_const(m_regions))
                    allOver = allOver && region.roundOver;
                const int generation = m_generation;
                if (allOver)
                    choosePage(true);
                if (generation != m_generation)
                    continue; // the new page's regions step from now
            }
            const int wait = r.player.step();
            r.due = wait > 0 ? r.due + wait : kNever;
        }
        m_now = std::max(m_now, ms);
        // A page whose time has ended gives way even while nothing steps;
        // the page that takes over shows at once.
        const int generation = m_generation;
        choosePage(false);
        if (generation == m_generation)
            break;
    }
}

QImage CardPlayer::picture() const
{
    QImage panel(m_width, m_height, QImage::Format_RGB32);
    panel.fill(Qt::black);
    if (!m_playing)
        return panel;
    QPainter p(&panel);
    for (const LiveRegion& r : m_regions) {
        p.save();
        p.setClipRect(r.rect);
        p.drawImage(r.rect.topLeft(), r.player.picture());
        p.restore();
    }
    return panel;
}

} // namespace ledsign::card
