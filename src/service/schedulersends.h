// The send engine on the program's send scheduler: one card after another,
// each as the editor's Send action sends it (a text program through the
// text-program sender), with the scheduler's progress and messages. A send
// that neither ends nor moves for a long time is given up, so that a job
// always ends.
#pragma once

#include "service/cardsendengine.h"

#include <QElapsedTimer>
#include <QList>
#include <QTimer>

namespace ledsign {

class CardLink;

class SchedulerSends : public CardSendEngine {
    Q_OBJECT
public:
    // Without any progress for this long a send is given up.
    static constexpr int kStallMs = 120000;

    explicit SchedulerSends(CardLink& link, QObject* parent = nullptr);

    void enqueue(const CardSendRequest& request) override;
    bool busy(const QString& card) const override;

private:
    void startNext();
    void begin(const CardSendRequest& request);
    void end(const QString& card, bool sent, const QString& message);

    CardLink& m_link;
    QList<CardSendRequest> m_waiting;
    QString m_current;
    int m_total = 0;
    QString m_lastMessage;
    QTimer m_stall;
};

} // namespace ledsign
