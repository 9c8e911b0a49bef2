#include "preview/ui/previewwindow.h"

#include "editing/canvasgeometry.h"
#include "language/fixedtexts.h"
#include "language/language.h"

#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace ledsign {

namespace {
constexpr int kLanguageCategory = 9;
// Starting and stopping play set every timer, the page check included, to
// this interval; the region steps choose their own intervals afterwards.
constexpr int kPlayInterval = 10;
constexpr int kCheckInterval = 2000; // before the first play

QString text(const char* key, const char* fallback)
{
    const QString t = GetLgText(kLanguageCategory, QString::fromLatin1(key));
    return t.isEmpty() ? QString::fromUtf8(fallback) : t;
}
} // namespace

// One region panel: black, no border, painting the player's scene.
class PreviewRegionView : public QWidget {
public:
    PreviewRegionView(const RegionPlayer* player, QWidget* parent)
        : QWidget(parent), player_(player)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.drawImage(rect(), player_->picture());
    }

private:
    const RegionPlayer* player_;
};

PreviewWindow::PreviewWindow(const ProjectModel& model, const QString& cardName, PreviewConversion convert,
                             LiveRenderer live, double zoom, QWidget* parent)
    : QDialog(parent)
    , player_(model, cardName, std::move(convert), {}, std::move(live))
    , zoom_(std::clamp(zoom, canvas::kMinZoom, canvas::kMaxZoom))
{
    if (const auto card = model.findCard(cardName))
        cardLeds_ = QSize(card.record->width, card.record->height);
    setWindowTitle(text("perview_caption", "Preview") + QStringLiteral(" - ") + cardName);
    auto* layout = new QVBoxLayout(this);
    // The window is the card's canvas panel plus 16 pixels each way: the
    // panel's room must not go to margins.
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    auto* bar = new QHBoxLayout;
    playButton_ = new QPushButton(text("tBtnPlay", "▶"), this);
    stopButton_ = new QPushButton(text("tBtnStop", "■"), this);
    auto* exitButton = new QPushButton(text("tBtnExit", "✕"), this);
    playButton_->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    stopButton_->setIcon(style()->standardIcon(QStyle::SP_MediaStop));
    exitButton->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    playButton_->setObjectName(QStringLiteral("tBtnPlay"));
    stopButton_->setObjectName(QStringLiteral("tBtnStop"));
    exitButton->setObjectName(QStringLiteral("tBtnExit"));
    bar->addWidget(playButton_);
    bar->addWidget(stopButton_);
    bar->addWidget(exitButton);
    bar->addStretch();
    // The zoom bar of the canvas: enlarge, the factor, narrow.
    auto* enlarge = new QToolButton(this);
    enlarge->setObjectName(QStringLiteral("sbEnlarge"));
    enlarge->setText(QStringLiteral("+"));
    enlarge->setToolTip(fixedtext::enlargeHint());
    enlarge->setShortcut(QKeySequence::ZoomIn);
    zoomLabel_ = new QLabel(this);
    zoomLabel_->setObjectName(QStringLiteral("lbScaleSize"));
    zoomLabel_->setAlignment(Qt::AlignCenter);
    zoomLabel_->setMinimumWidth(zoomLabel_->fontMetrics().horizontalAdvance(QStringLiteral("0.50")));
    auto* narrow = new QToolButton(this);
    narrow->setObjectName(QStringLiteral("sbNarrow"));
    narrow->setText(QStringLiteral("−"));
    narrow->setToolTip(fixedtext::narrowHint());
    narrow->setAccessibleName(fixedtext::narrowName());
    narrow->setShortcut(QKeySequence::ZoomOut);
    bar->addWidget(enlarge);
    bar->addWidget(zoomLabel_);
    bar->addWidget(narrow);
    connect(enlarge, &QToolButton::clicked, this, [this] { zoomStep(false); });
    connect(narrow, &QToolButton::clicked, this, [this] { zoomStep(true); });
    layout->addLayout(bar);

    // A card larger than the window at this zoom scrolls.
    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    area_ = new QWidget;
    area_->setObjectName(QStringLiteral("pnPreView"));
    area_->setAutoFillBackground(true);
    QPalette pal = area_->palette();
    pal.setColor(QPalette::Window, QColor(40, 40, 40));
    area_->setPalette(pal);
    scroll->setWidget(area_);
    scroll->setPalette(pal);
    layout->addWidget(scroll, 1);
    zoomLabel_->setText(canvas::zoomLabelText(zoom_));
    area_->setMinimumSize(cardLeds_ * zoom_);

    for (int i = 0; i < kMaxPreviewRegions; ++i) {
        auto* t = new QTimer(this);
        t->setObjectName(QStringLiteral("tRegion%1").arg(i + 1, 2, 10, QLatin1Char('0')));
        connect(t, &QTimer::timeout, this, [this, i] { regionTick(i); });
        regionTimers_.append(t);
    }
    checkTimer_.setInterval(kCheckInterval);
    connect(&checkTimer_, &QTimer::timeout, this, &PreviewWindow::checkPages);
    connect(playButton_, &QPushButton::clicked, this, &PreviewWindow::play);
    connect(stopButton_, &QPushButton::clicked, this, &PreviewWindow::stop);
    connect(exitButton, &QPushButton::clicked, this, &QDialog::close);
}

