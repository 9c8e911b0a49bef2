// Plays what the card holds as a card does: the pages whose play times,
// week days or dates hold on the card's clock, one after another; every
// region of a page at the same time, its materials in order with their
// play counts and display modes (the preview's region timing model); the
// materials the card computes drawn from their blocks at every step.
// Time is handed in (milliseconds since play started), so a window drives
// it with a timer and a test stands at any instant.
#pragma once

#include "cardclock.h"
#include "cardface.h"
#include "pageschedule.h"

#include "preview/regionplayer.h"

#include <QHash>
#include <QImage>
#include <QList>
#include <QRect>

#include <memory>

namespace ledsign::card {

class DownloadReceiver;
class TextProgramInbox;

class CardPlayer {
public:
    CardPlayer(const CardClock& clock, int width, int height, int planes, LiveInputs inputs = {});

    // Takes a whole playbill, or a text program; play starts again at 0 ms.
    void loadPlaybill(const DownloadReceiver& download);
    void loadTextProgram(const TextProgramInbox& program);
    void resize(int width, int height);

    // Start and stop play: a stopped card shows nothing; starting plays
    // from the first page again.
    void setPlaying(bool playing);
    bool playing() const { return m_playing; }

    // Plays on up to `ms` since play started.
    void advanceTo(qint64 ms);
    qint64 time() const { return m_now; }
    QImage picture() const;

    // A page as it looks when it starts, whatever the clock says of it.
    QImage pageStartPicture(int page) const;

    int pageCount() const { return int(m_pages.size()); }
    int currentPage() const { return m_current; } // -1: no page plays now
    int regionCount() const { return int(m_regions.size()); }
    const RegionPlayer& region(int i) const { return m_regions[i].player; }

private:
    struct RegionPlan {
        QRect rect;
        QList<PreviewContent> contents;
        int materialCount = 0;
    };
    struct PagePlan {
        PageTime time;
        QList<RegionPlan> regions;
    };
    struct LiveRegion {
        QRect rect;
        RegionPlayer player;
        qint64 due = 0;
        bool roundOver = false; // all its materials played and the last one's time is up
    };
public:
    // What the card draws afresh at every step of a computed material.
    struct LiveFace {
        int typeCode = 0;
        QByteArray content;
    };

private:
    void addMaterial(RegionPlan& region, TFodder material, const QList<QImage>& pictures, bool live);
    void choosePage(bool regionsDone);
    void startPage(int page);
    QList<LiveRegion> regionsOf(int page) const;

    const CardClock& m_clock;
    int m_width;
    int m_height;
    int m_planes;
    LiveInputs m_inputs;
    std::shared_ptr<QHash<QString, LiveFace>> m_live;

    QList<PagePlan> m_pages;
    QList<LiveRegion> m_regions;
    int m_current = -1;
    int m_generation = 0; // counts page starts
    bool m_playing = true;
    qint64 m_now = 0;
};

} // namespace ledsign::card
