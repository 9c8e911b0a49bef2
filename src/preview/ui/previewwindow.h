// The preview window: plays a card's playbill on screen with one timer per
// region and a page-check timer. The player decides what shows when; the
// window only paints the regions and runs the timers.
#pragma once

#include "preview/previewplayer.h"

#include <QDialog>
#include <QList>
#include <QTimer>

class QPushButton;
class QWidget;

namespace ledsign {

class PreviewRegionView;

class PreviewWindow : public QDialog {
    Q_OBJECT
public:
    // `zoom` magnifies LED pixels on screen.
    PreviewWindow(const ProjectModel& model, const QString& cardName, PreviewConversion convert,
                  LiveRenderer live = {}, int zoom = 1, QWidget* parent = nullptr);
    ~PreviewWindow() override;

    void play();
    void stop();
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
    void regionTick(int index);
    void checkPages();

    PreviewPlayer player_;
    int zoom_;
    QWidget* area_ = nullptr;      // pnPreView
    QList<PreviewRegionView*> views_;
    QList<QTimer*> regionTimers_;  // tRegion01 .. tRegion20
    QTimer checkTimer_;            // tCheckStatus
    QPushButton* playButton_ = nullptr;
    QPushButton* stopButton_ = nullptr;
    bool playing_ = false;
};

} // namespace ledsign
