#include "content/ui/playweekdialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace ledsign {

PlayWeekDialog::PlayWeekDialog(const QString& value, const QStringList& languageList, QWidget* parent)
    : QDialog(parent)
    , texts_(weekDialogTexts(languageList))
    , value_(value)
{
    setWindowTitle(texts_.caption);
    auto* layout = new QVBoxLayout(this);
    auto* modes = new QHBoxLayout;
    everyDay_ = new QRadioButton(texts_.everyDayChoice, this);
    byWeek_ = new QRadioButton(texts_.byWeekChoice, this);
    modes->addWidget(everyDay_);
    modes->addWidget(byWeek_);
    layout->addLayout(modes);

    auto* grid = new QGridLayout;
    // Monday first on screen, as the language list names them.
    for (int i = 0; i < 7; ++i) {
        const int day = (i + 1) % 7;
        days_[day] = new QCheckBox(texts_.dayNames[day], this);
        grid->addWidget(days_[day], i / 4, i % 4);
    }
    layout->addLayout(grid);
    note_ = new QLabel(this);
    note_->setStyleSheet(QStringLiteral("color: red; font-weight: bold;"));
    note_->setWordWrap(true);
    note_->hide();
    layout->addWidget(note_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* setButton = new QPushButton(texts_.setButton, this);
    auto* closeButton = new QPushButton(texts_.closeButton, this);
    buttons->addWidget(setButton);
    buttons->addWidget(closeButton);
    layout->addLayout(buttons);
    connect(setButton, &QPushButton::clicked, this, [this] { set(); });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);

    const WeekCycle cycle = parseWeekCycle(value, texts_.everyDayValue);
    (cycle.everyDay ? everyDay_ : byWeek_)->setChecked(true);
    for (int d = 0; d < 7; ++d) {
        days_[d]->setChecked(!cycle.everyDay && cycle.days[d]);
        days_[d]->setEnabled(!cycle.everyDay);
    }
    connect(everyDay_, &QRadioButton::toggled, this, &PlayWeekDialog::chooseMode);
}

void PlayWeekDialog::setNote(const QString& text)
{
    note_->setText(text);
    note_->setVisible(!text.trimmed().isEmpty());
}

QString PlayWeekDialog::note() const
{
    return note_->text();
}

void PlayWeekDialog::chooseMode()
{
    const bool weekly = byWeek_->isChecked();
    for (QCheckBox* box : days_) {
        box->setEnabled(weekly);
        if (!weekly)
            box->setChecked(false);
    }
}

WeekCycle PlayWeekDialog::current() const
{
    WeekCycle c;
    c.everyDay = everyDay_->isChecked();
    for (int d = 0; d < 7; ++d)
        c.days[d] = days_[d]->isChecked();
    return c;
}

bool PlayWeekDialog::set()
{
    QString v;
    if (!formatWeekCycle(current(), texts_.everyDayValue, &v)) {
        QMessageBox::information(this, windowTitle(), texts_.noDayMessage);
        return false;
    }
    value_ = v;
    accept();
    return true;
}

} // namespace ledsign
