// The topics of the MQTT bridge under its prefix. A card or material name
// is one topic level: the characters MQTT gives a meaning there ("/", "+",
// "#") and "%" are written as %2F, %2B, %23 and %25, and read back.
#pragma once

#include <QString>

namespace ledsign::mqtttopics {

QString escapeLevel(const QString& name);
// False when a "%" is not followed by one of the four escapes.
bool unescapeLevel(const QString& level, QString* name);

QString status(const QString& prefix);                      // PREFIX/status
QString cardState(const QString& prefix, const QString& card); // PREFIX/cards/C/state
QString cardSend(const QString& prefix, const QString& card);  // PREFIX/cards/C/send
QString textSet(const QString& prefix, const QString& card, const QString& material);
QString job(const QString& prefix, const QString& id);      // PREFIX/jobs/ID
QString refusals(const QString& prefix);                    // PREFIX/refused

// Subscription filters of the commands.
QString textSetFilter(const QString& prefix);
QString sendFilter(const QString& prefix);

// A command topic read back.
struct Command {
    enum Kind { None, SetText, Send } kind = None;
    QString card;
    QString material;
};
// Kind None when the topic is no command under the prefix or a name in it
// does not read.
Command parseCommand(const QString& prefix, const QString& topic);

} // namespace ledsign::mqtttopics
