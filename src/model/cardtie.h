// Tying a card record made in the window to the card on the line: the
// internal code an operator types, whether a record has a code of its own
// yet, which record may take the code of a card that reports itself, and
// the records that share one playbill file.
#pragma once

#include <QString>
#include <QList>
#include <QStringList>

#include <optional>

namespace ledsign {

class ProjectModel;
struct TFIXModem;

// The defaults of a card made in the window: the placeholder internal code,
// no address (it has none until it reports), a MAC of zeros and version 80.
void giveNewCardDefaults(TFIXModem& card);

// Eight numbers of 0 to 255 joined by "_" (blanks around them allowed),
// written back as plain decimals joined by "_"; nothing for anything else.
std::optional<QString> parseInternalCode(const QString& text);

// A code that names no card: empty, all zeros (a card made in the window)
// or all 255 (not set).
bool isPlaceholderCode(const QString& code);

// The card that may take the code of an unknown card on the line: the
// selected card, when it has only a placeholder code and is off-line.
// Empty when there is none.
QString tieCandidate(const ProjectModel& model, const QString& selectedCard);

// Gives the card the code and tells the card index; false when there is no
// such card or the code is not one.
bool giveInternalCode(ProjectModel& model, const QString& cardName, const QString& code);

// Cards whose records name one playbill file, with the first card's path.
struct SharedPlaybill {
    QString path;
    QStringList cards;
};
QList<SharedPlaybill> sharedPlaybills(const ProjectModel& model);

// The other cards whose playbill file is `path` (same file on disk).
QStringList cardsSharingPlaybill(const ProjectModel& model, const QString& cardName, const QString& path);

// The message naming the cards that share the file.
QString sharedPlaybillText(const QStringList& cards, const QString& path);

} // namespace ledsign
