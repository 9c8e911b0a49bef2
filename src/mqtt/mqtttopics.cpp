#include "mqtt/mqtttopics.h"

#include <QStringList>

namespace ledsign::mqtttopics {

namespace {

struct Escape {
    QChar plain;
    const char* code;
};
constexpr Escape kEscapes[] = {{u'%', "25"}, {u'/', "2F"}, {u'+', "2B"}, {u'#', "23"}};

} // namespace

QString escapeLevel(const QString& name)
{
    QString out;
    out.reserve(name.size());
    for (const QChar c : name) {
        bool escaped = false;
        for (const Escape& e : kEscapes) {
            if (c == e.plain) {
                out += u'%' + QLatin1String(e.code);
                escaped = true;
                break;
            }
        }
        if (!escaped)
            out += c;
    }
    return out;
}

bool unescapeLevel(const QString& level, QString* name)
{
    QString out;
    out.reserve(level.size());
    for (qsizetype i = 0; i < level.size(); ++i) {
        if (level.at(i) != u'%') {
            out += level.at(i);
            continue;
        }
        const QString code = level.mid(i + 1, 2).toUpper();
        bool known = false;
        for (const Escape& e : kEscapes) {
            if (code == QLatin1String(e.code)) {
                out += e.plain;
                known = true;
                break;
            }
        }
        if (!known)
            return false;
        i += 2;
    }
    *name = out;
    return true;
}

QString status(const QString& prefix) { return prefix + QStringLiteral("/status"); }

QString cardState(const QString& prefix, const QString& card)
{
    return prefix + QStringLiteral("/cards/") + escapeLevel(card) + QStringLiteral("/state");
}

QString cardSend(const QString& prefix, const QString& card)
{
    return prefix + QStringLiteral("/cards/") + escapeLevel(card) + QStringLiteral("/send");
}

QString textSet(const QString& prefix, const QString& card, const QString& material)
{
    return prefix + QStringLiteral("/cards/") + escapeLevel(card) + QStringLiteral("/texts/") +
           escapeLevel(material) + QStringLiteral("/set");
}

QString job(const QString& prefix, const QString& id) { return prefix + QStringLiteral("/jobs/") + escapeLevel(id); }

QString refusals(const QString& prefix) { return prefix + QStringLiteral("/refused"); }

QString textSetFilter(const QString& prefix) { return prefix + QStringLiteral("/cards/+/texts/+/set"); }

QString sendFilter(const QString& prefix) { return prefix + QStringLiteral("/cards/+/send"); }

Command parseCommand(const QString& prefix, const QString& topic)
{
    const QString head = prefix + QStringLiteral("/cards/");
    if (!topic.startsWith(head))
        return {};
    const QStringList levels = topic.mid(head.size()).split(u'/');
    Command command;
    if (levels.size() == 2 && levels.at(1) == QLatin1String("send")) {
        command.kind = Command::Send;
    } else if (levels.size() == 4 && levels.at(1) == QLatin1String("texts") && levels.at(3) == QLatin1String("set")) {
        command.kind = Command::SetText;
        if (!unescapeLevel(levels.at(2), &command.material) || command.material.isEmpty())
            return {};
    } else {
        return {};
    }
    if (!unescapeLevel(levels.at(0), &command.card) || command.card.isEmpty())
        return {};
    return command;
}

} // namespace ledsign::mqtttopics
