#include "ledpanelwindow.h"

#include "cardoptions.h"
#include "panelplacement.h"
#include "virtualcard.h"

#include "config/screenparams.h"
#include "protocol/conversions.h"

#include <QGuiApplication>
#include <QHash>
#include <QPainter>
#include <QSaveFile>
#include <QScreen>

namespace ledsign::card {

namespace {

constexpr int kCaptionHeight = 26;
constexpr int kMargin = 10;
// A title bar and borders, until the window manager says.
constexpr QSize kFrameAllowance(8, 32);
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
    // One dot drawn per colour, then copied to every LED of that colour.
    const bool round = pitch >= 4; // small pitches have no room for round dots
    QHash<QRgb, QImage> sprites;
    auto sprite = [&](QRgb colour) -> const QImage& {
        auto it = sprites.find(colour);
        if (it != sprites.end())
            return *it;
        QImage dot(pitch, pitch, QImage::Format_RGB32);
        dot.fill(kBackground);
        QPainter p(&dot);
        p.setPen(Qt::NoPen);
        p.setBrush((colour & 0xFFFFFF) == 0 ? kUnlit : QColor(colour));
        const qreal size = round ? pitch - 1.0 : pitch;
        const QRectF r((pitch - size) / 2, (pitch - size) / 2, size, size);
        if (round) {
            p.setRenderHint(QPainter::Antialiasing);
            p.drawEllipse(r);
        } else {
            p.drawRect(r);
        }
        return *sprites.insert(colour, dot);
    };
    QPainter p(&out);
    for (int y = 0; y < panel.height(); ++y) {
        for (int x = 0; x < panel.width(); ++x)
            p.drawImage(x * pitch, y * pitch, sprite(panel.pixel(x, y) | 0xFF000000));
    }
    return out;
}

LedPanelWindow::LedPanelWindow(VirtualCard& card, const CardOptions& options, QWidget* parent)
    : QWidget(parent)
    , m_card(card)
    , m_name(options.name.isEmpty() ? options.cardType : options.name)
    , m_code(convert::internalCodeText(options.internalCode))
    , m_beside(options.beside)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_shotDir = qEnvironmentVariable("LEDSIGN_SCREENSHOT_DIR");
    // The card plays at its own pace; the window looks 25 times a second.
    m_frameTimer.setInterval(40);
    connect(&m_frameTimer, &QTimer::timeout, this, &LedPanelWindow::refresh);
    connect(&card, &VirtualCard::playbillReceived, this, &LedPanelWindow::refresh);
    connect(&card, &VirtualCard::parametersChanged, this, [this] {
        int w = 0, h = 0;
        panelSize(w, h);
        // The card starts playing again on its new screen.
        m_card.player().resize(w, h);
        if (m_card.player().playing()) {
            m_card.player().setPlaying(false);
            m_card.player().setPlaying(true);
        }
        fitPanel();
        m_shown = QImage();
        m_page = -2;
        refresh();
    });
    setMinimumSize(240, kCaptionHeight + 2 * kMargin + 40);
    fitPanel();
    refresh();
    m_frameTimer.start();
}

void LedPanelWindow::fitPanel()
{
    int w = 0, h = 0;
    panelSize(w, h);
    QSize room(1200, 700);
    const QScreen* screen = m_beside.isValid() ? QGuiApplication::screenAt(m_beside.center()) : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(QPoint(0, 0), room);
    if (m_beside.isValid())
        room = roomBeside(m_beside, available) - kFrameAllowance;
    else if (screen)
        room = available.size() * 0.8;
    m_pitch = dotPitch(w, h, room.width() - 2 * kMargin, room.height() - kCaptionHeight - 2 * kMargin);
    resize(std::max(240, w * m_pitch + 2 * kMargin), h * m_pitch + kCaptionHeight + 2 * kMargin);
    if (m_beside.isValid()) {
        // Before the window manager framed the window its frame is guessed.
        const QSize outer = frameGeometry().size() != size() ? frameGeometry().size() : size() + kFrameAllowance;
        move(besidePosition(m_beside, outer, available));
    }
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

void LedPanelWindow::refresh()
{
    m_card.tick();
    const QImage panel = m_card.player().picture();
    const int page = m_card.player().currentPage();
    if (panel == m_shown && page == m_page)
        return;
    const bool pageChanged = page != m_page;
    m_shown = panel;
    m_page = page;
    m_dots = ledDots(panel, m_pitch);
    setWindowTitle(caption());
    update();
    if (pageChanged) {
        m_card.logEvent(QStringLiteral("panel ") + caption());
        if (!m_shotDir.isEmpty())
            // A moment later, so that the page has begun to show.
            QTimer::singleShot(600, this, &LedPanelWindow::saveScreenshot);
    }
}

QString LedPanelWindow::caption() const
{
    int w = 0, h = 0;
    panelSize(w, h);
    const QString card = QStringLiteral("%1 [%2] %3\u00D7%4").arg(m_name, m_code).arg(w).arg(h);
    const CardPlayer& player = m_card.player();
    if (player.pageCount() == 0)
        return card + QStringLiteral(" \u2014 no playbill yet");
    if (!player.playing())
        return card + QStringLiteral(" \u2014 stopped");
    if (player.currentPage() < 0)
        return card + QStringLiteral(" \u2014 no page plays now");
    return card + QStringLiteral(" \u2014 page %1 of %2").arg(player.currentPage() + 1).arg(player.pageCount());
}

void LedPanelWindow::saveScreenshot()
{
    QString code = m_code;
    const QString path = QStringLiteral("%1/card-panel-%2-page%3.png")
                             .arg(m_shotDir, code.replace(u'_', u'-'))
                             .arg(m_page + 1);
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

} // namespace ledsign::card
