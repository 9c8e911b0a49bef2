// The preview of one card's playbill: the list of pages still to play, the
// regions of the current page (at most 20) with their content lists, and
// the page change once every region of the page has played all its
// materials. Pictures come from a conversion handed in, so that the player
// can be driven without a window and without the renderer.
#pragma once

#include "model/projectmodel.h"
#include "preview/regionplayer.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace ledsign {

inline constexpr int kMaxPreviewRegions = 20;

// What the conversion gives for one material on a region of the given size.
struct MaterialPictures {
    bool ok = true;
    QList<QImage> pictures;   // texts, internal codes, animations, display texts
    QStringList imageFiles;   // image groups and tables (with a stored picture each, when known)
};

using PreviewConversion = std::function<MaterialPictures(const TFodder& material, int width, int height)>;

class PreviewPlayer {
public:
    PreviewPlayer(const ProjectModel& model, QString cardName, PreviewConversion convert,
                  PreviewClock clock = {}, LiveRenderer live = {});

    // The pages of the card that are not text-program pages, in playbill order.
    void rebuildPages();
    // Builds the regions of the first page left. False when a conversion
    // failed: the preview area then stays hidden.
    bool buildFirstPage();
    // Rebuilds the page list and builds the first page (the play button).
    bool restart();
    // Region `index` is due: its step, and the milliseconds until the next
    // one. A region that is done when it is due again has played its round,
    // the last material's time included; once every region of the page has,
    // and another page is left, it keeps its last picture for the page check.
    int stepRegion(int index);
    // The page check: when more than one page is left and every region of the
    // current page has played its round, drops the current page and builds
    // the next one. True when the page changed (the window restarts its
    // timers).
    bool checkPageChange();

    const QStringList& pageIds() const { return pageIds_; }
    QString currentPageId() const { return pageIds_.value(0); }
    bool areaVisible() const { return areaVisible_; }

    QList<RegionPlayer>& regions() { return players_; }
    const QList<RegionPlayer>& regions() const { return players_; }
    const QList<TRegion>& regionRecords() const { return regionRecords_; }

private:
    bool pageOver() const;

    const ProjectModel& model_;
    QString cardName_;
    PreviewConversion convert_;
    PreviewClock clock_;
    LiveRenderer live_;

    QStringList pageIds_;
    QList<TRegion> regionRecords_;
    QList<RegionPlayer> players_;
    QList<bool> roundOver_; // per region: done and due again
    bool areaVisible_ = false;
};

// Why the preview cannot open (a language key of category 3 for panel 4 of
// the status bar), or empty when it can: no tree selection, or a card
// without any page, region or material to play.
QString previewOpenProblem(const ProjectModel& model, const QString& cardName, bool hasSelection);

// The preview window's size: the canvas width (at least 200) and the canvas
// height plus 50.
QSize previewWindowSize(const QSize& canvas);

// Kinds whose text scrolls: a moving mode without a stay gets one black
// picture after the last one, so that the text leaves the region completely.
bool needsTrailingBlank(const TFodder& material);

} // namespace ledsign
