#include "workspace/helpwindow.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace ledsign {

namespace {
constexpr QSize kGuideSize(640, 720);
}

HelpWindow::HelpWindow(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmHelp"));
    auto* layout = new QVBoxLayout(this);
    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("tbGuide"));
    browser_->setOpenExternalLinks(true);
    layout->addWidget(browser_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    layout->addWidget(buttons);
    resize(kGuideSize);
}

void HelpWindow::showGuide(const QString& path, const QString& title)
{
    path_ = path;
    setWindowTitle(title);
    browser_->setSource(QUrl::fromLocalFile(path), QTextDocument::MarkdownResource);
}

} // namespace ledsign
