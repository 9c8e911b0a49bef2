#include "workspace/dragframe.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace ledsign {

using canvas::Edge;
using canvas::SyncMode;

namespace {

Qt::CursorShape cursorFor(Edge edge)
{
    switch (edge) {
    case Edge::TopLeft:
    case Edge::BottomRight: return Qt::SizeFDiagCursor;
    case Edge::TopRight:
    case Edge::BottomLeft: return Qt::SizeBDiagCursor;
    case Edge::Top:
    case Edge::Bottom: return Qt::SizeVerCursor;
    case Edge::Left:
    case Edge::Right: return Qt::SizeHorCursor;
    }
    return Qt::ArrowCursor;
}

} // namespace

DragFrame::DragFrame(QWidget* target, int zoomTenths, Settle settle, bool takeFocus)
    : QWidget(target ? target->parentWidget() : nullptr)
    , target_(target)
    , zoom_(zoomTenths)
    , settle_(std::move(settle))
{
    setObjectName(QStringLiteral("dragFrame"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setMaximumSize(canvas::kMaxFrameWidth, canvas::kMaxFrameHeight);
    if (target_)
        setGeometry(target_->geometry());
    show();
    raise();
    if (settle_)
        settle_(SyncMode::FrameMade, geometry());
    created_ = true;
    if (takeFocus)
        setFocus(Qt::OtherFocusReason);
    update();
}

DragFrame::~DragFrame()
{
    created_ = false;
}

QSize DragFrame::pageSize() const
{
    return parentWidget() ? parentWidget()->size() : QSize();
}

void DragFrame::place(const QRect& rect)
{
    setGeometry(rect);
    if (target_)
        target_->setGeometry(rect);
    update();
}

void DragFrame::settle(SyncMode mode)
{
    QRect rect = canvas::settleFrame(geometry());
    if (settle_ && created_)
        rect = settle_(mode, rect);
    place(rect);
}

void DragFrame::beginDragAt(const QPoint& pointInFrame)
{
    press(pointInFrame, mapToGlobal(pointInFrame));
    grabMouse();
}

void DragFrame::press(const QPoint& pointInFrame, const QPoint& globalPos)
{
    const std::optional<Edge> edge = canvas::handleAt(pointInFrame, size());
    if (edge) {
        mode_ = Mode::Resizing;
        edge_ = *edge;
    } else {
        mode_ = Mode::Moving;
    }
    pressPoint_ = pointInFrame;
    pressGlobal_ = globalPos;
    update();
    settle(SyncMode::Pressed);
    pressRect_ = geometry();
}

void DragFrame::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    press(event->position().toPoint(), event->globalPosition().toPoint());
    event->accept();
}

void DragFrame::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    if (mode_ == Mode::Moving) {
        const QPoint topLeft = canvas::dragTopLeft(point, pressPoint_, geometry(), pageSize());
        move(topLeft);
        if (target_)
            target_->move(topLeft);
    } else if (mode_ == Mode::Resizing) {
        const QPoint delta = event->globalPosition().toPoint() - pressGlobal_;
        place(canvas::resizeFrame(pressRect_, edge_, delta));
        settle(SyncMode::Resized);
    } else {
        updateCursor(point);
    }
    event->accept();
}

void DragFrame::mouseReleaseEvent(QMouseEvent* event)
{
    if (mode_ != Mode::Idle) {
        mode_ = Mode::Idle;
        if (mouseGrabber() == this)
            releaseMouse();
        update();
        settle(SyncMode::Pressed);
    }
    event->accept();
}

void DragFrame::keyPressEvent(QKeyEvent* event)
{
    const QSize step = canvas::keyStep(zoom_);
    int dx = 0;
    int dy = 0;
    switch (event->key()) {
    case Qt::Key_Left: dx = -step.width(); break;
    case Qt::Key_Right: dx = step.width(); break;
    case Qt::Key_Up: dy = -step.height(); break;
    case Qt::Key_Down: dy = step.height(); break;
    default: QWidget::keyPressEvent(event); return;
    }
    if (event->modifiers() & Qt::ShiftModifier) {
        const QRect r = geometry();
        place(QRect(r.topLeft(), QSize(qMax(1, r.width() + dx), qMax(1, r.height() + dy))));
        settle(SyncMode::Resized);
    } else {
        place(QRect(canvas::placeFrame(pos() + QPoint(dx, dy), size(), pageSize()), size()));
        settle(SyncMode::Pressed);
    }
    event->accept();
}

void DragFrame::focusInEvent(QFocusEvent* event)
{
    update();
    QWidget::focusInEvent(event);
}

void DragFrame::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    // Switching to another window keeps the frame; a click anywhere else
    // in this one ends it.
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason) {
        update();
        return;
    }
    hide();
    deleteLater();
}

void DragFrame::updateCursor(const QPoint& pointInFrame)
{
    const std::optional<Edge> edge = canvas::handleAt(pointInFrame, size());
    setCursor(edge ? cursorFor(*edge) : Qt::SizeAllCursor);
}

void DragFrame::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QPen outline(hasFocus() ? Qt::white : Qt::darkGray, 1, Qt::DotLine);
    painter.setPen(outline);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    const QColor fill = hasFocus() ? Qt::white : Qt::gray;
    for (const canvas::Handle& handle : canvas::frameHandles(size())) {
        painter.fillRect(handle.rect, Qt::black);
        painter.fillRect(handle.rect.adjusted(1, 1, -1, -1), fill);
    }
}

} // namespace ledsign
