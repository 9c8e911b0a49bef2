// The drag-and-resize frame laid over a region panel: the user drags the
// region with the mouse, resizes it by one of eight handles, or moves it
// with the arrow keys (Shift + arrow keys resize). Each press, release,
// key and size change settles the frame on the grid and hands its
// rectangle to a callback that stores it in the region record and answers
// where the panel now stands. The frame frees itself when it loses the
// keyboard focus; the canvas drops one that never had it, so at most one
// exists at a time.
//
// Wiring: the layout canvas makes the frame when a region panel is clicked
// or a region is shown, and gives it the callback; nothing else needs to.
#pragma once

#include "editing/canvasgeometry.h"
#include "editing/canvasregionsync.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <optional>

namespace ledsign {

class DragFrame : public QWidget {
    Q_OBJECT
public:
    // Stores the rectangle (canvas pixels, relative to the page panel) and
    // returns where the panel now stands.
    using Settle = std::function<QRect(canvas::SyncMode, const QRect&)>;

    // Lays the frame over `target` in the target's parent and reports
    // itself made (mode 0) through `settle`. A frame made by a click on the
    // canvas takes the focus; one made for a node chosen in the tree leaves
    // the keyboard to the tree until the operator clicks the frame.
    DragFrame(QWidget* target, int zoomTenths, Settle settle, bool takeFocus = true);
    ~DragFrame() override;

    QWidget* target() const { return target_; }
    int zoomTenths() const { return zoom_; }
    bool dragging() const { return mode_ != Mode::Idle; }

    // Starts a drag as if the mouse had been pressed at `pointInFrame` (the
    // press that made the frame, which a region panel received).
    void beginDragAt(const QPoint& pointInFrame);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    enum class Mode { Idle, Moving, Resizing };

    void press(const QPoint& pointInFrame, const QPoint& globalPos);
    void settle(canvas::SyncMode mode);
    void place(const QRect& rect);
    QSize pageSize() const;
    void updateCursor(const QPoint& pointInFrame);

    QPointer<QWidget> target_;
    int zoom_;
    Settle settle_;
    Mode mode_ = Mode::Idle;
    QPoint pressPoint_;
    QPoint pressGlobal_;
    QRect pressRect_;
    canvas::Edge edge_ = canvas::Edge::BottomRight;
    bool created_ = false;
};

} // namespace ledsign