PreviewWindow::~PreviewWindow()
{
    stopTimers();
}

void PreviewWindow::showEvent(QShowEvent* event)
{
    stopTimers();
    player_.rebuildPages();
    QDialog::showEvent(event);
    if (playOnShow_)
        play();
}

void PreviewWindow::zoomStep(bool narrow)
{
    const double next = canvas::zoomStep(zoom_, narrow);
    if (next == zoom_)
        return;
    zoom_ = next;
    zoomLabel_->setText(canvas::zoomLabelText(zoom_));
    area_->setMinimumSize(cardLeds_ * zoom_);
    placePanels();
    // The window grows or shrinks with the card, within the screen.
    QSize wanted = previewWindowSize(cardLeds_ * zoom_ + QSize(16, 16));
    if (const QScreen* s = screen())
        wanted = wanted.boundedTo(s->availableGeometry().size());
    resize(wanted);
}

void PreviewWindow::placePanels()
{
    const int tenths = canvas::zoomTenths(zoom_);
    const auto& records = player_.regionRecords();
    for (int i = 0; i < views_.size() && i < records.size(); ++i) {
        const TRegion& r = records[i];
        views_[i]->setGeometry(canvas::ledToCanvas(r.left, tenths), canvas::ledToCanvas(r.top, tenths),
                               canvas::ledToCanvas(r.width, tenths), canvas::ledToCanvas(r.height, tenths));
    }
}

void PreviewWindow::stopTimers()
{
    for (QTimer* t : std::as_const(regionTimers_)) {
        t->stop();
        t->setInterval(kPlayInterval);
    }
    checkTimer_.stop();
    checkTimer_.setInterval(kPlayInterval);
}

void PreviewWindow::startTimers()
{
    for (int i = 0; i < player_.regions().size() && i < regionTimers_.size(); ++i) {
        regionTimers_[i]->setInterval(kPlayInterval);
        regionTimers_[i]->start();
    }
    checkTimer_.setInterval(kPlayInterval);
    checkTimer_.start();
}

void PreviewWindow::rebuildPanels()
{
    qDeleteAll(views_);
    views_.clear();
    area_->setVisible(player_.areaVisible());
    for (int i = 0; i < player_.regions().size(); ++i) {
        auto* view = new PreviewRegionView(&player_.regions()[i], area_);
        view->show();
        views_.append(view);
    }
    placePanels();
}

void PreviewWindow::play()
{
    stopTimers();
    player_.restart();
    rebuildPanels();
    playing_ = true;
    if (player_.areaVisible())
        startTimers();
}

void PreviewWindow::stop()
{
    stopTimers();
    playing_ = false;
}

void PreviewWindow::regionTick(int index)
{
    QTimer* timer = regionTimers_.value(index);
    if (!timer || index >= player_.regions().size())
        return;
    timer->stop();
    const int next = player_.stepRegion(index);
    if (index < views_.size())
        views_[index]->update();
    if (next > 0) {
        timer->setInterval(next);
        timer->start();
    }
}

void PreviewWindow::checkPages()
{
    if (!player_.checkPageChange())
        return;
    stopTimers();
    rebuildPanels();
    startTimers();
}

} // namespace ledsign
