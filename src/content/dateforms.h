// Values of the date-time dialog: reading the initial text (a full-width
// space counts as a space; the locale's form, then "/" and "." separators)
// and the text the dialog returns ("YYYY-MM-DD HH:mm:ss").
#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace ledsign {

// The three-way choice of the date-time dialog.
enum class DatePlayChoice : int { EveryDay = 0, BeforeDate = 1, AfterDate = 2 };

struct DialogDateTime {
    bool ok = false;
    QDateTime value;
    QString error; // set when the text does not read
};

// An empty text gives `now`; a text that reads in none of the forms gives an
// error naming it.
DialogDateTime readDialogDateTime(const QString& text, const QDateTime& now,
                                  const QLocale& locale = QLocale());

// "YYYY-MM-DD HH:mm:ss".
QString formatDialogDateTime(const QDate& date, const QTime& time);

// Whether the calendar and the time picker take input for a choice.
bool dateControlsEnabled(DatePlayChoice choice);

} // namespace ledsign
