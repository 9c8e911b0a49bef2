// The display page record: one per page of a card's playbill, with when it
// plays (times, week days or a date).
#pragma once

#include <QString>
#include <QtGlobal>

namespace ledsign {

// Values of `playMode`.
enum PlayMode : int {
    kPlayEveryDay = -1,
    kPlayByDate = 0,      // the "1000" variant
    kPlayByDateAlt = 1,   // the "1100" variant
    kPlayByWeek = 2,
};

struct TProgram {
    QString cardName;
    QString name;
    QString id;
    QString panelName;
    QString startTime = QStringLiteral("00:00");
    QString endTime = QStringLiteral("24:00");
    QString playCycle;          // "cycle_everyday" text, or day digits joined by ";" (0 = Sunday)
    QString playDate;           // empty unless the page plays by date
    qint32 textProgramPage = 0; // 1: belongs to the text-program window, never stored in a playbill
    qint32 playMode = kPlayEveryDay;

    bool operator==(const TProgram&) const = default;
};

// Creates a page from the given values (nothing beyond the assignment).
TProgram createPage(const TProgram& given);

} // namespace ledsign
