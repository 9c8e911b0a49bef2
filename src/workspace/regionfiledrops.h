// Picture files dropped from a file manager on a region of the layout
// canvas. Watches the canvas's scroll box, takes drags that carry picture
// files while they are over a region panel, and names the region's panel on
// a drop; the main window decides which image group receives them.
//
//   auto* drops = new RegionFileDrops(canvas);
//   connect(drops, &RegionFileDrops::filesDropped, window, ...);
#pragma once

#include <QObject>
#include <QPoint>
#include <QStringList>

class QWidget;

namespace ledsign {

class LayoutCanvas;
class RegionPanel;

class RegionFileDrops : public QObject {
    Q_OBJECT
public:
    explicit RegionFileDrops(LayoutCanvas* canvas);

    // The visible region panel under a point of the scroll box, the one
    // drawn on top when regions overlap; null when none.
    RegionPanel* regionAt(const QPoint& boxPos) const;

signals:
    void filesDropped(const QString& regionPanelName, const QStringList& files);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* box_;
};

} // namespace ledsign
