// What the service tests do with ledsign-card as the card of a running
// ledsignd: its arguments, the API path of a card, and what the card shows
// after a send.
#pragma once

#include "serviceprocess.h"

#include "support/cardprocess.h"

#include <functional>

namespace ledsign::test {

QStringList cardArguments(const ServiceProcess& service, const QString& code, int w, int h, const QString& png = {});
// /api/cards/{card}{rest} with the name percent-encoded.
QString path(const QString& card, const QString& rest = {});
QString jobOf(const HttpReply& r);
// The card's first page as it showed it after its next whole playbill.
QByteArray shownAfter(CardProcess& card, const QString& pngDir, const std::function<HttpReply()>& send,
                      ServiceProcess& service);
// The card's first page after the playbill holding `text` as its "title" was put and sent.
QByteArray shownForTitle(CardProcess& card, const QString& pngDir, ServiceProcess& service, const QString& code,
                         const QString& text, int w, int h);

} // namespace ledsign::test
