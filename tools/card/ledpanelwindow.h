// The virtual card's LED panel: what the card received, drawn as LED dots
// of the card's size and colours, one page at a time. Pages change every
// few seconds; the arrow keys step through them. A caption names the card
// and the page shown. When LEDSIGN_SCREENSHOT_DIR is set, every page shown
// is also saved there as a picture of the window.
#pragma once

#include <QImage>
#include <QList>
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

    int pageCount() const { return int(m_pages.size()); }
    int currentPage() const { return m_page; }
    QString caption() const;
    // Takes the pages of the playbill the card holds now.
    void reload();
    void showPage(int page);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void panelSize(int& width, int& height) const;
    void fitPanel();
    void rebuildDots();
    void saveScreenshot();

    VirtualCard& m_card;
    QString m_name;
    QString m_code;
    QList<QImage> m_pages;
    int m_page = 0;
    int m_pitch = 6;
    QImage m_dots;
    QTimer m_pageTimer;
    QString m_shotDir;
};

} // namespace ledsign::card
