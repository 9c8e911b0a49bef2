// The date-time dialog: a calendar, a time picker and, for a page's play
// date, the three-way choice every day / before the date / after the date
// with its note. Used for a count's start or end time and a page's date.
//
//   DateTimeDialog dlg(initialText, /*showChoice=*/true, parent);
//   dlg.setChoice(1);                       // optional, 0..2
//   dlg.setChoiceTexts(a, b, c);            // optional relabelling
//   if (dlg.exec() == QDialog::Accepted) {  // a text that does not read is
//       dlg.value();                        //   reported by exec(), Rejected
//       dlg.choice();                       // "YYYY-MM-DD HH:mm:ss", 0..2
//   }
// Without the choice the window is as low as its calendar and time allow.
#pragma once

#include "content/timetyping.h"

#include "content/dateforms.h"

#include <QDialog>

class QCalendarWidget;
class QTimeEdit;
class QRadioButton;
class QLabel;

namespace ledsign {

class DateTimeDialog : public QDialog {
    Q_OBJECT
public:
    DateTimeDialog(const QString& initialText, bool showChoice, QWidget* parent = nullptr);

    bool isValid() const { return initial_.ok; }
    QString errorText() const { return initial_.error; }

    void setChoice(int index);
    void setChoiceTexts(const QString& everyDay, const QString& before, const QString& after);
    // The red note under the choice; an empty text keeps the window's own.
    void setNote(const QString& text);

    int exec() override;

    QString value() const { return value_; }
    int choice() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void choose();
    void updateEnabled();
    void showTypedSection();

    DialogDateTime initial_;
    QCalendarWidget* calendar_ = nullptr;
    QTimeEdit* time_ = nullptr;
    TimeTyping typing_;
    QRadioButton* choices_[3] = {};
    QLabel* note_ = nullptr;
    QString value_;
};

} // namespace ledsign
