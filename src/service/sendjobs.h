// Send jobs: what a caller asked to be sent, to one card or many, as one
// thing to follow. A job holds each card's state (queued, sending, sent,
// failed), its packets done of the total and the reason of a failure; it
// ends when every card has ended. Jobs are numbered from 1 in a run; the
// most recent finished ones are kept for looking up.
#pragma once

#include "service/cardsendengine.h"
#include "service/cardstatus.h"

#include <QDateTime>
#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>

namespace ledsign {

struct JobCard {
    QString name;
    CardSendStatus status;
};

struct SendJob {
    QString id;
    QString kind; // "send" or "text"
    QDateTime created;
    QDateTime ended; // invalid while running
    QList<JobCard> cards;

    bool running() const { return !ended.isValid(); }
    // "running", "sent" (every card confirmed) or "failed" (at least one did not).
    QString state() const;
};

QJsonObject toJson(const SendJob& job);

class SendJobs : public QObject {
    Q_OBJECT
public:
    // Finished jobs kept for look-ups; older ones are forgotten.
    static constexpr int kFinishedKept = 1000;

    explicit SendJobs(CardSendEngine& engine, QObject* parent = nullptr);

    // A job for the requests, and for cards that cannot be sent to at all
    // (named with the reason), which fail at once. The caller has made sure
    // no card of it is busy.
    const SendJob& start(const QString& kind, const QList<CardSendRequest>& requests,
                         const QList<JobCard>& refused = {});

    const SendJob* find(const QString& id) const;
    // A send for the card is queued or running in some job.
    bool busy(const QString& card) const;
    // The card's state in the last job that named it.
    CardSendStatus lastOf(const QString& card) const;

signals:
    void progressed(const ledsign::SendJob& job, const QString& card);
    void ended(const ledsign::SendJob& job);

private:
    JobCard* cardOf(const QString& card, SendJob** job);
    void endIfDone(SendJob& job);

    CardSendEngine& m_engine;
    qint64 m_nextId = 1;
    QMap<qint64, SendJob> m_jobs;
    QHash<QString, qint64> m_runningOf; // card -> job holding its running send
    QHash<QString, CardSendStatus> m_last;
};

} // namespace ledsign
