// Look-ups of the card list by name, internal code and connection without a
// walk over the list: what registrations, the receive path and a group send
// do once per card. The index follows the list by itself when cards are
// appended at the end; anything else that moves cards or changes a listed
// card's name or internal code tells it with invalidate(). A found entry is
// always checked against the list, so that a stale one is never returned.
#pragma once

#include <QHash>
#include <QList>
#include <QString>

class QTcpSocket;

namespace ledsign {

struct TFIXModem;

class CardIndex {
public:
    // The first card of that name; -1 when none.
    qsizetype byName(const QList<TFIXModem>& cards, const QString& name) const;
    // Every card with that internal code, in list order.
    QList<qsizetype> byInternalCode(const QList<TFIXModem>& cards, const QString& code) const;
    // Every card registered on that connection, in list order.
    QList<qsizetype> byConnection(const QList<TFIXModem>& cards, const QTcpSocket* connection) const;
    // The card at `index` was just registered on its connection.
    void connectionSet(const QList<TFIXModem>& cards, qsizetype index) const;

    void invalidate() const { m_valid = false; }

private:
    void follow(const QList<TFIXModem>& cards) const;
    void rebuild(const QList<TFIXModem>& cards) const;
    void addFrom(const QList<TFIXModem>& cards, qsizetype first) const;

    // Filled on demand from const look-ups.
    mutable bool m_valid = false;
    mutable qsizetype m_indexed = 0;
    mutable QHash<QString, qsizetype> m_names;
    mutable QHash<QString, QList<qsizetype>> m_codes;
    mutable QHash<const QTcpSocket*, QList<qsizetype>> m_connections;
};

} // namespace ledsign
