#include "workspace/regionfiledrops.h"

#include "content/imagelist.h"
#include "workspace/layoutcanvas.h"
#include "workspace/layoutcanvaspanels.h"

#include <QDropEvent>
#include <QMimeData>
#include <QScrollArea>

namespace ledsign {

RegionFileDrops::RegionFileDrops(LayoutCanvas* canvas)
    : QObject(canvas)
    , box_(canvas->scrollBox()->widget())
{
    // Drops over any panel reach the box: the panels themselves take none.
    box_->setAcceptDrops(true);
    box_->installEventFilter(this);
}

RegionPanel* RegionFileDrops::regionAt(const QPoint& boxPos) const
{
    // Later siblings are drawn over earlier ones; the drag frame and the
    // material pictures on a region are passed through.
    RegionPanel* found = nullptr;
    for (RegionPanel* panel : box_->findChildren<RegionPanel*>()) {
        if (!panel->isVisibleTo(box_))
            continue;
        const QRect onBox(panel->mapTo(box_, QPoint(0, 0)), panel->size());
        if (onBox.contains(boxPos))
            found = panel;
    }
    return found;
}

bool RegionFileDrops::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != box_)
        return false;
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (regionAt(drag->position().toPoint()) && !imageFilesOf(drag->mimeData()->urls()).isEmpty())
            drag->acceptProposedAction();
        else
            drag->ignore();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        RegionPanel* region = regionAt(drop->position().toPoint());
        const QStringList files = imageFilesOf(drop->mimeData()->urls());
        if (!region || files.isEmpty())
            return true;
        drop->acceptProposedAction();
        emit filesDropped(region->objectName(), files);
        return true;
    }
    default:
        return false;
    }
}

} // namespace ledsign
