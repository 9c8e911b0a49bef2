// Turns what the card link does into on-line and off-line changes, one per
// change and card: a card that registers comes on-line, a card whose
// connection closes or that stays silent past the poll time goes off-line.
// It keeps what it last said of each card, so that the thousands of
// presence ticks of a fleet say nothing new.
#pragma once

#include <QHash>
#include <QObject>
#include <QString>

namespace ledsign {

class CardLink;
class ProjectModel;

class PresenceWatch : public QObject {
    Q_OBJECT
public:
    PresenceWatch(CardLink& link, ProjectModel& model, QObject* parent = nullptr);

    // Looks at every card again (after a reload of the card list); cards that
    // went get no word.
    void recheckAll();

signals:
    void registered(const QString& cardName, bool newCard);
    void cameOnline(const QString& cardName);
    void wentOffline(const QString& cardName);

private:
    void check(const QString& cardName);
    void checkIndex(int cardIndex);

    CardLink& m_link;
    ProjectModel& m_model;
    QHash<QString, bool> m_online;
};

} // namespace ledsign
