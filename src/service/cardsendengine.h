// What the service's send jobs need of a send engine: sends asked for by card,
// and for each card its start, its progress in packets and its end with the
// card's confirmation or the reason it failed. A send is the card's playbill,
// or a text program when one is handed in.
#pragma once

#include "protocol/textprogramfile.h"

#include <QObject>
#include <QString>

#include <optional>

namespace ledsign {

struct CardSendRequest {
    QString card;
    std::optional<TextProgramData> textProgram; // set: this text program instead of the playbill
};

class CardSendEngine : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // The card's send runs once the engine gets to it.
    virtual void enqueue(const CardSendRequest& request) = 0;
    // A send for the card waits or runs.
    virtual bool busy(const QString& card) const = 0;

signals:
    void cardStarted(const QString& card);
    void cardProgress(const QString& card, int done, int total);
    // Each request ends exactly once.
    void cardEnded(const QString& card, bool sent, const QString& message);
};

} // namespace ledsign
