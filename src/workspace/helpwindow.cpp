#include "workspace/helpwindow.h"

#include "language/language.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace ledsign {

namespace {
constexpr QSize kGuideSize(640, 720);
// The close button says what the parameter window's close button says.
constexpr int kCloseTextCategory = 10;
} // namespace

HelpWindow::HelpWindow(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmHelp"));
    auto* layout = new QVBoxLayout(this);
    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("tbGuide"));
    browser_->setOpenExternalLinks(true);
    layout->addWidget(browser_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    close_ = new QPushButton(this);
    close_->setObjectName(QStringLiteral("btClose"));
    connect(close_, &QPushButton::clicked, this, &QDialog::close);
    buttons->addWidget(close_);
    layout->addLayout(buttons);
    resize(kGuideSize);
}

void HelpWindow::showGuide(const QString& path, const QString& title)
{
    path_ = path;
    setWindowTitle(title);
    close_->setText(GetLgText(kCloseTextCategory, QStringLiteral("btClose")));
    browser_->setSource(QUrl::fromLocalFile(path), QTextDocument::MarkdownResource);
}

} // namespace ledsign
