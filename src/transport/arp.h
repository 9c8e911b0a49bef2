// The PC's neighbour (ARP) table: the MAC address the system has learnt for
// an IPv4 address, read from /proc/net/arp, and the removal of an entry
// before a card is told a new address, so that the PC does not keep sending
// to the card's old hardware mapping.
#pragma once

#include <QString>
#include <QStringList>

namespace ledsign {

inline constexpr char kArpTablePath[] = "/proc/net/arp";

struct ArpEntry {
    QString address;
    QString mac;      // "00:11:22:33:44:55" as the table writes it
    QString device;
    bool complete = false;
};

// The entry for an address in a table text of /proc/net/arp's layout.
bool findArpEntry(const QString& tableText, const QString& address, ArpEntry& out);

// The MAC of an address as six decimal numbers joined by ":"; empty when the
// table has no complete entry for it.
QString macOfAddress(const QString& address, const QString& tableText);
QString macOfAddress(const QString& address); // reads /proc/net/arp

// The command line that removes the entry (program and arguments); empty
// when the address is not a dotted IPv4 address or the table has no entry.
QStringList arpDeleteCommand(const QString& address, const QString& tableText);

// Runs `ip neigh del` for the address without waiting; a missing entry, a
// missing permission or a missing program are all ignored.
void clearArpEntry(const QString& address);

} // namespace ledsign
