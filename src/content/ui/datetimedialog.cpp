#include "content/ui/datetimedialog.h"

#include "language/language.h"

#include <QCalendarWidget>
#include <QFocusEvent>
#include <QTimer>
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
}

DateTimeDialog::DateTimeDialog(const QString& initialText, bool showChoice, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(GetLgText(kCaptionCategory, QStringLiteral("datetime_choose")));
    initial_ = readDialogDateTime(initialText, QDateTime::currentDateTime());

    auto* layout = new QVBoxLayout(this);
    calendar_ = new QCalendarWidget(this);
    calendar_->setGridVisible(true);
    // Every week row of the month stays in sight, whatever the window's height.
    calendar_->setMinimumSize(calendar_->sizeHint());
    layout->addWidget(calendar_);
    time_ = new QTimeEdit(this);
    time_->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    // Typed digits overwrite the section they land in, from the hours on,
    // instead of being refused at the end of the text.
    time_->setCurrentSection(QDateTimeEdit::HourSection);
    time_->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    time_->installEventFilter(this);
    layout->addWidget(time_);
    if (initial_.ok) {
        calendar_->setSelectedDate(initial_.value.date());
        time_->setTime(initial_.value.time());
    }

    auto* choiceRow = new QHBoxLayout;
    const char* keys[3] = {"rbEveryDay", "rbBeforeDate", "rbAfterDate"};
    for (int i = 0; i < 3; ++i) {
        choices_[i] = new QRadioButton(GetLgText(kCaptionCategory, QString::fromLatin1(keys[i])), this);
        choiceRow->addWidget(choices_[i]);
        connect(choices_[i], &QRadioButton::toggled, this, [this] { updateEnabled(); });
    }
    choices_[1]->setChecked(true);
    layout->addLayout(choiceRow);
    note_ = new QLabel(GetLgText(kCaptionCategory, QStringLiteral("lbNote")), this);
    note_->setStyleSheet(QStringLiteral("color: red; font-weight: bold;"));
    note_->setWordWrap(true);
    layout->addWidget(note_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* ok = new QPushButton(GetLgText(kCaptionCategory, QStringLiteral("btSure")), this);
    auto* cancel = new QPushButton(GetLgText(kCaptionCategory, QStringLiteral("btQuit")), this);
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
        // A count's time: as low as the calendar and the time allow.
        layout->setSizeConstraint(QLayout::SetFixedSize);
    }
    updateEnabled();
}

void DateTimeDialog::setNote(const QString& text)
{
    if (!text.trimmed().isEmpty())
        note_->setText(text);
}

bool DateTimeDialog::eventFilter(QObject* watched, QEvent* event)
{
    // The section under the caret is selected after a click or on focus, so
    // that typed digits replace it (and move on to the next section) instead
    // of being refused beside two digits already there.
    if (watched == time_ && (event->type() == QEvent::FocusIn || event->type() == QEvent::MouseButtonRelease)) {
        QTimer::singleShot(0, time_, [this] {
            const QDateTimeEdit::Section at = time_->currentSection();
            time_->setSelectedSection(at == QDateTimeEdit::NoSection ? QDateTimeEdit::HourSection : at);
        });
    }
    return QDialog::eventFilter(watched, event);
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
