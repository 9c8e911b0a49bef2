#include "transport/hostpool.h"

namespace ledsign {

int leadingOnes(quint8 maskByte)
{
    int k = 0;
    for (int bit = 7; bit >= 0 && (maskByte >> bit) & 1; --bit)
        ++k;
    return k;
}

QList<int> buildHostPool(quint8 maskByte, quint8 ownHost)
{
    const int k = leadingOnes(maskByte);
    int lowest = 2;
    int highest = 254;
    if (k > 0) {
        const int hostBits = (1 << (8 - k)) - 1;
        lowest = (ownHost & ~hostBits & 0xFF) + 1;
        highest = (ownHost | hostBits) - 1;
    }
    QList<int> pool;
    for (int n = int(ownHost) - 1; n >= lowest; --n)
        pool.append(n);
    for (int n = int(ownHost) + 1; n <= highest; ++n)
        pool.append(n);
    return pool;
}

namespace {
bool sameNetwork(const datagram::Ipv4& a, const datagram::Ipv4& b)
{
    return a[0] == b[0] && a[1] == b[1] && a[2] == b[2];
}
} // namespace

CardAddressState checkCardAddress(const datagram::Ipv4& serverIp, const datagram::Ipv4& cardIp,
                                  const QList<int>& pool, const AddressProber& answers)
{
    if (!sameNetwork(serverIp, cardIp) || !pool.contains(int(cardIp[3])))
        return kCardAddressForeign;
    return answers && answers(datagram::ipText(cardIp)) ? kCardAddressAnswers : kCardAddressFree;
}

bool pickTemporaryAddress(datagram::Ipv4& cardIp, const datagram::Ipv4& serverIp, QList<int>& pool,
                          const AddressProber& answers)
{
    datagram::Ipv4 candidate = serverIp;
    while (!pool.isEmpty()) {
        candidate[3] = quint8(pool.first());
        pool.removeFirst();
        if (!answers || !answers(datagram::ipText(candidate))) {
            cardIp = candidate;
            return true;
        }
    }
    return false;
}

} // namespace ledsign
