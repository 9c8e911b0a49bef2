// The virtual card's LED panel: what the card plays, drawn as LED dots of
// the card's size and colours at the card's pace. A caption names the card
// and the page playing. Told a screen area to keep clear, it opens beside
// it. When LEDSIGN_SCREENSHOT_DIR is set, every page that starts is also
// saved there as a picture of the window.
#pragma once

#include <QImage>
#include <QList>
#include <QRect>
#include <QTimer>
#include <QWidget>

namespace ledsign::card {

class VirtualCard;
struct CardOptions;

// The dots of one panel picture: each pixel a round LED `pitch` pixels
// apart, lit in its colour or dimly unlit.
QImage ledDots(const QImage& panel, int pitch);
// The distance between dots that fits the panel into the area (2 to 12).
int dotPitch(int panelWidth, int panelHeight, int maxWidth, int maxHeight);

class LedPanelWindow : public QWidget {
    Q_OBJECT
public:
    LedPanelWindow(VirtualCard& card, const CardOptions& options, QWidget* parent = nullptr);

    QString caption() const;
    // Brings the panel to what the card shows now.
    void refresh();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void panelSize(int& width, int& height) const;
    void fitPanel();
    void rebuildDots();
    void saveScreenshot();

    VirtualCard& m_card;
    QString m_name;
    QString m_code;
    QRect m_beside; // the screen area to open beside, when given
    QImage m_shown;
    int m_page = -2;
    int m_pitch = 6;
    QImage m_dots;
    QTimer m_frameTimer;
    QString m_shotDir;
};

} // namespace ledsign::card
