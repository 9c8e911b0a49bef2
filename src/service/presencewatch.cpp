#include "service/presencewatch.h"

#include "service/cardstatus.h"
#include "transport/cardlink.h"

namespace ledsign {

PresenceWatch::PresenceWatch(CardLink& link, ProjectModel& model, QObject* parent)
    : QObject(parent)
    , m_link(link)
    , m_model(model)
{
    Registrations& registrations = m_link.registrations();
    auto registeredAt = [this](int index, bool isNew) {
        const QList<TFIXModem>& cards = m_model.cards();
        if (index < 0 || index >= cards.size())
            return;
        emit registered(cards[index].name, isNew);
        checkIndex(index);
    };
    connect(&registrations, &Registrations::cardAdded, this, [registeredAt](int index) { registeredAt(index, true); });
    connect(&registrations, &Registrations::cardUpdated, this,
            [registeredAt](int index, bool) { registeredAt(index, false); });
    connect(&registrations, &Registrations::treeCleared, this, &PresenceWatch::recheckAll);
    connect(&m_link.channels(), &CommChannels::cardOffline, this, &PresenceWatch::checkIndex);
    connect(&m_link.scheduler(), &SendScheduler::cardStateChanged, this,
            [this](const QString& name, int) { check(name); });
}

void PresenceWatch::recheckAll()
{
    QHash<QString, bool> known;
    for (const TFIXModem& card : m_model.cards()) {
        if (m_online.contains(card.name))
            known.insert(card.name, m_online.value(card.name));
    }
    m_online = known;
    for (const TFIXModem& card : m_model.cards())
        check(card.name);
}

void PresenceWatch::checkIndex(int cardIndex)
{
    const QList<TFIXModem>& cards = m_model.cards();
    if (cardIndex >= 0 && cardIndex < cards.size())
        check(cards[cardIndex].name);
}

void PresenceWatch::check(const QString& cardName)
{
    const auto found = std::as_const(m_model).findCard(cardName);
    if (!found)
        return;
    const bool now = cardIsOnline(*found.record, m_link.scheduler());
    auto it = m_online.find(cardName);
    const bool before = it != m_online.end() && it.value();
    if (it == m_online.end())
        it = m_online.insert(cardName, now);
    else
        it.value() = now;
    if (now && !before)
        emit cameOnline(cardName);
    else if (!now && before)
        emit wentOffline(cardName);
}

} // namespace ledsign
