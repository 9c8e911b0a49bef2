// The panels of the layout canvas: a card panel (the LED panel drawn at the
// card's zoom, with a bevelled frame), page panels inside it, coloured
// region panels with their name, and material panels that show a picture of
// their content. Panels only draw and report mouse actions; the canvas
// decides what they mean.
#pragma once

#include "editing/captionfit.h"

#include <QColor>
#include <QImage>
#include <QWidget>

#include <optional>

namespace ledsign {

// The black card panel with a raised outer and lowered inner bevel.
class CardPanel : public QWidget {
    Q_OBJECT
public:
    explicit CardPanel(QWidget* parent = nullptr);

signals:
    void contextMenuAt(const QPoint& globalPos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
};

// A black page panel.
class PagePanel : public QWidget {
    Q_OBJECT
public:
    explicit PagePanel(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A region: filled with its colour (or the workspace colour), its name
// centred in a black bold font.
class RegionPanel : public QWidget {
    Q_OBJECT
public:
    explicit RegionPanel(QWidget* parent = nullptr);

    void setCaption(const QString& caption);
    QString caption() const { return caption_; }
    // Empty: the application-workspace colour.
    void setColour(const std::optional<QColor>& colour);
    QColor colour() const;
    void setCaptionPointSize(int points);
    int captionPointSize() const { return captionPoints_; }
    // The size the caption is drawn at: smaller than the zoom's when the
    // panel is too small for it.
    int shownCaptionPointSize() const { return shown_.points; }

signals:
    void pressed(const QPoint& pos, Qt::MouseButton button);
    void contextMenuAt(const QPoint& globalPos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QFont captionFont() const;
    void fitCaption();

    QString caption_;
    std::optional<QColor> colour_;
    int captionPoints_ = 18;
    canvas::FittedCaption shown_;
};

// A material: fills its region and shows the material's picture, stretched
// over the panel or at the top-left in its own size times the zoom.
class MaterialPanel : public QWidget {
    Q_OBJECT
public:
    explicit MaterialPanel(QWidget* parent = nullptr);

    void setPicture(const QImage& image, bool stretched);
    const QImage& picture() const { return picture_; }
    bool stretched() const { return stretched_; }
    // The factor a picture kept in its own size is drawn at.
    void setZoomFactor(double factor);
    // The rectangle the picture covers on the panel.
    QRect pictureRect() const;
    // The selection marks of the current material.
    void setMarked(bool marked);
    bool marked() const { return marked_; }

signals:
    void pressed();
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QImage picture_;
    bool stretched_ = true;
    double factor_ = 1.0;
    bool marked_ = false;
};

} // namespace ledsign
