#include "service/cardstatus.h"

#include "model/tfixmodem.h"
#include "protocol/sendscheduler.h"

namespace ledsign {

bool cardIsOnline(const TFIXModem& card, const SendScheduler& scheduler)
{
    const bool node = scheduler.nodeState(card.name) > kNodeOffline;
    if (card.linkKind == 2)
        return node && card.online == 1 && !card.socket.isNull();
    return node;
}

CardStatus cardStatusOf(const TFIXModem& card, const SendScheduler& scheduler, const CardSendStatus& send)
{
    CardStatus s;
    s.name = card.name;
    s.online = cardIsOnline(card, scheduler);
    s.width = card.width;
    s.height = card.height;
    s.colors = card.colorType == kColorDual ? 2 : card.colorType == kColorTri ? 3 : 1;
    s.internalCode = card.internalCode;
    s.lastHeard = card.lastHeard;
    s.send = send;
    return s;
}

QJsonObject toJson(const CardSendStatus& send)
{
    QJsonObject o{{QStringLiteral("state"), send.state},
                  {QStringLiteral("done"), send.done},
                  {QStringLiteral("total"), send.total}};
    if (!send.message.isEmpty())
        o.insert(QStringLiteral("message"), send.message);
    return o;
}

QJsonObject toJson(const CardStatus& card)
{
    return {{QStringLiteral("name"), card.name},
            {QStringLiteral("online"), card.online},
            {QStringLiteral("width"), card.width},
            {QStringLiteral("height"), card.height},
            {QStringLiteral("colors"), card.colors},
            {QStringLiteral("internalCode"), card.internalCode},
            {QStringLiteral("lastHeard"),
             card.lastHeard.isValid() ? QJsonValue(card.lastHeard.toUTC().toString(Qt::ISODateWithMs))
                                      : QJsonValue(QJsonValue::Null)},
            {QStringLiteral("send"), toJson(card.send)}};
}

} // namespace ledsign
