#include "content/ui/datetimedialog.h"

#include "language/language.h"

#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace ledsign {

namespace {
constexpr int kCaptionCategory = 14;
constexpr int kCountHeight = 220;
}

DateTimeDialog::DateTimeDialog(const QString& initialText, bool showChoice, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(GetLgText(kCaptionCategory, QStringLiteral("datetime_choose")));
    initial_ = readDialogDateTime(initialText, QDateTime::currentDateTime());

    auto* layout = new QVBoxLayout(this);
    calendar_ = new QCalendarWidget(this);
    calendar_->setGridVisible(true);
    layout->addWidget(calendar_);
    time_ = new QTimeEdit(this);
    time_->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    layout->addWidget(time_);
    if (initial_.ok) {
        calendar_->setSelectedDate(initial_.value.date());
        time_->setTime(initial_.value.time());
    }

    auto* choiceRow = new QHBoxLayout;
    const char* texts[3] = {"每天", "日期前播放", "日期后播放"};
    for (int i = 0; i < 3; ++i) {
        choices_[i] = new QRadioButton(QString::fromUtf8(texts[i]), this);
        choiceRow->addWidget(choices_[i]);
        connect(choices_[i], &QRadioButton::toggled, this, [this] { updateEnabled(); });
    }
    choices_[1]->setChecked(true);
    layout->addLayout(choiceRow);
    note_ = new QLabel(QStringLiteral("注：两个或两个以上显示页该项设置才生效"), this);
    note_->setStyleSheet(QStringLiteral("color: red; font-weight: bold;"));
    layout->addWidget(note_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* ok = new QPushButton(QStringLiteral("选择"), this);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    ok->setDefault(true);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &DateTimeDialog::choose);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    if (!showChoice) {
        for (QRadioButton* b : choices_)
            b->hide();
        note_->hide();
        calendar_->setMaximumHeight(kCountHeight - 70);
        setFixedHeight(kCountHeight);
    }
    updateEnabled();
}

void DateTimeDialog::setChoice(int index)
{
    choices_[qBound(0, index, 2)]->setChecked(true);
}

void DateTimeDialog::setChoiceTexts(const QString& everyDay, const QString& before, const QString& after)
{
    choices_[0]->setText(everyDay);
    choices_[1]->setText(before);
    choices_[2]->setText(after);
}

int DateTimeDialog::choice() const
{
    for (int i = 0; i < 3; ++i)
        if (choices_[i]->isChecked())
            return i;
    return 0;
}

int DateTimeDialog::exec()
{
    if (!initial_.ok) {
        QMessageBox::warning(parentWidget(), windowTitle(), initial_.error);
        return QDialog::Rejected;
    }
    return QDialog::exec();
}

void DateTimeDialog::choose()
{
    value_ = formatDialogDateTime(calendar_->selectedDate(), time_->time());
    accept();
}

void DateTimeDialog::updateEnabled()
{
    const bool on = choices_[0]->isHidden() || dateControlsEnabled(static_cast<DatePlayChoice>(choice()));
    calendar_->setEnabled(on);
    time_->setEnabled(on);
}

} // namespace ledsign
