#include "workspace/newcarddialog.h"

#include "language/language.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace ledsign {

namespace {

// The window's own texts: caption, name, width, height, colour, OK, close.
struct Texts {
    const char* caption;
    const char* name;
    const char* width;
    const char* height;
    const char* color;
    const char* ok;
    const char* close;
};

const Texts& textsOf(int language)
{
    static const Texts simplified{"新建控制卡", "控制卡名称", "像素长度", "像素高度", "像素颜色", "确定", "关闭"};
    static const Texts traditional{"新建控制卡", "控制卡名稱", "像素長度", "像素高度", "像素顏色", "確定", "關閉"};
    static const Texts english{"New Card", "Card Name", "Pixels Width", "Pixels Height", "Pixels Color", "OK", "Close"};
    switch (language) {
    case kSimplifiedChinese:
        return simplified;
    case kTraditionalChinese:
        return traditional;
    default:
        return english;
    }
}

} // namespace

NewCardDialog::NewCardDialog(const QString& proposedName, NameCheck check, QWidget* parent)
    : QDialog(parent)
    , check_(std::move(check))
{
    const Texts& t = textsOf(currentLanguage());
    setObjectName(QStringLiteral("TFormUDisk"));
    setWindowTitle(QString::fromUtf8(t.caption));

    name_ = new QLineEdit(proposedName, this);
    name_->setObjectName(QStringLiteral("editCardName"));
    width_ = new QLineEdit(QStringLiteral("256"), this);
    width_->setObjectName(QStringLiteral("edtPWidth"));
    height_ = new QLineEdit(QStringLiteral("128"), this);
    height_->setObjectName(QStringLiteral("edtPHeight"));
    for (QLineEdit* e : {width_, height_})
        e->setValidator(new QIntValidator(1, 65535, e));
    color_ = new QComboBox(this);
    color_->setObjectName(QStringLiteral("cmbColor"));
    for (const char* key : {"color_single", "color_dual", "color_tricolor"})
        color_->addItem(GetLgText(3, QString::fromLatin1(key)));
    problem_ = new QLabel(this);
    problem_->setStyleSheet(QStringLiteral("color: red"));
    problem_->hide();

    auto* form = new QFormLayout;
    form->addRow(QString::fromUtf8(t.name), name_);
    form->addRow(QString::fromUtf8(t.width), width_);
    form->addRow(QString::fromUtf8(t.height), height_);
    form->addRow(QString::fromUtf8(t.color), color_);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QString::fromUtf8(t.ok), QDialogButtonBox::AcceptRole);
    buttons->addButton(QString::fromUtf8(t.close), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &NewCardDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &NewCardDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(problem_);
    layout->addWidget(buttons);
    setMinimumWidth(300);
    name_->selectAll();
}

NewCardInput NewCardDialog::input() const
{
    return {name_->text().trimmed(), width_->text(), height_->text(), color_->currentIndex()};
}

QString NewCardDialog::problemText() const
{
    return problem_->isVisible() || !problem_->text().isEmpty() ? problem_->text() : QString();
}

void NewCardDialog::accept()
{
    const QString problem = check_ ? check_(name_->text().trimmed()) : QString();
    if (!problem.isEmpty()) {
        problem_->setText(problem);
        problem_->show();
        name_->setFocus();
        name_->selectAll();
        return;
    }
    QDialog::accept();
}

} // namespace ledsign
