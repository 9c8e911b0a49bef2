#include "content/weekcycle.h"

namespace ledsign {

WeekDialogTexts weekDialogTexts(const QStringList& list)
{
    static const QStringList fallback = QStringLiteral(
        "播放日期选中,每天播放,按星期播放,星期一,星期二,星期三,星期四,星期五,星期六,星期日,设置,关闭,每天,"
        "请选择星期项进行设置！").split(QLatin1Char(','));
    auto at = [&](int i) {
        const QString s = list.value(i);
        return s.isEmpty() ? fallback.value(i) : s;
    };
    WeekDialogTexts t;
    t.caption = at(0);
    t.everyDayChoice = at(1);
    t.byWeekChoice = at(2);
    // The list names Monday first; Sunday (day 0) is its seventh name.
    for (int i = 0; i < 7; ++i)
        t.dayNames[(i + 1) % 7] = at(3 + i);
    t.setButton = at(10);
    t.closeButton = at(11);
    t.everyDayValue = at(12);
    t.noDayMessage = at(13);
    return t;
}

WeekCycle parseWeekCycle(const QString& value, const QString& everyDayText)
{
    WeekCycle c;
    if (value == everyDayText) {
        c.everyDay = true;
        return c;
    }
    c.everyDay = false;
    for (const QString& part : value.split(QLatin1Char(';'))) {
        bool ok = false;
        const int day = part.trimmed().toInt(&ok);
        if (ok && day >= 0 && day <= 6)
            c.days[day] = true;
    }
    return c;
}

bool formatWeekCycle(const WeekCycle& cycle, const QString& everyDayText, QString* value)
{
    if (cycle.everyDay) {
        *value = everyDayText;
        return true;
    }
    QStringList parts;
    for (int d = 0; d < 7; ++d)
        if (cycle.days[d])
            parts << QString::number(d);
    if (parts.isEmpty())
        return false;
    *value = parts.join(QLatin1Char(';'));
    return true;
}

} // namespace ledsign
