#include "workspace/toolwindowstips.h"

#include "language/language.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace ledsign {

namespace {

constexpr int kTipCategory = 12;
constexpr int kTipWidth = 420;

QString tipText(const char* key)
{
    return GetLgText(kTipCategory, QString::fromLatin1(key));
}

} // namespace

RemoteTextTipWindow::RemoteTextTipWindow(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmInitTips"));
    auto* layout = new QVBoxLayout(this);
    auto* body = new QHBoxLayout;
    auto* icon = new QLabel(this);
    const int side = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation, nullptr, this).pixmap(side, side));
    icon->setAlignment(Qt::AlignTop);
    info_ = new QLabel(this);
    info_->setObjectName(QStringLiteral("lbTipInfo"));
    info_->setWordWrap(true);
    info_->setMinimumWidth(kTipWidth - side - 40);
    body->addWidget(icon);
    body->addWidget(info_, 1);
    layout->addLayout(body);

    check_ = new QCheckBox(this);
    check_->setObjectName(QStringLiteral("cbCheck"));
    ok_ = new QPushButton(this);
    ok_->setObjectName(QStringLiteral("btSure"));
    ok_->setDefault(true);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(check_);
    bottom->addStretch();
    bottom->addWidget(ok_);
    layout->addSpacing(6);
    layout->addLayout(bottom);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    retranslate();
}

void RemoteTextTipWindow::retranslate()
{
    setWindowTitle(tipText("run_tips"));
    info_->setText(tipText("lbTipInfo"));
    check_->setText(tipText("cbCheck"));
    ok_->setText(tipText("btSure"));
    adjustSize();
}

bool RemoteTextTipWindow::dismissed() const
{
    return check_->isChecked();
}

} // namespace ledsign
