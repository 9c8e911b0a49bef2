// What the service tells about a card: its name, whether it is on-line, its
// size, colours and internal code, when it was last heard and how its last
// send stands; and the JSON form every front end shows.
#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QString>

namespace ledsign {

class SendScheduler;
struct TFIXModem;

// The card's part in the send jobs: "idle" (never sent to in this run),
// "queued", "sending", "sent" or "failed", with the packets done of the
// total and, for a failure, why.
struct CardSendStatus {
    QString state = QStringLiteral("idle");
    int done = 0;
    int total = 0;
    QString message;
};

struct CardStatus {
    QString name;
    bool online = false;
    int width = 0;
    int height = 0;
    int colors = 1;
    QString internalCode;
    QDateTime lastHeard; // invalid: never heard in this run
    CardSendStatus send;
};

// On-line as a sender sees it: a network card while its connection is up
// and it is not silent past the poll time; a card on the serial line while
// its node is on-line.
bool cardIsOnline(const TFIXModem& card, const SendScheduler& scheduler);

CardStatus cardStatusOf(const TFIXModem& card, const SendScheduler& scheduler, const CardSendStatus& send);

QJsonObject toJson(const CardSendStatus& send);
QJsonObject toJson(const CardStatus& card);

} // namespace ledsign
