// The card list as JSON bytes, written directly: a fleet of 10,000 cards is
// asked for often, and building a QJsonObject per card and formatting each
// time through QDateTime cost the service more than the rest of a request.
// The result parses to the same objects as toJson(CardStatus).
#pragma once

#include "service/cardstatus.h"

#include <QByteArray>
#include <QList>

namespace ledsign {

// {"cards": [...]} of GET /api/cards.
QByteArray cardListJson(const QList<CardStatus>& cards);
// One card's object, appended.
void appendCardJson(QByteArray& out, const CardStatus& card);
// A JSON string (quotes and escapes included), appended.
void appendJsonString(QByteArray& out, const QString& text);
// "YYYY-MM-DDTHH:MM:SS.zzzZ" of the moment in UTC, whatever the time zone.
QByteArray isoUtc(const QDateTime& moment);

} // namespace ledsign
