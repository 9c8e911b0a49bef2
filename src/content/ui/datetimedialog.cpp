#include "content/ui/datetimedialog.h"

#include "language/language.h"
#include "language/languagelocale.h"

#include <QCalendarWidget>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
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
    // Month and day names in the program's language, not the machine's.
    calendar_->setLocale(currentLanguageLocale());
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
    if (auto* edit = time_->findChild<QLineEdit*>())
        edit->installEventFilter(this);
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
    // Digits fill the section the operator clicked into (the hours when Tab
    // brought the focus) and move on to the next one; the field's
    // own typing refuses a digit beside two already there. Clicks land on
    // the field's line edit, keys on whichever of the two has the focus.
    auto* edit = time_->findChild<QLineEdit*>();
    if (watched != time_ && watched != edit)
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonRelease:
        if (watched == edit) {
            // "HH:mm:ss": three characters a section, the caret after a
            // section's last digit still in it.
            typing_.enterSection((edit->cursorPosition() - 1) / 3);
            QTimer::singleShot(0, time_, [this] { showTypedSection(); });
        }
        break;
    case QEvent::FocusIn:
        // Only the keyboard's Tab starts afresh: the window coming to the
        // front (perhaps just after a click) keeps the section clicked.
        if (const Qt::FocusReason why = static_cast<QFocusEvent*>(event)->reason();
            watched == time_ && (why == Qt::TabFocusReason || why == Qt::BacktabFocusReason)) {
            typing_.enterSection(0);
            QTimer::singleShot(0, time_, [this] { showTypedSection(); });
        }
        break;
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() >= Qt::Key_0 && key->key() <= Qt::Key_9 && !(key->modifiers() & ~Qt::KeypadModifier)) {
            time_->setTime(typing_.type(time_->time(), key->key() - Qt::Key_0));
            showTypedSection();
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void DateTimeDialog::showTypedSection()
{
    time_->setCurrentSectionIndex(typing_.section());
    time_->setSelectedSection(time_->sectionAt(typing_.section()));
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
