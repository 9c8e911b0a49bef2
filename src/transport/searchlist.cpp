#include "transport/searchlist.h"

namespace ledsign {

int SearchList::indexOf(const datagram::Mac& mac) const
{
    for (int i = 0; i < m_entries.size(); ++i)
        if (m_entries[i].mac == mac)
            return i;
    return -1;
}

int SearchList::add(const datagram::Mac& mac, const datagram::Ipv4& cardIp)
{
    m_entries.append(SearchEntry{mac, cardIp, false});
    return int(m_entries.size()) - 1;
}

void SearchList::remove(int index)
{
    if (index >= 0 && index < m_entries.size())
        m_entries.removeAt(index);
}

void SearchList::forgetUpTo(int index)
{
    if (index < 0 || index >= m_entries.size())
        return;
    m_entries[index].mac = datagram::Mac{};
    for (int i = 0; i <= index; ++i)
        m_entries[i].configured = false;
}

} // namespace ledsign
