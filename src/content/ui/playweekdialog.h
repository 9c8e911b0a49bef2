// The play-by-week dialog of a page: play every day, or on the ticked week
// days. Its texts come from the language list of 14 texts.
//
//   PlayWeekDialog dlg(currentValue, languageList, parent);
//   if (dlg.exec() == QDialog::Accepted)
//       dlg.value();   // the every-day text, or "1;3;5"
#pragma once

#include "content/weekcycle.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QRadioButton;

namespace ledsign {

class PlayWeekDialog : public QDialog {
    Q_OBJECT
public:
    PlayWeekDialog(const QString& value, const QStringList& languageList, QWidget* parent = nullptr);

    QString value() const { return value_; }
    // The red note under the buttons (the page's note that the setting
    // needs two or more pages); hidden while empty.
    void setNote(const QString& text);
    QString note() const;

    // The "设置" button: stores the value and closes, or shows the message
    // when by-week has no day ticked. Returns whether it closed.
    bool set();

private:
    void chooseMode();
    WeekCycle current() const;

    WeekDialogTexts texts_;
    QRadioButton* everyDay_ = nullptr;
    QRadioButton* byWeek_ = nullptr;
    QCheckBox* days_[7] = {};
    QLabel* note_ = nullptr;
    QString value_;
};

} // namespace ledsign
