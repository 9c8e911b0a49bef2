// Binding a card made in the window to the card on the line when the two
// sizes differ: which regions no longer fit the reported size, and what
// becomes of them when the operator keeps the playbill (kept as they are,
// or clipped to the card) or starts empty.
#pragma once

#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

namespace ledsign {

class ProjectModel;

enum class BindChoice { KeepRegions, ClipRegions, StartEmpty };

// What the bind offer tells the operator.
struct BindOffer {
    QString card;      // the card made in the window
    QString code;      // the internal code of the card on the line
    QSize listed;      // the size the card made in the window has
    QSize reported;    // the size the card on the line reports
    bool hasPlaybill = false;
    QStringList outside; // "page / region" of each region that no longer fits
    bool sizesDiffer() const { return listed != reported; }
};

BindOffer makeBindOffer(const ProjectModel& model, const QString& card, const QString& code, QSize reported);

// A region cut to the card: the part inside it; a region wholly outside is
// brought in at the nearer edge, as large as the card allows.
QRect clippedToCard(const QRect& region, QSize card);

} // namespace ledsign
