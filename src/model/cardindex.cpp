#include "model/cardindex.h"

#include "model/tfixmodem.h"

namespace ledsign {

void CardIndex::follow(const QList<TFIXModem>& cards) const
{
    if (!m_valid || cards.size() < m_indexed)
        rebuild(cards);
    else if (cards.size() > m_indexed)
        addFrom(cards, m_indexed);
}

void CardIndex::rebuild(const QList<TFIXModem>& cards) const
{
    m_names.clear();
    m_codes.clear();
    m_connections.clear();
    m_valid = true;
    addFrom(cards, 0);
}

void CardIndex::addFrom(const QList<TFIXModem>& cards, qsizetype first) const
{
    for (qsizetype i = first; i < cards.size(); ++i) {
        const TFIXModem& card = cards[i];
        if (!m_names.contains(card.name))
            m_names.insert(card.name, i);
        m_codes[card.internalCode].append(i);
        if (const QTcpSocket* connection = card.socket.data())
            m_connections[connection].append(i);
    }
    m_indexed = cards.size();
}

qsizetype CardIndex::byName(const QList<TFIXModem>& cards, const QString& name) const
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        follow(cards);
        const auto it = m_names.constFind(name);
        if (it == m_names.constEnd())
            return -1;
        if (*it < cards.size() && cards[*it].name == name)
            return *it;
        m_valid = false;
    }
    return -1;
}

QList<qsizetype> CardIndex::byInternalCode(const QList<TFIXModem>& cards, const QString& code) const
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        follow(cards);
        const auto it = m_codes.constFind(code);
        if (it == m_codes.constEnd())
            return {};
        bool stale = false;
        for (qsizetype i : *it)
            stale = stale || i >= cards.size() || cards[i].internalCode != code;
        if (!stale)
            return *it;
        m_valid = false;
    }
    return {};
}

QList<qsizetype> CardIndex::byConnection(const QList<TFIXModem>& cards, const QTcpSocket* connection) const
{
    if (!connection)
        return {};
    follow(cards);
    const auto it = m_connections.find(connection);
    if (it == m_connections.end())
        return {};
    // A card loses its connection by a plain assignment; such entries go
    // here. A new connection at a freed address finds none of them.
    it->removeIf([&](qsizetype i) { return i >= cards.size() || cards[i].socket.data() != connection; });
    if (it->isEmpty()) {
        m_connections.erase(it);
        return {};
    }
    return *it;
}

void CardIndex::connectionSet(const QList<TFIXModem>& cards, qsizetype index) const
{
    follow(cards);
    if (index < 0 || index >= m_indexed)
        return;
    const QTcpSocket* connection = cards[index].socket.data();
    if (!connection)
        return;
    QList<qsizetype>& on = m_connections[connection];
    if (on.contains(index))
        return;
    // In list order.
    on.insert(std::lower_bound(on.begin(), on.end(), index), index);
}

} // namespace ledsign
