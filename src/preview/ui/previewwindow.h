// The preview window: plays a card's playbill on screen with one timer per
// region and a page-check timer. The player decides what shows when; the
// window only paints the regions and runs the timers. Its zoom bar steps
// through the layout canvas's zoom factors while it plays; it can start
// playing as soon as it shows.
#pragma once

#include "preview/previewplayer.h"

#include <QDialog>
#include <QList>
#include <QTimer>

class QLabel;
class QPushButton;
class QWidget;

namespace ledsign {

class PreviewRegionView;

class PreviewWindow : public QDialog {
    Q_OBJECT
public:
    // `zoom` magnifies LED pixels on screen (a zoom factor of the canvas).
    PreviewWindow(const ProjectModel& model, const QString& cardName, PreviewConversion convert,
                  LiveRenderer live = {}, double zoom = 1, QWidget* parent = nullptr);
    ~PreviewWindow() override;

    void play();
    void stop();
    // Play starts when the window shows (otherwise on the play button only).
    void setPlayOnShow(bool on) { playOnShow_ = on; }
    // One step of the zoom bar, as on the canvas; the panels follow at once
    // and playing goes on.
    void zoomStep(bool narrow);
    double zoom() const { return zoom_; }
    PreviewPlayer& player() { return player_; }
    bool playing() const { return playing_; }
    // tRegion01 .. tRegion20 and tCheckStatus.
    const QList<QTimer*>& regionTimers() const { return regionTimers_; }
    const QTimer& pageCheckTimer() const { return checkTimer_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void stopTimers();
    void startTimers();
    void rebuildPanels();
    void placePanels();
    void regionTick(int index);
    void checkPages();

    PreviewPlayer player_;
    double zoom_;
    QSize cardLeds_;
    bool playOnShow_ = false;
    QLabel* zoomLabel_ = nullptr;
    QWidget* area_ = nullptr;      // pnPreView
    QList<PreviewRegionView*> views_;
    QList<QTimer*> regionTimers_;  // tRegion01 .. tRegion20
    QTimer checkTimer_;            // tCheckStatus
    QPushButton* playButton_ = nullptr;
    QPushButton* stopButton_ = nullptr;
    bool playing_ = false;
};

} // namespace ledsign
