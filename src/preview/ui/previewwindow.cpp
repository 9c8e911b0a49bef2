#include "preview/ui/previewwindow.h"

#include "language/language.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

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
                             LiveRenderer live, int zoom, QWidget* parent)
    : QDialog(parent)
    , player_(model, cardName, std::move(convert), {}, std::move(live))
    , zoom_(std::max(1, zoom))
{
    setWindowTitle(text("perview_caption", "Preview") + QStringLiteral(" - ") + cardName);
    auto* layout = new QVBoxLayout(this);
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
    layout->addLayout(bar);

    area_ = new QWidget(this);
    area_->setObjectName(QStringLiteral("pnPreView"));
    area_->setAutoFillBackground(true);
    QPalette pal = area_->palette();
    pal.setColor(QPalette::Window, QColor(40, 40, 40));
    area_->setPalette(pal);
    layout->addWidget(area_, 1);

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
    const auto& records = player_.regionRecords();
    for (int i = 0; i < player_.regions().size(); ++i) {
        const TRegion& r = records[i];
        auto* view = new PreviewRegionView(&player_.regions()[i], area_);
        view->setGeometry(r.left * zoom_, r.top * zoom_, r.width * zoom_, r.height * zoom_);
        view->show();
        views_.append(view);
    }
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
    const int next = player_.regions()[index].step();
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
