// The datagrams of card search and UDP configuration: what the program sends
// to the cards' port 8800 and what the cards answer to the UDP listener. A
// datagram is a run of items A1, type, length n, n data bytes, FF; numbers in
// items are big-endian, addresses four bytes in dotted order.
#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>

namespace ledsign::datagram {

using Mac = std::array<quint8, 6>;
using Ipv4 = std::array<quint8, 4>;

inline constexpr quint16 kCardPort = 8800;

inline constexpr quint8 kItemStart = 0xA1;
inline constexpr quint8 kItemEnd = 0xFF;
inline constexpr int kItemOverhead = 4; // A1, type, length, FF

// Item types the program sends.
inline constexpr quint8 kTypeDetailRequest = 0x14;
inline constexpr quint8 kTypeSearchRequest = 0x15;
inline constexpr quint8 kTypeParameterTarget = 0x30;
inline constexpr quint8 kTypeDetailByMac = 0x44;
inline constexpr quint8 kTypeParameterBlock = 0x51;
inline constexpr quint8 kTypeNetworkSetting = 0x60;
inline constexpr quint8 kTypeRelease = 0x61;

// Item types of a card's detail reply.
inline constexpr quint8 kItemName = 0x02;
inline constexpr quint8 kItemMac = 0x04;
inline constexpr quint8 kItemIp = 0x05;
inline constexpr quint8 kItemMask = 0x06;
inline constexpr quint8 kItemExtraAddress = 0x17;
inline constexpr quint8 kItemServerPort = 0x18;
inline constexpr quint8 kItemByte20 = 0x20;
inline constexpr quint8 kItemBlock = 0x21;
inline constexpr quint8 kItemInternalCode = 0x22;

inline constexpr int kBlockSize = 17;

// A search reply is at most this long; a detail reply is longer.
inline constexpr int kSearchReplyMaxSize = 170;
inline constexpr quint8 kSearchReplyType = 0x01;
// Offsets inside a search reply.
inline constexpr int kReplyIpOffset = 8;
inline constexpr int kReplyMacOffset = 16;
inline constexpr int kReplyExtraOffset = 26;
inline constexpr int kReplyVersionOffset = 34;
inline constexpr int kSearchReplyMinSize = kReplyMacOffset + 6;

inline constexpr char kUnknownName[] = "unknown";

// --- sent by the program
QByteArray searchRequest();                         // A1 15 02 00 00 FF
QByteArray detailRequest();                         // A1 14 02 00 00 FF
QByteArray detailRequestByMac(const Mac& mac);      // A1 44 06 MAC FF
// A1 30 06 MAC FF, A1 51 11 block FF (31 bytes); empty for a block that is
// not 17 bytes.
QByteArray parameterWrite(const Mac& mac, const QByteArray& block);
// A1 60 14 MAC ip mask serverIp port FF (24 bytes).
QByteArray networkSetting(const Mac& mac, const Ipv4& cardIp, const Ipv4& mask, const Ipv4& serverIp,
                          quint16 serverPort);
QByteArray releaseNotice(const Mac& mac);           // A1 61 07 MAC 00 FF

// --- received from cards
struct SearchReply {
    Ipv4 cardIp{};
    Mac mac{};
    Ipv4 extraAddress{};   // carried, not used
    int version = 0;       // 0 when the reply has no version byte
};

// A reply of 22..170 bytes beginning A1 01; nothing otherwise.
std::optional<SearchReply> parseSearchReply(const QByteArray& bytes);

struct DetailReply {
    QString name = QString::fromLatin1(kUnknownName);
    Mac mac{};
    Ipv4 cardIp{};
    Ipv4 mask{};
    Ipv4 extraAddress{};
    quint16 serverPort = 0;
    quint8 byte20 = 0;
    std::array<quint8, 8> internalCode{};
    QByteArray block;      // 17 bytes, or empty when the reply carried none
    bool hasMac = false;
};

// Reads every item found at any offset of a reply longer than 170 bytes;
// later items of one type win. Nothing for a shorter datagram.
std::optional<DetailReply> parseDetailReply(const QByteArray& bytes);

// The name an item 02 gives: bytes up to the first zero, trimmed; "unknown"
// when it names a QMV model.
QString nameFromItem(const QByteArray& data);

// --- the card's side of the same exchange (the virtual card)

// A search reply of kSearchReplyBuiltSize bytes: A1 01 at the start, the
// card's address, MAC, further address and version at their offsets.
inline constexpr int kSearchReplyBuiltSize = 36;
QByteArray searchReply(const SearchReply& reply);
// A detail reply carrying every item, padded past 170 bytes with zero bytes.
// The name is cut to the ten bytes of its item without splitting a character.
QByteArray detailReply(const DetailReply& reply);

// What the program asked of the cards in one datagram.
enum class RequestKind { Search, Detail, DetailByMac, ParameterWrite, NetworkSetting, Release };
struct CardRequest {
    RequestKind kind = RequestKind::Search;
    Mac mac{};             // every kind but Search and Detail
    QByteArray block;      // ParameterWrite: 17 bytes
    Ipv4 cardIp{};         // NetworkSetting
    Ipv4 mask{};
    Ipv4 serverIp{};
    quint16 serverPort = 0;
};
// Reads a datagram the program sends to the cards; nothing for anything
// else (wrong markers, wrong lengths, items cut short).
std::optional<CardRequest> parseCardRequest(const QByteArray& bytes);

// Text forms.
QString ipText(const Ipv4& ip);                     // "192.168.0.10"
std::optional<Ipv4> ipFromText(const QString& text); // strict dotted quad
QString macDecimalText(const Mac& mac);             // "0:17:34:51:68:85"
std::optional<Mac> macFromDecimalText(const QString& text);
QString macHexText(const Mac& mac);                 // "00-11-22-33-44-55"

} // namespace ledsign::datagram
