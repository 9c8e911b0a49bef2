// The play-by-week value of a page: the every-day text of the language list,
// or the numbers of the chosen week days (0 Sunday .. 6 Saturday) joined by
// ";" in that order ("1;3;5").
#pragma once

#include <QString>
#include <QStringList>

#include <array>

namespace ledsign {

struct WeekCycle {
    bool everyDay = true;
    std::array<bool, 7> days{}; // index 0 Sunday .. 6 Saturday

    bool operator==(const WeekCycle&) const = default;
};

// The language list of the play-by-week dialog: caption, "每天播放",
// "按星期播放", Monday .. Sunday, "设置", "关闭", the every-day text and the
// message for no day chosen (14 texts).
struct WeekDialogTexts {
    QString caption, everyDayChoice, byWeekChoice;
    std::array<QString, 7> dayNames; // index 0 Sunday .. 6 Saturday
    QString setButton, closeButton, everyDayValue, noDayMessage;
};
// Missing texts fall back to the simplified Chinese ones.
WeekDialogTexts weekDialogTexts(const QStringList& list);

// Reads a stored value; numbers outside 0..6 and other words are ignored.
WeekCycle parseWeekCycle(const QString& value, const QString& everyDayText);

// The value to store; false (and no value) when by-week has no day ticked.
bool formatWeekCycle(const WeekCycle& cycle, const QString& everyDayText, QString* value);

} // namespace ledsign
