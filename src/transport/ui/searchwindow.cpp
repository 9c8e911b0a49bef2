#include "transport/ui/searchwindow.h"

#include "language/language.h"
#include "transport/cardsearch.h"

#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

namespace ledsign {

namespace {
constexpr int kSearchCategory = 13;
constexpr int kSmallWidth = 500;
constexpr int kSmallHeight = 128;
constexpr int kLargeWidth = 685;
constexpr int kLargeHeight = 300;
constexpr int kStopFromRight = 135;
} // namespace

QString searchHints()
{
    QStringList lines;
    for (int i = 1; i <= 5; ++i)
        lines << GetLgText(kSearchCategory, QStringLiteral("tip_search_hint%1").arg(i));
    return lines.join(QLatin1Char('\n'));
}

TfrmSearch::TfrmSearch(CardSearch& search, QWidget* parent)
    : QDialog(parent)
    , m_search(search)
{
    setObjectName(QStringLiteral("frmSearch"));
    setModal(true);
    m_caption = new QLabel(this);
    lbSurplus = new QLabel(this);
    lbSeconds = new QLabel(this);
    lbSecond = new QLabel(this);
    pbSearch = new QProgressBar(this);
    pbSearch->setTextVisible(false);
    btStop = new QPushButton(this);
    m_hints = new QLabel(this);
    m_hints->setWordWrap(true);
    m_hints->hide();

    connect(btStop, &QPushButton::clicked, this, &QDialog::close);
    connect(&search, &CardSearch::captionChanged, m_caption, &QLabel::setText);
    connect(&search, &CardSearch::progressChanged, this, &TfrmSearch::onProgress);
    connect(&search, &CardSearch::closeWanted, this, &QDialog::close);
    connect(&search, &CardSearch::enlargeWanted, this, [this] {
        m_hints->setText(searchHints());
        m_hints->show();
        setSize(kLargeWidth, kLargeHeight);
    });
}

void TfrmSearch::applyTexts()
{
    setWindowTitle(GetLgText(kSearchCategory, QStringLiteral("search_cards")));
    lbSurplus->setText(GetLgText(kSearchCategory, QStringLiteral("lbSurplus")));
    lbSecond->setText(GetLgText(kSearchCategory, QStringLiteral("lbSecond")));
    btStop->setText(GetLgText(kSearchCategory, QStringLiteral("btStop")));
    m_caption->setText(windowTitle());
}

void TfrmSearch::setSize(int width, int height)
{
    const int w = int(width * m_scale);
    const int h = int(height * m_scale);
    setFixedSize(w, h);
    const int margin = int(12 * m_scale);
    const int row = int(24 * m_scale);
    m_caption->setGeometry(margin, margin, w - 2 * margin, row);
    lbSurplus->setGeometry(margin, margin + row, int(80 * m_scale), row);
    lbSeconds->setGeometry(margin + int(80 * m_scale), margin + row, int(50 * m_scale), row);
    lbSecond->setGeometry(margin + int(130 * m_scale), margin + row, int(80 * m_scale), row);
    pbSearch->setGeometry(margin, margin + 2 * row + 4, w - int(50 * m_scale), int(18 * m_scale));
    btStop->setGeometry(w - int(kStopFromRight * m_scale), margin + row - 2, int(90 * m_scale), row);
    m_hints->setGeometry(margin, margin + 3 * row + 12, w - 2 * margin, h - (margin + 3 * row + 12) - margin);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(w / 2, h / 2));
}

void TfrmSearch::onProgress(int remaining, int total)
{
    lbSeconds->setText(QString::number(remaining));
    pbSearch->setRange(0, total);
    pbSearch->setValue(total - remaining);
}

void TfrmSearch::showEvent(QShowEvent* event)
{
    applyTexts();
    m_hints->hide();
    setSize(kSmallWidth, kSmallHeight);
    QDialog::showEvent(event);
    m_search.start();
}

void TfrmSearch::done(int result)
{
    // Escape ends the window without a close event; the search stops however
    // the window goes.
    if (isVisible())
        m_search.stop(); // a running search closes the window itself
    if (isVisible())
        QDialog::done(result);
}

} // namespace ledsign
