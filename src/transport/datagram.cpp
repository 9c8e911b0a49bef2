#include "transport/datagram.h"

#include "model/codec.h"

#include <QStringList>

namespace ledsign::datagram {

namespace {

QByteArray item(quint8 type, const QByteArray& data)
{
    QByteArray out;
    out.reserve(data.size() + kItemOverhead);
    out.append(char(kItemStart));
    out.append(char(type));
    out.append(char(quint8(data.size())));
    out.append(data);
    out.append(char(kItemEnd));
    return out;
}

template <std::size_t N>
QByteArray bytesOf(const std::array<quint8, N>& a)
{
    return QByteArray(reinterpret_cast<const char*>(a.data()), qsizetype(N));
}

template <std::size_t N>
std::array<quint8, N> arrayAt(const QByteArray& bytes, qsizetype at)
{
    std::array<quint8, N> out{};
    for (std::size_t i = 0; i < N; ++i)
        out[i] = quint8(bytes.at(at + qsizetype(i)));
    return out;
}

// Length each item type of a detail reply must have to count.
int expectedLength(quint8 type)
{
    switch (type) {
    case kItemName: return 10;
    case kItemMac: return 6;
    case kItemIp: return 4;
    case kItemMask: return 4;
    case kItemExtraAddress: return 4;
    case kItemServerPort: return 2;
    case kItemByte20: return 1;
    case kItemBlock: return kBlockSize;
    case kItemInternalCode: return 8;
    default: return -1;
    }
}

} // namespace

QByteArray searchRequest()
{
    return item(kTypeSearchRequest, QByteArray(2, '\0'));
}

QByteArray detailRequest()
{
    return item(kTypeDetailRequest, QByteArray(2, '\0'));
}

QByteArray detailRequestByMac(const Mac& mac)
{
    return item(kTypeDetailByMac, bytesOf(mac));
}

QByteArray parameterWrite(const Mac& mac, const QByteArray& block)
{
    if (block.size() != kBlockSize)
        return {};
    return item(kTypeParameterTarget, bytesOf(mac)) + item(kTypeParameterBlock, block);
}

QByteArray networkSetting(const Mac& mac, const Ipv4& cardIp, const Ipv4& mask, const Ipv4& serverIp,
                          quint16 serverPort)
{
    QByteArray data = bytesOf(mac) + bytesOf(cardIp) + bytesOf(mask) + bytesOf(serverIp);
    data.append(char(serverPort >> 8));
    data.append(char(serverPort & 0xFF));
    return item(kTypeNetworkSetting, data);
}

QByteArray releaseNotice(const Mac& mac)
{
    return item(kTypeRelease, bytesOf(mac) + QByteArray(1, '\0'));
}

std::optional<SearchReply> parseSearchReply(const QByteArray& bytes)
{
    if (bytes.size() < kSearchReplyMinSize || bytes.size() > kSearchReplyMaxSize)
        return std::nullopt;
    if (quint8(bytes.at(0)) != kItemStart || quint8(bytes.at(1)) != kSearchReplyType)
        return std::nullopt;
    SearchReply reply;
    reply.cardIp = arrayAt<4>(bytes, kReplyIpOffset);
    reply.mac = arrayAt<6>(bytes, kReplyMacOffset);
    if (bytes.size() > kReplyVersionOffset) {
        reply.extraAddress = arrayAt<4>(bytes, kReplyExtraOffset);
        reply.version = quint8(bytes.at(kReplyVersionOffset));
    }
    return reply;
}

QString nameFromItem(const QByteArray& data)
{
    const qsizetype zero = data.indexOf('\0');
    const QString name = codec::decode(zero < 0 ? data : data.left(zero)).trimmed();
    if (name.contains(QLatin1String("QMV")))
        return QString::fromLatin1(kUnknownName);
    return name;
}

std::optional<DetailReply> parseDetailReply(const QByteArray& bytes)
{
    if (bytes.size() <= kSearchReplyMaxSize)
        return std::nullopt;
    DetailReply reply;
    const qsizetype size = bytes.size();
    for (qsizetype at = 0; at + kItemOverhead <= size; ++at) {
        if (quint8(bytes.at(at)) != kItemStart)
            continue;
        const quint8 type = quint8(bytes.at(at + 1));
        const int length = expectedLength(type);
        if (length < 0 || quint8(bytes.at(at + 2)) != length)
            continue;
        const qsizetype end = at + 3 + length;
        if (end >= size || quint8(bytes.at(end)) != kItemEnd)
            continue;
        const qsizetype data = at + 3;
        switch (type) {
        case kItemName: reply.name = nameFromItem(bytes.mid(data, length)); break;
        case kItemMac:
            reply.mac = arrayAt<6>(bytes, data);
            reply.hasMac = true;
            break;
        case kItemIp: reply.cardIp = arrayAt<4>(bytes, data); break;
        case kItemMask: reply.mask = arrayAt<4>(bytes, data); break;
        case kItemExtraAddress: reply.extraAddress = arrayAt<4>(bytes, data); break;
        case kItemServerPort:
            reply.serverPort = quint16((quint8(bytes.at(data)) << 8) | quint8(bytes.at(data + 1)));
            break;
        case kItemByte20: reply.byte20 = quint8(bytes.at(data)); break;
        case kItemBlock: reply.block = bytes.mid(data, length); break;
        case kItemInternalCode: reply.internalCode = arrayAt<8>(bytes, data); break;
        default: break;
        }
    }
    return reply;
}

QString ipText(const Ipv4& ip)
{
    return QStringLiteral("%1.%2.%3.%4").arg(ip[0]).arg(ip[1]).arg(ip[2]).arg(ip[3]);
}

std::optional<Ipv4> ipFromText(const QString& text)
{
    const QStringList parts = text.trimmed().split(QLatin1Char('.'));
    if (parts.size() != 4)
        return std::nullopt;
    Ipv4 ip{};
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        const int v = parts[i].toInt(&ok);
        if (!ok || v < 0 || v > 255 || parts[i].isEmpty())
            return std::nullopt;
        ip[std::size_t(i)] = quint8(v);
    }
    return ip;
}

QString macDecimalText(const Mac& mac)
{
    QStringList parts;
    for (quint8 b : mac)
        parts << QString::number(b);
    return parts.join(QLatin1Char(':'));
}

std::optional<Mac> macFromDecimalText(const QString& text)
{
    const QStringList parts = text.trimmed().split(QLatin1Char(':'));
    if (parts.size() != 6)
        return std::nullopt;
    Mac mac{};
    for (int i = 0; i < 6; ++i) {
        bool ok = false;
        const int v = parts[i].trimmed().toInt(&ok);
        if (!ok || v < 0 || v > 255)
            return std::nullopt;
        mac[std::size_t(i)] = quint8(v);
    }
    return mac;
}

QString macHexText(const Mac& mac)
{
    QStringList parts;
    for (quint8 b : mac)
        parts << QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
    return parts.join(QLatin1Char('-'));
}

} // namespace ledsign::datagram
