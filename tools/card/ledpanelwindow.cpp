#include "ledpanelwindow.h"

#include "cardoptions.h"
#include "virtualcard.h"

#include "config/screenparams.h"
#include "protocol/conversions.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QSaveFile>
#include <QScreen>

namespace ledsign::card {

namespace {

constexpr int kCaptionHeight = 26;
constexpr int kMargin = 10;
constexpr int kMinPitch = 2;
constexpr int kMaxPitch = 12;
const QColor kUnlit(46, 46, 46);
const QColor kBackground(16, 16, 16);

} // namespace

int dotPitch(int panelWidth, int panelHeight, int maxWidth, int maxHeight)
{
    if (panelWidth <= 0 || panelHeight <= 0)
        return kMaxPitch;
    const int pitch = std::min(maxWidth / panelWidth, maxHeight / panelHeight);
    return std::clamp(pitch, kMinPitch, kMaxPitch);
}

QImage ledDots(const QImage& panel, int pitch)
{
    QImage out(panel.width() * pitch, panel.height() * pitch, QImage::Format_RGB32);
    out.fill(kBackground);
    QPainter p(&out);
    p.setPen(Qt::NoPen);
    // Small pitches have no room for round dots.
    const bool round = pitch >= 4;
    if (round)
        p.setRenderHint(QPainter::Antialiasing);
    const qreal size = round ? pitch - 1.0 : pitch;
    for (int y = 0; y < panel.height(); ++y) {
        for (int x = 0; x < panel.width(); ++x) {
            const QRgb c = panel.pixel(x, y);
            p.setBrush((c & 0xFFFFFF) == 0 ? kUnlit : QColor(c));
            const QRectF dot(x * pitch + (pitch - size) / 2, y * pitch + (pitch - size) / 2, size, size);
            if (round)
                p.drawEllipse(dot);
            else
                p.drawRect(dot);
        }
    }
    return out;
}

LedPanelWindow::LedPanelWindow(VirtualCard& card, const CardOptions& options, QWidget* parent)
    : QWidget(parent)
    , m_card(card)
    , m_name(options.name.isEmpty() ? options.cardType : options.name)
    , m_code(convert::internalCodeText(options.internalCode))
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_pageTimer.setInterval(int(options.pageSeconds * 1000));
    m_shotDir = qEnvironmentVariable("LEDSIGN_SCREENSHOT_DIR");
    connect(&m_pageTimer, &QTimer::timeout, this, [this] {
        if (m_pages.size() > 1)
            showPage((m_page + 1) % int(m_pages.size()));
    });
    connect(&card, &VirtualCard::playbillReceived, this, &LedPanelWindow::reload);
    connect(&card, &VirtualCard::parametersChanged, this, [this] {
        fitPanel();
        reload();
    });
    setMinimumSize(240, kCaptionHeight + 2 * kMargin + 40);
    fitPanel();
    reload();
}

void LedPanelWindow::fitPanel()
{
    int w = 0, h = 0;
    panelSize(w, h);
    QSize room(1200, 700);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        room = screen->availableSize() * 0.8;
    m_pitch = dotPitch(w, h, room.width() - 2 * kMargin, room.height() - kCaptionHeight - 2 * kMargin);
    resize(std::max(240, w * m_pitch + 2 * kMargin), h * m_pitch + kCaptionHeight + 2 * kMargin);
}

void LedPanelWindow::panelSize(int& width, int& height) const
{
    // The panel is as large as the card's screen parameters say.
    const QByteArray b = m_card.parameters();
    width = b.size() == screenblock::kSize
        ? (quint8(b[screenblock::kWidth]) << 8) | quint8(b[screenblock::kWidth + 1]) : 0;
    height = b.size() == screenblock::kSize
        ? (quint8(b[screenblock::kHeight]) << 8) | quint8(b[screenblock::kHeight + 1]) : 0;
    if (width <= 0 || width > 8192 || height <= 0 || height > 8192) {
        width = 64;
        height = 32;
    }
}

void LedPanelWindow::reload()
{
    int w = 0, h = 0;
    panelSize(w, h);
    m_pages.clear();
    const DownloadReceiver& d = m_card.download();
    for (int page = 0; page < d.pages().size(); ++page)
        m_pages.append(d.pagePicture(page, w, h));
    m_page = 0;
    if (m_pages.size() > 1)
        m_pageTimer.start();
    else
        m_pageTimer.stop();
    rebuildDots();
}

void LedPanelWindow::showPage(int page)
{
    if (m_pages.isEmpty())
        return;
    const int n = int(m_pages.size());
    m_page = ((page % n) + n) % n;
    if (m_pageTimer.isActive())
        m_pageTimer.start(); // a stepped page gets its full time
    rebuildDots();
}

QString LedPanelWindow::caption() const
{
    int w = 0, h = 0;
    panelSize(w, h);
    const QString card = QStringLiteral("%1 [%2] %3\u00D7%4").arg(m_name, m_code).arg(w).arg(h);
    if (m_pages.isEmpty())
        return card + QStringLiteral(" \u2014 no playbill yet");
    return card + QStringLiteral(" \u2014 page %1 of %2").arg(m_page + 1).arg(m_pages.size());
}

void LedPanelWindow::rebuildDots()
{
    int w = 0, h = 0;
    panelSize(w, h);
    QImage panel(w, h, QImage::Format_RGB32);
    panel.fill(Qt::black);
    if (!m_pages.isEmpty())
        panel = m_pages[m_page];
    m_dots = ledDots(panel, m_pitch);
    setWindowTitle(caption());
    update();
    m_card.logEvent(QStringLiteral("panel ") + caption());
    if (!m_shotDir.isEmpty())
        QTimer::singleShot(0, this, &LedPanelWindow::saveScreenshot);
}

void LedPanelWindow::saveScreenshot()
{
    QString code = m_code;
    const QString path = QStringLiteral("%1/card-panel-%2-page%3.png")
                             .arg(m_shotDir, code.replace(u'_', u'-'))
                             .arg(m_pages.isEmpty() ? 0 : m_page + 1);
    // Written whole or not at all: a page coming round again rewrites it.
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && grab().save(&file, "PNG") && file.commit())
        m_card.logEvent(QStringLiteral("screenshot ") + path);
}

void LedPanelWindow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), kBackground);
    p.setPen(QColor(220, 220, 220));
    p.drawText(QRect(kMargin, 0, width() - 2 * kMargin, kCaptionHeight), Qt::AlignLeft | Qt::AlignVCenter,
               caption());
    const QRect area(kMargin, kCaptionHeight + kMargin, width() - 2 * kMargin, height() - kCaptionHeight - 2 * kMargin);
    QImage dots = m_dots;
    if (dots.width() > area.width() || dots.height() > area.height())
        dots = dots.scaled(area.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    p.drawImage(area.x() + (area.width() - dots.width()) / 2, area.y() + (area.height() - dots.height()) / 2, dots);
}

void LedPanelWindow::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Right:
    case Qt::Key_Down:
    case Qt::Key_PageDown:
        showPage(m_page + 1);
        break;
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_PageUp:
        showPage(m_page - 1);
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

} // namespace ledsign::card
