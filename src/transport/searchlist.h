// The cards seen since the last search began: one entry per MAC address in
// order of first arrival, with the address the card was given and whether it
// has been sent its network setting in this search.
#pragma once

#include "transport/datagram.h"

#include <QList>

namespace ledsign {

struct SearchEntry {
    datagram::Mac mac{};
    datagram::Ipv4 cardIp{};
    bool configured = false;
};

class SearchList {
public:
    void clear() { m_entries.clear(); }
    int size() const { return int(m_entries.size()); }
    bool isEmpty() const { return m_entries.isEmpty(); }
    const QList<SearchEntry>& entries() const { return m_entries; }
    SearchEntry& at(int index) { return m_entries[index]; }
    const SearchEntry& at(int index) const { return m_entries[index]; }

    // Index of the entry with this MAC, or -1.
    int indexOf(const datagram::Mac& mac) const;
    // Adds an unconfigured entry at the end; returns its index.
    int add(const datagram::Mac& mac, const datagram::Ipv4& cardIp);
    void remove(int index);
    // After a card was told to drop its interface flag: its entry gets a zero
    // MAC, so that the next detail reply is taken as new, and it and every
    // entry before it count as not configured again.
    void forgetUpTo(int index);

private:
    QList<SearchEntry> m_entries;
};

} // namespace ledsign
