// The host numbers a card may be given in the PC's subnet, the check whether
// a card's own address can stay, and the choice of a temporary address from
// the numbers that nobody answers on.
#pragma once

#include "transport/datagram.h"

#include <QList>
#include <QString>

#include <functional>

namespace ledsign {

// Whether something answers on an address (see addressprobe.h); tests hand
// in their own.
using AddressProber = std::function<bool(const QString& address)>;

// Host numbers for a subnet whose mask ends in `maskByte`, with the PC's own
// number `ownHost`: own-1 down to the lowest usable number, then own+1 up to
// the highest. The PC's own number is never in it; a mask ending in 255
// leaves it empty.
QList<int> buildHostPool(quint8 maskByte, quint8 ownHost);

// Number of leading one-bits of a mask byte.
int leadingOnes(quint8 maskByte);

enum CardAddressState : int {
    kCardAddressForeign = -1, // other subnet, or a number outside the pool
    kCardAddressFree = 0,     // usable, nobody answers on it
    kCardAddressAnswers = 1,  // usable, something answers on it
};

CardAddressState checkCardAddress(const datagram::Ipv4& serverIp, const datagram::Ipv4& cardIp,
                                  const QList<int>& pool, const AddressProber& answers);

// Gives the card the server's first three bytes and the first pool number on
// which nothing answers; that number leaves the pool, and so do the numbers
// found taken on the way. False, with the card address untouched, when the
// pool holds no free number.
bool pickTemporaryAddress(datagram::Ipv4& cardIp, const datagram::Ipv4& serverIp, QList<int>& pool,
                          const AddressProber& answers);

} // namespace ledsign
