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

QString tipText(const char* key, const char16_t* fallback)
{
    const QString t = GetLgText(kTipCategory, QString::fromLatin1(key));
    return t.isEmpty() ? QString::fromUtf16(fallback) : t;
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
    setWindowTitle(tipText("run_tips", u"远程服务器文本显示提示"));
    info_->setText(tipText("lbTipInfo", u"如果要显示远程服务器文本，请在显示页指定的区域框添加【远程服务器文本】素材项，"
                                        u"否则不能显示远程服务器文本信息。"));
    check_->setText(tipText("cbCheck", u"我知道，以后不用提示。"));
    ok_->setText(tipText("btSure", u"确定"));
    adjustSize();
}

bool RemoteTextTipWindow::dismissed() const
{
    return check_->isChecked();
}

} // namespace ledsign
