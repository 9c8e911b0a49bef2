#include "workspace/layoutcanvaspanels.h"

#include "editing/canvasgeometry.h"
#include "editing/canvaspicture.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <qdrawutil.h>

namespace ledsign {

namespace {

constexpr int kBevelWidth = 3;
constexpr int kMaterialFontPoints = 9;

} // namespace

CardPanel::CardPanel(QWidget* parent)
    : QWidget(parent)
{
}

void CardPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    const QPalette pal = palette();
    // Single border, raised outer bevel, lowered inner bevel.
    painter.setPen(pal.color(QPalette::WindowText));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    const QRect outer = rect().adjusted(1, 1, -1, -1);
    qDrawShadePanel(&painter, outer, pal, false, kBevelWidth);
    const QRect inner = outer.adjusted(kBevelWidth, kBevelWidth, -kBevelWidth, -kBevelWidth);
    qDrawShadePanel(&painter, inner, pal, true, kBevelWidth);
}

void CardPanel::contextMenuEvent(QContextMenuEvent* event)
{
    emit contextMenuAt(event->globalPos());
}

PagePanel::PagePanel(QWidget* parent)
    : QWidget(parent)
{
}

void PagePanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
}

RegionPanel::RegionPanel(QWidget* parent)
    : QWidget(parent)
{
}

void RegionPanel::setCaption(const QString& caption)
{
    caption_ = caption;
    fitCaption();
}

QFont RegionPanel::captionFont() const
{
    QFont f = font();
    f.setBold(true);
    return f;
}

void RegionPanel::fitCaption()
{
    shown_ = canvas::fitCaption(caption_, captionFont(), captionPoints_, size());
    update();
}

void RegionPanel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    fitCaption();
}

void RegionPanel::setColour(const std::optional<QColor>& colour)
{
    colour_ = colour;
    update();
}

QColor RegionPanel::colour() const
{
    // The application-workspace colour stands in for numbers without a colour.
    return colour_ ? *colour_ : palette().color(QPalette::Dark);
}

void RegionPanel::setCaptionPointSize(int points)
{
    captionPoints_ = qMax(1, points);
    fitCaption();
}

void RegionPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), colour());
    QFont font = captionFont();
    font.setPointSize(shown_.points);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, shown_.text);
}

void RegionPanel::mousePressEvent(QMouseEvent* event)
{
    emit pressed(event->position().toPoint(), event->button());
    event->accept();
}

void RegionPanel::contextMenuEvent(QContextMenuEvent* event)
{
    emit contextMenuAt(event->globalPos());
}

MaterialPanel::MaterialPanel(QWidget* parent)
    : QWidget(parent)
{
    QFont f = font();
    f.setPointSize(kMaterialFontPoints);
    setFont(f);
}

void MaterialPanel::setPicture(const QImage& image, bool stretched)
{
    picture_ = image;
    stretched_ = stretched;
    update();
}

void MaterialPanel::setZoomFactor(double factor)
{
    factor_ = factor > 0 ? factor : 1.0;
    update();
}

QRect MaterialPanel::pictureRect() const
{
    if (stretched_)
        return rect();
    return {0, 0, canvas::scaleRounded(picture_.width(), factor_), canvas::scaleRounded(picture_.height(), factor_)};
}

void MaterialPanel::setMarked(bool marked)
{
    marked_ = marked;
    update();
}

void MaterialPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (!picture_.isNull()) {
        const QRect target = pictureRect();
        // Enlarged pictures keep their LED dots; reduced ones stay legible.
        painter.setRenderHint(QPainter::SmoothPixmapTransform,
                              target.width() < picture_.width() || target.height() < picture_.height());
        painter.drawImage(target, picture_);
    }
    if (marked_)
        canvas::drawSelectionMarks(painter, size());
}

void MaterialPanel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton)
        emit pressed();
    event->accept();
}

void MaterialPanel::mouseDoubleClickEvent(QMouseEvent* event)
{
    emit doubleClicked();
    event->accept();
}

} // namespace ledsign
